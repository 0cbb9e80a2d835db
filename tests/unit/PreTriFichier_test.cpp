#include "import/PreTriFichier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "import/PreTri.h"
#include "platform/fs/fs.h"

namespace {

using namespace std::string_literals;

class PreTriFichierTest : public ::testing::Test {
protected:
    void SetUp() override {
        // One folder per test: the tests of this file may run side by side.
        folder_ = std::string(QUERVANE_BINARY_DIR) + "/PreTriFichier_test_files_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name();
        plat::CreateDirectory(folder_);
        file_ = folder_ + "/JOURNAL.CYB";
        temp_ = folder_ + "/TEMP";
        plat::DeleteFile(temp_);
    }

    void Write(const std::string& bytes) {
        plat::File f = plat::File::Open(file_, "wb");
        ASSERT_TRUE(f);
        f.Write(bytes.data(), 1, bytes.size());
    }

    std::string Read(const std::string& path) {
        plat::File f = plat::File::Open(path, "rb");
        std::string bytes;
        for (int c; f && (c = f.Getc()) != EOF;) bytes += static_cast<char>(c);
        return bytes;
    }

    ResultatPreTri Sort(int preTri, std::size_t slice, std::vector<std::uint8_t>& marks) {
        PreTriFichier options;
        options.preTri = preTri;
        options.keyLengths = {4, 6, 8};  // title and edition, vehicle, route
        options.tailleTranche = slice;
        return PreTrierFichier(file_, temp_, options, marks);
    }

