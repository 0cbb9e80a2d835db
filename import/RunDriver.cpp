// One import run, from the button press to its last status text: the
// configuration, the choice of the source, the descriptor stage, then the
// prepared-base import or the supplier conversion.
#include <cstring>

#include "app/QuervaneDlg.h"
#include "import/RunContext.h"
#include "platform/fs/fs.h"

void CQuervaneDlg::OnQuervane() {
    // Everything the run holds is released when it goes out of scope,
    // whichever step ends the run.
    RunContext run(this);
    ExecuterImport(run);
    NoterSource(run);
}

void CQuervaneDlg::ExecuterImport(RunContext& run) {
    run.NombreSacsLogiques = 0;
    run.bSelectionJournal = 0;
    Afficher("");
    if (!LireConfiguration(run)) return;

    run.RepertoireCourant = plat::GetCurrentDirectory();
    run.CheminAbonnes = RepertoireData;
    if (!ChoisirSource(run)) return;
    if (!EtapeZip(run)) return;

    run.sDescriptif = LibelleTitreJournal();
    if (!EtapeDescripteur(run)) return;

    if (EnregistrementJournal.LongueurEnregistrement == 0) {
        ImporterBasePreparee(run);
    } else {
        ConversionFournisseur(run);
    }
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
