#include "dialogs/SaisieExemplaires.h"

#include "resources/resource.h"

CSaisieExemplaires::CSaisieExemplaires(CWnd* pParent) : CDialog(IDD_SAISIE_EXEMPLAIRES, pParent) {}

CSaisieExemplaires::~CSaisieExemplaires() = default;

void CSaisieExemplaires::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_NOMBRE_EXEMPLAIRES, NombreExemplaires);
}

// The base initialisation puts NombreExemplaires into the edit.
bool CSaisieExemplaires::OnInitDialog() {
    CDialog::OnInitDialog();
    return true;
}

// A text that is not an integer keeps the dialog open (the exchange shows
// why) and leaves bValide as it was.
void CSaisieExemplaires::OnOK() {
    if (!UpdateData(true)) return;
    bValide = true;
    EndDialog(IDOK);
}

void CSaisieExemplaires::OnCancel() {
    bValide = false;
    CDialog::OnCancel();
}
