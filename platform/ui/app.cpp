#include "platform/ui/app.h"

#include "platform/ui/backend.h"
#include "platform/ui/message_box.h"
#include "platform/ui/wnd.h"

namespace {
// The one application object of the process (set by its constructor).
CWinApp* application = nullptr;
// Installed and told on the run's thread only.
plat::ui::MessageListener* listener = nullptr;
}  // namespace

namespace plat::ui {

MessageListener::MessageListener(std::function<void(std::string_view)> hear)
    : hear_(std::move(hear)), previous_(listener) {
    listener = this;
}

MessageListener::~MessageListener() {
    listener = previous_;
}

void NotifyMessageShown(std::string_view text) {
    if (listener && listener->hear_) listener->hear_(text);
}

}  // namespace plat::ui

CWinApp::CWinApp(std::string_view appName) : m_pszAppName(appName) {
    if (application == nullptr) application = this;
}

CWinApp::~CWinApp() {
    if (application == this) application = nullptr;
}

CWinApp* AfxGetApp() {
    return application;
}

std::string AfxGetAppName() {
    return application ? application->m_pszAppName : std::string();
}

int AfxMessageBox(std::string_view text, UINT nType, UINT) {
    CWnd* owner = application ? application->m_pMainWnd : nullptr;
    plat::ui::CurrentBackend().CountMessageBox();
    plat::ui::NotifyMessageShown(text);
    return plat::ui::CurrentBackend().MessageBox(owner, text, AfxGetAppName(), nType);
}
