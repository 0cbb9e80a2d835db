// "Liste des sacs non existant": the bag numbers that the bag rebuild needed
// and did not find. Filled during the run, shown once at its end.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/dialog.h"

class CErreursSac : public CDialog {
public:
    static constexpr int kCapacite = 10000;

    explicit CErreursSac(CWnd* pParent = nullptr);
    ~CErreursSac() override;

    // Keeps Info as the next entry; beyond kCapacite entries it is dropped.
    void AddInfo(std::string Info);

    int NombreErreurs = 0;
    std::vector<std::string> ListeErreurs;  // the entries, in the order added

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    void OnOK() override;
};
