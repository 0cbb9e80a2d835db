// "Saisie du nombre d'exemplaires": entry of a number of copies.
#pragma once

#include "platform/ui/dialog.h"

class CSaisieExemplaires : public CDialog {
public:
    explicit CSaisieExemplaires(CWnd* pParent = nullptr);
    ~CSaisieExemplaires() override;

    bool bValide = false;  // the operator confirmed with "Valider"
    int NombreExemplaires = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
};
