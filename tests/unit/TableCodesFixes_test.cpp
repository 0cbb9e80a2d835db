#include "util/TableCodesFixes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_map>

namespace {

TEST(TableCodesFixes, CodesKeepTheirFirstNumber) {
    TableCodesFixes table(4);
    EXPECT_EQ(table.Chercher("AB12"), -1);
    EXPECT_EQ(table.Ajouter("AB12", 0), 0);
    EXPECT_EQ(table.Ajouter("AB13", 1), 1);
    EXPECT_EQ(table.Ajouter("AB12", 7), 0) << "a code already there keeps its number";
    EXPECT_EQ(table.Chercher("AB12"), 0);
    EXPECT_EQ(table.Chercher("AB13"), 1);
    EXPECT_EQ(table.Nombre(), 2u);
    // Another length is neither found nor added; the lookup does not read
    // beyond the view.
    EXPECT_EQ(table.Ajouter("AB1", 2), -1);
    EXPECT_EQ(table.Chercher(std::string_view("AB12", 3)), -1);
    EXPECT_EQ(table.Chercher("AB120"), -1);
    table.Vider(2);
    EXPECT_EQ(table.Chercher("AB"), -1);
    EXPECT_EQ(table.Ajouter("AB", 3), 3);
    EXPECT_EQ(table.Nombre(), 1u);
}

// Many codes that differ in a few characters, added and looked up as the
// table grows: the same answers as a map.
TEST(TableCodesFixes, SameAnswersAsAMapWhileItGrows) {
    std::mt19937 random(31);
    for (const std::size_t longueur : {std::size_t{0}, std::size_t{1}, std::size_t{7},
                                       std::size_t{8}, std::size_t{13}, std::size_t{24}}) {
        TableCodesFixes table(longueur);
        std::unordered_map<std::string, int> reference;
        for (int i = 0; i < 20000; ++i) {
            // Room made now and then, too little or enough, with codes in.
            if (i % 5000 == 2500) table.Reserver(static_cast<std::size_t>(i % 3 == 0 ? 10 : i));
            std::string code(longueur, 'R');
            for (std::size_t k = longueur > 3 ? longueur - 3 : 0; k < longueur; ++k)
                code[k] = static_cast<char>('0' + random() % 20);
            if (random() % 2) {
                const int attendu = reference.try_emplace(code, i).first->second;
                ASSERT_EQ(table.Ajouter(code, i), attendu) << longueur << " " << code;
            } else {
                const auto trouve = reference.find(code);
                ASSERT_EQ(table.Chercher(code), trouve == reference.end() ? -1 : trouve->second)
                    << longueur << " " << code;
            }
        }
        EXPECT_EQ(table.Nombre(), reference.size());
    }
}

}  // namespace
