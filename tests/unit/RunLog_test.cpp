// The run log's bound: whole blocks go, oldest first, and the new block
// always stays; the log on the disk keeps within its bound across runs.
#include "import/RunLog.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/unit/test_support.h"

namespace {

std::string Block(char mark, std::size_t bodyLines) {
    std::string block = "=== Importation du 0" + std::string(1, mark) + " ===\n";
    for (std::size_t i = 0; i < bodyLines; ++i) block += std::string(1, mark) + " ligne\n";
    return block;
}

TEST(RunLog, TheOldestWholeBlocksGoPastTheBound) {
    const std::string a = Block('a', 3), b = Block('b', 3), c = Block('c', 3);
    // Sizes on the disk count a line feed as two bytes.
    const std::size_t disk = a.size() + 4;  // a block: 4 lines
    struct Case {
        const char* name;
        std::string existing;
        std::string block;
        std::size_t limit;
        std::string expected;
    } cases[] = {
        {"room for all", a + b, c, 3 * disk, a + b + c},
        {"one block too many", a + b, c, 3 * disk - 1, b + c},
        {"only the new one fits", a + b, c, disk, c},
        {"not even the new one fits", a + b, c, 10, c},
        {"empty log", "", a, disk, a},
        // Text before the first marker (a log cut by hand) goes first.
        {"leading text", "libre\n" + a, b, 2 * disk, a + b},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(BoundedRunLog(test.existing, test.block, test.limit), test.expected);
    }
}

TEST(RunLog, TheFileStaysWithinItsBoundAcrossRuns) {
    const test_support::TempFolder temp("quervane-runlog");
    ASSERT_TRUE(temp.ok());
    const std::string path = (temp.path() / "Quervane.log").string();
    const std::size_t limit = 2000;
    for (int run = 0; run < 40; ++run) {
        ASSERT_TRUE(AppendRunLog(path, Block(static_cast<char>('A' + run), 3 + run % 5), limit));
        EXPECT_LE(plat::FileSize(path), static_cast<std::int64_t>(limit)) << "run " << run;
    }
    // The last block is the last run's, written in text mode.
    plat::File log = plat::File::Open(path, "r");
    ASSERT_TRUE(log);
    std::string line, last;
    while (log.GetLine(line, 1000)) {
        if (line.rfind("=== ", 0) == 0) last = line;
    }
    EXPECT_EQ(last,
              "=== Importation du 0" + std::string(1, static_cast<char>('A' + 39)) + " ===\n");
    EXPECT_EQ(plat::FileSize(path + ".tmp"), -1);
}

TEST(RunLog, ALogThatCannotBeWrittenIsReportedNotThrown) {
    const test_support::TempFolder temp("quervane-runlog");
    ASSERT_TRUE(temp.ok());
    const std::string folder = (temp.path() / "Quervane.log").string();
    ASSERT_TRUE(plat::CreateDirectory(folder));  // a folder where the log should be
    EXPECT_FALSE(AppendRunLog(folder, Block('a', 1)));
}

}  // namespace
