// The pre-sort applied to a subscriber file: the file is regrouped (PreTri.h)
// into a copy, which then takes the file's name. Lines that hold no more than
// a line feed are dropped; every copied line ends with a line end, so that no
// two records merge.
//
// Only the keys, lengths and order of the records stay in memory: the copy is
// written in slices of the regrouped order. When the whole copy does not fit
// in one slice, one sequential read of the file sends each record to a work
// file of its slice (the copy's name with ".1", ".2" ...), and each slice is
// then gathered in memory from its work file, which is deleted.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

enum class ResultatPreTri {
    Fait,
    FichierIllisible,       // the subscriber file does not open
    TemporaireImpossible,   // the copy cannot be created or written
    RemplacementImpossible  // the file cannot be replaced by its copy
};

struct PreTriFichier {
    int preTri = 1;
    std::array<int, 3> keyLengths{};  // key lengths of levels 0, 1 and 2
    // Bytes of the regrouped copy gathered in memory at a time (at least one
    // record).
    std::size_t tailleTranche = 0;
    // Called with a percentage when the progress of a pass changes.
    std::function<void(int)> progression;
};

// Regroups fichier through the copy temporaire. pChangeRecord receives the
// change marks by position in the regrouped order.
ResultatPreTri PreTrierFichier(std::string_view fichier, std::string_view temporaire,
                               const PreTriFichier& options,
                               std::vector<std::uint8_t>& pChangeRecord);

// The slice size for a file of that many records: a fixed part and a part
// that grows with the records.
std::size_t TailleTrancheParDefaut(std::size_t NombreEnregistrements);
