// Control models: item lists, combo edit field, range controls, the grid.
#include "platform/ui/controls.h"

#include <gtest/gtest.h>

#include <array>

#include "platform/headless/headless_backend.h"
#include "platform/ui/dialog.h"

namespace {

using plat::ui::ControlKind;
using plat::ui::ControlTemplate;
using plat::ui::DialogTemplate;
using plat::ui::Event;
namespace st = plat::ui::style;

constexpr std::array kControls{
    ControlTemplate{ControlKind::ListBox, 11, "", 0, 0, 50, 50},
    ControlTemplate{ControlKind::ListBox, 12, "", 0, 0, 50, 50, st::Sorted},
    ControlTemplate{ControlKind::ComboBox, 13, "", 0, 0, 50, 50},
    ControlTemplate{ControlKind::ProgressBar, 14, "", 0, 0, 50, 50},
    ControlTemplate{ControlKind::Grid, 15, "", 0, 0, 50, 50},
    ControlTemplate{ControlKind::Slider, 16, "", 0, 0, 50, 50},
};
constexpr DialogTemplate kTemplate{901, "Controles", 100, 100, "", 8, 0, kControls, ""};

// Runs body on the open dialog, recording the events the controls fire.
class ControlsDialog : public CDialog {
public:
    ControlsDialog() : CDialog(&kTemplate, kTemplate.id) {
        for (int id = 11; id <= 16; ++id) {
            for (Event e : {Event::Clicked, Event::DoubleClicked, Event::SelectionChanged,
                            Event::TextChanged}) {
                BindFunction(id, e, [this, id, e] { events.push_back({id, e}); });
            }
        }
    }
    std::vector<std::pair<int, Event>> events;
};

class ControlsTest : public ::testing::Test {
protected:
    template <class Body>
    void WithDialog(Body body) {
        plat::headless::HeadlessBackend backend;
        plat::ui::ScopedBackend installed(backend);
        backend.PushOperator([&](CDialog& d) {
            body(static_cast<ControlsDialog&>(d));
            d.PressButton(IDCANCEL);
        });
        dlg.DoModal();
    }
    ControlsDialog dlg;
};

TEST_F(ControlsTest, ListKeepsOrderSelectionFollowsInsertionsAndDeletions) {
    WithDialog([](ControlsDialog& d) {
        auto* list = d.GetControl<CListBox>(11);
        for (const char* s : {"0012", "0007", "0012"}) list->AddString(s);
        EXPECT_EQ(list->Items(), (std::vector<std::string>{"0012", "0007", "0012"}));
        EXPECT_EQ(list->GetCurSel(), LB_ERR);
        EXPECT_EQ(list->SetCurSel(1), 1);
        list->InsertString(0, "0001");
        EXPECT_EQ(list->GetCurSel(), 2);
        EXPECT_EQ(list->DeleteString(0), 3);
        EXPECT_EQ(list->GetCurSel(), 1);
        EXPECT_EQ(list->DeleteString(1), 2);
        EXPECT_EQ(list->GetCurSel(), LB_ERR) << "deleting the selected item clears the selection";
        EXPECT_EQ(list->SetCurSel(7), LB_ERR);
        EXPECT_EQ(list->DeleteString(-1), LB_ERR);
        std::string text = "x";
        EXPECT_EQ(list->GetText(5, text), LB_ERR);
        EXPECT_EQ(list->GetText(5), "");
        EXPECT_EQ(list->FindStringExact(-1, "0012"), 0);
        EXPECT_EQ(list->FindStringExact(0, "0012"), 1) << "the search starts after the given item";
        EXPECT_EQ(list->FindStringExact(-1, "0099"), LB_ERR);
    });
}

TEST_F(ControlsTest, SortedListInsertsWithoutRegardToCase) {
    WithDialog([](ControlsDialog& d) {
        auto* list = d.GetControl<CListBox>(12);
        for (const char* s : {"b", "C", "a", "\xC9t\xE9"}) list->AddString(s);
        EXPECT_EQ(list->Items(), (std::vector<std::string>{"a", "b", "C", "\xC9t\xE9"}));
        EXPECT_EQ(list->FindStringExact(-1, "\xE9T\xC9"), 3) << "1252 capitals fold too";
    });
}

TEST_F(ControlsTest, ComboSelectionFillsTheEditFieldAndTypingClearsIt) {
    WithDialog([](ControlsDialog& d) {
        auto* combo = d.GetControl<CComboBox>(13);
        combo->AddString("C:\\ Disque fixe");
        combo->AddString("ftp://hote/");
        combo->SetCurSel(1);
        EXPECT_EQ(combo->GetWindowText(), "ftp://hote/");
        combo->InputSelect(0);
        EXPECT_EQ(combo->GetCurSel(), 0);
        EXPECT_EQ(combo->GetWindowText(), "C:\\ Disque fixe");
        combo->InputText("D:\\autre");
        EXPECT_EQ(combo->GetCurSel(), CB_ERR);
        EXPECT_EQ(combo->GetWindowText(), "D:\\autre");
        combo->InputSelect(9);  // no such item: ignored, no event
        combo->ResetContent();
        EXPECT_EQ(combo->GetCount(), 0);
        EXPECT_EQ(combo->GetLBText(0), "");
    });
    const std::vector<std::pair<int, Event>> expected{{13, Event::SelectionChanged},
                                                      {13, Event::TextChanged}};
    EXPECT_EQ(dlg.events, expected);
}

TEST_F(ControlsTest, ProgressPositionStaysInItsRange) {
    WithDialog([](ControlsDialog& d) {
        auto* progress = d.GetControl<CProgressCtrl>(14);
        progress->SetRange(0, 100);
        EXPECT_EQ(progress->SetPos(40), 0);
        progress->SetPos(250);
        EXPECT_EQ(progress->GetPos(), 100);
        progress->SetPos(-5);
        EXPECT_EQ(progress->GetPos(), 0);
        progress->SetStep(1);
        progress->StepIt();
        EXPECT_EQ(progress->GetPos(), 1);
        auto* slider = d.GetControl<CSliderCtrl>(16);
        slider->SetRange(0, 10);
        slider->SetPos(11);
        EXPECT_EQ(slider->GetPos(), 10);
    });
}

TEST_F(ControlsTest, GridCellsSurviveReshapingAndCurrentCellActsOnItsCell) {
    WithDialog([](ControlsDialog& d) {
        auto* grid = d.GetControl<CGrid>(15);
        grid->SetCols(3);
        grid->SetRows(3);
        grid->SetTextMatrix(0, 0, "Nom");
        grid->SetTextMatrix(1, 2, "05/03/2024 14:07:09");
        grid->SetRow(2);
        grid->SetCol(1);
        grid->SetText("12");
        grid->SetCellBackColor(RGB(180, 180, 255));
        grid->SetCellAlignment(GRID_ALIGN_CENTER_CENTER);
        grid->SetRows(5);
        EXPECT_EQ(grid->GetTextMatrix(0, 0), "Nom");
        EXPECT_EQ(grid->GetTextMatrix(1, 2), "05/03/2024 14:07:09");
        EXPECT_EQ(grid->GetTextMatrix(2, 1), "12");
        EXPECT_EQ(grid->GetCell(2, 1)->back, RGB(180, 180, 255));
        EXPECT_EQ(grid->GetCell(2, 1)->alignment, GRID_ALIGN_CENTER_CENTER);
        EXPECT_EQ(grid->GetCell(4, 0)->back, RGB(255, 255, 255));
        grid->SetCols(2);
        EXPECT_EQ(grid->GetTextMatrix(2, 1), "12");
        EXPECT_EQ(grid->GetTextMatrix(1, 2), "") << "outside the grid";
        EXPECT_EQ(grid->GetCell(1, 2), nullptr);
        grid->SetTextMatrix(9, 9, "nowhere");  // ignored
        grid->SetRow(42);
        EXPECT_EQ(grid->GetRow(), 2);
        grid->SetColWidth(0, 5100);
        EXPECT_EQ(grid->GetColWidth(0), 5100);
        EXPECT_EQ(grid->GetColWidth(7), 0);
        grid->SetRows(1);
        EXPECT_EQ(grid->GetRow(), 0);
        EXPECT_EQ(grid->GetFixedRows(), 1);
    });
}

TEST_F(ControlsTest, GridClicksTellWhereAndMoveTheCurrentCellOnDataRowsOnly) {
    WithDialog([](ControlsDialog& d) {
        auto* grid = d.GetControl<CGrid>(15);
        grid->SetRows(4);
        grid->SetCols(3);
        grid->SetTextMatrix(2, 0, "[ARCH]");
        EXPECT_EQ(grid->FindRow(0, "[ARCH]"), 2);
        EXPECT_EQ(grid->FindRow(0, "absent"), -1);
        grid->InputClick(2, 1);
        EXPECT_EQ(grid->GetMouseRow(), 2);
        EXPECT_EQ(grid->GetRow(), 2);
        EXPECT_EQ(grid->GetCol(), 1);
        grid->InputClick(0, 2);  // the header
        EXPECT_EQ(grid->GetMouseRow(), 0);
        EXPECT_EQ(grid->GetMouseCol(), 2);
        EXPECT_EQ(grid->GetRow(), 2);
        grid->InputDoubleClick(3, 0);
        EXPECT_EQ(grid->GetRow(), 3);
    });
    const std::vector<std::pair<int, Event>> expected{
        {15, Event::Clicked}, {15, Event::Clicked}, {15, Event::DoubleClicked}};
    EXPECT_EQ(dlg.events, expected);
}

}  // namespace
