// The scripted backend: dialogs answered from the script, the transcript,
// unexpected dialogs.
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

#include <array>
#include <map>

#include "platform/codepage.h"
#include "platform/ui/dialog.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/message_box.h"
#include "platform/ui/wait_cursor.h"

namespace {

using plat::headless::Answer;
using plat::headless::AnswerKind;
using plat::headless::HeadlessBackend;
using plat::ui::ControlKind;
using plat::ui::ControlTemplate;
using plat::ui::DialogTemplate;
using plat::ui::Event;
using Lines = std::vector<std::string>;
namespace st = plat::ui::style;

// ---- a chooser: a combo box of candidates ----

constexpr std::array kChooserControls{
    ControlTemplate{ControlKind::ComboBox, 1013, "", 0, 0, 100, 100},
    ControlTemplate{ControlKind::DefPushButton, IDOK, "Valider", 0, 0, 50, 14},
    ControlTemplate{ControlKind::PushButton, IDCANCEL, "Abandon", 0, 0, 50, 14},
};
constexpr DialogTemplate kChooser{
    950, "Choix", 200, 80, "", 8, 0, kChooserControls, "drive-chooser"};

class Chooser : public CDialog {
public:
    Chooser() : CDialog(&kChooser, kChooser.id) {}
    std::vector<std::string> candidates;
    int chosen = -1;

protected:
    bool OnInitDialog() override {
        CDialog::OnInitDialog();
        if (candidates.empty()) {
            EndDialog(IDCANCEL);
            return true;
        }
        auto* combo = GetControl<CComboBox>(1013);
        for (const auto& c : candidates) combo->AddString(c);
        combo->SetCurSel(0);
        return true;
    }
    void OnOK() override {
        chosen = GetControl<CComboBox>(1013)->GetCurSel();
        CDialog::OnOK();
    }
};

// ---- a picker: a grid of folder and file rows over an in-memory tree ----

constexpr std::array kPickerControls{
    ControlTemplate{ControlKind::Grid, 1105, "", 0, 0, 420, 180},
    ControlTemplate{ControlKind::Edit, 1018, "", 0, 180, 420, 14, st::ReadOnly},
    ControlTemplate{ControlKind::Edit, 1104, "", 100, 205, 230, 14},
    ControlTemplate{ControlKind::DefPushButton, IDOK, "Valider", 0, 0, 50, 14},
    ControlTemplate{ControlKind::PushButton, IDCANCEL, "Annuler", 0, 0, 50, 14},
};
constexpr DialogTemplate kPicker{951, "Choix", 420, 240, "", 8, 0, kPickerControls, "file-picker"};

class Picker : public CDialog {
public:
    Picker() : CDialog(&kPicker, kPicker.id) { Bind(1105, Event::Clicked, &Picker::OnClickGrid); }
    // folder path -> (sub-folders, files)
    std::map<std::string, std::pair<Lines, Lines>> tree;
    std::string folder = "..\\import\\";
    std::string start = "..\\import\\";
    std::string sFileName;
    std::string sCompletePath;
    bool bValide = false;

protected:
    bool OnInitDialog() override {
        CDialog::OnInitDialog();
        Fill();
        if (GetControl<CGrid>(1105)->GetRows() == 1) {
            AfxMessageBox("Absence de fichier");
            EndDialog(IDCANCEL);
        }
        return true;
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, 1104, sFileName);
        DDX_Text(pDX, 1018, sCompletePath);
    }
    void OnOK() override {
        if (sFileName.empty()) return;
        UpdateData(true);
        bValide = true;
        EndDialog(IDOK);
    }

private:
    void Fill() {
        auto* grid = GetControl<CGrid>(1105);
        const auto& [folders, files] = tree[folder];
        Lines rows;
        if (folder != start) rows.push_back("<-");
        for (const auto& f : folders) rows.push_back("[" + f + "]");
        firstFile_ = static_cast<int>(rows.size());
        for (const auto& f : files) rows.push_back(f);
        grid->SetRows(static_cast<int>(rows.size()) + 1);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            grid->SetTextMatrix(static_cast<int>(i) + 1, 0, rows[i]);
        }
        sCompletePath = folder;
        sFileName.clear();
        UpdateData(false);
    }
    void OnClickGrid() {
        auto* grid = GetControl<CGrid>(1105);
        const int row = grid->GetMouseRow();
        if (row < 1) return;
        const std::string text = grid->GetTextMatrix(row, 0);
        if (row <= firstFile_) {
            if (text == "<-") {
                folder = folder.substr(0, folder.find_last_of('\\', folder.size() - 2) + 1);
            } else {
                folder += text.substr(1, text.size() - 2) + "\\";
            }
            Fill();
            return;
        }
        sFileName = text;
        UpdateData(false);
    }
    int firstFile_ = 0;
};

