// The prepared-base import after the descriptor stage: the two switches of
// "..\CONFIG\MODES", the base control, then the copies into the data
// directory (the subscriber file possibly completed, the bag file possibly
// rebuilt), the reset of the title's index files and the removal of staging
// copies.
#include <array>
#include <string>
#include <string_view>

#include "app/QuervaneDlg.h"
#include "import/Configuration.h"
#include "import/LignesFournisseur.h"
#include "import/RunContext.h"
#include "import/RunHelpers.h"
#include "import/SubscriberSurvey.h"
#include "platform/fs/fs.h"

namespace {

// Longer than any subscriber record: a line is judged whole.
constexpr std::size_t kLigneMaxAbonne = std::size_t{1} << 20;

constexpr std::array<std::string_view, 7> kFichiersBase = {".jo", ".li", ".sa", ".ro",
                                                           ".re", ".ed", ".ti"};

// Ends the wait cursor that the descriptor stage showed, on every way out of
// the prepared-base import.
class FinCurseurAttente {
public:
    FinCurseurAttente() = default;
    FinCurseurAttente(const FinCurseurAttente&) = delete;
    FinCurseurAttente& operator=(const FinCurseurAttente&) = delete;
    ~FinCurseurAttente() { CWnd::EndWaitCursor(); }
};

}  // namespace

bool CQuervaneDlg::ImporterBasePreparee(RunContext& run) {
    FinCurseurAttente fin;
    int ChampInfoSac = 0;
    int ChampSacUtilisateur = 0;
    if (!LireModes(run) || !LireValeurConfiguration("..\\CONFIG\\INFOSAC", ChampInfoSac) ||
        !LireValeurConfiguration("..\\CONFIG\\CHAMP.SAC", ChampSacUtilisateur) ||
        !BaseAvecAbonnes(run)) {
        return false;
    }
    const bool completion = ChampInfoSac > 0 && ChampSacUtilisateur > 0;
    const bool refabrication = TablesBase.bDefined[SlotSac] && run.bTraitementSac;

    // What the completion and the rebuild need from the subscriber file is
    // gathered during the control's pass.
    ReleveAbonnes releve;
    if (refabrication) releve.Index.emplace(LongueurCleSac());
    if (run.bTestCoherence) {
        if (completion) {
            if (const auto positions = PositionsDeCompletion(ChampInfoSac, ChampSacUtilisateur)) {
                PreparerComptage(run, releve, *positions);
            }
        }
        if (InterruptionDemandee() || !ControleBase(run, releve)) return false;
    }
    // Copying a base onto itself would truncate it while it is read.
    if (plat::NativePath(run.CheminAbonnes + run.FichierAbonnes + ".jo") ==
        plat::NativePath(RepertoireData + run.FichierAbonnes + ".jo")) {
        ArreterImport(
            Texte("La base choisie est celle du répertoire des données : "
                  "il n'y a rien à importer."));
        return false;
    }
    if (!CopierBasePreparee(run, releve, ChampInfoSac, ChampSacUtilisateur)) return false;
    Afficher(Texte("Importation effectuée"));
    return true;
}

bool CQuervaneDlg::BaseAvecAbonnes(const RunContext& run) {
    const std::string chemin = run.CheminAbonnes + run.FichierAbonnes + ".jo";
    plat::File journal = plat::File::Open(chemin, "r");
    // A file that cannot be opened is reported where it is read.
    if (!journal) return true;
    std::string_view ligne;
    while (journal.ReadLineView(ligne, kLigneMaxAbonne)) {
        if (EstEnregistrement(ligne)) return true;
    }
    // A file that fails to read is reported by the phase that reads it whole.
    if (journal.Error()) return true;
    ArreterImport(
        FormaterMessage(Texte("Le fichier des abonnés %s ne contient aucun abonné"), {chemin}));
    return false;
}

void CQuervaneDlg::ArreterImport(std::string_view message) {
    AfxMessageBox(message);
    Afficher("Echec de l'importation");
}

void CQuervaneDlg::SignalerEcritureImpossible(std::string_view fichier) {
    ArreterImport(FormaterMessage(Texte("Impossible d'écrire le fichier %s"), {fichier}));
}

