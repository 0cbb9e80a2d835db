// The copies-count dialog.
#include "dialogs/SaisieExemplaires.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_backend.h"
#include "resources/resource.h"

namespace {

using Lines = std::vector<std::string>;

class SaisieExemplairesTest : public ::testing::Test {
protected:
    // Shows the dialog; the operator types each text in turn and presses
    // button, while the dialog stays open.
    int Show(const Lines& typed, int button) {
        backend.PushOperator([&](CDialog& d) {
            for (const std::string& text : typed) {
                if (!d.IsOpen()) break;
                d.GetControl<CEdit>(IDC_NOMBRE_EXEMPLAIRES)->InputText(text);
                d.PressButton(button);
            }
        });
        return dlg.DoModal();
    }

    plat::headless::HeadlessBackend backend;
    plat::ui::ScopedBackend installed{backend};
    CSaisieExemplaires dlg;
};

TEST_F(SaisieExemplairesTest, ValiderTakesTheNumber) {
    EXPECT_EQ(Show({"12"}, IDOK), IDOK);
    EXPECT_EQ(dlg.NombreExemplaires, 12);
    EXPECT_TRUE(dlg.bValide);
    EXPECT_TRUE(backend.Lines().empty());
}

TEST_F(SaisieExemplairesTest, ANonIntegerKeepsTheDialogOpenWithTheStandardMessage) {
    dlg.NombreExemplaires = 5;
    EXPECT_EQ(Show({"abc", "", "12abc", "1.5", "99999999999", " -3 "}, IDOK), IDOK);
    EXPECT_EQ(backend.Lines(), Lines(5, "message Tapez un nombre entier."));
    EXPECT_EQ(dlg.NombreExemplaires, -3) << "blanks around a signed number are accepted";
    EXPECT_TRUE(dlg.bValide);
}

TEST_F(SaisieExemplairesTest, ARefusedTextThenAbandonKeepsThePreviousValue) {
    dlg.NombreExemplaires = 5;
    backend.PushOperator([](CDialog& d) {
        EXPECT_EQ(d.GetDlgItem(IDC_NOMBRE_EXEMPLAIRES)->GetWindowText(), "5")
            << "the edit starts with the member";
        d.GetControl<CEdit>(IDC_NOMBRE_EXEMPLAIRES)->InputText("abc");
        d.PressButton(IDOK);
        EXPECT_TRUE(d.IsOpen());
        d.PressButton(IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.NombreExemplaires, 5);
    EXPECT_FALSE(dlg.bValide);
}

TEST_F(SaisieExemplairesTest, AbandonAfterAnEarlierValiderClearsTheFlag) {
    Show({"7"}, IDOK);
    ASSERT_TRUE(dlg.bValide);
    EXPECT_EQ(Show({"8"}, IDCANCEL), IDCANCEL);
    EXPECT_FALSE(dlg.bValide);
    EXPECT_EQ(dlg.NombreExemplaires, 7);
}

}  // namespace
