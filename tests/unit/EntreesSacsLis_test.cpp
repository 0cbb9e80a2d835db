#include <gtest/gtest.h>

#include <string>

#include "import/EtatConversion.h"

namespace {

// Routes that follow, come back or jump, and bags of several lengths: each
// entry is the bag then its route's index in at least five digits.
TEST(EntreesSacsLis, BagThenTheRouteIndexInFiveDigits) {
    struct Pas {
        const char* sac;
        long indice;
        const char* entree;
    };
    const Pas pas[] = {
        {"000001", 0, "00000100000"},
        {"000002", 0, "00000200000"},
        {"000003", 1, "00000300001"},
        {"000001", 0, "00000100000"},
        {"A", 99999, "A99999"},
        {"", 42, "00042"},
        {"BAG-LONGER-THAN-SIXTY-FOUR-CHARACTERS-------------------------------", 7,
         "BAG-LONGER-THAN-SIXTY-FOUR-CHARACTERS-------------------------------00007"},
        {"000009", 7, "00000900007"},
        {"000009", 100000, "000009100000"},
        {"000009", 99999, "00000999999"},
        {"B", 1234567, "B1234567"},
        {"C", 3, "C00003"},
    };
    EntreesSacsLis entrees;
    for (const Pas& p : pas) EXPECT_EQ(entrees.Entree(p.sac, p.indice), p.entree) << p.sac;
}

}  // namespace
