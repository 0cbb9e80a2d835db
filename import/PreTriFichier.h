// The pre-sort applied to a subscriber file: the file is regrouped (PreTri.h)
// into a copy, which then takes the file's name. Lines that hold no more than
// a line feed are dropped; every copied line ends with a line end, so that no
// two records merge.
//
// The file is read twice. The first reading takes the key, the place in the
// file and the length of every record, which fix where each group of the
// regrouped order starts in the copy. The second reading goes through the
// file by lots of records, each lot read in one piece and written to the copy
// group by group, every group's records at the place where that group has
// got to. Besides a lot, only the places and lengths of the records stay in
// memory, and no work file is written.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum class ResultatPreTri {
    Fait,
    FichierIllisible,       // the subscriber file does not open, or not twice alike
    TemporaireImpossible,   // the copy cannot be created or written
    RemplacementImpossible  // the file cannot be replaced by its copy
};

struct PreTriFichier {
    int preTri = 1;
    std::array<int, 3> keyLengths{};  // key lengths of levels 0, 1 and 2
    // Bytes of the file read in one piece by the copy, the lot (at least
    // one record); 0 for the default.
    std::size_t tailleTranche = 0;
    // Called with a percentage when the progress of a reading changes (each
    // reading from 0).
    std::function<void(int)> progression;
};

// Regroups fichier through the copy temporaire, which then takes its name.
// pChangeRecord receives the change marks by position in the regrouped
// order. Without Fait the file stays as it was and the copy is deleted.
ResultatPreTri PreTrierFichier(std::string_view fichier, std::string_view temporaire,
                               const PreTriFichier& options,
                               std::vector<std::uint8_t>& pChangeRecord);

// The lot size for a file of that many records: a fixed part and a part
// that grows with the records.
std::size_t TailleTrancheParDefaut(std::size_t NombreEnregistrements);
