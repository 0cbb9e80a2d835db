#include "import/SubscriberSurvey.h"

#include <cstdint>
#include <cstdio>

#include "import/RunHelpers.h"
#include "platform/fs/fs.h"

namespace {
constexpr std::size_t kLigneMax = 10000;
}  // namespace

int TableSacsLogiques::Lire(plat::File& sacs, int PositionCodeSac, int LongueurCodeSac,
                            int PositionCodeUtilisateur) {
    codes_ = TableParCle<CodeUtilisateur>(static_cast<std::size_t>(std::max(LongueurCodeSac, 0)));
    int nombre = 0;
    std::string ligne;
    while (sacs.GetLine(ligne, kLigneMax)) {
        if (!EstEnregistrement(ligne)) continue;
        ++nombre;
        const std::string_view enreg = SansFinDeLigne(ligne);
        const std::string_view code =
            Champ(enreg, PositionCodeUtilisateur, kLongueurCodeUtilisateur);
        CodeUtilisateur utilisateur;
        utilisateur.fill(' ');
        code.copy(utilisateur.data(), utilisateur.size());
        codes_.Ajouter(Champ(enreg, PositionCodeSac, LongueurCodeSac), utilisateur);
    }
    codes_.Fixer(false);
    return nombre;
}

ComptageSacs::ComptageSacs(const PositionsCompletion& positions,
                           std::vector<CQuervaneDlg::TypeSac>& table)
    : Positions(positions), table_(table) {
    table_.clear();
}

void ComptageSacs::Compter(std::string_view enreg, std::int64_t debut) {
    if (!Positions.FermeSac(enreg)) return;
    const auto* code =
        Logiques.Chercher(Champ(enreg, Positions.PositionCodeSac, Positions.LongueurCodeSac));
    if (!code) return;
    code_.assign(code->data(), code->size());
    const auto [entree, nouvelle] = index_.try_emplace(code_, table_.size());
    if (nouvelle) {
        CQuervaneDlg::TypeSac sac;
        std::copy(code->begin(), code->end(), sac.CodeSac);
        table_.push_back(sac);
    }
    CQuervaneDlg::TypeSac& sac = table_[entree->second];
    ++sac.NombreSacs;
    const auto position = static_cast<std::size_t>(std::max(Positions.PositionInfoSac, 0));
    if (position < enreg.size()) {
        inscriptions_.push_back({debut + static_cast<std::int64_t>(position),
                                 static_cast<std::uint32_t>(enreg.size() - position),
                                 static_cast<std::uint32_t>(entree->second), sac.NombreSacs});
    }
}

CQuervaneDlg::TypeSac* ComptageSacs::SacFerme(std::string_view enreg) {
    if (!Positions.FermeSac(enreg)) return nullptr;
    const auto* code =
        Logiques.Chercher(Champ(enreg, Positions.PositionCodeSac, Positions.LongueurCodeSac));
    if (!code) return nullptr;
    code_.assign(code->data(), code->size());
    const auto trouve = index_.find(code_);
    return trouve == index_.end() ? nullptr : &table_[trouve->second];
}

void IndexSacs::Noter(std::string_view enreg) {
    // Most records continue the bag of the one before: compared in place,
    // the key is copied only when it is new.
    const std::string_view cle = enreg.substr(0, LongueurCle_);
    if (Nombre() > 0) {
        const std::string_view derniere = Cle(Nombre() - 1);
        if (derniere.starts_with(cle) &&
            derniere.find_first_not_of(' ', cle.size()) == std::string_view::npos) {
            return;
        }
    }
    cles_ += cle;
    cles_.append(LongueurCle_ - cle.size(), ' ');
    ++nombre_;
}

bool ParcourirAbonnes(const std::string& chemin, ReleveAbonnes& releve,
                      const std::function<void(int)>& deplacer) {
    plat::File journal = plat::File::Open(chemin, "r");
    if (!journal) return false;
    journal.Seek(0, SEEK_END);
    ProgressionParLignes progression(journal.Tell(), deplacer);
    journal.Seek(0, SEEK_SET);
    std::string ligne;
    for (std::int64_t debut = 0;;) {
        progression.Avancer(debut);
        if (!journal.GetLine(ligne, kLigneMax)) break;
        const std::int64_t fin = journal.Tell();
        releve.Lire(ligne, debut, fin);
        debut = fin;
    }
    // A survey cut short by a failed read is not done.
    if (journal.Error()) return false;
    releve.Terminer();
    return true;
}
