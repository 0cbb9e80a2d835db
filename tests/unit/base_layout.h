// A base slot laid out from a list of field widths, as the descriptor reader
// lays it: each field starts where the previous one ends.
#pragma once

#include <cstddef>
#include <vector>

#include "records/TableBase.h"

namespace test_support {

inline void LayOutSlot(TableBase& base, int slot, const std::vector<int>& widths) {
    int position = 0;
    base.NbChamps[slot] = static_cast<int>(widths.size());
    for (std::size_t k = 0; k < widths.size(); ++k) {
        base.LongueurChamp[slot][k] = widths[k];
        base.PositionChamp[slot][k] = position;
        position += widths[k];
    }
    base.LongueurEnregistrement[slot] = position;
    base.bDefined[slot] = true;
}

}  // namespace test_support
