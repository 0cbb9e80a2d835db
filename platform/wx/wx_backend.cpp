#include "platform/wx/wx_backend.h"

#include <wx/utils.h>

#include <algorithm>

#include "platform/ui/dialog.h"
#include "platform/ui/file_dialog.h"
#include "platform/wx/wx_dialog.h"
#include "platform/wx/wx_support.h"

namespace plat::wx {
namespace {

// A dialog's own window, or for a control the dialog that holds it.
const CDialog* DialogOf(const CWnd* wnd) {
    if (!wnd) return nullptr;
    if (const auto* dialog = dynamic_cast<const CDialog*>(wnd)) return dialog;
    return dynamic_cast<const CDialog*>(wnd->GetParent());
}

}  // namespace

DialogWindow* WxBackend::WindowOf(const CWnd* wnd) const {
    const CDialog* dialog = DialogOf(wnd);
    for (DialogWindow* window : open_) {
        if (&window->Model() == dialog) return window;
    }
    return nullptr;
}

wxWindow* WxBackend::ParentFor(const CWnd* owner) const {
    if (DialogWindow* window = WindowOf(owner)) return window;
    return open_.empty() ? nullptr : open_.back();
}

void WxBackend::RunModal(CDialog& dlg) {
    RunOnUiThread([this, &dlg] {
        DialogWindow window(dlg, ParentFor(dlg.GetParent()));
        open_.push_back(&window);
        window.RunModal();
        open_.erase(std::find(open_.begin(), open_.end(), &window));
    });
}

void WxBackend::DialogEnded(CDialog& dlg) {
    RunOnUiThread([this, &dlg] {
        if (DialogWindow* window = WindowOf(&dlg)) window->Ended();
    });
}

void WxBackend::ControlChanged(CWnd& wnd, const plat::ui::ControlChange& change) {
    RunOnUiThread([this, &wnd, &change] {
        if (DialogWindow* window = WindowOf(&wnd)) window->Apply(wnd, change);
    });
}

int WxBackend::MessageBox(CWnd* owner, std::string_view text, std::string_view caption, UINT type) {
    int result = IDCANCEL;
    RunOnUiThread([&] { result = ShowMessageBox(ParentFor(owner), text, caption, type); });
    return result;
}

int WxBackend::RunFileDialog(CFileDialog& dlg) {
    int result = IDCANCEL;
    RunOnUiThread([&] { result = ShowFileDialog(dlg, ParentFor(dlg.GetParent())); });
    return result;
}

void WxBackend::SetWaitCursor(bool shown) {
    RunOnUiThread([this, shown] {
        if (shown == waitCursor_) return;
        waitCursor_ = shown;
        if (shown)
            wxBeginBusyCursor();
        else
            wxEndBusyCursor();
    });
}

void WxBackend::SetTimer(CDialog& dlg, UINT_PTR nIDEvent, UINT elapse) {
    RunOnUiThread([&] {
        if (DialogWindow* window = WindowOf(&dlg)) window->StartTimer(nIDEvent, elapse);
    });
}

void WxBackend::KillTimer(CDialog& dlg, UINT_PTR nIDEvent) {
    RunOnUiThread([&] {
        if (DialogWindow* window = WindowOf(&dlg)) window->StopTimer(nIDEvent);
    });
}

}  // namespace plat::wx
