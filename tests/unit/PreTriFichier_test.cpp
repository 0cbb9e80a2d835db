#include "import/PreTriFichier.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <memory>
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
        EXPECT_FALSE(plat::FileExists(temp_ + ".1")) << "work file of the first slice left";
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
        EXPECT_FALSE(plat::FileExists(temp_ + ".1"));
    }
}

// The pass reads the regrouped records while the copy is written; what it
// does not read is written when the copy ends, also when it is dropped.
TEST_F(PreTriFichierTest, CopyHandsOutItsRecordsAsItWritesThem) {
    const std::vector<std::string> regrouped = {"NRE1VAR1 a\n", "NRE1VAR1 e\n", "NRE1VAR2 d\n",
                                                "NRE1VBR2 c\n", "NRE2VAR1 b\n", "NRE2VAR1 f\n"};
    for (const std::size_t slice : {std::size_t{1}, std::size_t{25}, std::size_t{1} << 20}) {
        for (const std::size_t taken : {std::size_t{0}, std::size_t{3}, regrouped.size()}) {
            for (const bool dropped : {false, true}) {
                Write(kShuffled);
                PreTriFichier options;
                options.keyLengths = {4, 6, 8};
                options.tailleTranche = slice;
                std::vector<std::uint8_t> marks;
                std::unique_ptr<CopieRegroupee> copie;
                ASSERT_EQ(CopieRegroupee::Commencer(file_, temp_, options, marks, copie),
                          ResultatPreTri::Fait);
                EXPECT_EQ(copie->Taille(), static_cast<std::int64_t>(kRegrouped.size()));
                std::int64_t position = 0;
                for (std::size_t i = 0; i < taken; ++i) {
                    std::string_view line;
                    ASSERT_TRUE(copie->Suivante(line)) << slice << " " << i;
                    EXPECT_EQ(line, regrouped[i]) << slice << " " << i;
                    position += static_cast<std::int64_t>(line.size()) + 1;
                    EXPECT_EQ(copie->Position(), position);
                }
                std::string_view none;
                if (taken == regrouped.size()) {
                    EXPECT_FALSE(copie->Suivante(none));
                }
                EXPECT_EQ(Read(file_), kShuffled) << "replaced before the copy ends";
                if (dropped) {
                    copie.reset();
                } else {
                    EXPECT_EQ(copie->Terminer(), ResultatPreTri::Fait);
                }
                EXPECT_EQ(Read(file_), kRegrouped) << slice << " " << taken << " " << dropped;
                EXPECT_FALSE(plat::FileExists(temp_));
                EXPECT_FALSE(plat::FileExists(temp_ + ".1"));
            }
        }
    }
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

// Lots far smaller than the file: their number is held down (each run is an
// open file during the merge), and the copy is still the regrouped file.
TEST_F(PreTriFichierTest, ATinyLotSizeStillMergesTheWholeFile) {
    std::string input, expected;
    for (int i = 0; i < 3000; ++i)
        input += (i % 2 ? "NRE2VAR1 " : "NRE1VAR1 ") + std::to_string(i) + "\r\n";
    for (int parity : {0, 1})
        for (int i = parity; i < 3000; i += 2)
            expected += (i % 2 ? "NRE2VAR1 " : "NRE1VAR1 ") + std::to_string(i) + "\r\n";
    Write(input);
    // Whatever this machine allows, a few hundred open files at most.
    struct rlimit before;
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &before), 0);
    struct rlimit limited = before;
    limited.rlim_cur = std::min<rlim_t>(before.rlim_cur, 256);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &limited), 0);
    std::vector<std::uint8_t> marks;
    const ResultatPreTri resultat = Sort(1, 1, marks);
    ::setrlimit(RLIMIT_NOFILE, &before);
    ASSERT_EQ(resultat, ResultatPreTri::Fait);
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
