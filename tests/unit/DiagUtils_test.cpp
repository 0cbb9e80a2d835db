// The dialog base class: name ordering, path splitting, control helpers.
#include "app/DiagUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/codepage.h"
#include "platform/headless/headless_backend.h"
#include "resources/resource.h"

namespace {

struct CompareCase {
    const char* a;
    const char* b;
    int expected;
};

TEST(CompareNomTest, OrdersNamesByPrefixThenTrailingNumber) {
    const CompareCase cases[] = {
        {"J2", "J10", -1},
        {"J10", "J2", 1},
        {"J1", "J1", 0},
        {"J10", "j10", 0},  // small letters compare as capitals
        {"AB", "ABC", -1},  // the shorter prefix first
        {"ABC", "AB", 1},
        {"J", "J0", 0},     // a missing number counts as 0
        {"J007", "J7", 0},  // numbers compare as integers
        {"10", "9", 1},     // digits only: all number
        {"", "", 0},
        {"", "A", -1},
        {"z", "Z", 1},  // "z" is not shifted: it stays after every capital
        {"z", "a", 1},
        {"y", "Z", -1},     // "y" becomes "Y"
        {"{", "[", 0},      // characters above "a" shift down by 32 too
        {"\xE9", "A", -1},  // 1252 letters are negative as signed bytes
        {"A\xE9", "AB", -1},
        {"J1A", "J1B", -1},                                       // no trailing digits: all prefix
        {"J99999999999999999999", "J100000000000000000000", -1},  // beyond 64 bits
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CDiagUtils::CompareNom(c.a, c.b), c.expected) << c.a << " vs " << c.b;
    }
}

TEST(CompareNomTest, SortsNaturally) {
    std::vector<std::string> names{"J10", "j2", "J1", "A", "J", "B3"};
    std::stable_sort(names.begin(), names.end(),
                     [](const auto& a, const auto& b) { return CDiagUtils::CompareNom(a, b) < 0; });
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B3", "J", "J1", "j2", "J10"}));
}

struct PathCase {
    const char* path;
    const char* fileName;
    const char* pathName;
    const char* extension;
};

TEST(PathSplittingTest, BackslashAndSlashSeparate) {
    const PathCase cases[] = {
        {"C:\\DATA\\NR.JO", "NR", "C:\\DATA\\", "JO"},
        {"C:\\DATA\\NR.2007.JO", "NR", "C:\\DATA\\", "JO"},
        {"NR", "NR", "", ""},
        {"NR.JO", "NR", "", "JO"},
        {"C:\\DATA\\", "", "C:\\DATA\\", ""},
        {"", "", "", ""},
        {"\\NR.JO", "NR", "\\", "JO"},
        {"C:\\DATA\\NR", "NR", "C:\\DATA\\", ""},
        {"C:\\DATA.V2\\NR", "NR", "C:\\DATA.V2\\", "V2\\NR"},
        {"ARCHIVE.TAR.ZIP", "ARCHIVE", "", "ZIP"},
        {"../import/SET1.ZIP", "SET1", "../import/", "ZIP"},
        {"..\\import/mixed\\J0001.SIT", "J0001", "..\\import/mixed\\", "SIT"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CDiagUtils::ExtractFileName(c.path), c.fileName) << c.path;
        EXPECT_EQ(CDiagUtils::ExtractPathName(c.path), c.pathName) << c.path;
        EXPECT_EQ(CDiagUtils::ExtractExtension(c.path), c.extension) << c.path;
    }
}

// The helpers on a dialog with a list, a combo, a progress bar, a check box
// and a picture: the main window's template lacks most of these, so a
// template of the test's own.
using plat::ui::ControlKind;
using plat::ui::ControlTemplate;
constexpr std::array kControls{
    ControlTemplate{ControlKind::ListBox, 10, "", 0, 0, 50, 50},
    ControlTemplate{ControlKind::ComboBox, 11, "", 0, 0, 50, 50},
    ControlTemplate{ControlKind::ProgressBar, 12, "", 0, 0, 50, 10, plat::ui::style::Hidden},
    ControlTemplate{ControlKind::CheckBox, 13, "Case", 0, 0, 50, 10},
    ControlTemplate{ControlKind::StaticIcon, 14, "", 0, 0, 20, 20, 0, 128},
    ControlTemplate{ControlKind::StaticIcon, 15, "", 0, 0, 20, 20},
    ControlTemplate{ControlKind::PushButton, 16, "Bouton", 0, 0, 50, 14},
    ControlTemplate{ControlKind::Slider, 17, "", 0, 0, 50, 14},
    ControlTemplate{ControlKind::ScrollBar, 18, "", 0, 0, 50, 14},
};
constexpr plat::ui::DialogTemplate kTemplate{960, "Aides", 100, 100, "", 8, 0, kControls, ""};

