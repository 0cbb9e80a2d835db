// The order of the file picker's file rows.
#include "dialogs/LoadFileTri.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

LigneGrille Ligne(const char* nom, const char* taille, const char* date) {
    return {nom, taille, date};
}

TEST(LoadFileTriTest, ColumnsCompareByTheirOwnMeaning) {
    struct Row {
        LigneGrille a, b;
        int colonne;
        int signe;
    };
    const LigneGrille x = Ligne("B.ZIP", "9", "05/03/2024 14:07:09");
    for (const Row& row : {
             Row{x, Ligne("A.ZIP", "10", "05/03/2024 14:07:09"), 0, 1},
             Row{x, Ligne("B.ZIP", "10", "05/03/2024 14:07:09"), 0, 0},
             Row{x, Ligne("B.ZIPX", "10", ""), 0, -1},
             Row{x, Ligne("b.zip", "10", ""), 0, -1},  // byte order: capitals first
             Row{Ligne("\xe9", "", ""), Ligne("z", "", ""), 0, 1},
             Row{x, Ligne("A", "10", ""), 1, -1},  // 9 before 10
             Row{x, Ligne("A", "9", ""), 1, 0},
             Row{Ligne("A", "3000000000", ""), Ligne("B", "2999999999", ""), 1, 1},
             // Day at 0, month at 3: 05/03 is the 5th of March, before the
             // 4th of April.
             Row{x, Ligne("A", "", "04/04/2024 00:00:00"), 2, -1},
             Row{x, Ligne("A", "", "05/03/2023 23:59:59"), 2, 1},
             Row{x, Ligne("A", "", "05/03/2024 14:07:10"), 2, -1},
             Row{x, Ligne("A", "", "05/03/2024 14:08:00"), 2, -1},
             Row{x, Ligne("A", "", "05/03/2024 14:07:09"), 2, 0},
         }) {
        const int ordre = ComparerLignes(row.a, row.b, row.colonne);
        EXPECT_EQ((ordre > 0) - (ordre < 0), row.signe)
            << row.a[row.colonne] << " / " << row.b[row.colonne];
    }
}

TEST(LoadFileTriTest, SortingBySizeMovesWholeRows) {
    std::vector<LigneGrille> lignes{Ligne("C", "10", "01/01/2024 00:00:00"),
                                    Ligne("A", "9", "02/01/2024 00:00:00"),
                                    Ligne("B", "100", "03/01/2024 00:00:00")};
    TriShell(lignes, 1);
    EXPECT_EQ(lignes, (std::vector<LigneGrille>{Ligne("A", "9", "02/01/2024 00:00:00"),
                                                Ligne("C", "10", "01/01/2024 00:00:00"),
                                                Ligne("B", "100", "03/01/2024 00:00:00")}));
    // Sorting again changes nothing.
    const auto avant = lignes;
    TriShell(lignes, 1);
    EXPECT_EQ(lignes, avant);
}

TEST(LoadFileTriTest, EverySizeOfListEndsSortedOnEveryColumn) {
    std::mt19937 hasard(7);
    for (int nombre = 0; nombre <= 40; ++nombre) {
        std::vector<LigneGrille> lignes;
        for (int i = 0; i < nombre; ++i) {
            const int jour = 1 + static_cast<int>(hasard() % 28);
            char date[32];
            std::snprintf(date, sizeof date, "%02d/%02d/20%02d 1%d:00:00", jour,
                          1 + static_cast<int>(hasard() % 12), static_cast<int>(hasard() % 30),
                          static_cast<int>(hasard() % 10));
            lignes.push_back({std::string(1, static_cast<char>('A' + hasard() % 26)),
                              std::to_string(hasard() % 50), date});
        }
        for (int colonne = 0; colonne < 3; ++colonne) {
            auto triees = lignes;
            TriShell(triees, colonne);
            EXPECT_TRUE(std::is_sorted(triees.begin(), triees.end(),
                                       [colonne](const LigneGrille& a, const LigneGrille& b) {
                                           return ComparerLignes(a, b, colonne) < 0;
                                       }))
                << nombre << " rows, column " << colonne;
            EXPECT_TRUE(std::is_permutation(triees.begin(), triees.end(), lignes.begin()));
        }
    }
}

TEST(LoadFileTriTest, DatesAreWrittenDayFirstInUniversalTime) {
    EXPECT_EQ(TexteDate(1709647629), "05/03/2024 14:07:09");
    EXPECT_EQ(TexteDate(0), "01/01/1970 00:00:00");
}

}  // namespace
