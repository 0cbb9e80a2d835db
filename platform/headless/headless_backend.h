// The backend of scripted runs. Nothing is drawn: dialogs are driven from
// the script's answers and every event the operator would have seen becomes
// one line of a transcript (UTF-8):
//   status TEXT            each line painted on a control (the status line)
//   message TEXT           a message box (line feeds written as \n)
//   open-file INITIAL | FILTER | DEFEXT
//   drive-chooser SHOWN0 | SHOWN1 | ...
//   file-picker PATH
//   missing-bags ENTRY1 | ENTRY2 | ...
//   unexpected DIALOG      a dialog with no fitting answer: it is cancelled
//
// Dialogs are recognised by their template's script role:
// - "drive-chooser": after OnInitDialog, the items of its combo box are
//   listed; the answer selects item N and presses OK (null: Cancel).
// - "file-picker": after OnInitDialog, its description (GetScriptDescription,
//   else the text of its first read-only edit) is written; the answer clicks
//   the grid row "<-" `up` times, the folder rows "[A]" ..., the file row
//   whose first cell is `pick`, types `edit` into its first editable edit
//   field, then presses OK (null: Cancel).
// - "missing-bags": the items of its list box are listed and OK is pressed.
// A dialog opens its line only once something shows: a dialog that ends in
// OnInitDialog without showing anything writes nothing.
// Dialogs without a role go to the operators pushed with PushOperator (in
// order), else they are "unexpected dialog N" and cancelled. A dialog still
// open after its answer or operator is cancelled.
//
// A "cancel" answer at the head of the answers counts the boundaries that
// the long run polls (PollCancel); at the boundary it names, the question
// of the dialog is written as a message and answered (Oui: the run is told
// to stop, Non: it goes on).
//
// Message boxes with an OK button only answer IDOK; others get their
// negative answer (IDNO, IDCANCEL), since no script answers them.
#pragma once

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/headless/script.h"
#include "platform/ui/backend.h"

namespace plat::headless {

class HeadlessBackend : public plat::ui::Backend {
public:
    using Operator = std::function<void(CDialog&)>;

    explicit HeadlessBackend(std::vector<Answer> answers = {});

    // Acts on the next dialog that has no script role, after its OnInitDialog.
    void PushOperator(Operator op);

    const std::vector<std::string>& Lines() const { return lines_; }
    // Every line followed by a line feed.
    std::string Transcript() const;
    std::size_t AnswersLeft() const { return answers_.size(); }
    bool WaitCursorShown() const { return waitCursor_; }
    bool HasTimer(const CDialog& dlg, UINT_PTR nIDEvent) const;

    void RunModal(CDialog& dlg) override;
    void DialogEnded(CDialog& dlg) override;
    void ControlChanged(CWnd& wnd, const plat::ui::ControlChange& change) override;
    int MessageBox(CWnd* owner, std::string_view text, std::string_view caption,
                   UINT type) override;
    int RunFileDialog(CFileDialog& dlg) override;
    void SetWaitCursor(bool shown) override { waitCursor_ = shown; }
    bool PollCancel(CDialog& dlg) override;
    bool HasSystemMenu() const override { return true; }
    void SetTimer(CDialog& dlg, UINT_PTR nIDEvent, UINT elapse) override;
    void KillTimer(CDialog& dlg, UINT_PTR nIDEvent) override;

private:
    struct Opening {
        CDialog* dialog;
        std::string role;
        bool written;
    };

    // Appends a line (1252 text converted), after the opening lines of the
    // dialogs that are still initialising.
    void Write(std::string_view kind, std::string_view text1252);
    void WriteOpenings();
    std::string Describe(const CDialog& dlg, std::string_view role) const;
    // The next answer when it is of kind; else writes "unexpected" and
    // returns nullptr.
    const Answer* TakeAnswer(AnswerKind kind, std::string_view dialogName);
    void Drive(CDialog& dlg, const std::string& role);
    void DriveChooser(CDialog& dlg);
    void DrivePicker(CDialog& dlg);
    void DriveWithoutRole(CDialog& dlg);

    std::deque<Answer> answers_;
    Answer current_;
    std::deque<Operator> operators_;
    std::vector<Opening> openings_;
    std::vector<std::string> lines_;
    std::set<std::pair<const CDialog*, UINT_PTR>> timers_;
    bool waitCursor_ = false;
};

}  // namespace plat::headless
