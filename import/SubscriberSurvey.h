// What the prepared-base import learns from the subscriber file besides the
// base control: the bags of each user bag code (for the completion of the
// subscriber file) and the successive bag keys (for the bag rebuild). Each
// is gathered in the first pass over the subscriber file that needs it: the
// base control's pass when the control runs, so that the file is read once
// for all of them.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/QuervaneDlg.h"
#include "import/LignesFournisseur.h"
#include "import/RunHelpers.h"
#include "util/JusquAuZero.h"

// Keys of one width (blank-padded or cut to it), each with a value, looked
// up by binary search once the table is fixed. Compact: the keys lie end to
// end in one text.
template <typename Valeur>
class TableParCle {
public:
    explicit TableParCle(std::size_t largeur = 0) : largeur_(largeur) {}

    void Ajouter(std::string_view cle, const Valeur& valeur) {
        Normaliser(cle);
        cles_ += cle_;
        valeurs_.push_back(valeur);
    }
    // Sorts the keys; of equal keys the first added is kept, or the last.
    void Fixer(bool garderDernier) {
        ordre_.resize(valeurs_.size());
        for (std::size_t i = 0; i < ordre_.size(); ++i) ordre_[i] = static_cast<std::uint32_t>(i);
        std::stable_sort(ordre_.begin(), ordre_.end(),
                         [this](std::uint32_t a, std::uint32_t b) { return Cle(a) < Cle(b); });
        std::vector<std::uint32_t> uniques;
        for (std::size_t i = 0; i < ordre_.size(); ++i) {
            if (!uniques.empty() && Cle(uniques.back()) == Cle(ordre_[i])) {
                if (garderDernier) uniques.back() = ordre_[i];
                continue;
            }
            uniques.push_back(ordre_[i]);
        }
        ordre_.swap(uniques);
    }
    // nullptr when no key is equal.
    const Valeur* Chercher(std::string_view cle) {
        Normaliser(cle);
        const auto trouve =
            std::lower_bound(ordre_.begin(), ordre_.end(), std::string_view(cle_),
                             [this](std::uint32_t i, std::string_view c) { return Cle(i) < c; });
        if (trouve == ordre_.end() || Cle(*trouve) != cle_) return nullptr;
        return &valeurs_[*trouve];
    }
    std::size_t Nombre() const { return valeurs_.size(); }

private:
    std::string_view Cle(std::uint32_t i) const {
        return std::string_view(cles_).substr(i * largeur_, largeur_);
    }
    void Normaliser(std::string_view cle) {
        cle_.assign(cle.substr(0, largeur_));
        cle_.resize(largeur_, ' ');
    }

    std::size_t largeur_;
    std::string cles_;
    std::vector<Valeur> valeurs_;
    std::vector<std::uint32_t> ordre_;  // sorted, one per distinct key
    std::string cle_;
};

// The user bag code of every bag number, as the first record of the bag file
// with that number gives it (the completion's TableSacsLogiques).
class TableSacsLogiques {
public:
    static constexpr int kLongueurCodeUtilisateur = 10;
    using CodeUtilisateur = std::array<char, kLongueurCodeUtilisateur>;

    // Reads the records (lines longer than one character) of the source bag
    // file; returns their number.
    int Lire(plat::File& sacs, int PositionCodeSac, int LongueurCodeSac,
             int PositionCodeUtilisateur);
    // nullptr when no bag record has that number.
    const CodeUtilisateur* Chercher(std::string_view CodeSac) { return codes_.Chercher(CodeSac); }

private:
    TableParCle<CodeUtilisateur> codes_;
};

// Positions of the completion, from the base descriptor.
struct PositionsCompletion {
    int PositionCodeSac = 0, LongueurCodeSac = 0;
    int PositionFinSac = 0;
    int PositionCodeUtilisateur = 0;
    int PositionInfoSac = 0;