Answer OpenFile(std::string path) {
    Answer a;
    a.kind = AnswerKind::OpenFile;
    a.path = std::move(path);
    return a;
}
Answer Cancelled(AnswerKind kind) {
    Answer a;
    a.kind = kind;
    a.cancel = true;
    return a;
}
Answer Drive(int index) {
    Answer a;
    a.kind = AnswerKind::DriveChooser;
    a.index = index;
    return a;
}
Answer Pick(Lines enter, std::string pick, int up = 0) {
    Answer a;
    a.kind = AnswerKind::FilePicker;
    a.picker.enter = std::move(enter);
    a.picker.pick = std::move(pick);
    a.picker.up = up;
    return a;
}

void FillTree(Picker& p) {
    p.tree["..\\import\\"] = {{"LOT1", "ARCH"}, {"A.ZIP", "B.ZIP"}};
    p.tree["..\\import\\LOT1\\"] = {{"SOUS"}, {"JOURNAL.CYB"}};
    p.tree["..\\import\\LOT1\\SOUS\\"] = {{}, {"X.CYB"}};
}

TEST(HeadlessBackendTest, OpenFileLineCarriesTheRequestAndTheAnswerAsWritten) {
    HeadlessBackend backend({OpenFile("..\\import\\NR.jo")});
    plat::ui::ScopedBackend installed(backend);
    const std::string filter =
        plat::Cp1252FromUtf8("Fichier abonnés  (*.jo)|*.jo|Fichier abonnées zippés (*.ZIP)|*.ZIP");
    CFileDialog dlg(true, "jo", "..\\import\\*.jo", 0, filter);
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetPathName(), "..\\import\\NR.jo");
    EXPECT_EQ(dlg.GetFileName(), "NR.jo");
    EXPECT_EQ(dlg.GetFileExt(), "jo");
    EXPECT_EQ(dlg.GetFileTitle(), "NR");
    EXPECT_EQ(dlg.GetFolderPath(), "..\\import");
    EXPECT_EQ(backend.Lines(),
              Lines{"open-file ..\\import\\*.jo | Fichier abonnés  (*.jo)|*.jo|Fichier abonnées "
                    "zippés (*.ZIP)|*.ZIP | jo"});
    EXPECT_EQ(backend.AnswersLeft(), 0u);
}

TEST(HeadlessBackendTest, AMissingOrForeignAnswerCancelsAndIsUnexpected) {
    HeadlessBackend backend({Drive(0)});
    plat::ui::ScopedBackend installed(backend);
    CFileDialog open(true, "ZIP", "*.ZIP", 0, "Z|*.ZIP|");
    EXPECT_EQ(open.DoModal(), IDCANCEL);
    EXPECT_EQ(open.GetPathName(), "");
    EXPECT_EQ(backend.AnswersLeft(), 1u) << "the answer for another dialog stays";
    Chooser chooser;
    chooser.candidates = {"..\\import"};
    EXPECT_EQ(chooser.DoModal(), IDOK);
    CFileDialog again(true, "ZIP", "*.ZIP", 0, "Z|*.ZIP|");
    EXPECT_EQ(again.DoModal(), IDCANCEL);
    EXPECT_EQ(backend.Lines(), (Lines{"open-file *.ZIP | Z|*.ZIP| | ZIP", "unexpected open-file",
                                      "drive-chooser ..\\import",
                                      "open-file *.ZIP | Z|*.ZIP| | ZIP", "unexpected open-file"}));
}

TEST(HeadlessBackendTest, CancelledOpenFileAndChooser) {
    HeadlessBackend backend({Cancelled(AnswerKind::OpenFile), Cancelled(AnswerKind::DriveChooser)});
    plat::ui::ScopedBackend installed(backend);
    CFileDialog open(true, "jo", "*.jo", 0, "");
    EXPECT_EQ(open.DoModal(), IDCANCEL);
    Chooser chooser;
    chooser.candidates = {"A", "B"};
    EXPECT_EQ(chooser.DoModal(), IDCANCEL);
    EXPECT_EQ(chooser.chosen, -1);
    EXPECT_EQ(backend.AnswersLeft(), 0u);
}

TEST(HeadlessBackendTest, ChooserListsItsCandidatesAndTakesTheChosenOne) {
    HeadlessBackend backend({Drive(1)});
    plat::ui::ScopedBackend installed(backend);
    Chooser chooser;
    chooser.candidates = {"..\\import", "ftp://127.0.0.1:9/in/",
                          plat::Cp1252FromUtf8("D:\\ Disque réseau")};
    EXPECT_EQ(chooser.DoModal(), IDOK);
    EXPECT_EQ(chooser.chosen, 1);
    EXPECT_EQ(backend.Lines(),
              Lines{"drive-chooser ..\\import | ftp://127.0.0.1:9/in/ | D:\\ Disque réseau"});
}

TEST(HeadlessBackendTest, AChooserThatClosesItselfShowsNothingAndKeepsTheAnswer) {
    HeadlessBackend backend({Drive(0)});
    plat::ui::ScopedBackend installed(backend);
    Chooser chooser;
    EXPECT_EQ(chooser.DoModal(), IDCANCEL);
    EXPECT_TRUE(backend.Lines().empty());
    EXPECT_EQ(backend.AnswersLeft(), 1u);
}

