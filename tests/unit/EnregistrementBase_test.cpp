#include "records/EnregistrementBase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/unit/base_layout.h"

namespace {

TableBase Base(int slot, const std::vector<int>& widths) {
    TableBase base;
    test_support::LayOutSlot(base, slot, widths);
    return base;
}

TEST(EnregistrementBase, FieldsByNumber) {
    const TableBase base = Base(SlotRoutage, {2, 2, 6, 8, 32, 8});
    EnregistrementBase rec;
    rec.Commence(base, SlotRoutage);
    EXPECT_EQ(rec.Texte(), std::string(58, ' ') + "\n");
    rec.Position(0, "NR");
    rec.Champ(1, "E1");
    rec.Champ(2, "VA0100");
    rec.Champ(3, "RA123400");
    rec.Champ(4, "LIBELLE ROUTAGE INCONNU         ");
    rec.Nombre(5, 3, 8);
    EXPECT_EQ(rec.Texte(), "NRE1VA0100RA123400LIBELLE ROUTAGE INCONNU         00000003\n");

    // The next record starts blank again.
    rec.Commence(base, SlotRoutage);
    rec.Champ(3, "RB");
    EXPECT_EQ(rec.Texte(), std::string(10, ' ') + "RB" + std::string(46, ' ') + "\n");
}

TEST(EnregistrementBase, WidthOfWhatIsWrittenNotOfTheDescriptor) {
    const TableBase base = Base(SlotLiasse, {2, 3, 4});
    EnregistrementBase rec;
    rec.Commence(base, SlotLiasse);
    rec.Champ(1, "ABCDE");  // a code wider than its declared field runs on
    EXPECT_EQ(rec.Texte(), "  ABCDE  \n");
    rec.Champ(2, "0123456");  // past the record: hidden by the line feed
    EXPECT_EQ(rec.Texte(), "  ABC0123\n");
    // The line feed lies over the field's fifth character; the rest stays.
    EXPECT_EQ(rec.Tampon().substr(5, 7), "0123\n56");
    rec.Champ(3, "ZZ");  // not declared: not written
    rec.Champ(-1, "ZZ");
    EXPECT_EQ(rec.Texte(), "  ABC0123\n");
    EXPECT_EQ(rec.DebutChamp(2), 5);
    EXPECT_EQ(rec.DebutChamp(3), -1);
}

TEST(EnregistrementBase, Numbers) {
    struct Case {
        long value;
        int digits;
        const char* expected;
    };
    const Case cases[] = {{1, 10, "0000000001"},      {12, 8, "00000012"}, {-5, 8, "-0000005"},
                          {123456789, 8, "12345678"}, {0, 1, "0"},         {7, 0, ""}};
    for (const Case& c : cases) {
        const TableBase base = Base(SlotEdition, {10});
        EnregistrementBase rec;
        rec.Commence(base, SlotEdition);
        rec.Nombre(0, c.value, c.digits);
        std::string expected = c.expected;
        expected.resize(10, ' ');
        EXPECT_EQ(rec.Texte(), expected + "\n") << c.value << " in " << c.digits;
    }
}

// The hand-written number formatting against the C library's, at the edges
// of the sign, the width and the range of long.
TEST(EnregistrementBase, NumbersAsPrintfWritesThem) {
    const long values[] = {0,      1,          -1,          9,        10,       -10,         99999,
                           -99999, 1234567890, -1234567890, LONG_MAX, LONG_MIN, LONG_MAX - 1};
    const TableBase base = Base(SlotEdition, {64});
    EnregistrementBase rec;
    for (const long value : values) {
        for (int digits = 1; digits <= 45; ++digits) {
            rec.Commence(base, SlotEdition);
            rec.Nombre(0, value, digits);
            char printed[64];
            const int n =
                std::snprintf(printed, sizeof printed, "%0*ld", std::min(digits, 40), value);
            std::string expected(printed, static_cast<std::size_t>(std::min(n, digits)));
            expected.resize(64, ' ');
            EXPECT_EQ(rec.Texte(), expected + "\n") << value << " in " << digits;
            // The same characters when only the text is asked for.
            std::string texte(static_cast<std::size_t>(std::min(digits, 40)), '?');
            EnregistrementBase::TexteNombre(texte, value);
            EXPECT_EQ(texte, expected.substr(0, texte.size())) << value << " in " << digits;
        }
    }
}

TEST(EnregistrementBase, SupplierFieldsStopAtAZeroByte) {
    struct Case {
        const char* name;
        std::string supplier;
        TypeChamp source;
        std::string expected;  // the 6-character field
    };
    const std::vector<Case> cases = {
        {"whole field", "..ABCDEF..", {2, 6}, "ABCDEF"},
        {"zero byte ends the copy",
         std::string("..AB\0DEF..", 10),
         {2, 6},
         std::string("AB\0\0\0\0", 6)},
        {"end of the supplier record", "..ABC", {2, 6}, std::string("ABC\0\0\0", 6)},
        {"source beyond the record", "ABC", {10, 6}, std::string(6, '\0')},
        {"negative source position", "ABC", {-1, 6}, std::string(6, '\0')},
        {"absent field writes nothing", "ABC", {0, 0}, "      "},
        {"shorter field", "XYZ", {0, 2}, "XY    "},
    };
    for (const Case& c : cases) {
        const TableBase base = Base(SlotJournal, {1, 6, 1});
        EnregistrementBase rec;
        rec.Commence(base, SlotJournal);
        rec.ChampFournisseur(1, c.supplier, c.source);
        EXPECT_EQ(rec.Texte(), " " + c.expected + " \n") << c.name;
    }
}

TEST(EnregistrementBase, RecordSizesAtTheEdges) {
    // 100 fields of width 0: an empty record; writes go nowhere visible.
    const TableBase empty = Base(SlotJournal, std::vector<int>(100, 0));
    EnregistrementBase rec;
    rec.Commence(empty, SlotJournal);
    for (int k = 0; k < 100; ++k) rec.Champ(k, "XXXXXXXXXX");
    rec.Position(0, "NR");
    EXPECT_EQ(rec.Texte(), "\n");

    // A record longer than the usual buffer grows it.
    const TableBase wide = Base(SlotJournal, {15000, 10});
    rec.Commence(wide, SlotJournal);
    rec.Champ(1, "0123456789");
    const std::string_view text = rec.Texte();
    ASSERT_EQ(text.size(), 15011u);
    EXPECT_EQ(text.substr(15000), "0123456789\n");

    // Writing at the very end of the buffer is cut, not overrun.
    rec.Position(static_cast<int>(rec.Tampon().size()) - 2, "ABCDEF");
    EXPECT_EQ(rec.Tampon().substr(rec.Tampon().size() - 2), "AB");
    rec.Position(-5, "ABC");
    rec.Position(1 << 30, "ABC");
}

TEST(EnregistrementBase, WrittenAsTextTakesTwoMoreBytes) {
    const std::string dir = std::string(QUERVANE_BINARY_DIR) + "/test-tmp";
    plat::CreateDirectory(dir);
    const std::string name = dir + "/enregistrementbase.TI";
    const TableBase base = Base(SlotTitre, {2, 32, 2, 4, 6, 6, 8});
    EnregistrementBase rec;
    rec.Commence(base, SlotTitre);
    rec.Position(0, "NR");
    {
        plat::File fp = plat::File::Open(name, "w");
        EXPECT_TRUE(rec.Ecrit(fp));
    }
    EXPECT_EQ(plat::FileSize(name), 62);
    plat::File folder = plat::File::Open(dir, "w");
    EXPECT_FALSE(rec.Ecrit(folder));
}

// A record is written as its bytes and a line end, in text mode a line feed
// of its own included.
TEST(EnregistrementBase, LineFeedsOfTheRecordAndItsEnd) {
    const std::string dir = std::string(QUERVANE_BINARY_DIR) + "/test-tmp";
    plat::CreateDirectory(dir);
    const std::string name = dir + "/enregistrementbase.ED";
    const TableBase base = Base(SlotEdition, {2, 6});
    struct Case {
        const char* mode;
        const char* champ;
        std::string attendu;
    };
    const Case cases[] = {
        {"w", "ABCDEF", "NRABCDEF\r\n"},
        {"wb", "ABCDEF", "NRABCDEF\n"},
        {"w", "AB\nDEF", "NRAB\r\nDEF\r\n"},
        {"wb", "AB\nDEF", "NRAB\nDEF\n"},
    };
    for (const Case& c : cases) {
        EnregistrementBase rec;
        rec.Commence(base, SlotEdition);
        rec.Position(0, "NR");
        rec.Champ(1, c.champ);
        {
            plat::File fp = plat::File::Open(name, c.mode);
            ASSERT_TRUE(rec.Ecrit(fp));
        }
        plat::File in = plat::File::Open(name, "rb");
        std::string lu(64, '\0');
        lu.resize(in.Read(lu.data(), 1, lu.size()));
        EXPECT_EQ(lu, c.attendu) << c.mode << " " << c.champ;
    }
}

}  // namespace
