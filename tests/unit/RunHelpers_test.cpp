#include "import/RunHelpers.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

TEST(RunHelpers, FormaterMessageReplacesConversionsInOrder) {
    EXPECT_EQ(FormaterMessage("Numero de liasse (%s) à l'abonné %ld différent (%s)",
                              {"0000000004", "4", ""}),
              "Numero de liasse (0000000004) à l'abonné 4 différent ()");
    EXPECT_EQ(FormaterMessage("destruction de %s", {"FEB28"}), "destruction de FEB28");
    EXPECT_EQ(FormaterMessage("Numero d\"édition %s", {"E2"}), "Numero d\"édition E2");
    EXPECT_EQ(FormaterMessage("100%% de %d", {"7"}), "100% de 7");
    EXPECT_EQ(FormaterMessage("%02d/%02d", {"01"}), "01/");
    EXPECT_EQ(FormaterMessage("fin %", {"x"}), "fin x");
}

TEST(RunHelpers, RemplacerReplacesEveryOccurrence) {
    EXPECT_EQ(Remplacer("J{id}_{n}.TXT", "{id}", "0412"), "J0412_{n}.TXT");
    EXPECT_EQ(Remplacer("{n}{n}", "{n}", "1"), "11");
    EXPECT_EQ(Remplacer("{n}", "{n}", "{n}"), "{n}");  // no endless replacement
    EXPECT_EQ(Remplacer("..\\TEMP\\", "{id}", ""), "..\\TEMP\\");
    EXPECT_EQ(Remplacer("abc", "", "x"), "abc");
}

TEST(RunHelpers, ChampStaysInsideTheRecord) {
    EXPECT_EQ(Champ("NRE1VA01", 2, 2), "E1");
    EXPECT_EQ(Champ("NRE1VA01", 6, 4), "01");
    EXPECT_EQ(Champ("NRE1VA01", 8, 4), "");
    EXPECT_EQ(Champ("NRE1VA01", -1, 4), "");
    EXPECT_EQ(Champ("NRE1VA01", 2, 0), "");
    EXPECT_EQ(SansFinDeLigne("ABC\n"), "ABC");
    EXPECT_EQ(SansFinDeLigne("ABC"), "ABC");
    EXPECT_EQ(SansFinDeLigne("AB\r"), "AB\r");
}

TEST(RunHelpers, ProgressMovesOnlyWhenTheWholePercentageChanges) {
    std::vector<int> positions;
    SuiviProgression suivi(1000, [&](int p) { positions.push_back(p); });
    for (int lu = 0; lu <= 1000; lu += 3) suivi.Avancer(lu);
    ASSERT_EQ(positions.size(), 99u);  // 1 .. 99; 100 is never reached by a read position < 1000
    EXPECT_EQ(positions.front(), 1);
    EXPECT_EQ(positions.back(), 99);

    std::vector<int> vide;
    SuiviProgression rien(0, [&](int p) { vide.push_back(p); });
    rien.Avancer(0);
    rien.Avancer(10);
    EXPECT_TRUE(vide.empty());
}

}  // namespace

namespace {

// Positions moving forward by steps of every size through files of every
// length: the percentage follows the division at every position.
TEST(AvancerPourcentage, AlwaysTheTruncatedPercentage) {
    std::mt19937 random(3);
    for (const std::int64_t longueur :
         {std::int64_t{1}, std::int64_t{7}, std::int64_t{99}, std::int64_t{100}, std::int64_t{101},
          std::int64_t{12345}, std::int64_t{401000000}}) {
        std::int64_t seuil = 0;
        int pourcentage = 0;
        for (std::int64_t position = 0; position <= longueur;) {
            AvancerPourcentage(position, longueur, seuil, pourcentage);
            ASSERT_EQ(pourcentage, position * 100 / longueur) << longueur << " " << position;
            position += 1 + static_cast<std::int64_t>(random() % (longueur / 50 + 2));
        }
    }
    std::int64_t seuil = 0;
    int pourcentage = 7;
    AvancerPourcentage(10, 0, seuil, pourcentage);
    EXPECT_EQ(pourcentage, 7);  // an empty file moves nothing
}

}  // namespace

namespace {

// Codes of every length up to 20, equal or differing at each place.
TEST(MemeCode, EqualExactlyWhenEveryCharacterIs) {
    for (std::size_t n = 0; n <= 20; ++n) {
        std::string a(n, 'x');
        for (std::size_t i = 0; i < n; ++i) a[i] = static_cast<char>('A' + i);
        EXPECT_TRUE(MemeCode(a, std::string(a))) << n;
        for (std::size_t i = 0; i < n; ++i) {
            std::string b = a;
            b[i] = '\xE9';
            EXPECT_FALSE(MemeCode(a, b)) << n << " " << i;
        }
        EXPECT_FALSE(MemeCode(a, a + " ")) << n;
    }
}

}  // namespace
