// Open-file dialog requests: filters, initial file names, patterns.
#include "platform/ui/file_dialog.h"

#include <gtest/gtest.h>

#include "platform/ui/backend.h"

namespace {

using plat::ui::FilterEntry;
using plat::ui::ParseFilter;
using plat::ui::SplitInitialFile;

TEST(FileDialogTest, FiltersWithOrWithoutFinalBar) {
    for (const char* filter :
         {"Zip (*.ZIP)|*.ZIP|Cyb (*.CYB)|*.CYB|", "Zip (*.ZIP)|*.ZIP|Cyb (*.CYB)|*.CYB"}) {
        const auto entries = ParseFilter(filter);
        ASSERT_EQ(entries.size(), 2u) << filter;
        EXPECT_EQ(entries[0].description, "Zip (*.ZIP)");
        EXPECT_EQ(entries[0].patterns, std::vector<std::string>{"*.ZIP"});
        EXPECT_EQ(entries[1].description, "Cyb (*.CYB)");
        EXPECT_EQ(entries[1].patterns, std::vector<std::string>{"*.CYB"});
    }
}

TEST(FileDialogTest, OddFiltersDoNotBreak) {
    EXPECT_TRUE(ParseFilter("").empty());
    EXPECT_TRUE(ParseFilter("|").empty());
    const auto several = ParseFilter("Tous|*.jo; *.ZIP");
    ASSERT_EQ(several.size(), 1u);
    EXPECT_EQ(several[0].patterns, (std::vector<std::string>{"*.jo", "*.ZIP"}));
    const auto dangling = ParseFilter("Sans motif");
    ASSERT_EQ(dangling.size(), 1u);
    EXPECT_TRUE(dangling[0].patterns.empty());
}

TEST(FileDialogTest, InitialFileNameCarriesFolderAndPattern) {
    const struct {
        const char* initial;
        const char* folder;
        const char* name;
    } cases[] = {
        {"..\\import\\*.ZIP", "..\\import\\", "*.ZIP"},
        {"../data/J*.SIT", "../data/", "J*.SIT"},
        {"*.jo", "", "*.jo"},
        {"C:\\BASE\\", "C:\\BASE\\", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        const auto split = SplitInitialFile(c.initial);
        EXPECT_EQ(split.folder, c.folder) << c.initial;
        EXPECT_EQ(split.name, c.name) << c.initial;
    }
}

TEST(FileDialogTest, WithoutBackendTheDialogIsCancelled) {
    plat::ui::InstallBackend(nullptr);
    CFileDialog dlg(true, "jo", "*.jo");
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.GetPathName(), "");
    EXPECT_EQ(dlg.GetFileName(), "");
    EXPECT_EQ(dlg.GetFileExt(), "");
}

}  // namespace
