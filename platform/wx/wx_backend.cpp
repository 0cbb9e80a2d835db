#include "platform/wx/wx_backend.h"

#include <wx/msgdlg.h>
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

long MessageStyle(UINT type) {
    long style = 0;
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            style = wxOK | wxCANCEL;
            break;
        case MB_YESNO:
            style = wxYES_NO;
            break;
        case MB_YESNOCANCEL:
            style = wxYES_NO | wxCANCEL;
            break;
        default:
            style = wxOK;
            break;
    }
    switch (type & MB_ICONMASK) {
        case MB_ICONHAND:
            style |= wxICON_ERROR;
            break;
        case MB_ICONQUESTION:
            style |= wxICON_QUESTION;
            break;
        case MB_ICONEXCLAMATION:
            style |= wxICON_WARNING;
            break;
        case MB_ICONASTERISK:
            style |= wxICON_INFORMATION;
            break;
        default:
            style |= wxICON_NONE;
            break;
    }
    return style;
}

int ResultOf(int wxAnswer) {
    switch (wxAnswer) {
        case wxID_OK:
            return IDOK;
        case wxID_YES:
            return IDYES;
        case wxID_NO:
            return IDNO;
        default:
            return IDCANCEL;
    }
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
    RunOnUiThread([&] {
        wxMessageDialog box(ParentFor(owner), ToWx(text), ToWx(caption), MessageStyle(type));
        // The buttons speak French, whatever the desktop's language.
        box.SetYesNoCancelLabels(wxString::FromUTF8("&Oui"), wxString::FromUTF8("&Non"),
                                 wxString::FromUTF8("Annuler"));
        box.SetOKCancelLabels(wxString::FromUTF8("OK"), wxString::FromUTF8("Annuler"));
        result = ResultOf(box.ShowModal());
    });
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
