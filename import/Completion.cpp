// Copy of the subscriber file with completion: every subscriber record that
// closes a bag receives, in its bag-information field, "%02d/%02d": the rank
// of its bag among the bags of the same user bag code, and their number.
// The user bag code of a bag comes from the first record of the source bag
// file with that bag number.
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>

#include "app/QuervaneDlg.h"
#include "import/RunContext.h"
#include "import/RunHelpers.h"
#include "platform/fs/fs.h"
#include "resources/resource.h"

namespace {

constexpr int kLongueurCodeUtilisateur = 10;
constexpr std::size_t kLigneMax = 10000;

struct Positions {
    int PositionCodeSac, LongueurCodeSac;
    int PositionFinSac;
    int PositionCodeUtilisateur;
    int PositionInfoSac;
};

// The user bag code of every bag number, as the first record of the bag
// file that holds that number gives it (TableSacsLogiques).
class TableSacsLogiques {
public:
    void Ajouter(std::string_view CodeSac, std::string_view CodeUtilisateur) {
        cle_.assign(CodeSac);
        if (codes_.find(cle_) != codes_.end()) return;
        std::string code(CodeUtilisateur);
        code.resize(kLongueurCodeUtilisateur, ' ');
        codes_.emplace(cle_, std::move(code));
    }
    const std::string* Chercher(std::string_view CodeSac) {
        cle_.assign(CodeSac);
        const auto trouve = codes_.find(cle_);
        return trouve == codes_.end() ? nullptr : &trouve->second;
    }

private:
    std::unordered_map<std::string, std::string> codes_;
    std::string cle_;
};

// TableSacs with an index by user code, so that the rank of a bag is found
// without scanning the table.
class CompteurSacs {
public:
    explicit CompteurSacs(std::vector<CQuervaneDlg::TypeSac>& table) : table_(table) {
        table_.clear();
    }
    void Compter(const std::string& CodeUtilisateur) {
        const auto [entree, nouvelle] = index_.try_emplace(CodeUtilisateur, table_.size());
        if (nouvelle) {
            CQuervaneDlg::TypeSac sac;
            CodeUtilisateur.copy(sac.CodeSac, sizeof sac.CodeSac);
            table_.push_back(sac);
        }
        ++table_[entree->second].NombreSacs;
    }
    CQuervaneDlg::TypeSac* Chercher(const std::string& CodeUtilisateur) {
        const auto trouve = index_.find(CodeUtilisateur);
        return trouve == index_.end() ? nullptr : &table_[trouve->second];
    }

private:
    std::vector<CQuervaneDlg::TypeSac>& table_;
    std::unordered_map<std::string, std::size_t> index_;
};

bool FermeSac(std::string_view enreg, const Positions& p) {
    return p.PositionFinSac >= 0 && static_cast<std::size_t>(p.PositionFinSac) < enreg.size() &&
           enreg[static_cast<std::size_t>(p.PositionFinSac)] == '1';
}

// Writes texte into the record at position, without passing the record's
// end (its line feed excluded).
void Inscrire(std::string& ligne, int position, std::string_view texte) {
    const std::size_t fin = SansFinDeLigne(ligne).size();
    if (position < 0 || static_cast<std::size_t>(position) >= fin) return;
    const std::size_t debut = static_cast<std::size_t>(position);
    ligne.replace(debut, std::min(texte.size(), fin - debut), texte.substr(0, fin - debut));
}

}  // namespace

