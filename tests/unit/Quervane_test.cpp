// The application object: the main window as a modal dialog, then the end.
#include "app/Quervane.h"

#include <gtest/gtest.h>

#include "app/QuervaneDlg.h"
#include "platform/headless/headless_backend.h"
#include "resources/resource.h"

namespace {

TEST(QuervaneAppTest, ShowsTheMainWindowUntilItClosesThenEnds) {
    plat::headless::HeadlessBackend backend;
    plat::ui::ScopedBackend installed(backend);
    ASSERT_EQ(AfxGetApp(), &theApp);
    EXPECT_EQ(AfxGetAppName(), "Quervane");
    bool shown = false;
    backend.PushOperator([&](CDialog& dlg) {
        shown = true;
        EXPECT_EQ(dlg.GetTemplateId(), IDD_QUERVANE_DIALOG);
        EXPECT_EQ(theApp.m_pMainWnd, &dlg);
        EXPECT_EQ(dlg.GetWindowText(), "Quervane");
        dlg.SystemCommand(SC_CLOSE);  // the close box ends it as OK does
    });
    EXPECT_FALSE(theApp.InitInstance()) << "no message loop of its own";
    EXPECT_TRUE(shown);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    EXPECT_TRUE(backend.Lines().empty());
}

}  // namespace
