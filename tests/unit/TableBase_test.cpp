#include "records/TableBase.h"

#include <gtest/gtest.h>

#include <random>

#include <string>
#include <vector>

#include "tests/unit/test_support.h"

namespace {

class TableBaseFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string root = std::string(QUERVANE_BINARY_DIR) + "/test-tmp";
        plat::CreateDirectory(root);
        dir_ = root + "/tablebase_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        plat::CreateDirectory(dir_);
    }
    std::string Write(const std::string& name, const std::string& content) {
        plat::File f = plat::File::Open(dir_ + name, "wb");
        f.Write(content.data(), 1, content.size());
        return dir_ + name;
    }
    int Read(const std::string& content) {
        return base_.LectureDescriptif(Write("BASE.ini", content));
    }
    std::string dir_;
    TableBase base_;
};

// One section of a descriptor: header digit, extension and field widths.
std::string Section(int digit, const std::string& ext, const std::vector<int>& widths,
                    int declared = -1) {
    std::string s = "[";
    s.append(std::to_string(digit)).append("] fichier ").append(ext).append("\r\n");
    s += "Extension:" + ext + "\r\nDescription:base de distribution\r\n";
    s += "NbChamps:" + std::to_string(declared < 0 ? widths.size() : declared) + "\r\n";
    s += "Cle:1\r\nOptions:0\r\n";
    for (std::size_t k = 0; k < widths.size(); ++k) {
        s.append("C").append(std::to_string(k)).append(":A:").append(std::to_string(k));
        s.append(":").append(std::to_string(widths[k])).append("\r\n");
    }
    return s + "\r\n";
}

const std::vector<int> kJo = {2, 2, 6, 8, 4, 10, 8, 1, 1, 5, 2, 1, 1, 1, 1, 1,
                              1, 1, 1, 4, 4, 10, 4, 6, 1, 1, 1, 1, 1, 2, 2, 32};
const std::vector<int> kLi = {2, 2, 6, 8, 4, 10, 1, 8};
const std::vector<int> kSa = {2, 2, 6, 8, 4, 10, 4, 20, 5};
const std::vector<int> kRo = {2, 2, 6, 8, 32, 8};
const std::vector<int> kRe = {2, 2, 6, 32, 8};
const std::vector<int> kEd = {2, 2, 32, 4, 4, 8, 8, 8};
const std::vector<int> kTi = {2, 32, 2, 4, 6, 6, 8};

std::string FullDescriptor(bool reverse) {
    const std::vector<std::pair<int, std::string>> order = {
        {0, Section(0, "TI", kTi)}, {1, Section(1, "ED", kEd)}, {2, Section(2, "RE", kRe)},
        {3, Section(3, "RO", kRo)}, {4, Section(4, "SA", kSa)}, {5, Section(5, "LI", kLi)},
        {6, Section(6, "JO", kJo)}};
    std::string text = "; lines before the first header are skipped\r\n";
    if (reverse) {
        for (auto it = order.rbegin(); it != order.rend(); ++it) text += it->second;
    } else {
        for (const auto& s : order) text += s.second;
    }
    return text;
}

void ExpectSlot(const TableBase& base, int slot, const std::string& ext,
                const std::vector<int>& widths) {
    ASSERT_TRUE(base.bDefined[slot]) << "slot " << slot;
    EXPECT_EQ(base.Extension[slot], ext);
    ASSERT_EQ(base.NbChamps[slot], static_cast<int>(widths.size()));
    int position = 0;
    for (std::size_t k = 0; k < widths.size(); ++k) {
        EXPECT_EQ(base.LongueurChamp[slot][k], widths[k]) << "slot " << slot << " field " << k;
        EXPECT_EQ(base.PositionChamp[slot][k], position) << "slot " << slot << " field " << k;
        position += widths[k];
    }
    EXPECT_EQ(base.LongueurEnregistrement[slot], position);
}

TEST_F(TableBaseFiles, SectionsInEitherOrderDescribeTheSameSlots) {
    for (bool reverse : {false, true}) {
        ASSERT_EQ(Read(FullDescriptor(reverse)), DescriptifLu);
        ExpectSlot(base_, SlotJournal, "JO", kJo);
        ExpectSlot(base_, SlotLiasse, "LI", kLi);
        ExpectSlot(base_, SlotSac, "SA", kSa);
        ExpectSlot(base_, SlotRoutage, "RO", kRo);
        ExpectSlot(base_, SlotReseau, "RE", kRe);
        ExpectSlot(base_, SlotEdition, "ED", kEd);
        ExpectSlot(base_, SlotTitre, "TI", kTi);
        EXPECT_EQ(base_.LongueurEnregistrement[SlotJournal], 126);
        EXPECT_EQ(base_.LongueurEnregistrement[SlotTitre], 60);
    }
}

