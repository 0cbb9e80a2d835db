// The missing-bags dialog.
#include "dialogs/ErreursSac.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_backend.h"
#include "resources/resource.h"

namespace {

using Lines = std::vector<std::string>;

class ErreursSacTest : public ::testing::Test {
protected:
    plat::headless::HeadlessBackend backend;
    plat::ui::ScopedBackend installed{backend};
    CErreursSac dlg;
};

TEST_F(ErreursSacTest, ShowsEntriesInOrderWithDuplicatesAndIsAcknowledged) {
    for (const char* bag : {"0012", "0007", "0012"}) dlg.AddInfo(bag);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(backend.Lines(), Lines{"missing-bags 0012 | 0007 | 0012"});
}

TEST_F(ErreursSacTest, ShownTwiceShowsTheSameEntriesAgain) {
    dlg.AddInfo("000C");
    dlg.DoModal();
    dlg.DoModal();
    EXPECT_EQ(backend.Lines(), (Lines{"missing-bags 000C", "missing-bags 000C"}));
    EXPECT_EQ(dlg.NombreErreurs, 1);
}

TEST_F(ErreursSacTest, AnEmptyListShowsAnEmptyList) {
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(backend.Lines(), Lines{"missing-bags "});
}

TEST_F(ErreursSacTest, EntriesBeyondTheCapacityAreDropped) {
    for (int i = 0; i < CErreursSac::kCapacite + 5; ++i) dlg.AddInfo(std::to_string(i));
    EXPECT_EQ(dlg.NombreErreurs, CErreursSac::kCapacite);
    ASSERT_EQ(dlg.ListeErreurs.size(), static_cast<std::size_t>(CErreursSac::kCapacite));
    EXPECT_EQ(dlg.ListeErreurs.back(), std::to_string(CErreursSac::kCapacite - 1));
    dlg.DoModal();
    ASSERT_EQ(backend.Lines().size(), 1u);
    const std::string& line = backend.Lines()[0];
    EXPECT_EQ(line.substr(line.size() - 6), "| 9999");
}

}  // namespace
