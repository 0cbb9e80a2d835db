// The bag table of a conversion (pSacs): one entry per record of the
// supplier's bag file, the bag line blank-padded to the bag record length,
// followed by six characters "000000" whose first two are the bag's use flag
// ("01" once a route's first record, or the run's first or last record, is
// in the bag). Written as one block to "LIBELLES.SAC".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/TableCodesFixes.h"

class TableSacsFournisseur {
public:
    static constexpr int kLongueurSuite = 6;

    // Empties the table; bag codes are the first longueurCode characters of
    // an entry (blank-padded when the entry is shorter). attendus: about how
    // many entries will come, to make room for them at once.
    void Ouvrir(int LongueurEnregistrementSac, int longueurCode, std::size_t attendus = 0);
    void Liberer();
    bool Existe() const { return existe_; }
    int NombreEnregistrementsSac() const { return nombre_; }

    // Appends a bag line already blank-padded to the record length.
    void Ajouter(std::string_view ligne);

    // Index of the first entry whose code is sac (its first longueurCode
    // characters); -1 when none.
    int Chercher(std::string_view sac) const;
    // The same answer, found without a search when it is the entry after
    // precedent (the one found before): a list in the bag file's order
    // names its bags one after the other.
    int Chercher(std::string_view sac, int precedent) const;
    // The bag record of entry index (LongueurEnregistrementSac characters).
    std::string_view Enregistrement(int index) const;
    // Sets the use flag of the first entry with that code; false when none.
    bool Marquer(std::string_view sac);

    // The whole table as written to "LIBELLES.SAC".
    std::string_view Bloc() const { return {pSacs_.data(), pSacs_.size()}; }

private:
    std::string Cle(std::string_view code) const;

    bool existe_ = false;
    int longueur_ = 0;
    int longueurCode_ = 0;
    int nombre_ = 0;
    std::vector<char> pSacs_;
    TableCodesFixes premier_;             // code: its first entry
    std::vector<std::uint8_t> premiere_;  // by entry: 1 when it is its code's first
};
