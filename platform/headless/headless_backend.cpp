#include "platform/headless/headless_backend.h"

#include "platform/codepage.h"
#include "platform/ui/dialog.h"
#include "platform/ui/file_dialog.h"

namespace plat::headless {

namespace {

using plat::ui::Change;

// One event per line: line breaks inside a text are written as \n and \r.
std::string Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    return out;
}

template <class T>
T* FirstControl(const CDialog& dlg) {
    for (const auto& control : dlg.Controls()) {
        if (auto* typed = dynamic_cast<T*>(control.get())) return typed;
    }
    return nullptr;
}

CEdit* FirstEdit(const CDialog& dlg, bool readOnly) {
    for (const auto& control : dlg.Controls()) {
        auto* edit = dynamic_cast<CEdit*>(control.get());
        if (edit != nullptr && edit->GetReadOnly() == readOnly) return edit;
    }
    return nullptr;
}

std::string JoinItems(const std::vector<std::string>& items) {
    std::string joined;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) joined += " | ";
        joined += items[i];
    }
    return joined;
}

// Clicks the first data row whose name cell holds text; false when none does.
bool ClickRow(CGrid& grid, std::string_view text) {
    const int row = grid.FindRow(0, text);
    if (row < 0) return false;
    grid.InputClick(row, 0);
    return true;
}

}  // namespace

HeadlessBackend::HeadlessBackend(std::vector<Answer> answers)
    : answers_(std::make_move_iterator(answers.begin()), std::make_move_iterator(answers.end())) {}

void HeadlessBackend::PushOperator(Operator op) {
    operators_.push_back(std::move(op));
}

std::string HeadlessBackend::Transcript() const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += '\n';
    }
    return text;
}

bool HeadlessBackend::HasTimer(const CDialog& dlg, UINT_PTR nIDEvent) const {
    return timers_.count({&dlg, nIDEvent}) != 0;
}

void HeadlessBackend::Write(std::string_view kind, std::string_view text1252) {
    WriteOpenings();
    lines_.push_back(std::string(kind) + " " + Escape(plat::Utf8FromCp1252(text1252)));
}

void HeadlessBackend::WriteOpenings() {
    for (Opening& opening : openings_) {
        if (opening.written) continue;
        opening.written = true;
        lines_.push_back(opening.role + " " +
                         Escape(plat::Utf8FromCp1252(Describe(*opening.dialog, opening.role))));
    }
}

std::string HeadlessBackend::Describe(const CDialog& dlg, std::string_view role) const {
    std::string custom = dlg.GetScriptDescription();
    if (!custom.empty()) return custom;
    if (role == "drive-chooser") {
        const auto* combo = FirstControl<CComboBox>(dlg);
        return combo ? JoinItems(combo->Items()) : std::string();
    }
    if (role == "missing-bags") {
        const auto* list = FirstControl<CListBox>(dlg);
        return list ? JoinItems(list->Items()) : std::string();
    }
    const CEdit* path = FirstEdit(dlg, true);
    return path ? path->GetWindowText() : std::string();
}

const Answer* HeadlessBackend::TakeAnswer(AnswerKind kind, std::string_view dialogName) {
    if (answers_.empty() || answers_.front().kind != kind) {
        Write("unexpected", dialogName);
        return nullptr;
    }
    current_ = std::move(answers_.front());
    answers_.pop_front();
    return &current_;
}

void HeadlessBackend::RunModal(CDialog& dlg) {
    const plat::ui::DialogTemplate* tmpl = dlg.GetTemplate();
    const std::string role = tmpl ? std::string(tmpl->scriptRole) : std::string();
    openings_.push_back({&dlg, role, role.empty()});
    dlg.RunInitDialog();
    if (dlg.IsOpen()) WriteOpenings();
    openings_.pop_back();

    if (dlg.IsOpen()) Drive(dlg, role);
    // The operator cannot leave a dialog hanging: what the script left open
    // is closed as the close box would.
    if (dlg.IsOpen()) dlg.PressButton(IDCANCEL);
    if (dlg.IsOpen()) dlg.EndDialog(IDCANCEL);
}

