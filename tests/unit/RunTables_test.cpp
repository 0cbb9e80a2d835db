#include "records/RunTables.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

TEST(TableCodes, EntriesAreCutAndPaddedToTheirWidths) {
    TableCodes t;
    t.Configure({4, 2});
    EXPECT_EQ(t.Nombre(), 0);
    EXPECT_EQ(t.Ajoute({"AB", "XYZ"}), 0);
    EXPECT_EQ(t.Ajoute({"ABCDEF"}), 1);
    EXPECT_EQ(t.Nombre(), 2);
    EXPECT_EQ(t.Champ(0, 0), "AB  ");
    EXPECT_EQ(t.Champ(0, 1), "XY");
    EXPECT_EQ(t.Champ(1, 0), "ABCD");
    EXPECT_EQ(t.Champ(1, 1), "  ");
    EXPECT_EQ(t.Champ(2, 0), "");
    EXPECT_EQ(t.Champ(-1, 0), "");
    EXPECT_EQ(t.Champ(0, 2), "");
    EXPECT_EQ(t.Largeur(1), 2);
    EXPECT_EQ(t.Largeur(5), 0);
}

TEST(TableCodes, SearchIsFirstMatchOnAPrefixOrAWholeField) {
    TableCodes M_ilot;
    M_ilot.Configure({8, 6});
    M_ilot.Ajoute({"RA123400", "VA0100"});
    M_ilot.Ajoute({"RB000000", "VA0101"});
    M_ilot.Ajoute({"RA123401", "VA0100"});
    struct Case {
        int champ;
        std::string code;
        int expected;
    };
    const Case cases[] = {
        {0, "RA123400", 0}, {0, "RA123401", 2}, {0, "RA123402", -1}, {1, "VA01", 0},
        {1, "VA0101", 1},   {1, "VB", -1},      {0, "", 0},          {1, "VA01000", -1},
        {2, "X", -1},       {-1, "X", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(M_ilot.Cherche(c.champ, c.code), c.expected) << c.champ << " " << c.code;
    }
    // Entries added after a search are found by the next one.
    M_ilot.Ajoute({"RC", "VB0100"});
    EXPECT_EQ(M_ilot.Cherche(1, "VB"), 3);
    EXPECT_EQ(M_ilot.Cherche(0, "RC      "), 3);
    EXPECT_EQ(M_ilot.Cherche(1, "VA01"), 0);
    // Emptied: nothing is found, even through the earlier searches.
    M_ilot.Vide();
    EXPECT_EQ(M_ilot.Cherche(1, "VA01"), -1);
    M_ilot.Ajoute({"RZ", "VA0177"});
    EXPECT_EQ(M_ilot.Cherche(1, "VA01"), 0);
}

TEST(TableCodes, SearchAgreesWithALinearScan) {
    std::mt19937 random(7);
    TableCodes t;
    t.Configure({3, 2});
    auto code = [&](int width) {
        std::string s;
        for (int i = 0; i < width; ++i) s += static_cast<char>('A' + random() % 3);
        return s;
    };
    for (int round = 0; round < 200; ++round) {
        t.Ajoute({code(3), code(2)});
        for (int probe = 0; probe < 5; ++probe) {
            const int champ = static_cast<int>(random() % 2);
            const std::string key = code(static_cast<int>(random() % (champ == 0 ? 4 : 3)));
            int linear = -1;
            for (int i = 0; i < t.Nombre() && linear < 0; ++i) {
                if (t.Champ(i, champ).substr(0, key.size()) == key) linear = i;
            }
            ASSERT_EQ(t.Cherche(champ, key), linear) << "field " << champ << " key " << key;
        }
    }
}

TEST(TablesIndex, LaidOutFromTheCodeWidths) {
    TablesIndex index;
    index.Configure(2, 3, 6, 8);
    index.M_ilot.Ajoute({"RA123400", "VA0100"});
    index.M_ilot_sup.Ajoute({"E01"});
    index.M_igroupe.Ajoute({"VA0100", "E01"});
    index.M_iedition.Ajoute({"E01", "NR"});
    index.M_ititre.Ajoute({"NR"});
    EXPECT_EQ(index.M_ilot.Champ(0, 1), "VA0100");
    EXPECT_EQ(index.M_ilot_sup.Champ(0, 0), "E01");
    EXPECT_EQ(index.M_igroupe.Champ(0, 1), "E01");
    EXPECT_EQ(index.M_iedition.Champ(0, 1), "NR");
    EXPECT_EQ(index.M_ititre.Cherche(0, "NR"), 0);
    index.Configure(2, 3, 6, 8);
    EXPECT_EQ(index.M_ilot.Nombre(), 0);
    EXPECT_EQ(index.M_ititre.Nombre(), 0);
}

}  // namespace
