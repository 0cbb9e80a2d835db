// The base control of a prepared base: one pass over the subscriber file
// with one look-ahead read per level file. For each level (bundle, bag,
// route, network, edition), every run of equal consecutive keys in the
// subscriber file must meet the next record of the level file, with the same
// key. The first discrepancy is shown and abandons the import, before
// anything is copied.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "app/QuervaneDlg.h"
#include "import/RunContext.h"
#include "import/RunHelpers.h"
#include "platform/fs/fs.h"
#include "resources/resource.h"

namespace {

// A level: the key field of the subscriber record, its file, the slot and
// key field of that file's records, its message, its status text when the
// file does not open.
struct Niveau {
    int ChampJournal;
    const char* Extension;
    int Slot;
    int ChampNiveau;
    UINT Message;
    const char* ErreurOuverture;  // UTF-8
};

// In the order in which the levels are checked for each subscriber record.
constexpr std::array<Niveau, 5> kNiveaux = {{
    {5, ".li", SlotLiasse, 5, 63213, "erreur d'ouverture du fichier liasses"},
    {4, ".sa", SlotSac, 4, 63214, "Erreur d'ouverture du fichier sacs"},
    {3, ".ro", SlotRoutage, 3, 63215, "Erreur d'ouverture du fichier routage"},
    {2, ".re", SlotReseau, 2, 63216, "Erreur d'ouverture du fichier réseau"},
    {1, ".ed", SlotEdition, 1, 63217, "Erreur d'ouverture du fichier édition"},
}};
constexpr std::size_t kNiveauSac = 1;

struct EtatNiveau {
    std::optional<plat::File> fichier;  // none for the bags when slot 2 is undefined
    std::string AncienneCle;
};

std::string_view ChampBase(const TableBase& base, std::string_view enreg, int slot, int champ) {
    if (!base.ChampDefini(slot, champ)) return {};
    return Champ(enreg, base.PositionChamp[slot][champ], base.LongueurChamp[slot][champ]);
}

}  // namespace

bool CQuervaneDlg::ControleBase(RunContext& run) {
    Afficher(Texte("Contrôle de la Base"));

    const std::string prefixe = run.CheminAbonnes + run.FichierAbonnes;
    plat::File journal = plat::File::Open(prefixe + ".jo", "r");
    if (!journal) {
        Afficher(Texte("erreur d'ouverture du fichier journal"));
        return false;
    }
    std::array<EtatNiveau, kNiveaux.size()> niveaux;
    for (std::size_t i = 0; i < kNiveaux.size(); ++i) {
        if (i == kNiveauSac && !TablesBase.bDefined[SlotSac]) continue;
        niveaux[i].fichier = plat::File::Open(prefixe + kNiveaux[i].Extension, "r");
        if (!*niveaux[i].fichier) {
            Afficher(Texte(kNiveaux[i].ErreurOuverture));
            return false;
        }
    }

    bool bAbort = false;
    NumeroAbonne = 0;
    ValiderProgres(IDC_PROGRESS, 1, 100, 0);
    journal.Seek(0, SEEK_END);
    const std::int64_t LongueurFichier = journal.Tell();
    journal.Seek(0, SEEK_SET);
    SuiviProgression progression(LongueurFichier,
                                 [this](int p) { PositionnerProgres(IDC_PROGRESS, p); });

    std::string ligne;
    std::string ligneNiveau;
    while (!bAbort) {
        progression.Avancer(journal.Tell());
        if (!journal.GetLine(ligne, 10000)) break;
        if (ligne.size() <= 1) continue;
        ++NumeroAbonne;
        const std::string_view enreg = SansFinDeLigne(ligne);

        for (std::size_t i = 0; i < kNiveaux.size(); ++i) {
            const Niveau& niveau = kNiveaux[i];
            EtatNiveau& etat = niveaux[i];
            const std::string_view cle =
                ChampBase(TablesBase, enreg, SlotJournal, niveau.ChampJournal);
            if (cle == etat.AncienneCle) continue;
            etat.AncienneCle.assign(cle);
            if (!etat.fichier) continue;

            // An exhausted level file reads as an empty line.
            if (!etat.fichier->GetLine(ligneNiveau, 1024)) ligneNiveau.clear();
            std::string_view cleNiveau;
            if (static_cast<std::int64_t>(ligneNiveau.size()) >=
                TablesBase.LongueurEnregistrement[niveau.Slot]) {
                cleNiveau = ChampBase(TablesBase, SansFinDeLigne(ligneNiveau), niveau.Slot,
                                      niveau.ChampNiveau);
            }
            if (cleNiveau != etat.AncienneCle) {
                AfxMessageBox(
                    FormaterMessage(LoadString(niveau.Message),
                                    {etat.AncienneCle, std::to_string(NumeroAbonne), cleNiveau}));
                bAbort = true;
                break;
            }
        }
    }

    ValiderProgres(IDC_PROGRESS, 0, 100, 0);
    if (bAbort) {
        Afficher("Echec de l'importation");
        return false;
    }
    return true;
}