bool CQuervaneDlg::CopieCompletion(RunContext& run, int ChampInfoSac, int ChampSacUtilisateur) {
    const TableBase& base = TablesBase;
    if (!base.ChampDefini(SlotJournal, 4) || !base.ChampDefini(SlotJournal, 8) ||
        !base.ChampDefini(SlotJournal, ChampInfoSac - 1)) {
        ArreterImport(
            Texte("Le champ d'information sac (..\\CONFIG\\INFOSAC) n'existe pas "
                  "dans la description des abonnés."));
        return false;
    }
    if (!base.ChampDefini(SlotSac, ChampSacUtilisateur - 1)) {
        ArreterImport(
            Texte("Le champ du code sac utilisateur (..\\CONFIG\\CHAMP.SAC) n'existe "
                  "pas dans la description des sacs."));
        return false;
    }
    const Positions p{base.PositionChamp[SlotJournal][4], base.LongueurChamp[SlotJournal][4],
                      base.PositionChamp[SlotJournal][8],
                      base.PositionChamp[SlotSac][ChampSacUtilisateur - 1],
                      base.PositionChamp[SlotJournal][ChampInfoSac - 1]};
    const std::string source = run.CheminAbonnes + run.FichierAbonnes;
    const std::string destination = RepertoireData + run.FichierAbonnes + ".jo";

    plat::File sacs = plat::File::Open(source + ".sa", "r");
    if (!sacs) {
        Afficher("ERREUR LECTURE SACS");
        return false;
    }
    TableSacsLogiques logiques;
    std::string ligne;
    run.NombreSacsLogiques = 0;
    while (sacs.GetLine(ligne, kLigneMax)) {
        if (ligne.size() <= 1) continue;
        ++run.NombreSacsLogiques;
        const std::string_view enreg = SansFinDeLigne(ligne);
        logiques.Ajouter(Champ(enreg, p.PositionCodeSac, p.LongueurCodeSac),
                         Champ(enreg, p.PositionCodeUtilisateur, kLongueurCodeUtilisateur));
    }
    sacs.Close();

    plat::File journal = plat::File::Open(source + ".jo", "r");
    if (!journal) {
        Afficher("ERREUR LECTURE JOURNAUX");
        return false;
    }
    journal.Seek(0, SEEK_END);
    const std::int64_t LongueurFichier = journal.Tell();
    journal.Seek(0, SEEK_SET);
    const auto deplacer = [this](int position) { PositionnerProgres(IDC_PROGRESS, position); };

    // Counting pass: the bags of each user code.
    CompteurSacs compteur(TableSacs);
    ValiderProgres(IDC_PROGRESS, 1, 100, 0);
    SuiviProgression comptage(LongueurFichier, deplacer);
    while (true) {
        comptage.Avancer(journal.Tell());
        if (!journal.GetLine(ligne, kLigneMax)) break;
        const std::string_view enreg = SansFinDeLigne(ligne);
        if (ligne.size() <= 1 || !FermeSac(enreg, p)) continue;
        if (const std::string* code =
                logiques.Chercher(Champ(enreg, p.PositionCodeSac, p.LongueurCodeSac))) {
            compteur.Compter(*code);
        }
    }
    NombreSacs = static_cast<int>(TableSacs.size());
    journal.Close();
    ValiderProgres(IDC_PROGRESS, 0, 100, 0);

    // Writing pass.
    Afficher(Texte("Copie et complétion du fichier des abonnés"));
    journal = plat::File::Open(source + ".jo", "r");
    if (!journal) {
        Afficher("ERREUR LECTURE JOURNAUX");
        return false;
    }
    plat::File copie = plat::File::Open(destination, "w");
    if (!copie) {
        SignalerEcritureImpossible(destination);
        return false;
    }
    ValiderProgres(IDC_PROGRESS, 1, 100, 0);
    SuiviProgression ecriture(LongueurFichier, deplacer);
    char info[32];
    bool ecrit = true;
    while (ecrit) {
        ecriture.Avancer(journal.Tell());
        if (!journal.GetLine(ligne, kLigneMax)) break;
        if (ligne.size() <= 1) continue;
        const std::string_view enreg = SansFinDeLigne(ligne);
        if (FermeSac(enreg, p)) {
            const std::string* code =
                logiques.Chercher(Champ(enreg, p.PositionCodeSac, p.LongueurCodeSac));
            if (TypeSac* sac = code ? compteur.Chercher(*code) : nullptr) {
                ++sac->CompteSac;
                const int n =
                    std::snprintf(info, sizeof info, "%02d/%02d", sac->CompteSac, sac->NombreSacs);
                Inscrire(ligne, p.PositionInfoSac,
                         std::string_view(info, static_cast<std::size_t>(n)));
            }
        }
        ecrit = copie.Write(ligne.data(), 1, ligne.size()) == ligne.size();
    }
    ValiderProgres(IDC_PROGRESS, 0, 100, 0);
    if (!copie.Close() || !ecrit) {
        SignalerEcritureImpossible(destination);
        return false;
    }
    return true;
}