class HelperDialog : public CDiagUtils {
public:
    HelperDialog() : CDiagUtils(&kTemplate, kTemplate.id) {}
};

class DiagUtilsTest : public ::testing::Test {
protected:
    // Runs body on the open dialog.
    template <class Body>
    void WithDialog(Body body) {
        backend.PushOperator([&](CDialog&) {
            body();
            dlg.PressButton(IDCANCEL);
        });
        dlg.DoModal();
    }

    plat::headless::HeadlessBackend backend;
    plat::ui::ScopedBackend installed{backend};
    HelperDialog dlg;
};

TEST_F(DiagUtilsTest, ProgressBarTakesRangeStepAndPosition) {
    WithDialog([&] {
        dlg.ValiderProgres(12, 1, 100, 40);
        auto* bar = dlg.GetControl<CProgressCtrl>(12);
        EXPECT_TRUE(bar->IsWindowVisible());
        int low = -1, high = -1;
        bar->GetRange(low, high);
        EXPECT_EQ(low, 0);
        EXPECT_EQ(high, 100);
        EXPECT_EQ(bar->GetStep(), 1);
        EXPECT_EQ(bar->GetPos(), 40);
        dlg.PositionnerProgres(12, 75);
        EXPECT_EQ(bar->GetPos(), 75);
        dlg.ValiderProgres(12, 0, 100, 0);
        EXPECT_FALSE(bar->IsWindowVisible());
    });
}

TEST_F(DiagUtilsTest, HelpersOnMissingOrMismatchedControlsDoNothing) {
    WithDialog([&] {
        dlg.ValiderProgres(999, 1, 100, 50);
        dlg.PositionnerProgres(999, 50);
        dlg.ValiderProgres(10, 1, 100, 50);  // a list box, not a progress bar
        int valeur = 7;
        dlg.AcquerirBouton(999, valeur);
        EXPECT_EQ(valeur, 7);
        std::string s = "inchang\xE9";
        EXPECT_EQ(dlg.AcquerirListe(999, s), -1);
        EXPECT_EQ(s, "inchang\xE9");
        dlg.EnvoieListe(999, "x");
        dlg.InitListe(999, "nowhere\\", "ZIP", "");
        dlg.PositionnerListeCombinee(999, "x");
        dlg.ValiderCurseur(999, 1, 10, 5);
        dlg.CopieImageListe(999, 15);
        dlg.ChangerTexteBouton(999, IDS_ABOUTBOX);
    });
    EXPECT_TRUE(backend.Lines().empty());
}

TEST_F(DiagUtilsTest, ButtonsShowEnableAndCheck) {
    WithDialog([&] {
        CWnd* button = dlg.GetDlgItem(16);
        dlg.ValiderBouton(16, 0);
        EXPECT_FALSE(button->IsWindowVisible());
        EXPECT_FALSE(button->IsWindowEnabled());
        dlg.ValiderBouton(16, 1);
        EXPECT_TRUE(button->IsWindowVisible());
        EXPECT_TRUE(button->IsWindowEnabled());
        dlg.MasquerBouton(16, 0);
        EXPECT_TRUE(button->IsWindowVisible()) << "visibility unchanged";
        EXPECT_FALSE(button->IsWindowEnabled());
        dlg.PositionnerBouton(13, 1);
        int valeur = 0;
        dlg.AcquerirBouton(13, valeur);
        EXPECT_EQ(valeur, 1);
        dlg.ChangerTexteBouton(16, IDS_ABOUTBOX);
        EXPECT_EQ(button->GetWindowText(), "&A propos de Quervane...");
        dlg.ChangerTexteBouton(16, 106);  // no text for this id
        EXPECT_EQ(button->GetWindowText(), "");
        dlg.ControleLecteur(16, '#');  // no such drive root
        EXPECT_FALSE(button->IsWindowVisible());
    });
}

