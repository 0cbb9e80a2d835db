// Title identification: the title file of the source set gives the title
// code, and the title's own layout "..\CONFIG\<code>.DEF" replaces the
// subscriber layout when it exists. The kind of set follows from which title
// file is found.
#include <string>
#include <string_view>

#include "app/QuervaneDlg.h"
#include "import/Configuration.h"
#include "import/LignesFournisseur.h"
#include "import/RunContext.h"
#include "import/RunHelpers.h"
#include "platform/fs/fs.h"
#include "resources/resource.h"

namespace {

constexpr int kSelectionCyb = 0;
constexpr int kSelectionTxt = 2;
constexpr int kSelectionModele = 3;

// The name template that stands for the title file when no "TITRE" file is
// found: the folder itself before the open-file dialog (so nothing opens),
// the template of "donnees.ini" after the file picker and after an
// extraction of a set chosen through it, and otherwise the archive's
// extension after an extraction.
std::string ModeleTitre(const RunContext& run, CQuervaneDlg::FormeTitre forme) {
    switch (forme) {
        case CQuervaneDlg::FormeTitre::AvantDialogue:
            return run.CheminAbonnes;
        case CQuervaneDlg::FormeTitre::ApresSelecteur:
            return run.CheminAbonnes + run.ModeleDonnees;
        case CQuervaneDlg::FormeTitre::ApresExtraction:
            return run.CheminAbonnes + (run.bDonnees ? run.ModeleDonnees : run.sExtension);
    }
    return run.CheminAbonnes;
}

}  // namespace

bool CQuervaneDlg::IdentifierTitre(RunContext& run, FormeTitre forme) {
    EnregistrementJournal = run.JournalDef;
    run.bSelectionJournal = run.SelectionJournalDef;

    // A ".SIT" set keeps the kind its layout gave.
    std::string nom = run.CheminAbonnes + "TITRE.SIT";
    plat::File titre = plat::File::Open(nom, "r");
    if (!titre) {
        nom = run.CheminAbonnes + "TITRE.CYB";
        titre = plat::File::Open(nom, "r");
        if (forme != FormeTitre::ApresSelecteur) run.bSelectionJournal = kSelectionCyb;
    }
    if (!titre) {
        nom = run.CheminAbonnes + "TITRE.TXT";
        titre = plat::File::Open(nom, "r");
        run.bSelectionJournal = kSelectionTxt;
    }
    if (!titre) {
        run.FichiersFiltres = Remplacer(ModeleTitre(run, forme), "{id}", run.IdentifiantChoisi);
        nom = Remplacer(run.FichiersFiltres, "{n}", "1");
        titre = plat::File::Open(nom, "r");
        run.bSelectionJournal = kSelectionModele;
    }
    if (!titre) {
        if (forme == FormeTitre::ApresSelecteur) run.bSelectionJournal = kSelectionCyb;
        return true;
    }

    std::string ligne;
    const bool lu = titre.GetLine(ligne, 80);
    // A title file that fails to read may name a title whose layout is not
    // the one loaded before.
    if (titre.Error()) return ErreurLectureTitre(nom);
    titre.Close();
    // An empty title file names no title: the layout loaded before stays.
    if (!lu) return true;
    // The line is a text: it ends at a zero byte. An empty first line names
    // the title "", whose layout is "..\CONFIG\.DEF".
    const std::string code = CodeTitre(TexteLigne(ligne));
    const std::string description = "..\\CONFIG\\" + code + ".DEF";
    if (!plat::FileExists(description)) return true;
    return ChargerDescriptionJournal(run, description);
}

bool CQuervaneDlg::ErreurLectureTitre(const std::string& nom) {
    AfxMessageBox(FormaterMessage(LoadString(IDS_ERREUR_TITRE), {nom}));
    return false;
}
