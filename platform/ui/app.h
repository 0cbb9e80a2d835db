// The application object: one per process, created before the application
// starts. The product's main asks AfxGetApp() to InitInstance and ends when
// it returns false.
#pragma once

#include <string>
#include <string_view>

#include "platform/ui/resource.h"
#include "platform/ui/types.h"

class CWnd;

class CWinApp {
public:
    explicit CWinApp(std::string_view appName = {});
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual bool InitInstance() { return true; }
    virtual int ExitInstance() { return 0; }

    // The icon nID when the application has it, else 0.
    HICON LoadIcon(UINT nID) const { return plat::ui::FindIcon(nID) ? nID : 0; }

    std::string m_pszAppName;  // 1252
    CWnd* m_pMainWnd = nullptr;
};

// The application object; nullptr when none exists.
CWinApp* AfxGetApp();
// The application's name, "" when there is no application object.
std::string AfxGetAppName();

// Framework switches that the windowing backend always has on.
inline void AfxEnableControlContainer() {}
inline void Enable3dControlsStatic() {}
