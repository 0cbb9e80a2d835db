// The main window's shell: status line, repaint timer, system menu and
// about box, icon.
#include "app/QuervaneDlg.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/codepage.h"
#include "platform/headless/headless_backend.h"
#include "resources/resource.h"

namespace {

using Lines = std::vector<std::string>;

class QuervaneDlgTest : public ::testing::Test {
protected:
    // Shows the main window and runs body while it is open.
    template <class Body>
    void WhileOpen(Body body) {
        backend.PushOperator([&](CDialog&) {
            body();
            dlg->PressButton(IDOK);
        });
        EXPECT_EQ(dlg->DoModal(), IDOK);
    }

    plat::headless::HeadlessBackend backend;
    plat::ui::ScopedBackend installed{backend};
    std::unique_ptr<CQuervaneDlg> dlg = std::make_unique<CQuervaneDlg>();
};

TEST_F(QuervaneDlgTest, StatusLineShowsEachTextAndTheClearing) {
    WhileOpen([&] {
        dlg->Afficher("");
        dlg->Afficher("purge des anciens fichiers");
        dlg->Afficher(plat::Cp1252FromUtf8("Extraction du fichier zippé"));
        dlg->Afficher("lecture des voitures  ");
    });
    EXPECT_EQ(backend.Lines(),
              (Lines{"status ", "status purge des anciens fichiers",
                     "status Extraction du fichier zippé", "status lecture des voitures  "}));
    EXPECT_EQ(dlg->sDisplayMessage, "lecture des voitures  ");
}

TEST_F(QuervaneDlgTest, StatusLineIsDrawnNotStoredInTheEdit) {
    WhileOpen([&] {
        dlg->Afficher("FIN NORMALE");
        CWnd* status = dlg->GetDlgItem(IDC_STATUS);
        EXPECT_EQ(status->GetWindowText(), "");
        EXPECT_EQ(status->GetPaintedLine(), "FIN NORMALE");
    });
}

TEST_F(QuervaneDlgTest, LongAndHighBytesTextsReachTheOperatorIntact) {
    std::string high;
    for (int c = 0x80; c <= 0xFF; ++c) high += static_cast<char>(c);
    const std::string longText(2000, 'x');
    WhileOpen([&] {
        dlg->Afficher(longText);
        dlg->Afficher(high);
    });
    ASSERT_EQ(backend.Lines().size(), 2u);
    EXPECT_EQ(backend.Lines()[0], "status " + longText);
    EXPECT_EQ(backend.Lines()[1], "status " + plat::Utf8FromCp1252(high));
    EXPECT_EQ(dlg->sDisplayMessage, high);
}

TEST_F(QuervaneDlgTest, ARepaintRedrawsTheLastStatusShortlyAfter) {
    WhileOpen([&] {
        dlg->PaintRequested();
        EXPECT_FALSE(dlg->HasTimer(1)) << "nothing to redraw before the first run";
        dlg->Afficher("FIN NORMALE");
        dlg->PaintRequested();
        EXPECT_TRUE(dlg->HasTimer(1));
        EXPECT_TRUE(backend.HasTimer(*dlg, 1));
        dlg->TimerElapsed(1);
        EXPECT_FALSE(dlg->HasTimer(1)) << "the timer fires once";
    });
    EXPECT_EQ(backend.Lines(), (Lines{"status FIN NORMALE", "status FIN NORMALE"}));
}

TEST_F(QuervaneDlgTest, MinimisedRepaintStartsNoTimer) {
    WhileOpen([&] {
        dlg->Afficher("FIN NORMALE");
        dlg->SystemCommand(SC_MINIMIZE);
        EXPECT_TRUE(dlg->IsIconic());
        dlg->PaintRequested();
        EXPECT_FALSE(dlg->HasTimer(1));
        EXPECT_EQ(dlg->DragIconRequested(), IDR_MAINFRAME);
    });
}

TEST_F(QuervaneDlgTest, SystemMenuOffersTheAboutBox) {
    int aboutShown = 0;
    WhileOpen([&] {
        const CMenu* menu = dlg->SystemMenu();
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->GetMenuItemCount(), 2);
        EXPECT_EQ(menu->Items()[0].flags, MF_SEPARATOR);
        EXPECT_EQ(menu->Items()[1].id, IDM_ABOUTBOX);
        EXPECT_EQ(menu->Items()[1].text, "&A propos de Quervane...");
        EXPECT_EQ(dlg->GetIcon(true), IDR_MAINFRAME);
        backend.PushOperator([&](CDialog& about) {
            ++aboutShown;
            EXPECT_EQ(about.GetTemplateId(), IDD_ABOUTBOX);
            EXPECT_EQ(about.GetWindowText(), "A propos de Quervane");
            about.PressButton(IDOK);
            EXPECT_FALSE(about.IsOpen());
        });
        dlg->SystemCommand(IDM_ABOUTBOX | 0x0003);  // the low four bits do not count
        EXPECT_TRUE(dlg->IsOpen());
    });
    EXPECT_EQ(aboutShown, 1);
}

TEST_F(QuervaneDlgTest, ProgressBarStartsHiddenAndDisabled) {
    WhileOpen([&] {
        CWnd* progress = dlg->GetDlgItem(IDC_PROGRESS);
        ASSERT_NE(progress, nullptr);
        EXPECT_FALSE(progress->IsWindowVisible());
        EXPECT_FALSE(progress->IsWindowEnabled());
        dlg->ValiderProgres(IDC_PROGRESS, 1, 100, 0);
        EXPECT_TRUE(progress->IsWindowVisible());
    });
}

TEST_F(QuervaneDlgTest, TheActionButtonRunsAsALongRun) {
    EXPECT_EQ(dlg->GetHandlerKind(IDC_QUERVANE, plat::ui::Event::Clicked),
              plat::ui::HandlerKind::LongRun);
}

}  // namespace
