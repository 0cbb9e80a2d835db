// Dialog models: controls made from the template, events and default
// handlers, data exchange, timers, system menu, the backend's view.
#include "platform/ui/dialog.h"

#include <gtest/gtest.h>

#include <array>

#include "platform/headless/headless_backend.h"

namespace {

using plat::headless::HeadlessBackend;
using plat::ui::ControlKind;
using plat::ui::ControlTemplate;
using plat::ui::DialogTemplate;
using plat::ui::Event;
namespace st = plat::ui::style;
namespace ds = plat::ui::dialog_style;

constexpr std::array kControls{
    ControlTemplate{ControlKind::DefPushButton, IDOK, "OK", 0, 0, 50, 14},
    ControlTemplate{ControlKind::PushButton, IDCANCEL, "Annuler", 60, 0, 50, 14},
    ControlTemplate{ControlKind::PushButton, 10, "Action", 0, 20, 50, 14},
    ControlTemplate{ControlKind::PushButton, 11, "Cachée", 0, 40, 50, 14, st::Hidden},
    ControlTemplate{ControlKind::PushButton, 12, "Grisée", 0, 60, 50, 14, st::Disabled},
    ControlTemplate{ControlKind::Edit, 20, "départ", 0, 80, 50, 14, st::Border},
    ControlTemplate{ControlKind::CheckBox, 21, "Case", 0, 100, 50, 10},
    ControlTemplate{ControlKind::StaticIcon, 22, "", 0, 120, 20, 20, 0, 128},
    ControlTemplate{static_cast<ControlKind>(99), 23, "inconnu", 0, 140, 20, 20},
};

constexpr DialogTemplate kTemplate{
    900, "Essai é", 200, 200, "MS Sans Serif", 8, ds::Caption | ds::SysMenu, kControls, ""};

class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(&kTemplate, kTemplate.id) {
        Bind(10, Event::Clicked, &TestDialog::OnAction);
        Bind(11, Event::Clicked, &TestDialog::OnAction);
        Bind(12, Event::Clicked, &TestDialog::OnAction);
    }

    int actions = 0;
    int initCalls = 0;
    std::string text;
    int number = 0;
    int check = 0;
    bool endInInit = false;

protected:
    bool OnInitDialog() override {
        ++initCalls;
        CDialog::OnInitDialog();
        if (endInInit) EndDialog(IDABORT);
        return true;
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, 20, text);
        DDX_Check(pDX, 21, check);
    }

private:
    void OnAction() { ++actions; }
};

class DialogTest : public ::testing::Test {
protected:
    HeadlessBackend backend;
    plat::ui::ScopedBackend installed{backend};
};