void HeadlessBackend::Drive(CDialog& dlg, const std::string& role) {
    if (role == "drive-chooser") {
        DriveChooser(dlg);
    } else if (role == "file-picker") {
        DrivePicker(dlg);
    } else if (role == "missing-bags") {
        dlg.PressButton(IDOK);
    } else {
        DriveWithoutRole(dlg);
    }
}

void HeadlessBackend::DriveChooser(CDialog& dlg) {
    const Answer* answer = TakeAnswer(AnswerKind::DriveChooser, "drive-chooser");
    if (answer == nullptr || answer->cancel) {
        dlg.PressButton(IDCANCEL);
        return;
    }
    if (auto* combo = FirstControl<CComboBox>(dlg)) combo->InputSelect(answer->index);
    dlg.PressButton(IDOK);
}

void HeadlessBackend::DrivePicker(CDialog& dlg) {
    const Answer* answer = TakeAnswer(AnswerKind::FilePicker, "file-picker");
    CGrid* grid = FirstControl<CGrid>(dlg);
    if (answer == nullptr || answer->cancel || grid == nullptr) {
        dlg.PressButton(IDCANCEL);
        return;
    }
    const FilePickerAnswer& picker = answer->picker;
    for (int i = 0; i < picker.up && dlg.IsOpen(); ++i) {
        if (!ClickRow(*grid, "<-")) break;
    }
    // A row the script names and the grid lacks: the operator cannot go on,
    // the dialog is cancelled.
    for (const std::string& folder : picker.enter) {
        if (!dlg.IsOpen()) return;
        if (!ClickRow(*grid, "[" + folder + "]")) {
            dlg.PressButton(IDCANCEL);
            return;
        }
    }
    if (!dlg.IsOpen()) return;
    if (!ClickRow(*grid, picker.pick)) {
        dlg.PressButton(IDCANCEL);
        return;
    }
    if (!dlg.IsOpen()) return;
    if (picker.edit) {
        if (CEdit* name = FirstEdit(dlg, false)) name->InputText(*picker.edit);
    }
    dlg.PressButton(IDOK);
}

void HeadlessBackend::DriveWithoutRole(CDialog& dlg) {
    if (operators_.empty()) {
        Write("unexpected", "dialog " + std::to_string(dlg.GetTemplateId()));
        return;
    }
    Operator op = std::move(operators_.front());
    operators_.pop_front();
    op(dlg);
}

void HeadlessBackend::DialogEnded(CDialog& dlg) {
    for (auto it = timers_.begin(); it != timers_.end();) {
        it = it->first == &dlg ? timers_.erase(it) : std::next(it);
    }
}

void HeadlessBackend::ControlChanged(CWnd& wnd, const plat::ui::ControlChange& change) {
    if (change.what == Change::Painted) Write("status", wnd.GetPaintedLine());
}

int HeadlessBackend::MessageBox(CWnd*, std::string_view text, std::string_view, UINT type) {
    Write("message", text);
    return plat::ui::NegativeAnswer(type);
}

int HeadlessBackend::RunFileDialog(CFileDialog& dlg) {
    const CFileDialog::Request& request = dlg.GetRequest();
    Write("open-file",
          request.initialFile + " | " + request.filter + " | " + request.defaultExtension);
    const Answer* answer = TakeAnswer(AnswerKind::OpenFile, "open-file");
    if (answer == nullptr || answer->cancel) return IDCANCEL;
    dlg.SetChosenPath(answer->path);
    return IDOK;
}

bool HeadlessBackend::PollCancel(CDialog& dlg) {
    if (answers_.empty() || answers_.front().kind != AnswerKind::Cancel) return false;
    Answer& answer = answers_.front();
    if (answer.index > 0) {
        --answer.index;
        return false;
    }
    const bool confirm = answer.confirm;
    answers_.pop_front();
    Write("message", dlg.CancelQuestion());
    return confirm;
}

void HeadlessBackend::SetTimer(CDialog& dlg, UINT_PTR nIDEvent, UINT) {
    timers_.insert({&dlg, nIDEvent});
}

void HeadlessBackend::KillTimer(CDialog& dlg, UINT_PTR nIDEvent) {
    timers_.erase({&dlg, nIDEvent});
}

}  // namespace plat::headless
