#include "import/ControleStructures.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// The layout of the demo title: 76 characters, codes of 2, 2, 6 and 8.
TypeEnregistrementJournal Layout() {
    TypeEnregistrementJournal s{};
    s.LongueurEnregistrement = 76;
    s.Titre = {0, 2};
    s.Edition = {2, 2};
    s.Voiture = {4, 6};
    s.Routage = {10, 8};
    s.NumeroSac = {18, 4};
    s.FinLiasse = {22, 1};
    s.FinSac = {23, 1};
    s.ChaineProduction = {24, 1};
    s.Etat = {25, 2};
    s.Margeurs = {27, 3};
    s.Abonne = {30, 10};
    s.Reserve = {40, 4};
    s.Lignes[0] = {44, 32};
    return s;
}

TEST(ControleStructures, SubscriberLayout) {
    struct Row {
        const char* name;
        std::function<void(TypeEnregistrementJournal&)> change;
        bool valid;
    } rows[] = {
        {"demo layout", [](auto&) {}, true},
        {"codes of 10",
         [](auto& s) {
             s.Voiture.Longueur = 10;
             s.Routage = {10, 10};
         },
         true},
        {"title code of 11", [](auto& s) { s.Titre.Longueur = 11; }, false},
        {"route code of 11", [](auto& s) { s.Routage.Longueur = 11; }, false},
        {"vehicle code too short for its suffix", [](auto& s) { s.Voiture.Longueur = 1; }, false},
        {"no title code", [](auto& s) { s.Titre.Longueur = 0; }, true},
        {"no edition code", [](auto& s) { s.Edition.Longueur = 0; }, true},
        {"last line ends at the record end",
         [](auto& s) {
             s.Lignes[0] = {44, 32};
         },
         true},
        {"line beyond the record",
         [](auto& s) {
             s.Lignes[15] = {60, 17};
         },
         false},
        {"absent field anywhere",
         [](auto& s) {
             s.ChampSpecial[3] = {500, 0};
         },
         true},
        {"negative width", [](auto& s) { s.Abonne.Longueur = -1; }, false},
        {"negative position", [](auto& s) { s.Reserve.Position = -4; }, false},
        {"date beyond the record",
         [](auto& s) {
             s.Date = {72, 6};
         },
         false},
        {"end-of-bag flag at the record end", [](auto& s) { s.FinSac.Position = 76; }, false},
        {"state flag outside even when absent",
         [](auto& s) {
             s.Etat = {80, 0};
         },
         false},
        {"nine feeders inside the record",
         [](auto& s) {
             s.Margeurs = {27, 9};
         },
         true},
        {"feeders past the record",
         [](auto& s) {
             s.Margeurs = {70, 9};
         },
         false},
        {"empty record", [](auto& s) { s.LongueurEnregistrement = 0; }, false},
        {"record longer than a line", [](auto& s) { s.LongueurEnregistrement = 10000; }, false},
        {"huge width does not wrap",
         [](auto& s) {
             s.Reserve = {40, 0x7fffffff};
         },
         false},
    };
    for (const Row& row : rows) {
        TypeEnregistrementJournal s = Layout();
        row.change(s);
        EXPECT_EQ(StructureJournalValide(s), row.valid) << row.name;
    }
}

TEST(ControleStructures, BagLayout) {
    TypeEnregistrementSac s{};
    s.NumeroSac = {0, 4};
    s.CodeVoiture = {4, 4};
    s.Champ[0] = {8, 20};
    EXPECT_TRUE(StructureSacValide(s));
    s.Champ[9] = {9990, 10};
    EXPECT_FALSE(StructureSacValide(s));
    s.Champ[9] = {0, -2};
    EXPECT_FALSE(StructureSacValide(s));
    s.Champ[9] = {-1, 0};
    EXPECT_TRUE(StructureSacValide(s));
    s.NumeroSac = {-1, 4};
    EXPECT_FALSE(StructureSacValide(s));
}

}  // namespace
