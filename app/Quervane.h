// The application object: shows the main window as a modal dialog and ends
// the application when it closes.
#pragma once

#include "platform/ui/app.h"

class CQuervaneApp : public CWinApp {
public:
    CQuervaneApp();
    bool InitInstance() override;
};

extern CQuervaneApp theApp;
