#include "import/ListeCodes.h"

#include <gtest/gtest.h>

namespace {

TEST(ListeCodes, FirstEntryWinsAndCodesComparedOverTheirWidth) {
    ListeCodes table(6);
    EXPECT_EQ(table.Ajouter("RA1200", "Premier"), 0);
    EXPECT_EQ(table.Ajouter("RB12", "Court"), 1);
    EXPECT_EQ(table.Ajouter("RA1200", "Second"), 2);

    EXPECT_EQ(table.Chercher("RA1200"), 0);
    EXPECT_EQ(table.Libelle(table.Chercher("RA1200")), "Premier                         ");
    // A shorter code is the same code blank-padded; a longer one is cut.
    EXPECT_EQ(table.Chercher("RB12  "), 1);
    EXPECT_EQ(table.Code(1), "RB12  ");
    EXPECT_EQ(table.Chercher("RA1200XX"), 0);
    EXPECT_EQ(table.Chercher("RA120"), -1);
    EXPECT_EQ(table.LibelleDe("ZZ", "INCONNU"), "INCONNU");
    EXPECT_EQ(table.Nombre(), 3);

    table.Ouvrir(2);
    EXPECT_EQ(table.Nombre(), 0);
    EXPECT_EQ(table.Chercher("RA"), -1);
}

TEST(ListeCodes, GrowsBeyondTheSupplierFileCapacities) {
    ListeCodes table(5);
    for (int i = 0; i < 5000; ++i) table.Ajouter(std::to_string(10000 + i), "x");
    EXPECT_EQ(table.Nombre(), 5000);
    EXPECT_EQ(table.Chercher("14999"), 4999);
}

}  // namespace
