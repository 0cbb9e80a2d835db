// Choosing the source with the standard open-file dialog, when no
// "donnees.ini" offers candidate folders. The dialog starts in the folder
// remembered in "CHEMIN.ABO", with a pattern that suits the layout that
// title identification found there.
#include <cctype>
#include <string>

#include "app/QuervaneDlg.h"
#include "import/Configuration.h"
#include "import/RunContext.h"
#include "platform/fs/fs.h"
#include "resources/resource.h"

namespace {

constexpr const char* kCheminAbo = "..\\config\\CHEMIN.ABO";

std::string Majuscules(std::string texte) {
    for (char& c : texte) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return texte;
}

}  // namespace

bool CQuervaneDlg::ChoisirFichierAbonnes(RunContext& run) {
    std::string cheminAbo;
    if (LirePremiereLigne(kCheminAbo, 256, cheminAbo)) run.CheminAbonnes = cheminAbo;

    if (!IdentifierTitre(run, FormeTitre::AvantDialogue)) return false;

    std::string initial;
    if (run.bSelectionJournal == 1) {
        initial = run.CheminAbonnes + "J*.SIT";
        run.Description = LoadString(IDS_FILTRE_SIT);
        run.AttributFichier = "SIT";
    } else if (EnregistrementJournal.LongueurEnregistrement != 0) {
        initial = run.CheminAbonnes + "*.ZIP";
        run.Description = LoadString(IDS_FILTRE_ZIP);
        run.AttributFichier = "ZIP";
    } else {
        initial = run.CheminAbonnes + "*.jo";
        run.Description = LoadString(IDS_FILTRE_JO);
        run.AttributFichier = "jo";
    }

    CFileDialog dialogue(true, run.AttributFichier, initial, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         run.Description, this);
    const int choix = dialogue.DoModal();
    // The dialog may have moved the working directory, to which every
    // configuration path is relative.
    plat::SetCurrentDirectory(run.RepertoireCourant);
    if (choix != IDOK) return false;

    run.CheminFichier = dialogue.GetPathName();
    run.CheminAbonnes = ExtractPathName(run.CheminFichier);
    run.FichierAbonnes = ExtractFileName(run.CheminFichier);

    // A folder that cannot be remembered only costs the operator a few
    // clicks next time.
    if (plat::File abo = plat::File::Open(kCheminAbo, "w"))
        abo.Printf("%s\n", run.CheminAbonnes.c_str());

    // The layout is the one of the folder chosen; an archive is identified
    // once extracted.
    if (Majuscules(ExtractExtension(run.CheminFichier)) == "ZIP") return true;
    return IdentifierTitre(run, FormeTitre::AvantDialogue);
}
