// The about box.
#pragma once

#include "app/DiagUtils.h"

class CAboutDlg : public CDiagUtils {
public:
    CAboutDlg();
    ~CAboutDlg() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
