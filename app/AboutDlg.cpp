#include "app/AboutDlg.h"

#include "resources/resource.h"

CAboutDlg::CAboutDlg() : CDiagUtils(IDD_ABOUTBOX) {}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(CDataExchange* pDX) {
    CDiagUtils::DoDataExchange(pDX);
}
