// The product: the crash report writer first, then the application object
// on the wxWidgets backend.
#include <wx/app.h>
#include <wx/init.h>

#include <clocale>
#include <iostream>

#include "app/Quervane.h"
#include "app/mdump.h"
#include "platform/crash.h"
#include "platform/ui/backend.h"
#include "platform/wx/wx_backend.h"
#include "platform/wx/wx_crash_prompt.h"
#include "platform/wx/wx_support.h"

// Constructed before every other object of the program, so that a fault in
// a later constructor is reported too.
[[gnu::init_priority(101)]] MiniDumper minidumper("Quervane");

namespace {

// wx's own consistency checks go to the standard error instead of opening
// a dialog that the operator could not act on.
void ReportAssert(const wxString& file, int line, const wxString& function,
                  const wxString& condition, const wxString& message) {
    std::cerr << "wx assertion " << condition.utf8_string() << " failed in "
              << function.utf8_string() << " (" << file.utf8_string() << ":" << line
              << "): " << message.utf8_string() << "\n";
}

class QuervaneWxApp : public wxApp {
public:
    // The program reads no command line: wxApp's parser is not called.
    bool OnInit() override {
        wxSetAssertHandler(ReportAssert);
        // GTK took the desktop's locale; numbers are written the C way.
        std::setlocale(LC_NUMERIC, "C");
        plat::wx::ApplyDialogStyleSheet();
        plat::wx::LoadFrenchToolkitCatalog();
        plat::ui::InstallBackend(&backend_);
        return true;
    }

    // The application object shows the main window modally and returns
    // false when it closes; the program then ends with ExitInstance's status.
    int OnRun() override {
        CWinApp& app = theApp;
        if (app.InitInstance()) {
            // An application that wants a message loop of its own: none
            // exists here, the program ends as well.
        }
        return app.ExitInstance();
    }

    int OnExit() override {
        plat::ui::InstallBackend(nullptr);
        return wxApp::OnExit();
    }

private:
    plat::wx::WxBackend backend_;
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(QuervaneWxApp);

int main(int argc, char** argv) {
    if (plat::IsCrashReporterProcess(argc, argv))
        return plat::wx::RunCrashReporterProcess(argc, argv);
    plat::wx::PrepareFrenchToolkitTexts();
    return wxEntry(argc, argv);
}
