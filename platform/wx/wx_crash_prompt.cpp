#include "platform/wx/wx_crash_prompt.h"

#include <wx/app.h>
#include <wx/init.h>
#include <wx/msgdlg.h>

#include <cstdlib>

#include "platform/wx/wx_support.h"

namespace plat::wx {

bool WxCrashPrompt::AskYesNo(const std::string& text, const std::string& caption) {
    wxMessageDialog box(nullptr, ToWx(text), ToWx(caption), wxYES_NO | wxICON_ERROR | wxCENTRE);
    box.SetYesNoLabels(wxString::FromUTF8("&Oui"), wxString::FromUTF8("&Non"));
    return box.ShowModal() == wxID_YES;
}

void WxCrashPrompt::Tell(const std::string& text, const std::string& caption) {
    wxMessageDialog box(nullptr, ToWx(text), ToWx(caption), wxOK | wxICON_INFORMATION | wxCENTRE);
    box.ShowModal();
}

int RunCrashReporterProcess(int argc, char** argv) {
    const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
    if (display) {
        // A bare application object: the product's own would start the
        // program's window.
        wxApp::SetInstance(new wxApp);
        if (wxEntryStart(argc, argv)) {
            WxCrashPrompt prompt;
            const int status = plat::RunCrashReporter(prompt);
            wxEntryCleanup();
            return status;
        }
    }
    plat::UnattendedCrashPrompt prompt;
    return plat::RunCrashReporter(prompt);
}

}  // namespace plat::wx