TEST_F(TableBaseFiles, MissingSectionLeavesItsSlotUndefinedAndEmpty) {
    ASSERT_EQ(Read(FullDescriptor(false)), DescriptifLu);
    ASSERT_EQ(Read(Section(6, "JO", kJo) + Section(0, "TI", kTi)), DescriptifLu);
    EXPECT_TRUE(base_.bDefined[SlotJournal]);
    EXPECT_TRUE(base_.bDefined[SlotTitre]);
    for (int slot : {SlotLiasse, SlotSac, SlotRoutage, SlotReseau, SlotEdition}) {
        EXPECT_FALSE(base_.bDefined[slot]) << slot;
        EXPECT_EQ(base_.NbChamps[slot], 0) << slot;
        EXPECT_EQ(base_.LongueurEnregistrement[slot], 0) << slot;
        EXPECT_FALSE(base_.ChampDefini(slot, 0));
    }
}

TEST_F(TableBaseFiles, FaultsAndTheirResults) {
    struct Case {
        const char* name;
        std::string text;
        int expected;
    };
    const std::string head = "[6] JO\nExt:JO\nDesc\n";
    const std::vector<Case> cases = {
        {"five declared, four listed", Section(6, "JO", {1, 2, 3, 4}, 5), ListeChampsCourte},
        {"short list before the next section",
         Section(5, "LI", {1, 2, 3, 4}, 5) + Section(0, "TI", kTi), ListeChampsCourte},
        {"field line with two colons", head + "N:1\nx\nx\nC0:A:2\n", ListeChampsCourte},
        {"extension line without colon", "[6] JO\nExtension JO\n", ExtensionIllisible},
        {"header at the end of the file", "[6] JO\n", ExtensionIllisible},
        {"count line without colon", head + "NbChamps 3\n", NombreChampsIllisible},
        {"count that is not a number", head + "NbChamps:abc\n", NombreChampsIllisible},
        {"count line missing", head, NombreChampsIllisible},
        {"count above 100", head + "N:101\n", NombreChampsHorsLimites},
        {"negative count", head + "N:-1\n", NombreChampsHorsLimites},
        {"width that is not a number", head + "N:1\nx\nx\nC0:A:0:x\n", LargeurChampInvalide},
        {"negative width", head + "N:1\nx\nx\nC0:A:0:-4\n", LargeurChampInvalide},
        {"widths beyond any record", head + "N:2\nx\nx\na:b:c:999999\na:b:c:999999\n",
         EnregistrementTropLong},
        {"no section at all", "nothing here\n[x]\n", DescriptifLu},
        {"empty file", "", DescriptifLu},
        {"CR-only line ends read as one line", "[6]\rExt:JO\rx\rN:1\rx\rx\ra:b:c:5\r",
         ExtensionIllisible},
        {"10,000-character extension line",
         "[6] JO\nExtension:" + std::string(10000, 'X') + "\nx\nN:1\nx\nx\na:b:c:1\n",
         NombreChampsIllisible},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Read(c.text), c.expected) << c.name;
    }
}