void CQuervaneDlg::SignalerLectureImpossible(std::string_view fichier) {
    ArreterImport(FormaterMessage(Texte("Impossible de lire le fichier %s"), {fichier}));
}

// One decimal integer from a small configuration file; 0 when the file is
// absent or holds no number. A file that fails to read is neither: the
// import would go on without the completion or the rebuild it asks for.
bool CQuervaneDlg::LireValeurConfiguration(std::string_view chemin, int& valeur) {
    valeur = 0;
    plat::File fichier = plat::File::Open(chemin, "r");
    if (fichier) LireEntier(fichier, valeur);
    if (!fichier.Error()) return true;
    SignalerLectureImpossible(chemin);
    return false;
}

bool CQuervaneDlg::CopierFichierBase(const std::string& source, const std::string& destination) {
    // A base file that the source lacks (or that cannot be opened) is not
    // copied, and the import goes on; one that fails part way stops it.
    if (InterruptionDemandee()) return false;
    if (!plat::File::Open(source, "rb")) return true;
    plat::CopyFailure echec = plat::CopyFailure::None;
    if (Donnees.CopyFile(source, destination, &echec)) {
        FichiersCopies.push_back(destination);
        return true;
    }
    if (echec == plat::CopyFailure::Source) {
        SignalerLectureImpossible(source);
    } else {
        SignalerEcritureImpossible(destination);
    }
    return false;
}

bool CQuervaneDlg::LireModes(RunContext& run) {
    run.bTestCoherence = true;
    run.bTraitementSac = true;
    // A file that does not start with two numbers counts as absent.
    const char* const chemin = "..\\CONFIG\\MODES";
    plat::File modes = plat::File::Open(chemin, "r");
    int controle = 0;
    int sacs = 0;
    if (modes && LireEntier(modes, controle) && LireEntier(modes, sacs)) {
        run.bTestCoherence = controle != 0;
        run.bTraitementSac = sacs != 0;
    }
    if (!modes.Error()) return true;
    SignalerLectureImpossible(chemin);
    return false;
}

bool CQuervaneDlg::CopierBasePreparee(RunContext& run, ReleveAbonnes& releve, int ChampInfoSac,
                                      int ChampSacUtilisateur) {
    const std::string source = run.CheminAbonnes + run.FichierAbonnes;
    const std::string destination = RepertoireData + run.FichierAbonnes;

    if (ChampInfoSac > 0 && ChampSacUtilisateur > 0) {
        if (InterruptionDemandee() ||
            !CopieCompletion(run, releve, ChampInfoSac, ChampSacUtilisateur)) {
            return false;
        }
        FichiersCopies.push_back(destination + Texte(".jo (complété)"));
    } else {
        Afficher(Texte("copie du fichier des abonnés"));
        if (!CopierFichierBase(source + ".jo", destination + ".jo")) return false;
    }

    Afficher("copie du fichier des liasses");
    if (!CopierFichierBase(source + ".li", destination + ".li")) return false;

    if (TablesBase.bDefined[SlotSac] && run.bTraitementSac) {
        if (InterruptionDemandee() || !RefabricationSacs(run, releve)) return false;
        FichiersCopies.push_back(destination + Texte(".sa (refabriqué)"));
    } else {
        Afficher("copie du fichier des sacs");
        if (!CopierFichierBase(source + ".sa", destination + ".sa")) return false;
    }

    const std::array<std::pair<const char*, const char*>, 4> copies = {{
        {"Copie du fichier des routages", ".ro"},
        {"Copie du fichier des réseaux", ".re"},
        {"Copie du fichier des éditions", ".ed"},
        {"Copie du fichier titre", ".ti"},
    }};
    for (const auto& [statut, extension] : copies) {
        Afficher(Texte(statut));
        if (!CopierFichierBase(source + extension, destination + extension)) return false;
    }

    Afficher("Raz des fichiers d'index");
    for (char indice = '0'; indice <= '7'; ++indice) {
        Donnees.DeleteFile(destination + "." + indice);
    }

    if (run.bZippe) {
        for (std::string_view extension : kFichiersBase) {
            Donnees.DeleteFile(source + std::string(extension));
        }
    }
    return true;
}
