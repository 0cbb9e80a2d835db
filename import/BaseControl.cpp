// The base control of a prepared base: one pass over the subscriber file
// with one look-ahead read per level file. For each level (bundle, bag,
// route, network, edition), every run of equal consecutive keys in the
// subscriber file must meet the next record of the level file, with the same
// key. The first discrepancy is shown and abandons the import, before
// anything is copied.
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "app/QuervaneDlg.h"
#include "import/LignesFournisseur.h"
#include "import/RunContext.h"
#include "import/RunHelpers.h"
#include "import/SubscriberSurvey.h"
#include "platform/fs/fs.h"
#include "resources/resource.h"
#include "util/JusquAuZero.h"

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

// The level files and the last key of each level. A record whose key fields
// are the previous record's changes no level: the span that holds them all
// is compared first, once.
class ControleNiveaux {
public:
    explicit ControleNiveaux(const TableBase& base) : base_(base) {
        std::size_t debut = std::string_view::npos, fin = 0;
        for (const Niveau& niveau : kNiveaux) {
            if (!base.ChampDefini(SlotJournal, niveau.ChampJournal)) continue;
            const auto position =
                static_cast<std::size_t>(base.PositionChamp[SlotJournal][niveau.ChampJournal]);
            debut = std::min(debut, position);
            fin =
                std::max(fin, position + static_cast<std::size_t>(
                                             base.LongueurChamp[SlotJournal][niveau.ChampJournal]));
        }
        debutZone_ = debut == std::string_view::npos ? 0 : debut;
        longueurZone_ = fin > debutZone_ ? fin - debutZone_ : 0;
    }

    std::array<EtatNiveau, kNiveaux.size()> Niveaux;

    // The first level whose new key the level file does not give next, with
    // that file's key; none when every level agrees. illisible: the level
    // file failed to read instead, which says nothing of its keys.
    struct Ecart {
        const Niveau* niveau = nullptr;
        std::string_view cleJournal, cleNiveau;
        bool illisible = false;
    };
    Ecart Controler(std::string_view enreg) {
        const std::string_view zone =
            enreg.substr(std::min(debutZone_, enreg.size()), longueurZone_);
        if (!premier_ && zone == zone_) return {};
        premier_ = false;
        zone_.assign(zone);
        for (std::size_t i = 0; i < kNiveaux.size(); ++i) {
            const Niveau& niveau = kNiveaux[i];
            EtatNiveau& etat = Niveaux[i];
            const std::string_view cle = ChampBase(base_, enreg, SlotJournal, niveau.ChampJournal);
            if (cle == etat.AncienneCle) continue;
            etat.AncienneCle.assign(cle);
            if (!etat.fichier) continue;

            // An exhausted level file reads as an empty line.
            if (!etat.fichier->GetLine(ligneNiveau_, 1024)) {
                if (etat.fichier->Error()) return {&niveau, {}, {}, true};
                ligneNiveau_.clear();
            }
            // The text whose characters the keys are and whose length counts,
            // its line feed included.
            const std::string_view texte = JusquAuZero(ligneNiveau_);
            std::string_view cleNiveau;
            if (static_cast<std::int64_t>(texte.size()) >=
                base_.LongueurEnregistrement[niveau.Slot]) {
                cleNiveau = ChampBase(base_, texte, niveau.Slot, niveau.ChampNiveau);
            }
            if (cleNiveau != etat.AncienneCle) return {&niveau, etat.AncienneCle, cleNiveau};
        }
        return {};
    }

private:
    const TableBase& base_;
    std::size_t debutZone_ = 0, longueurZone_ = 0;
    bool premier_ = true;
    std::string zone_;
    std::string ligneNiveau_;
};

}  // namespace

bool CQuervaneDlg::ControleBase(RunContext& run, ReleveAbonnes& releve) {
    Afficher(Texte("Contrôle de la Base"));

    const std::string prefixe = run.CheminAbonnes + run.FichierAbonnes;
    plat::File journal = plat::File::Open(prefixe + ".jo", "r");
    if (!journal) {
        Afficher(Texte("erreur d'ouverture du fichier journal"));
        return false;
    }
    ControleNiveaux niveaux(TablesBase);
    for (std::size_t i = 0; i < kNiveaux.size(); ++i) {
        if (i == kNiveauSac && !TablesBase.bDefined[SlotSac]) continue;
        niveaux.Niveaux[i].fichier = plat::File::Open(prefixe + kNiveaux[i].Extension, "r");
        if (!*niveaux.Niveaux[i].fichier) {
            Afficher(Texte(kNiveaux[i].ErreurOuverture));
            return false;
        }
    }

    bool bAbort = false;
    NumeroAbonne = 0;
    ValiderProgres(IDC_PROGRESS, 1, 100, 0);
    journal.Seek(0, SEEK_END);
    ProgressionParLignes progression(journal.Tell(),
                                     [this](int p) { PositionnerProgres(IDC_PROGRESS, p); });
    journal.Seek(0, SEEK_SET);

    std::string ligne;
    std::string illisible;  // a level file that failed to read
    for (std::int64_t debut = 0; !bAbort;) {
        progression.Avancer(debut);
        if (!journal.GetLine(ligne, 10000)) break;
        const std::int64_t fin = journal.Tell();
        releve.Lire(ligne, debut, fin);
        debut = fin;
        if (!EstEnregistrement(ligne)) continue;
        ++NumeroAbonne;
        const ControleNiveaux::Ecart ecart = niveaux.Controler(JusquAuZero(ligne));
        if (ecart.illisible) {
            illisible = prefixe + ecart.niveau->Extension;
            bAbort = true;
        } else if (ecart.niveau) {
            AfxMessageBox(
                FormaterMessage(LoadString(ecart.niveau->Message),
                                {ecart.cleJournal, std::to_string(NumeroAbonne), ecart.cleNiveau}));
            bAbort = true;
        }
    }

    ValiderProgres(IDC_PROGRESS, 0, 100, 0);
    if (!illisible.empty()) {
        SignalerLectureImpossible(illisible);
        return false;
    }
    if (bAbort) {
        Afficher("Echec de l'importation");
        return false;
    }
    // The subscribers after a failed read would be neither controlled nor
    // surveyed.
    if (journal.Error()) {
        Afficher("ERREUR LECTURE JOURNAUX");
        return false;
    }
    releve.Terminer();
    return true;
}
