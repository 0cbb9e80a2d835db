// The source acquisition steps that the run driver calls: the choice through
// "donnees.ini" (drive chooser, file picker, FTP) and the ZIP step. Until
// they are built, a run that needs one of them ends with a message that says
// so; a run on a plain file goes through the ZIP step unchanged.
#include <cctype>
#include <string>

#include "app/QuervaneDlg.h"
#include "import/RunContext.h"
#include "import/RunHelpers.h"
#include "platform/fs/fs.h"

bool CQuervaneDlg::ChoisirSourceDonnees(RunContext& /*run*/, plat::File& /*donnees*/) {
    AfxMessageBox(Texte("Le choix de la source par \"donnees.ini\" n'est pas disponible."));
    return false;
}

bool CQuervaneDlg::EtapeZip(RunContext& run) {
    run.bZippe = false;
    run.sExtension = ExtractExtension(run.CheminFichier);
    for (char& c : run.sExtension)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (run.sExtension != "ZIP") return true;
    AfxMessageBox(Texte("L'extraction des archives ZIP n'est pas disponible."));
    return false;
}
