// The dialog framework's backend on wxWidgets: real windows for dialogs,
// message boxes with French buttons, the open-file dialog, the wait cursor
// and timers. Every call may come from a long handler's worker thread; it is
// carried out on the user-interface thread, which the caller waits for.
#pragma once

#include <wx/window.h>

#include <vector>

#include "platform/ui/file_dialog.h"

#include "platform/ui/backend.h"

namespace plat::wx {

class DialogWindow;

class WxBackend : public plat::ui::Backend {
public:
    void RunModal(CDialog& dlg) override;
    void DialogEnded(CDialog& dlg) override;
    void ControlChanged(CWnd& wnd, const plat::ui::ControlChange& change) override;
    int MessageBox(CWnd* owner, std::string_view text, std::string_view caption,
                   UINT type) override;
    int RunFileDialog(CFileDialog& dlg) override;
    void SetWaitCursor(bool shown) override;
    // GTK has none; the dialogs offer the items of theirs on a right click.
    bool HasSystemMenu() const override { return true; }
    void SetTimer(CDialog& dlg, UINT_PTR nIDEvent, UINT elapse) override;
    void KillTimer(CDialog& dlg, UINT_PTR nIDEvent) override;

    // The open window of a dialog model, nullptr when it has none.
    DialogWindow* WindowOf(const CWnd* wnd) const;

private:
    // The window that owns new top-level windows: the owner's, else the
    // most recently opened dialog's.
    wxWindow* ParentFor(const CWnd* owner) const;

    std::vector<DialogWindow*> open_;  // in opening order
    bool waitCursor_ = false;
};

// The wildcard of the open-file dialog: the initial name's pattern, the
// request's filters (each letter of both cases), then every file.
wxString FileDialogWildcard(const CFileDialog::Request& request);

// Shows a message box (text and caption in 1252, type MB_OK ... with an
// icon flag) modally; IDOK, IDYES, IDNO or IDCANCEL.
int ShowMessageBox(wxWindow* parent, std::string_view text, std::string_view caption, UINT type);

// Shows the open-file dialog that dlg describes; IDOK or IDCANCEL.
int ShowFileDialog(CFileDialog& dlg, wxWindow* parent);

}  // namespace plat::wx
