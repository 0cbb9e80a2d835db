#include "import/PreTri.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// The regrouping done the slow way: for each level,
// take each unplaced record in the current order, then every later unplaced
// record with the same key over the level's length; at the route level mark
// the last record of each group.
PreTri::Ordre ReferenceOrder(int preTri, std::array<int, 3> lengths,
                             const std::vector<std::string>& keys) {
    const std::size_t n = keys.size();
    PreTri::Ordre out;
    out.pChangeRecord.assign(n, 0);
    for (std::size_t i = 0; i < n; ++i) out.pRang.push_back(static_cast<std::uint32_t>(i));
    const int levels = preTri == 2 ? 2 : preTri == 3 ? 1 : 3;
    auto padded = [&](std::uint32_t r) {
        std::string k = keys[r].substr(0, lengths[2]);
        k.resize(lengths[2], ' ');
        return k;
    };
    for (int level = 0; level < levels; ++level) {
        std::vector<bool> used(n, false);
        std::vector<std::uint32_t> next;
        for (std::size_t i = 0; i < n; ++i) {
            if (used[i]) continue;
            used[i] = true;
            next.push_back(out.pRang[i]);
            const std::string key = padded(out.pRang[i]).substr(0, lengths[level]);
            for (std::size_t j = i + 1; j < n; ++j) {
                if (!used[j] && padded(out.pRang[j]).substr(0, lengths[level]) == key) {
                    used[j] = true;
                    next.push_back(out.pRang[j]);
                }
            }
            if (level == 2) out.pChangeRecord[next.size() - 1] = 1;
        }
        out.pRang = next;
    }
    if (n > 0) out.pChangeRecord[n - 1] = 1;
    return out;
}

PreTri::Ordre Regrouper(int preTri, std::array<int, 3> lengths,
                        const std::vector<std::string>& keys) {
    PreTri tri(preTri, lengths);
    for (const std::string& key : keys) tri.AjouterEnregistrement(key);
    return tri.Ordonner();
}

TEST(PreTri, OneLevelKeepsFileOrderInsideGroups) {
    // Title and edition A, B, A, C, B with PreTri 3: A A B B C.
    const std::vector<std::string> keys = {"NRA1V1R1", "NRB1V1R1", "NRA1V2R2", "NRC1V1R1",
                                           "NRB1V9R9"};
    const PreTri::Ordre order = Regrouper(3, {4, 6, 8}, keys);
    EXPECT_EQ(order.pRang, (std::vector<std::uint32_t>{0, 2, 1, 4, 3}));
    // Without the route level only the last record is marked.
    EXPECT_EQ(order.pChangeRecord, (std::vector<std::uint8_t>{0, 0, 0, 0, 1}));
}

TEST(PreTri, LevelsAndMarks) {
    struct Row {
        const char* name;
        int preTri;
        std::vector<std::string> keys;
        std::vector<std::uint32_t> order;
        std::vector<std::uint8_t> marks;
    } rows[] = {
        {"routes regrouped within their vehicle",
         1,
         {"E1VAR1", "E1VAR2", "E1VAR1", "E1VBR3", "E1VAR2"},
         {0, 2, 1, 4, 3},
         {0, 1, 0, 1, 1}},
        {"PreTri 2 regroups vehicles, not routes, and marks only the end",
         2,
         {"E1VAR1", "E1VBR2", "E1VAR3", "E1VBR2"},
         {0, 2, 1, 3},
         {0, 0, 0, 1}},
        {"vehicles regrouped within the edition only",
         1,
         {"E1VAR1", "E2VAR1", "E1VAR1"},
         {0, 2, 1},
         {0, 1, 1}},
        {"a short line is padded with blanks",
         1,
         {"E1VA", "E1VAR1", "E1VA  "},
         {0, 2, 1},
         {0, 1, 1}},
        {"no record", 1, {}, {}, {}},
    };
    for (const Row& row : rows) {
        const PreTri::Ordre order = Regrouper(row.preTri, {2, 4, 6}, row.keys);
        EXPECT_EQ(order.pRang, row.order) << row.name;
        EXPECT_EQ(order.pChangeRecord, row.marks) << row.name;
    }
}

// Random sets of few distinct codes, so that every level has real groups.
TEST(PreTri, SameResultAsTheRepeatedScan) {
    std::mt19937 random(12345);
    const std::string alphabet = "AB ";
    for (int trial = 0; trial < 300; ++trial) {
        const int preTri = 1 + trial % 3;
        const std::size_t n = random() % 40;
        std::vector<std::string> keys;
        for (std::size_t i = 0; i < n; ++i) {
            std::string key;
            const std::size_t length = random() % 8;  // some shorter than the key
            for (std::size_t c = 0; c < length; ++c) key += alphabet[random() % alphabet.size()];
            keys.push_back(key);
        }
        const std::array<int, 3> lengths = {2, 4, 7};
        const PreTri::Ordre expected = ReferenceOrder(preTri, lengths, keys);
        const PreTri::Ordre actual = Regrouper(preTri, lengths, keys);
        ASSERT_EQ(actual.pRang, expected.pRang) << "trial " << trial;
        ASSERT_EQ(actual.pChangeRecord, expected.pChangeRecord) << "trial " << trial;
        PreTri tri(preTri, lengths);
        for (const std::string& key : keys) tri.AjouterEnregistrement(key);
        ASSERT_EQ(tri.MarquesChangement(), expected.pChangeRecord) << "trial " << trial;
    }
}

}  // namespace
