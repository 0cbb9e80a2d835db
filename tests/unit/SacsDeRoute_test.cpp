#include "import/SacsDeRoute.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

namespace {

// Routes that name bags in no order, many more than the slots, codes of
// every length up to beyond those the slots hold, and codes that are not in
// the table: each entry gives the table's index, looked up once per route
// and code as long as its slot keeps it, and the record kept for it within
// the route only.
TEST(SacsDeRoute, AnswersAsTheTableAndKeepsRecordsWithinTheRoute) {
    std::mt19937 random(7);
    for (const std::size_t longueur : {1u, 3u, 6u, 8u, 12u, 16u, 17u, 24u}) {
        // The table: codes of that length, each with its index.
        std::map<std::string, int> table;
        auto Code = [&](int n) {
            std::string code(longueur, '0');
            for (std::size_t k = 0; k < longueur && n > 0; ++k, n /= 7)
                code[longueur - 1 - k] = static_cast<char>('A' + n % 7);
            return code;
        };
        for (int n = 0; n < 300; ++n) table.emplace(Code(n), static_cast<int>(table.size()));
        SacsDeRoute sacs(static_cast<int>(table.size()));
        int recherches = 0, entrees = 0;
        for (int route = 0; route < 40; ++route) {
            sacs.NouvelleRoute();
            std::map<std::string, std::string> gardes;  // built in this route
            const int bagsOfRoute = route % 4 == 0 ? 200 : 12;
            for (int i = 0; i < 400; ++i) {
                // A code the table lacks now and then.
                const int n = static_cast<int>(random() % bagsOfRoute) + (i % 37 == 0 ? 400 : 0);
                const std::string code = Code(n);
                const auto dansTable = table.find(code);
                const int attendu = dansTable == table.end() ? -1 : dansTable->second;
                const int avant = recherches;
                SacsDeRoute::Sac& sac = sacs.Trouver(code, [&] {
                    ++recherches;
                    return attendu;
                });
                ++entrees;
                ASSERT_EQ(sac.trouve, attendu) << longueur << " " << code;
                ASSERT_LE(recherches - avant, 1);
                const auto garde = gardes.find(code);
                if (attendu < 0 || garde == gardes.end()) {
                    ASSERT_EQ(sac.taille, 0u) << "nothing built for " << code << " yet";
                    const std::string enregistrement = code + " route " + std::to_string(route) +
                                                       (n % 5 == 0 ? "\nsuite" : "") + "\n";
                    sacs.Garder(sac, enregistrement);
                    if (attendu >= 0) gardes.emplace(code, enregistrement);
                    continue;
                }
                ASSERT_EQ(sacs.Enregistrement(sac), garde->second) << code;
            }
        }
        // Codes that the slots hold are looked up in the table far less
        // often than they come.
        if (longueur <= 16) {
            EXPECT_LT(recherches * 2, entrees) << longueur;
        }
    }
}

}  // namespace
