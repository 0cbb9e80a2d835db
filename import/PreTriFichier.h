// The pre-sort applied to a subscriber file: the file is regrouped (PreTri.h)
// into a copy, which then takes the file's name. Lines that hold no more than
// a line feed are dropped; every copied line ends with a line end, so that no
// two records merge.
//
// The file is read once. Its records go by lots of at most a given size,
// each regrouped in memory: a file that fits in one lot is written from it;
// otherwise each lot is written, regrouped, to a work file (the copy's name
// with ".1"), and the copy takes, for each group in regrouped order, the
// records of that group from every lot in turn. Lots follow the file's
// order, so records of one group keep it. Besides the lot, only the keys, lengths and
// run order of the records stay in memory. The work file is deleted.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
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
    // Bytes of records regrouped in memory at a time, the lot (at least one
    // record); 0 for the default.
    std::size_t tailleTranche = 0;
    // Called with a percentage when the progress of a pass changes.
    std::function<void(int)> progression;
};

// The regrouped copy under way: the file has been read, and its records come
// out in regrouped order, each written to the copy as it comes out. Terminer
// writes the records not taken, then the copy takes the file's name.
class CopieRegroupee {
public:
    // Reads fichier and starts the copy temporaire. pChangeRecord receives
    // the change marks by position in the regrouped order. copie is set when
    // the result is Fait.
    static ResultatPreTri Commencer(std::string_view fichier, std::string_view temporaire,
                                    const PreTriFichier& options,
                                    std::vector<std::uint8_t>& pChangeRecord,
                                    std::unique_ptr<CopieRegroupee>& copie);
    ~CopieRegroupee();
    CopieRegroupee(const CopieRegroupee&) = delete;
    CopieRegroupee& operator=(const CopieRegroupee&) = delete;

    // The next record as a text line reads from the copy (its line feed
    // included); valid until the next call. False after the last one, or
    // when the copy cannot be written (Terminer then says so).
    bool Suivante(std::string_view& ligne);
    // Bytes of the copy written so far, and in all (as its file will hold
    // them: each line ends with a carriage return and a line feed).
    std::int64_t Position() const { return position_; }
    std::int64_t Taille() const { return taille_; }
    const std::string& Fichier() const;
    const std::string& Temporaire() const;
    // Fait, or what failed; without Fait the file stays as it was and the
    // copy is deleted.
    ResultatPreTri Terminer();

    // What Commencer prepares; opaque outside it.
    struct Etat;
    explicit CopieRegroupee(std::unique_ptr<Etat> etat);

private:
    std::unique_ptr<Etat> etat_;
    std::int64_t position_ = 0;
    std::int64_t taille_ = 0;
    bool termine_ = false;
};

// Regroups fichier through the copy temporaire at once. pChangeRecord
// receives the change marks by position in the regrouped order.
ResultatPreTri PreTrierFichier(std::string_view fichier, std::string_view temporaire,
                               const PreTriFichier& options,
                               std::vector<std::uint8_t>& pChangeRecord);

// The slice size for a file of that many records: a fixed part and a part
// that grows with the records.
std::size_t TailleTrancheParDefaut(std::size_t NombreEnregistrements);