TEST_F(DialogTest, ControlsComeFromTheTemplateAsTheOperatorReadsThem) {
    TestDialog dlg;
    EXPECT_EQ(dlg.GetDlgItem(20), nullptr) << "no control before the dialog opens";
    backend.PushOperator([](CDialog& d) {
        EXPECT_EQ(d.GetWindowText(), "Essai \xE9");
        ASSERT_NE(d.GetControl<CEdit>(20), nullptr);
        EXPECT_EQ(d.GetDlgItem(11)->GetWindowText(),
                  "Cach\xE9"
                  "e");
        EXPECT_EQ(d.GetDlgItem(20)->GetWindowText(), "") << "the member replaced the template text";
        EXPECT_FALSE(d.GetDlgItem(11)->IsWindowVisible());
        EXPECT_FALSE(d.GetDlgItem(12)->IsWindowEnabled());
        EXPECT_TRUE(d.GetControl<CButton>(IDOK)->IsDefault());
        EXPECT_EQ(d.GetControl<CStatic>(22)->GetIcon(), 128u);
        EXPECT_EQ(d.GetDlgItem(99), nullptr);
        d.PressButton(IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetDlgItem(20), nullptr) << "controls go with the dialog";
}

TEST_F(DialogTest, AnUnknownControlKindBecomesAPlainWindow) {
    TestDialog dlg;
    backend.PushOperator([](CDialog& d) {
        CWnd* odd = d.GetDlgItem(23);
        ASSERT_NE(odd, nullptr);
        EXPECT_EQ(dynamic_cast<CButton*>(odd), nullptr);
        EXPECT_EQ(odd->GetWindowText(), "inconnu");
        odd->SetWindowText("autre");
        odd->ShowWindow(SW_HIDE);
        EXPECT_FALSE(odd->IsWindowVisible());
        d.PressButton(23);  // not a button: a click does nothing
        EXPECT_TRUE(d.IsOpen());
        d.PressButton(IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
}

TEST_F(DialogTest, ClicksReachHandlersOnlyOnVisibleEnabledControls) {
    TestDialog dlg;
    backend.PushOperator([](CDialog& d) {
        d.PressButton(10);
        d.PressButton(11);  // hidden
        d.PressButton(12);  // disabled
        d.GetDlgItem(12)->EnableWindow(true);
        d.PressButton(12);
        d.PressButton(IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.actions, 2);
}

TEST_F(DialogTest, ShownTwiceStartsAfreshEachTime) {
    TestDialog dlg;
    for (int round = 0; round < 2; ++round) {
        backend.PushOperator([](CDialog& d) {
            EXPECT_EQ(d.GetDlgItem(20)->GetWindowText(), "")
                << "members were put into the controls";
            d.GetControl<CEdit>(20)->InputText("saisie");
            d.PressButton(IDOK);
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.text, "saisie");
        dlg.text.clear();
    }
    EXPECT_EQ(dlg.initCalls, 2);
}

TEST_F(DialogTest, ADialogCannotBeShownWhileItIsOpen) {
    TestDialog dlg;
    int nested = 0;
    backend.PushOperator([&](CDialog& d) {
        nested = d.DoModal();
        d.PressButton(IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(nested, -1);
}

TEST_F(DialogTest, WithoutTemplateDoModalFails) {
    CDialog dlg(static_cast<const DialogTemplate*>(nullptr), 4242);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_TRUE(backend.Lines().empty());
}

TEST_F(DialogTest, AnApplicationTemplateThatDoesNotExistCannotBeShown) {
    CDialog dlg(4242u);
    EXPECT_EQ(dlg.GetTemplate(), nullptr);
    EXPECT_EQ(dlg.DoModal(), -1);
}

TEST_F(DialogTest, EndingInInitialisationSkipsTheOperator) {
    TestDialog dlg;
    dlg.endInInit = true;
    bool operatorCalled = false;
    backend.PushOperator([&](CDialog&) { operatorCalled = true; });
    EXPECT_EQ(dlg.DoModal(), IDABORT);
    EXPECT_FALSE(operatorCalled);
    EXPECT_TRUE(backend.Lines().empty());
}

TEST_F(DialogTest, AnOperatorThatLeavesTheDialogOpenGetsItCancelled) {
    TestDialog dlg;
    backend.PushOperator([](CDialog&) {});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(DialogTest, ADialogWithNeitherAnswerNorOperatorIsUnexpected) {
    TestDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(backend.Lines(), std::vector<std::string>{"unexpected dialog 900"});
}

TEST_F(DialogTest, CheckBoxExchangesBothWays) {
    TestDialog dlg;
    dlg.check = 1;
    backend.PushOperator([](CDialog& d) {
        auto* box = d.GetControl<CButton>(21);
        EXPECT_EQ(box->GetCheck(), 1);
        box->InputCheck(0);
        d.PressButton(IDOK);
    });
    dlg.DoModal();
    EXPECT_EQ(dlg.check, 0);
}

TEST_F(DialogTest, TimersLiveWhileTheDialogIsOpen) {
    TestDialog dlg;
    EXPECT_EQ(dlg.SetTimer(1, 100), 0u) << "no timer on a closed dialog";
    backend.PushOperator([&](CDialog& d) {
        EXPECT_EQ(d.SetTimer(1, 100), 1u);
        EXPECT_TRUE(d.HasTimer(1));
        EXPECT_TRUE(backend.HasTimer(d, 1));
        EXPECT_TRUE(d.KillTimer(1));
        EXPECT_FALSE(d.KillTimer(1));
        EXPECT_FALSE(backend.HasTimer(d, 1));
        d.SetTimer(2, 50);
        d.PressButton(IDOK);
    });
    dlg.DoModal();
    EXPECT_FALSE(dlg.HasTimer(2));
    EXPECT_FALSE(backend.HasTimer(dlg, 2)) << "closing the dialog stops its timers";
}

TEST_F(DialogTest, SystemMenuOnlyWhereThePlatformHasOne) {
    TestDialog dlg;
    backend.PushOperator([](CDialog& d) {
        CMenu* menu = d.GetSystemMenu(false);
        ASSERT_NE(menu, nullptr);
        menu->AppendMenu(MF_SEPARATOR);
        menu->AppendMenu(MF_STRING, 16,
                         "Entr\xE9"
                         "e");
        EXPECT_EQ(menu->GetMenuItemCount(), 2);
        d.SystemCommand(SC_CLOSE);  // the close box cancels
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);

    plat::ui::InstallBackend(nullptr);  // the inert backend has no system menu
    TestDialog other;
    EXPECT_EQ(other.DoModal(), IDCANCEL);
}

// A backend that counts what it is told, to check that closed dialogs stay
// silent and open ones report every change.
class CountingBackend : public HeadlessBackend {
public:
    void ControlChanged(CWnd& wnd, const plat::ui::ControlChange& change) override {
        changes.push_back({wnd.GetDlgCtrlID(), change.what});
        HeadlessBackend::ControlChanged(wnd, change);
    }
    std::vector<std::pair<int, plat::ui::Change>> changes;
};

TEST(DialogBackendTest, EveryChangeOfAnOpenDialogReachesTheBackend) {
    CountingBackend backend;
    plat::ui::ScopedBackend installed(backend);
    TestDialog dlg;
    dlg.SetWindowText("avant");  // closed: kept, not told
    backend.PushOperator([&](CDialog& d) {
        backend.changes.clear();
        d.GetDlgItem(20)->SetWindowText("x");
        d.GetDlgItem(20)->SetWindowText("x");  // unchanged: nothing to tell
        d.GetDlgItem(10)->ShowWindow(SW_HIDE);
        d.GetDlgItem(10)->EnableWindow(false);
        d.GetControl<CButton>(21)->SetCheck(1);
        d.PressButton(IDOK);
    });
    dlg.DoModal();
    using plat::ui::Change;
    const std::vector<std::pair<int, Change>> expected{
        {20, Change::Text}, {10, Change::Shown}, {10, Change::Enabled}, {21, Change::Check}};
    EXPECT_EQ(backend.changes, expected);
}

}  // namespace
