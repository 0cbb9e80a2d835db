// The pre-sort of a subscriber file: its records are regrouped by title and
// edition, then by vehicle, then by route (PreTri 2 stops after the vehicle,
// PreTri 3 after the edition). At every level the groups come in the order of
// their first record in the order left by the level before, and records keep
// that order inside a group.
//
// Each record is known by the first characters of its line (title, edition,
// vehicle and route codes in their supplier widths). A level looks at a prefix
// of that key: title and edition at level 0, then the supplier vehicle code at
// level 1, then the supplier route code at level 2.
//
// The groups of every level are known by their first record: a group of the
// last level has its place among the others from the ranks of its groups at
// every level, and its records keep their file order. The whole pre-sort is
// then linear in the number of records.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "util/TableCodesFixes.h"

class PreTri {
public:
    // preTri: the layout's PreTri (not 0). keyLengths: the key length of
    // levels 0, 1 and 2, each at least the one before.
    PreTri(int preTri, std::array<int, 3> keyLengths);

    // Registers the next record in file order and returns its key. line:
    // the record's line without its line feed; a line shorter than the key
    // is taken as padded with blanks.
    std::uint32_t AjouterEnregistrement(std::string_view line);

    std::size_t NombreEnregistrements() const { return recordKey_.size(); }
    std::uint32_t CleEnregistrement(std::size_t numero) const { return recordKey_[numero]; }
    // The group of the last level that a key belongs to: its records and
    // those of the other keys of the group come together, in file order.
    std::uint32_t Groupe(std::uint32_t cle) const {
        return keyGroups_[cle][static_cast<std::size_t>(levels_ - 1)];
    }
    // The groups of the last level seen so far, in regrouped order (a
    // group's place is fixed from its first record).
    std::vector<std::uint32_t> OrdreGroupes() const;

    struct Ordre {
        // The record numbers (file order, from 0) in the regrouped order.
        std::vector<std::uint32_t> pRang;
        // By position in the regrouped order: 1 for the last record of the
        // file and, when the route level runs, for the last record of each
        // route group.
        std::vector<std::uint8_t> pChangeRecord;
    };
    Ordre Ordonner() const;
    // Ordonner's pChangeRecord alone.
    std::vector<std::uint8_t> MarquesChangement() const;

private:
    std::uint32_t IdentifiantPrefixe(int level, std::string_view prefix);
    std::vector<std::uint32_t> DebutsGroupes(std::vector<std::uint8_t>* fins) const;

    int levels_ = 3;
    std::array<int, 3> keyLengths_;
    std::string key_;  // reused for every record: no allocation per record
    std::string lastKey_;
    std::uint32_t lastKeyId_ = 0;
    bool haveLastKey_ = false;
    // Distinct whole keys, and for each the group it belongs to at each level.
    TableCodesFixes keyIds_;
    std::vector<std::array<std::uint32_t, 3>> keyGroups_;
    std::array<std::unordered_map<std::string, std::uint32_t>, 3> prefixIds_;
    std::vector<std::uint32_t> recordKey_;  // by record: index into keyGroups_
};