TEST(HeadlessBackendTest, PickerEntersFoldersThenPicksAndConfirms) {
    HeadlessBackend backend({Pick({"LOT1", "SOUS"}, "X.CYB")});
    plat::ui::ScopedBackend installed(backend);
    Picker picker;
    FillTree(picker);
    EXPECT_EQ(picker.DoModal(), IDOK);
    EXPECT_TRUE(picker.bValide);
    EXPECT_EQ(picker.sFileName, "X.CYB");
    EXPECT_EQ(picker.sCompletePath, "..\\import\\LOT1\\SOUS\\");
    EXPECT_EQ(backend.Lines(), Lines{"file-picker ..\\import\\"}) << "the folder it opened on";
}

TEST(HeadlessBackendTest, PickerGoesUpAndTheNameFieldCanBeEdited) {
    Answer answer = Pick({"import", "LOT1"}, "JOURNAL.CYB", 2);
    answer.picker.edit = "AUTRE.CYB";
    HeadlessBackend backend({answer});
    plat::ui::ScopedBackend installed(backend);
    Picker picker;
    FillTree(picker);
    picker.start = "..\\";  // the picker may go up to here: its up row shows at the start
    picker.tree["..\\"] = {{"import"}, {}};
    EXPECT_EQ(picker.DoModal(), IDOK);
    EXPECT_EQ(picker.sFileName, "AUTRE.CYB");
    EXPECT_EQ(picker.sCompletePath, "..\\import\\LOT1\\") << "one up click, then no up row";
    EXPECT_EQ(backend.Lines(), Lines{"file-picker ..\\import\\"});
}

TEST(HeadlessBackendTest, PickerRowsTheGridLacksCancelIt) {
    for (const Answer& answer :
         {Pick({"NOWHERE"}, "A.ZIP"), Pick({}, "C.ZIP"), Cancelled(AnswerKind::FilePicker)}) {
        HeadlessBackend backend({answer});
        plat::ui::ScopedBackend installed(backend);
        Picker picker;
        FillTree(picker);
        EXPECT_EQ(picker.DoModal(), IDCANCEL);
        EXPECT_FALSE(picker.bValide);
        EXPECT_EQ(backend.Lines(), Lines{"file-picker ..\\import\\"});
    }
}

TEST(HeadlessBackendTest, APickerThatFindsNothingOpensItsLineBeforeItsMessage) {
    HeadlessBackend backend({Pick({}, "A.ZIP")});
    plat::ui::ScopedBackend installed(backend);
    Picker picker;
    picker.tree["..\\import\\"] = {};
    EXPECT_EQ(picker.DoModal(), IDCANCEL);
    EXPECT_EQ(backend.Lines(), (Lines{"file-picker ..\\import\\", "message Absence de fichier"}));
    EXPECT_EQ(backend.AnswersLeft(), 1u);
}

TEST(HeadlessBackendTest, MessageBoxesAnswerOkOrTheirNegativeButton) {
    HeadlessBackend backend;
    plat::ui::ScopedBackend installed(backend);
    EXPECT_EQ(AfxMessageBox("ligne 1\nligne 2", MB_ICONEXCLAMATION), IDOK);
    EXPECT_EQ(AfxMessageBox("question", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(AfxMessageBox("continuer", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(AfxMessageBox(plat::Cp1252FromUtf8("Numero d\"édition (%s)")), IDOK);
    EXPECT_EQ(backend.Lines(), (Lines{"message ligne 1\\nligne 2", "message question",
                                      "message continuer", "message Numero d\"édition (%s)"}));
}

TEST(HeadlessBackendTest, WaitCursorIsCountedAndAnExtraEndDoesNothing) {
    HeadlessBackend backend;
    plat::ui::ScopedBackend installed(backend);
    CWnd::EndWaitCursor();
    EXPECT_FALSE(backend.WaitCursorShown());
    {
        CWaitCursor outer;
        EXPECT_TRUE(backend.WaitCursorShown());
        CWnd::BeginWaitCursor();
        CWnd::EndWaitCursor();
        EXPECT_TRUE(backend.WaitCursorShown()) << "the outer one still holds it";
    }
    EXPECT_FALSE(backend.WaitCursorShown());
    CWnd::BeginWaitCursor();
    CWnd::EndWaitCursor();
    CWnd::EndWaitCursor();
    CWnd::BeginWaitCursor();
    EXPECT_TRUE(backend.WaitCursorShown()) << "the extra end did not leave a debt";
    CWnd::EndWaitCursor();
}

TEST(HeadlessBackendTest, TranscriptEndsEveryLine) {
    HeadlessBackend backend;
    plat::ui::ScopedBackend installed(backend);
    AfxMessageBox("a\r\nb");
    EXPECT_EQ(backend.Transcript(), "message a\\r\\nb\n");
}

}  // namespace
