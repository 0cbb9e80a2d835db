// "Sélectionner un fichier": the operator picks one file of a local folder
// or of an FTP folder ("ftp://" address), in a grid of names, sizes and
// dates; sub-folders can be entered and left again (never above the start
// folder), the file rows sorted by a click on a column's header. The filter
// is an extension, "*", or a name pattern or template (LoadFileFiltre.h).
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/LoadFileFiltre.h"
#include "dialogs/LoadFileTri.h"
#include "platform/inet/ftp_address.h"
#include "platform/inet/inet.h"
#include "platform/ui/dialog.h"

class CGrid;

class CLoadFile : public CDialog {
public:
    static constexpr int kNiveauxMax = 20;

    explicit CLoadFile(CWnd* pParent = nullptr);
    ~CLoadFile() override;

    // ---- in ----
    std::string sTitre;  // caption; empty keeps the template's
    // Start folder: a local folder ending with a backslash, or an FTP address
    // (reduced, while the dialog opens, to "ftp://", the credentials, the
    // host and "/").
    std::string sPath;
    std::string sExtension;      // "*", an extension, a name pattern or template
    bool bAskAutoModif = false;  // offers "Autoriser la modification"
    int IdValidation = 0;        // string id of the OK button's text; 0 keeps "Valider"
    bool bSubDirectory = false;  // sub-folders are listed and can be entered

    // ---- out ----
    bool bValide = false;   // a file was picked and confirmed
    std::string sFileName;  // the picked name as shown (or as edited)
    int bAutoModif = 0;
    // An FTP listing failed: the operator has been told, once, and the
    // dialog ended cancelled without another message.
    bool bEchecFtp = false;
    // The folder the operator ended in: for a local folder the start folder
    // and each entered sub-folder with a backslash; for FTP, while open, the
    // address without its credentials and, after OK, with them.
    std::string sCompletePath;

    // ---- state ----
    int NbFiles = 0;        // data rows of the grid
    int FilePosition = -1;  // selected data row (grid row - 1), -1 when none
    int NbLevels = 0;       // folder levels below the server root or the start folder
    int NbBaseLevels = 0;   // levels of the start folder: the operator stays below
    int FirstFile = 0;      // data rows before the first file row
    std::array<std::string, kNiveauxMax> sSubDirectory;
    std::string sOnlyPath;  // FTP: the remote folder, "/" then each level and "/"
    // Opens the connections of the FTP listings (time-outs settable).
    CInternetSession m_Session;

    // Fills the grid for the current folder.
    void FillGrid();
    void OnClickFichiers();
    void OnDblClickFichiers();

    // The transcript of a scripted run names the folder without credentials.
    std::string GetScriptDescription() const override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    bool EstFtp() const;
    void PreparerGrille();
    void PreparerNiveauxFtp();
    void PreparerChemins();
    // Append the folder rows, set FirstFile, append the file rows.
    void ListerLocal(const FiltreFichiers& filtre, std::vector<LigneGrille>& lignes);
    void ListerFtp(const FiltreFichiers& filtre, std::vector<LigneGrille>& lignes);
    // One listing of the pattern on its own connection: chaque for every
    // entry found; a failure is shown and ends the listing: false.
    bool ListerDossierFtp(const plat::ftp::FtpAddress& adresse, const std::string& motif,
                          const std::function<void(CFtpFileFind&)>& chaque);
    void EcrireGrille(const std::vector<LigneGrille>& lignes);
    void ColorerLigne(int ligne, bool selectionnee);
    void TrierColonne(int colonne);
    void ChangerDossier(int ligne);
    // The grid row (from 1) whose shown name is nom, a folder row by the
    // name in its brackets; 0 when none.
    int LigneNommee(std::string_view nom) const;
    CGrid* Grille() const;
};
