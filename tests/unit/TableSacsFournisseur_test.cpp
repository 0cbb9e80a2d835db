#include "import/TableSacsFournisseur.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TableSacsFournisseur, EntriesFlagsAndBlock) {
    TableSacsFournisseur sacs;
    EXPECT_FALSE(sacs.Existe());
    sacs.Ouvrir(10, 4);
    EXPECT_TRUE(sacs.Existe());
    sacs.Ajouter("0001VA01");
    sacs.Ajouter("0002VB02xyz");  // longer than the record: cut
    sacs.Ajouter("0001VC03");     // same bag again: the first entry answers

    EXPECT_EQ(sacs.NombreEnregistrementsSac(), 3);
    EXPECT_EQ(sacs.Chercher("0001"), 0);
    EXPECT_EQ(sacs.Chercher("0002"), 1);
    EXPECT_EQ(sacs.Chercher("0003"), -1);
    EXPECT_EQ(sacs.Enregistrement(1), "0002VB02xy");

    EXPECT_TRUE(sacs.Marquer("0001"));
    EXPECT_FALSE(sacs.Marquer("9999"));
    EXPECT_EQ(sacs.Bloc(),
              "0001VA01  010000"
              "0002VB02xy000000"
              "0001VC03  000000");

    sacs.Liberer();
    EXPECT_FALSE(sacs.Existe());
    EXPECT_EQ(sacs.Bloc(), "");
}

// A lookup that first tries the entry after the one found before gives the
// answer of a plain lookup whatever that entry is: the next bag, another,
// one that repeats an earlier bag's code (the earlier entry answers), the
// last entry, a short code, or a code wider than the record.
TEST(TableSacsFournisseur, LookupFromTheEntryBeforeAnswersAsAPlainOne) {
    struct Table {
        int longueur, largeur;
        std::vector<std::string> lignes;
    };
    const std::vector<Table> tables = {
        {8, 4, {"0001VA01", "0002VA01", "0003VB02", "0002VC03", "0004VC03", "0005"}},
        {3, 5, {"AB", "ABC", "AB"}},
    };
    const std::vector<std::string> sacs = {"0001", "0002", "0003", "0004",  "0005",  "0009",
                                           "000",  "AB",   "ABC",  "AB   ", "ABC  ", ""};
    for (const Table& t : tables) {
        TableSacsFournisseur table;
        table.Ouvrir(t.longueur, t.largeur, t.lignes.size() / 2);
        for (const std::string& ligne : t.lignes) table.Ajouter(ligne);
        for (const std::string& sac : sacs) {
            for (int precedent = -3; precedent <= static_cast<int>(t.lignes.size()); ++precedent)
                EXPECT_EQ(table.Chercher(sac, precedent), table.Chercher(sac))
                    << "'" << sac << "' after " << precedent;
        }
    }
}

TEST(TableSacsFournisseur, BagCodeWiderThanTheRecordIsBlankPadded) {
    TableSacsFournisseur sacs;
    sacs.Ouvrir(3, 5);
    sacs.Ajouter("AB");
    EXPECT_EQ(sacs.Chercher("AB   "), 0);
    EXPECT_EQ(sacs.Chercher("AB"), 0);
    EXPECT_EQ(sacs.Chercher("AB0  "), -1);
}

}  // namespace