TEST_F(DiagUtilsTest, SliderAndScrollBarTakeTheirRangeOnlyWhenShown) {
    WithDialog([&] {
        dlg.ValiderCurseur(17, 1, 20, 5);
        auto* slider = dlg.GetControl<CSliderCtrl>(17);
        EXPECT_EQ(slider->GetPos(), 5);
        EXPECT_TRUE(slider->IsScrollBarEnabled());
        dlg.ValiderCurseur(17, 0, 50, 40);
        EXPECT_EQ(slider->GetPos(), 5);
        EXPECT_FALSE(slider->IsScrollBarEnabled());
        EXPECT_FALSE(slider->IsWindowVisible());
        dlg.ValiderIndex(18, 1, 10, 3);
        EXPECT_EQ(dlg.GetControl<CScrollBar>(18)->GetScrollPos(), 3);
    });
}

TEST_F(DiagUtilsTest, ListHelpers) {
    WithDialog([&] {
        auto* list = dlg.GetControl<CListBox>(10);
        dlg.EnvoieValeurListe(10, -12);
        EXPECT_EQ(list->Items(), std::vector<std::string>{"-12"});
        dlg.EnvoieListe(10, "J10");
        EXPECT_EQ(list->Items(), std::vector<std::string>{"J10"});
        std::string s = "old";
        EXPECT_EQ(dlg.AcquerirListe(10, s), -1);
        EXPECT_EQ(s, "") << "emptied even without a selection";
        list->AddString("j2");
        list->AddString("J2");
        dlg.PosListe(10, "J2");  // exact comparison
        EXPECT_EQ(dlg.AcquerirListe(10, s), 2);
        EXPECT_EQ(s, "J2");
        dlg.RechercheListe(10, "J02");  // CompareNom finds j2 first
        EXPECT_EQ(list->GetCurSel(), 1);
        dlg.PosListe(10, "J3");
        EXPECT_EQ(list->GetCurSel(), 1) << "no match keeps the selection";
        auto* combo = dlg.GetControl<CComboBox>(11);
        combo->AddString("Abc");
        combo->AddString("abc");
        dlg.PositionnerListeCombinee(11, "ABC");
        EXPECT_EQ(combo->GetCurSel(), 0);
    });
}

TEST_F(DiagUtilsTest, PicturesCopyAndClear) {
    WithDialog([&] {
        dlg.CopieImageListe(14, 15);
        EXPECT_EQ(dlg.GetControl<CStatic>(15)->GetIcon(), 128u);
        dlg.ClearImageListe(15);
        EXPECT_EQ(dlg.GetControl<CStatic>(15)->GetIcon(), 0u);
    });
}

// A folder of the test's own, reached by a relative path from the working
// directory the test sets.
class DiagUtilsListingTest : public DiagUtilsTest {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        previous_ = fs::current_path();
        root_ = fs::path(QUERVANE_BINARY_DIR) / "DiagUtils_test_tree";
        fs::remove_all(root_);
        fs::create_directories(root_ / "SRC" / "SUB10");
        fs::create_directories(root_ / "SRC" / "sub2");
        fs::create_directories(root_ / "SRC" / "ARCH.ZIP");
        for (const char* name : {"J10.ZIP", "J2.zip", "j1.ZIP", "J3.SIT", "NOEXT", ".hidden.ZIP"}) {
            std::ofstream(root_ / "SRC" / name) << "x";
        }
        fs::current_path(root_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(root_);
    }
    std::filesystem::path previous_, root_;
};

TEST_F(DiagUtilsListingTest, InitListeListsSortsAndSelects) {
    WithDialog([&] {
        auto* list = dlg.GetControl<CListBox>(10);
        list->AddString("stale");
        dlg.InitListe(10, "SRC\\", "ZIP", "J2");
        // names cut at their first "."; patterns match without regard to case
        EXPECT_EQ(list->Items(), (std::vector<std::string>{"ARCH", "j1", "J2", "J10"}));
        EXPECT_EQ(list->GetCurSel(), 2);
        dlg.InitListe(10, "SRC/", ".", "");
        EXPECT_EQ(list->Items(), (std::vector<std::string>{"ARCH", "sub2", "SUB10"}));
        EXPECT_EQ(list->GetCurSel(), -1);
        dlg.InitListe(10, "MISSING\\", "ZIP", "J2");
        EXPECT_EQ(list->GetCount(), 0);
        dlg.InitListeCombinee(11, "SRC\\", "SIT");
        EXPECT_EQ(dlg.GetControl<CComboBox>(11)->Items(), std::vector<std::string>{"J3"});
    });
}

}  // namespace
