#include "dialogs/ErreursSac.h"

#include "resources/resource.h"

CErreursSac::CErreursSac(CWnd* pParent) : CDialog(IDD_ERREURS_SAC, pParent) {}

CErreursSac::~CErreursSac() = default;

void CErreursSac::AddInfo(std::string Info) {
    if (NombreErreurs >= kCapacite) return;
    ListeErreurs.push_back(std::move(Info));
    ++NombreErreurs;
}

void CErreursSac::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
}

bool CErreursSac::OnInitDialog() {
    CDialog::OnInitDialog();
    if (auto* list = GetControl<CListBox>(IDC_LISTE_ERREURS)) {
        for (const std::string& entry : ListeErreurs) list->AddString(entry);
    }
    return true;
}

void CErreursSac::OnOK() {
    CDialog::OnOK();
}
