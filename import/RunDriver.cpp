// One import run, from the button press to its last status text: the
// configuration, the choice of the source, the descriptor stage, then the
// prepared-base import or the supplier conversion, and last the publication
// of what the run changed in the data directory.
#include <cstring>

#include "app/QuervaneDlg.h"
#include "import/RunContext.h"
#include "import/RunHelpers.h"
#include "platform/fs/fs.h"
#include "platform/ui/backend.h"
#include "resources/resource.h"

namespace {

// Whatever way the run ends, what it staged and did not publish goes with
// it, and the lock on the data directory is given back.
class FinDeRun {
public:
    explicit FinDeRun(plat::StagedFolder& donnees) : donnees_(donnees) {}
    FinDeRun(const FinDeRun&) = delete;
    FinDeRun& operator=(const FinDeRun&) = delete;
    ~FinDeRun() { donnees_.Release(); }

private:
    plat::StagedFolder& donnees_;
};

}  // namespace

void CQuervaneDlg::OnQuervane() {
    // Everything the run holds is released when it goes out of scope,
    // whichever step ends the run.
    RunContext run(this);
    FinDeRun fin(Donnees);
    if (!ExecuterImport(run)) TerminerEnEchec();
    NoterSource(run);
}

bool CQuervaneDlg::ExecuterImport(RunContext& run) {
    run.NombreSacsLogiques = 0;
    run.bSelectionJournal = 0;
    Afficher("");
    if (!LireConfiguration(run)) return false;

    run.RepertoireCourant = plat::GetCurrentDirectory();
    run.CheminAbonnes = RepertoireData;
    if (!ChoisirSource(run)) return false;
    if (!EtapeZip(run)) return false;

    run.sDescriptif = LibelleTitreJournal();
    if (!EtapeDescripteur(run)) return false;

    const bool reussi = EnregistrementJournal.LongueurEnregistrement == 0
                            ? ImporterBasePreparee(run)
                            : ConversionFournisseur(run);
    return reussi && PublierDonnees();
}

void CQuervaneDlg::TerminerEnEchec() {
    if (plat::ui::CurrentBackend().MessageBoxesShown() > MessagesAvantStatut) {
        Afficher(LoadString(IDS_ECHEC_IMPORTATION));
    }
}

bool CQuervaneDlg::PrendreRepertoireData(RunContext& run) {
    plat::FolderLock::Outcome verrou = plat::FolderLock::Outcome::Unavailable;
    run.VerrouDonnees = plat::FolderLock::Acquire(RepertoireData, verrou);
    // A directory that cannot be locked (it does not exist, or is a file)
    // holds no base to protect: the writes report what fails.
    if (verrou == plat::FolderLock::Outcome::Busy) {
        AfxMessageBox(FormaterMessage(LoadString(IDS_DONNEES_OCCUPEES), {RepertoireData}));
        return false;
    }
    std::string fichier;
    if (!plat::StagedFolder::Recover(RepertoireData, fichier)) {
        SignalerEcritureImpossible(fichier);
        return false;
    }
    return true;
}

bool CQuervaneDlg::PublierDonnees() {
    std::string fichier;
    if (Donnees.Publish(fichier)) return true;
    SignalerEcritureImpossible(fichier);
    return false;
}

bool CQuervaneDlg::ChoisirSource(RunContext& run) {
    if (plat::File donnees = plat::File::Open("..\\config\\donnees.ini", "r")) {
        run.bDonnees = true;
        return ChoisirSourceDonnees(run, donnees);
    }
    return ChoisirFichierAbonnes(run);
}

std::string CQuervaneDlg::LibelleTitreJournal() const {
    const char* libelle = EnregistrementJournal.LibelleTitre;
    return std::string(libelle, strnlen(libelle, sizeof EnregistrementJournal.LibelleTitre));
}
