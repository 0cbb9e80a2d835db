// Choosing the source through "..\config\donnees.ini": its first line is the
// name template (or extension) of the source files, the following lines the
// candidate folders, local or "ftp://". The operator picks a folder in the
// drive chooser and a file in the file picker; a set in an FTP folder is
// fetched into "..\TEMP\" first. Title identification then runs in the
// folder that holds the set.
#include <string>

#include "app/QuervaneDlg.h"
#include "import/DossierTemp.h"
#include "import/LignesFournisseur.h"
#include "import/RunContext.h"
#include "import/TelechargementFtp.h"
#include "platform/fs/fs.h"
#include "platform/inet/ftp_address.h"
#include "resources/resource.h"

namespace {

constexpr std::size_t kLongueurLigne = 256;  // 255 characters and the end
constexpr std::size_t kCandidatsMax = 100;
constexpr const char* kDossierTemp = "..\\TEMP\\";

// The next line of the file without its line feed; false at the end.
bool LireLigne(plat::File& fichier, std::string& ligne) {
    if (!fichier.GetLine(ligne, kLongueurLigne)) return false;
    ligne.resize(TexteLigne(ligne).size());
    return true;
}

}  // namespace

bool CQuervaneDlg::ChoisirSourceDonnees(RunContext& run, plat::File& donnees) {
    std::string ligne;
    if (!LireLigne(donnees, ligne) || ligne.empty()) {
        donnees.Close();
        AfxMessageBox(IDS_PAS_DE_CHEMIN);
        return false;
    }
    run.sExtension = ligne;
    run.ModeleDonnees = ligne;
    run.CheminDrive.clear();
    while (LireLigne(donnees, ligne)) {
        if (!ligne.empty() && run.CheminDrive.size() < kCandidatsMax)
            run.CheminDrive.push_back(ligne);
    }
    donnees.Close();
    run.NbDrives = static_cast<int>(run.CheminDrive.size());
    if (run.NbDrives == 0) {
        AfxMessageBox(IDS_PAS_DE_CHEMIN);
        return false;
    }

    run.DlgLecteur.NbDrives = run.NbDrives;
    run.DlgLecteur.pCheminDrive = &run.CheminDrive;
    run.DlgLecteur.DoModal();
    if (!run.DlgLecteur.bValide) return false;
    run.CheminAbonnes = run.CheminDrive[run.DlgLecteur.NuLecteur];
    if (run.CheminAbonnes.back() != '\\') run.CheminAbonnes += '\\';

    CLoadFile& selecteur = run.DlgLoad;
    selecteur.sTitre = LoadString(IDS_SELECTION_TITRE);
    selecteur.sPath = run.CheminAbonnes;
    selecteur.sExtension = run.sExtension;
    selecteur.bSubDirectory = true;
    selecteur.DoModal();
    if (!selecteur.bValide) {
        // The server failed the listing: the operator read why, the run failed.
        if (selecteur.bEchecFtp) Afficher(LoadString(IDS_ECHEC_IMPORTATION));
        return false;
    }

    run.CheminAbonnes = selecteur.sCompletePath;
    run.FichierAbonnes = selecteur.sFileName;
    run.IdentifiantChoisi = selecteur.sFileName;
    if (plat::ftp::IsFtpAddress(run.CheminAbonnes)) {
        if (!TransfertFtp(run)) {
            Afficher(LoadString(IDS_ECHEC_IMPORTATION));
            return false;
        }
        run.CheminAbonnes = kDossierTemp;
    } else {
        run.CheminFichier = run.CheminAbonnes + selecteur.sFileName;
    }
    return IdentifierTitre(run, FormeTitre::ApresSelecteur);
}

bool CQuervaneDlg::TransfertFtp(RunContext& run) {
    // The picker's folder address keeps the credentials, which its shown
    // folder has lost.
    const std::optional<plat::ftp::FtpAddress> adresse =
        plat::ftp::ParseFtpAddress(run.DlgLoad.sPath);
    if (!adresse) return true;
    bool transfere = true;
    try {
        m_pFtpConnection = m_Session.GetFtpConnection(adresse->host, adresse->user,
                                                      adresse->password, adresse->port);
        // The staging folder may not exist yet; a server that cannot be
        // reached or refuses the login leaves the tree as it was.
        plat::CreateDirectory("..\\TEMP");
        ViderDossierTemp();
        TelechargerJeu(*m_pFtpConnection, DossierDistant(run.CheminAbonnes), run.sExtension,
                       run.DlgLoad.sFileName, kDossierTemp, run.CheminFichier);
    } catch (const CInternetException& erreur) {
        AfxMessageBox(erreur.GetErrorMessage(), MB_OK | MB_ICONEXCLAMATION);
        transfere = false;
    }
    m_pFtpConnection.reset();
    return transfere;
}