    std::string folder_, file_, temp_;
};

// Records of title NR: editions E1/E2, vehicles VA/VB, routes R1/R2.
const std::string kShuffled =
    "NRE1VAR1 a\r\n"
    "NRE2VAR1 b\r\n"
    "NRE1VBR2 c\r\n"
    "NRE1VAR2 d\r\n"
    "NRE1VAR1 e\r\n"
    "NRE2VAR1 f\r\n";
const std::string kRegrouped =
    "NRE1VAR1 a\r\n"
    "NRE1VAR1 e\r\n"
    "NRE1VAR2 d\r\n"
    "NRE1VBR2 c\r\n"
    "NRE2VAR1 b\r\n"
    "NRE2VAR1 f\r\n";

TEST_F(PreTriFichierTest, SameCopyWhateverTheSliceSize) {
    for (std::size_t slice : {std::size_t{1}, std::size_t{25}, std::size_t{1} << 20}) {
        Write(kShuffled);
        std::vector<std::uint8_t> marks;
        ASSERT_EQ(Sort(1, slice, marks), ResultatPreTri::Fait) << slice;
        EXPECT_EQ(Read(file_), kRegrouped) << "slice " << slice;
        EXPECT_EQ(marks, (std::vector<std::uint8_t>{0, 1, 1, 1, 0, 1})) << slice;
        EXPECT_FALSE(plat::FileExists(temp_));
    }
}

TEST_F(PreTriFichierTest, LineEndsAndOddLines) {
    struct Row {
        const char* name;
        std::string input;
        std::string output;
    } rows[] = {
        {"bare line feeds become line ends", "NRE2VAR1 x\nNRE1VAR1 y\nNRE2VAR1 z\n",
         "NRE2VAR1 x\r\nNRE2VAR1 z\r\nNRE1VAR1 y\r\n"},
        {"a last line without line end gets one", "NRE2VAR1 x\r\nNRE1VAR1 y\r\nNRE2VAR1 z",
         "NRE2VAR1 x\r\nNRE2VAR1 z\r\nNRE1VAR1 y\r\n"},
        {"empty lines are dropped", "\r\nNRE2VAR1 x\r\n\r\n\nNRE1VAR1 y\r\nNRE2VAR1 z\r\n",
         "NRE2VAR1 x\r\nNRE2VAR1 z\r\nNRE1VAR1 y\r\n"},
        {"a record ends at a zero byte", "NRE2VAR1 x\0junk\r\nNRE1\r\nNRE2VAR1 z\r\n"s,
         "NRE2VAR1 x\r\nNRE2VAR1 z\r\nNRE1\r\n"},
        {"a short line groups with blanks", "NRE1VA\r\nNRE2\r\nNRE1VA  \r\n",
         "NRE1VA\r\nNRE1VA  \r\nNRE2\r\n"},
        {"a carriage return alone stays in the line", "NRE2\rVAR1\r\nNRE1\r\nNRE2\r\n",
         "NRE2\rVAR1\r\nNRE2\r\nNRE1\r\n"},
        {"a line feed alone before a line that ends in a line feed",
         "NRE2VAR1 x\n\nNRE1VAR1 y\nNRE2VAR1 z\n", "NRE2VAR1 x\r\nNRE2VAR1 z\r\nNRE1VAR1 y\r\n"},
        {"no record at all", "\r\n\n", ""},
    };
    for (const Row& row : rows) {
        Write(row.input);
        std::vector<std::uint8_t> marks;
        ASSERT_EQ(Sort(1, 8, marks), ResultatPreTri::Fait) << row.name;
        EXPECT_EQ(Read(file_), row.output) << row.name;
    }
}

TEST_F(PreTriFichierTest, ALineLongerThanTheReadBufferArrivesInPieces) {
    const std::string longLine = "NRE2" + std::string(12000, 'x');
    Write("NRE1VAR1\r\n" + longLine + "\r\nNRE1VAR2\r\nxxxxVAR3\r\n");
    std::vector<std::uint8_t> marks;
    ASSERT_EQ(Sort(3, 0, marks), ResultatPreTri::Fait);
    // 9999 characters, then the remaining 2005 as a record of their own that
    // groups with the other "xxxx" record.
    const std::string expected = "NRE1VAR1\r\nNRE1VAR2\r\n" + longLine.substr(0, 9999) + "\r\n" +
                                 longLine.substr(9999) + "\r\nxxxxVAR3\r\n";
    EXPECT_TRUE(Read(file_) == expected);
    EXPECT_EQ(marks.size(), 5u);
}

// Random files cut into lots of every size: the copy and the marks must be
// those of the whole regrouped order, for every level of the pre-sort.
TEST_F(PreTriFichierTest, LotsGiveTheWholeRegroupedOrder) {
    std::mt19937 random(99);
    for (int trial = 0; trial < 60; ++trial) {
        const int preTri = 1 + trial % 3;
        std::vector<std::string> records;
        std::string input;
        for (int i = 0; i < 300; ++i) {
            std::string record;
            for (const char* level : {"T2", "E3", "V4", "R3"}) {
                record += level[0];
                record += static_cast<char>('0' + random() % static_cast<unsigned>(level[1] - '0'));
            }
            record += ' ';
            record.append(random() % 40, static_cast<char>('a' + random() % 26));
            records.push_back(record);
            input += record + "\r\n";
        }
        PreTri reference(preTri, {4, 6, 8});
        for (const std::string& record : records) reference.AjouterEnregistrement(record);
        const PreTri::Ordre ordre = reference.Ordonner();
        std::string expected;
        for (const std::uint32_t numero : ordre.pRang) expected += records[numero] + "\r\n";

        const std::size_t slice = 1 + random() % 3000;
        Write(input);
        std::vector<std::uint8_t> marks;
        PreTriFichier options;
        options.preTri = preTri;
        options.keyLengths = {4, 6, 8};
        options.tailleTranche = slice;
        ASSERT_EQ(PreTrierFichier(file_, temp_, options, marks), ResultatPreTri::Fait);
        ASSERT_EQ(Read(file_), expected) << "trial " << trial << " lot " << slice;
        EXPECT_EQ(marks, ordre.pChangeRecord) << "trial " << trial;
    }
}

// The copy takes the records from the file again: a file cut short between
// the two readings is a file that cannot be read, and it is not replaced.
TEST_F(PreTriFichierTest, AFileCutShortBetweenItsReadingsIsNotReplaced) {
    Write(kShuffled);
    PreTriFichier options;
    options.keyLengths = {4, 6, 8};
    int debuts = 0;
    // Each reading reports 0 first: the second one starts.
    options.progression = [&](int pourcentage) {
        if (pourcentage == 0 && ++debuts == 2) Write("NRE1");
    };
    std::vector<std::uint8_t> marks;
    EXPECT_EQ(PreTrierFichier(file_, temp_, options, marks), ResultatPreTri::FichierIllisible);
    EXPECT_EQ(Read(file_), "NRE1");
    EXPECT_FALSE(plat::FileExists(temp_));
}

TEST_F(PreTriFichierTest, ACopyThatCannotBeMadeLeavesTheFile) {
    Write(kShuffled);
    std::vector<std::uint8_t> marks;
    PreTriFichier options;
    options.keyLengths = {4, 6, 8};
    for (const std::size_t slice : {std::size_t{1}, std::size_t{1} << 20}) {
        options.tailleTranche = slice;
        EXPECT_EQ(PreTrierFichier(file_, folder_ + "/missing/TEMP", options, marks),
                  ResultatPreTri::TemporaireImpossible);
        EXPECT_EQ(Read(file_), kShuffled);
    }
}

// Lots of one record each: the copy is still the regrouped file.
TEST_F(PreTriFichierTest, ATinyLotSizeStillCopiesTheWholeFile) {
    std::string input, expected;
    for (int i = 0; i < 3000; ++i)
        input += (i % 2 ? "NRE2VAR1 " : "NRE1VAR1 ") + std::to_string(i) + "\r\n";
    for (int parity : {0, 1})
        for (int i = parity; i < 3000; i += 2)
            expected += (i % 2 ? "NRE2VAR1 " : "NRE1VAR1 ") + std::to_string(i) + "\r\n";
    Write(input);
    std::vector<std::uint8_t> marks;
    ASSERT_EQ(Sort(1, 1, marks), ResultatPreTri::Fait);
    EXPECT_TRUE(Read(file_) == expected);
    EXPECT_EQ(marks.size(), 3000u);
}

TEST_F(PreTriFichierTest, MissingFile) {
    plat::DeleteFile(file_);
    std::vector<std::uint8_t> marks;
    EXPECT_EQ(Sort(1, 0, marks), ResultatPreTri::FichierIllisible);
    EXPECT_FALSE(plat::FileExists(temp_));
}

}  // namespace
