#include "platform/ui/backend.h"

#include <atomic>

#include "platform/ui/dialog.h"
#include "platform/ui/file_dialog.h"

namespace plat::ui {

namespace {

// Without a backend nothing can be shown: dialogs end cancelled, questions
// get their negative answer.
class InertBackend final : public Backend {
public:
    void RunModal(CDialog& dlg) override { dlg.EndDialog(IDCANCEL); }
    void DialogEnded(CDialog&) override {}
    void ControlChanged(CWnd&, const ControlChange&) override {}
    int MessageBox(CWnd*, std::string_view, std::string_view, UINT type) override {
        return NegativeAnswer(type);
    }
    int RunFileDialog(CFileDialog&) override { return IDCANCEL; }
    void SetWaitCursor(bool) override {}
    bool HasSystemMenu() const override { return false; }
    void SetTimer(CDialog&, UINT_PTR, UINT) override {}
    void KillTimer(CDialog&, UINT_PTR) override {}
};

InertBackend inertBackend;
// Installed once at start-up, read from the run's thread too.
std::atomic<Backend*> installed{nullptr};

}  // namespace

int NegativeAnswer(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OK:
            return IDOK;
        case MB_YESNO:
            return IDNO;
        default:
            return IDCANCEL;
    }
}

Backend& CurrentBackend() {
    if (Backend* backend = installed.load()) return *backend;
    return inertBackend;
}

void InstallBackend(Backend* backend) {
    installed.store(backend);
}

ScopedBackend::ScopedBackend(Backend& backend) : previous_(installed.exchange(&backend)) {}

ScopedBackend::~ScopedBackend() {
    installed.store(previous_);
}

}  // namespace plat::ui
