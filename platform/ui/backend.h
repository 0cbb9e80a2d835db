// The backend of the dialog framework: the one object that shows dialogs,
// message boxes, the open-file dialog and the wait cursor, and mirrors every
// change of a control while its dialog is open. The product installs the
// windowing backend; scripted runs and tests install the headless one.
// Dialog code never asks which backend runs.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/ui/types.h"

class CWnd;
class CDialog;
class CFileDialog;

namespace plat::ui {

// What changed on a control (or on the dialog itself). The backend reads the
// new state from the control during the call, on the caller's thread; after
// the call the model may change again.
enum class Change {
    Text,         // GetWindowText (for a dialog: its caption)
    Shown,        // IsWindowVisible
    Enabled,      // IsWindowEnabled
    Focus,        // the control took the keyboard focus
    ToTop,        // brought to the foreground
    Painted,      // GetPaintedLine: one line drawn over the client area
    Items,        // list or combo box: every item replaced (now GetCount items)
    ItemAdded,    // list or combo box: item `index` inserted
    ItemRemoved,  // list or combo box: item `index` removed
    Selection,    // list or combo box: GetCurSel
    Check,        // check box: GetCheck
    Range,        // progress bar, slider, scroll bar: range
    Position,     // progress bar, slider, scroll bar: position
    ReadOnly,     // edit: GetReadOnly
    Icon,         // static icon: GetIcon; dialog: GetIcon
    GridShape,    // grid: rows, columns or fixed rows changed
    GridCell,     // grid: cell (`row`, `col`): text, alignment or colour
    GridColumn,   // grid: width of column `col`
    GridLines,    // grid: line colour
    SystemMenu,   // dialog: its system menu gained an item
};

struct ControlChange {
    Change what = Change::Text;
    int index = -1;
    int row = -1;
    int col = -1;
};

class Backend {
public:
    virtual ~Backend() = default;

    // Message boxes shown through AfxMessageBox so far: a run tells by it
    // whether a message came after its last status.
    std::uint64_t MessageBoxesShown() const { return messageBoxes_; }
    void CountMessageBox() { ++messageBoxes_; }

    // Shows dlg modally. The dialog's controls exist when this is called.
    // The backend makes its peers, calls dlg.RunInitDialog() once, then
    // delivers operator input (CDialog's "operator input" methods) until
    // dlg.IsOpen() is false, and returns.
    virtual void RunModal(CDialog& dlg) = 0;
    // EndDialog was called on dlg; a modal loop waiting on it may return.
    virtual void DialogEnded(CDialog& dlg) = 0;
    // A control of an open dialog, or the open dialog itself, changed.
    virtual void ControlChanged(CWnd& wnd, const ControlChange& change) = 0;

    // text and caption in 1252; type is MB_OK, MB_YESNO ... with an icon
    // flag. Returns IDOK, IDYES, IDNO or IDCANCEL.
    virtual int MessageBox(CWnd* owner, std::string_view text, std::string_view caption,
                           UINT type) = 0;
    // Shows the open-file dialog that dlg describes (dlg.GetRequest()); on
    // confirmation calls dlg.SetChosenPath and returns IDOK, else IDCANCEL.
    virtual int RunFileDialog(CFileDialog& dlg) = 0;

    virtual void SetWaitCursor(bool shown) = 0;

    // Polled by a long handler of dlg at each of its boundaries (a record, a
    // file): true when the operator has just asked to stop it and confirmed
    // (dlg.CancelQuestion() answered Oui). A backend whose window asks the
    // question itself calls dlg.RequestCancel() instead and answers false.
    virtual bool PollCancel(CDialog& dlg) {
        (void)dlg;
        return false;
    }

    // Whether dialogs have a system menu on this platform.
    virtual bool HasSystemMenu() const = 0;
    // Timer nIDEvent of dlg elapses every elapse milliseconds until killed;
    // the backend calls dlg.TimerElapsed(nIDEvent) while messages flow.
    virtual void SetTimer(CDialog& dlg, UINT_PTR nIDEvent, UINT elapse) = 0;
    virtual void KillTimer(CDialog& dlg, UINT_PTR nIDEvent) = 0;

private:
    std::uint64_t messageBoxes_ = 0;
};

// The answer of a message box of this type that nobody answers: IDOK for
// MB_OK, IDNO for MB_YESNO, IDCANCEL otherwise.
int NegativeAnswer(UINT type);

// The installed backend; an inert one (dialogs and the open-file dialog
// cancel at once, message boxes answer IDOK or IDNO) when none is.
Backend& CurrentBackend();
// Not owned; nullptr reinstalls the inert backend.
void InstallBackend(Backend* backend);

// Installs a backend for the lifetime of the object, then restores the
// previous one.
class ScopedBackend {
public:
    explicit ScopedBackend(Backend& backend);
    ~ScopedBackend();
    ScopedBackend(const ScopedBackend&) = delete;
    ScopedBackend& operator=(const ScopedBackend&) = delete;

private:
    Backend* previous_;
};

}  // namespace plat::ui