    // Whether the subscriber record closes a bag.
    bool FermeSac(std::string_view enreg) const {
        return PositionFinSac >= 0 && static_cast<std::size_t>(PositionFinSac) < enreg.size() &&
               enreg[static_cast<std::size_t>(PositionFinSac)] == '1';
    }
};

// The bags of each user bag code: TableSacs of the main window, with an index
// by user code.
class ComptageSacs {
public:
    ComptageSacs(const PositionsCompletion& positions, std::vector<CQuervaneDlg::TypeSac>& table);

    TableSacsLogiques Logiques;
    const PositionsCompletion Positions;

    // Where a completed record gets its bag information: the byte offset of
    // the field in the subscriber file, the record's characters from there,
    // the entry of its user code and its rank among that code's bags.
    struct Inscription {
        std::int64_t Position;
        std::uint32_t Place;
        std::uint32_t Entree;
        std::int32_t Rang;
    };

    // Counts the bag that the subscriber record closes, if it closes one
    // whose bag number has a record; debut is the record's byte offset in
    // the subscriber file.
    void Compter(std::string_view enreg, std::int64_t debut);
    // The entry of the user code of the bag that the record closes; nullptr
    // when it closes none, or one without a bag record.
    CQuervaneDlg::TypeSac* SacFerme(std::string_view enreg);
    const std::vector<Inscription>& Inscriptions() const { return inscriptions_; }

private:
    std::vector<CQuervaneDlg::TypeSac>& table_;
    std::unordered_map<std::string, std::size_t> index_;
    std::vector<Inscription> inscriptions_;
    std::string code_;
};

// The successive distinct bag keys of the subscriber file (a bag that comes
// back after another gets a second entry), each LongueurCle characters,
// blank-padded.
class IndexSacs {
public:
    explicit IndexSacs(int LongueurCle) : LongueurCle_(static_cast<std::size_t>(LongueurCle)) {}

    void Noter(std::string_view enreg);
    std::size_t Nombre() const { return nombre_; }
    std::string_view Cle(std::size_t i) const {
        return std::string_view(cles_).substr(i * LongueurCle_, LongueurCle_);
    }

private:
    std::size_t LongueurCle_;
    std::string cles_;  // the keys end to end
    std::size_t nombre_ = 0;
};

// What the passes gather, and whether each is complete.
struct ReleveAbonnes {
    std::optional<ComptageSacs> Comptage;  // present when counting is to be done
    std::optional<IndexSacs> Index;        // present when the index is to be built
    bool ComptageFait = false;
    bool IndexFait = false;
    // Every line of the subscriber file is a record ending with a carriage
    // return and a line feed (the last one may lack them): copying the file
    // and writing the bag information in place then gives the completed
    // file, which otherwise is written line by line.
    bool CompletionEnPlace = true;

    // One line of the subscriber file as read (its line feed included), at
    // the byte offsets debut to fin. Lines of one character or less are not
    // records.
    void Lire(std::string_view ligne, std::int64_t debut, std::int64_t fin) {
        const auto brut = static_cast<std::int64_t>(ligne.size());
        const bool finDeLigne = !ligne.empty() && ligne.back() == '\n';
        const bool sansEnregistrement = !EstEnregistrement(ligne);
        if (sansEnregistrement || fin - debut != brut + (finDeLigne ? 1 : 0)) {
            CompletionEnPlace = false;
        }
        if (sansEnregistrement) return;
        const std::string_view enreg = finDeLigne ? ligne.substr(0, ligne.size() - 1) : ligne;
        if (Comptage && !ComptageFait) Comptage->Compter(enreg, debut);
        if (Index && !IndexFait) Index->Noter(JusquAuZero(enreg));
    }
    // The pass went through the whole subscriber file.
    void Terminer() {
        if (Comptage) ComptageFait = true;
        if (Index) IndexFait = true;
    }
};

// One pass over the subscriber file for what the survey still lacks; the
// progress bar follows it through deplacer. False when the file does not
// open or fails to read part way.
bool ParcourirAbonnes(const std::string& chemin, ReleveAbonnes& releve,
                      const std::function<void(int)>& deplacer);