TEST_F(TableBaseFiles, FieldLinesAndCapacity) {
    // The width is the item after the third ":", whatever the others say.
    ASSERT_EQ(Read("[0]\nExtension: ti  more\nx\nNbChamps:  2 fields\nx\nx\n"
                   "Titre:A:2:3\nLibelle:N:9:32 trailing\n"),
              DescriptifLu);
    EXPECT_EQ(base_.Extension[SlotTitre], "ti");
    EXPECT_EQ(base_.LongueurChamp[SlotTitre][0], 3);
    EXPECT_EQ(base_.PositionChamp[SlotTitre][1], 3);
    EXPECT_EQ(base_.LongueurEnregistrement[SlotTitre], 35);

    // 100 fields of width 0: a record of length 0.
    ASSERT_EQ(Read(Section(6, "JO", std::vector<int>(100, 0))), DescriptifLu);
    EXPECT_EQ(base_.NbChamps[SlotJournal], 100);
    EXPECT_EQ(base_.LongueurEnregistrement[SlotJournal], 0);
    EXPECT_TRUE(base_.ChampDefini(SlotJournal, 99));
    EXPECT_FALSE(base_.ChampDefini(SlotJournal, 100));

    // Field lines beyond the declared count are skipped like any line
    // outside a section.
    std::vector<int> many(150, 1);
    ASSERT_EQ(Read(Section(4, "SA", many, 3) + Section(3, "RO", kRo)), DescriptifLu);
    EXPECT_EQ(base_.NbChamps[SlotSac], 3);
    EXPECT_EQ(base_.LongueurEnregistrement[SlotSac], 3);
    ExpectSlot(base_, SlotRoutage, "RO", kRo);

    // Long extensions are cut to 9 characters.
    ASSERT_EQ(Read("[1]\nE:ABCDEFGHIJKL\nx\nN:0\n"), DescriptifLu);
    EXPECT_EQ(base_.Extension[SlotEdition], "ABCDEFGHI");
    EXPECT_TRUE(base_.bDefined[SlotEdition]);
}

TEST_F(TableBaseFiles, SectionsSevenToNineNameNoSlot) {
    ASSERT_EQ(Read(Section(7, "XX", {5}) + Section(9, "YY", {5}) + Section(0, "TI", kTi)),
              DescriptifLu);
    ExpectSlot(base_, SlotTitre, "TI", kTi);
    for (int slot = 0; slot < SlotTitre; ++slot) EXPECT_FALSE(base_.bDefined[slot]);
}

TEST_F(TableBaseFiles, FilesThatDoNotOpen) {
    EXPECT_EQ(base_.LectureDescriptif(dir_ + "absent.ini"), DescriptifAbsent);
    EXPECT_EQ(base_.LectureDescriptif(dir_), DescriptifAbsent);
    // A file that opens but fails to read describes nothing.
    if (const std::string illisible = test_support::FichierIllisible(); !illisible.empty()) {
        EXPECT_EQ(base_.LectureDescriptif(illisible), DescriptifIllisible);
    }
    std::string junk;
    for (int i = 0; i < 20000; ++i) {
        const char c = static_cast<char>((i * 37 + 11) & 0xFF);
        junk += c == '[' ? ']' : c;
    }
    EXPECT_EQ(Read(junk), DescriptifLu);
    for (bool d : base_.bDefined) EXPECT_FALSE(d);
}

TEST_F(TableBaseFiles, RandomDescriptorsGiveConsistentSlots) {
    const std::vector<std::string> pieces = {
        "[0] TI",  "[6]",     "[9] x", "E:JO", "N:3",      "N:100", "N:-2",       "N:abc",
        "a:b:c:4", "a:b:c:0", "a:b:c", "",     "a:b:c:-1", "[",     "x:y:z:99999"};
    std::mt19937 random(99);
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const int lines = static_cast<int>(random() % 60);
        for (int i = 0; i < lines; ++i) text += pieces[random() % pieces.size()] + "\n";
        const int r = Read(text);
        EXPECT_TRUE(r >= DescriptifLu && r <= EnregistrementTropLong) << r;
        for (int slot = 0; slot < NombreSlotsDecrits; ++slot) {
            if (!base_.bDefined[slot]) continue;
            ASSERT_GE(base_.NbChamps[slot], 0);
            ASSERT_LE(base_.NbChamps[slot], NombreMaxChampsBase);
            int position = 0;
            for (int k = 0; k < base_.NbChamps[slot]; ++k) {
                ASSERT_EQ(base_.PositionChamp[slot][k], position);
                ASSERT_GE(base_.LongueurChamp[slot][k], 0);
                position += base_.LongueurChamp[slot][k];
            }
            ASSERT_EQ(base_.LongueurEnregistrement[slot], position);
        }
    }
}

TEST_F(TableBaseFiles, BaseFileNames) {
    EXPECT_EQ(NomFichierBase("C:\\BASE\\", "NR", ExtensionsBase[SlotJournal]), "C:\\BASE\\NR.JO");
    EXPECT_EQ(NomFichierBase("", "NR", ".SA2"), "NR.SA2");
    // Capital and small extensions name the same file.
    Write("NR.JO", "x");
    plat::File f =
        plat::File::Open(NomFichierBase(dir_, "NR", ExtensionsBaseMinuscules[SlotJournal]), "r");
    EXPECT_TRUE(f.IsOpen());
}

}  // namespace
