#include "app/Quervane.h"

#include <memory>

#include "app/QuervaneDlg.h"

CQuervaneApp theApp;

CQuervaneApp::CQuervaneApp() : CWinApp("Quervane") {}

bool CQuervaneApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControlsStatic();
    // The main window holds the run's tables: too large for the stack.
    auto dlg = std::make_unique<CQuervaneDlg>();
    m_pMainWnd = dlg.get();
    dlg->DoModal();
    m_pMainWnd = nullptr;
    // The dialog has closed: end the application rather than start a
    // message loop.
    return false;
}
