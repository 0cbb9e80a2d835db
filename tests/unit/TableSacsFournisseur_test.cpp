#include "import/TableSacsFournisseur.h"

#include <gtest/gtest.h>

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

TEST(TableSacsFournisseur, BagCodeWiderThanTheRecordIsBlankPadded) {
    TableSacsFournisseur sacs;
    sacs.Ouvrir(3, 5);
    sacs.Ajouter("AB");
    EXPECT_EQ(sacs.Chercher("AB   "), 0);
    EXPECT_EQ(sacs.Chercher("AB"), 0);
    EXPECT_EQ(sacs.Chercher("AB0  "), -1);
}

}  // namespace
