// The bag index and the progress of the passes over the subscriber file.
#include "import/SubscriberSurvey.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

TEST(IndexSacs, KeepsEachRunOfEqualPaddedKeysOnce) {
    struct Case {
        const char* name;
        std::vector<std::string_view> records;
        std::vector<std::string_view> keys;
    };
    const std::vector<Case> cases = {
        {"one bag", {"AB12xyz", "AB12uvw", "AB12"}, {"AB12"}},
        {"bag comes back", {"AB12x", "AB13x", "AB12x"}, {"AB12", "AB13", "AB12"}},
        {"short record padded", {"AB", "AB  rest", "AB"}, {"AB  "}},
        {"blank tail is not a letter", {"AB  ", "ABC ", "AB"}, {"AB  ", "ABC ", "AB  "}},
        {"prefix of the previous key", {"ABCD", "ABC", "ABC "}, {"ABCD", "ABC "}},
        {"empty record", {"", "    ", "A"}, {"    ", "A   "}},
    };
    for (const Case& c : cases) {
        IndexSacs index(4);
        for (std::string_view record : c.records) index.Noter(record);
        std::vector<std::string_view> keys;
        for (std::size_t i = 0; i < index.Nombre(); ++i) keys.push_back(index.Cle(i));
        EXPECT_EQ(keys, c.keys) << c.name;
    }
}

// Every position a pass reports, stepping by stride; the percentages that
// reach the bar.
template <typename Progression>
std::vector<int> Pourcentages(std::int64_t longueur, std::int64_t pas) {
    std::vector<int> vus;
    Progression progression(longueur, [&vus](int p) { vus.push_back(p); });
    for (std::int64_t position = 0; position <= longueur; position += pas) {
        progression.Avancer(position);
    }
    progression.Avancer(longueur);
    return vus;
}

TEST(ProgressionParLignes, MovesTheBarExactlyAsTheDivisionForEveryLine) {
    struct Case {
        std::int64_t longueur, pas;
    };
    const std::vector<Case> cases = {
        {0, 1},
        {1, 1},
        {2, 1},
        {99, 1},
        {100, 1},
        {101, 1},
        {199, 1},
        {12345, 1},
        {12345, 7},
        {40000000, 401},
        {412600000, 400003},
        {999999999999, 1000003},
        {1000000000039, 999999937},
    };
    for (const Case& c : cases) {
        const std::vector<int> attendus = Pourcentages<SuiviProgression>(c.longueur, c.pas);
        EXPECT_EQ(Pourcentages<ProgressionParLignes>(c.longueur, c.pas), attendus)
            << c.longueur << " by " << c.pas;
        if (c.longueur >= 100 && c.pas == 1) {
            EXPECT_EQ(attendus.size(), 100u) << c.longueur;
        }
    }
}

TEST(ProgressionParLignes, PositionsAroundEachChangeAreNotSkipped) {
    // Each offset just before, at and after a change of percentage, alone:
    // the first call after a skipped stretch must still see the change.
    for (const std::int64_t longueur : {std::int64_t{997}, std::int64_t{412600000}}) {
        std::vector<int> attendus, vus;
        SuiviProgression reference(longueur, [&](int p) { attendus.push_back(p); });
        ProgressionParLignes progression(longueur, [&](int p) { vus.push_back(p); });
        std::int64_t derniere = -1;
        for (std::int64_t p = 1; p <= 100; ++p) {
            const std::int64_t change = (p * longueur + 99) / 100;
            for (std::int64_t position : {change - 3, change - 1, change, change + 1}) {
                if (position <= derniere) continue;  // a pass only moves forward
                derniere = position;
                reference.Avancer(position);
                progression.Avancer(position);
                ASSERT_EQ(vus, attendus) << longueur << " at " << position;
            }
        }
    }
}

}  // namespace
