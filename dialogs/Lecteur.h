// "Choix du chemin de lecture de la base": the operator picks one of the
// candidate source folders of the run. A drive root is shown with its drive
// type and volume label, an FTP address without its credentials; the caller
// reads back the index of the chosen candidate.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/dialog.h"

class CLecteur : public CDialog {
public:
    explicit CLecteur(CWnd* pParent = nullptr);
    ~CLecteur() override;

    int NbDrives = 0;
    // The candidates, owned by the caller; at most NbDrives of them are shown.
    const std::vector<std::string>* pCheminDrive = nullptr;
    bool bValide = false;  // the operator confirmed
    int NuLecteur = 0;     // index of the chosen candidate

    // Fills the list again (button "Rafraîchir"): a medium inserted meanwhile
    // shows its label.
    void OnRafraichir();

    // The text shown for one candidate (1252).
    static std::string TexteCandidat(std::string_view candidat);
    // The texts shown for the candidates: FTP addresses that would show
    // alike (they differ only by their credentials) show their user name,
    // and those that still show alike their rank in the list, "(2)".
    static std::vector<std::string> TextesCandidats(const std::vector<std::string>& candidats);

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    int NombreCandidats() const;
};
