#include "import/Purge.h"

#include <gtest/gtest.h>

namespace {

struct Compte {
    const char* nom;
    int an, mois, jour;     // the file's date
    int anJ, moisJ, jourJ;  // today
    int attendu;
};

// Counts worked out by hand from the month-by-month rule.
const Compte kComptes[] = {
    {"same day", 2026, 12, 7, 2026, 12, 7, 0},
    {"three days ago", 2026, 12, 4, 2026, 12, 7, 3},
    {"four days ago", 2026, 12, 3, 2026, 12, 7, 4},
    {"leap February 28 to March 1", 2024, 2, 28, 2024, 3, 1, 2},
    {"leap February 29 to March 1", 2024, 2, 29, 2024, 3, 1, 1},
    {"common February 28 to March 1", 2023, 2, 28, 2023, 3, 1, 1},
    {"year end to January 2", 2023, 12, 31, 2024, 1, 2, 2},
    {"December 29 to January 2", 2023, 12, 29, 2024, 1, 2, 4},
    {"two months back", 2026, 10, 15, 2026, 12, 7, 17 + 30 + 6},
    {"a whole year", 2025, 12, 7, 2026, 12, 7, 365},
    {"century year counts February as 29 days", 2100, 2, 28, 2100, 3, 1, 2},
    {"later day of the month is negative", 2026, 12, 9, 2026, 12, 7, -2},
    // The rule only walks forward: for a later month it is today's day minus
    // the file's day, which the purge must not take for an age.
    {"later month counts only the days", 2026, 12, 1, 2026, 11, 30, 29},
    {"later year counts only the days", 2027, 1, 2, 2026, 12, 7, 5},
};

TEST(Purge, CompteJoursCountsMonthByMonth) {
    for (const Compte& c : kComptes) {
        EXPECT_EQ(CompteJours(c.an, c.mois, c.jour, c.anJ, c.moisJ, c.jourJ), c.attendu) << c.nom;
    }
}

TEST(Purge, JoursDuMoisFollowsTheCalendarWithEveryFourthFebruaryLong) {
    const int longueurs[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int mois = 1; mois <= 12; ++mois) {
        EXPECT_EQ(JoursDuMois(mois, 2023), longueurs[mois - 1]) << mois;
    }
    EXPECT_EQ(JoursDuMois(2, 2024), 29);
    EXPECT_EQ(JoursDuMois(2, 1900), 29);
}

}  // namespace
