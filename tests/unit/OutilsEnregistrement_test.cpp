#include "records/OutilsEnregistrement.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

TEST(PadChaine, PadsOrCuts) {
    struct Case {
        std::string text;
        int length;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"ABC", 5, "ABC  "}, {"ABCDEFG", 5, "ABCDE"}, {"", 3, "   "},
        {"AB", 0, ""},       {"AB", 2, "AB"},         {std::string("A\0BC", 4), 3, "A  "},
    };
    for (const Case& c : cases) {
        std::array<char, 16> buf;
        buf.fill('#');
        std::copy(c.text.begin(), c.text.end(), buf.begin());
        buf[c.text.size()] = '\0';
        pad_chaine(buf, c.length);
        EXPECT_EQ(std::string(buf.data()), c.expected) << c.text << " " << c.length;

        std::string s = c.text;
        pad_chaine(s, c.length);
        EXPECT_EQ(s, c.expected) << c.text << " " << c.length << " (string)";
    }
    // A buffer smaller than the length is filled to its end, never past it.
    std::array<char, 4> small = {'A', '\0', '#', '#'};
    pad_chaine(small, 10);
    EXPECT_EQ(std::string(small.data(), 4), std::string("A  \0", 4));
    std::array<char, 4> untouched = {'A', 'B', 'C', '\0'};
    pad_chaine(untouched, -1);
    EXPECT_EQ(std::string(untouched.data()), "ABC");
}

TEST(ConvertUpperAccented, FoldsAccentedCapitalsOnly) {
    std::string school =
        "\xC9"
        "COLE SAINT-JOS\xC8PH";
    EXPECT_TRUE(ConvertUpperAccented(school));
    EXPECT_EQ(school, "ECOLE SAINT-JOSEPH");
    std::string small =
        "\xE9"
        "cole";
    EXPECT_FALSE(ConvertUpperAccented(small));
    EXPECT_EQ(small,
              "\xE9"
              "cole");

    // Every byte once: the accented capitals fold, all others stay.
    const std::string folded =
        "AAAAAAACEEEEIIII"
        "\xD0\xD1"
        "OOOOO"
        "\xD7\xD8"
        "UUUUY"
        "\xDE\xDF";
    for (int c = 0; c < 256; ++c) {
        std::string text(1, static_cast<char>(c));
        const bool changed = ConvertUpperAccented(text);
        const char expected = c >= 192 && c <= 223 ? folded[c - 192] : static_cast<char>(c);
        EXPECT_EQ(text[0], expected) << c;
        EXPECT_EQ(changed, expected != static_cast<char>(c)) << c;
    }
    // Processing stops at a zero byte.
    std::string with_zero("\xC0\0\xC0", 3);
    EXPECT_TRUE(ConvertUpperAccented(with_zero));
    EXPECT_EQ(with_zero, std::string("A\0\xC0", 3));
}

TEST(IsMessageWindows, AccentedCharactersOfWindowsText) {
    EXPECT_TRUE(IsMessageWindows("rue de l'\xE9glise"));
    EXPECT_TRUE(IsMessageWindows("n\xB0 12"));
    EXPECT_FALSE(IsMessageWindows("RUE DE L'EGLISE"));
    EXPECT_FALSE(IsMessageWindows(std::string("ABC\0\xE9", 5)));
    const std::string marks =
        "\xE9\xE8\xEA\xE0\xE7\xF9\xE2\xEE\xF4\xFB\xE4\xEB\xEF\xF6\xFC\xC9\xE6\xA7\xB0";
    int count = 0;
    for (int c = 1; c < 256; ++c) {
        const bool mark = IsMessageWindows(std::string(1, static_cast<char>(c)));
        EXPECT_EQ(mark, marks.find(static_cast<char>(c)) != std::string::npos) << c;
        count += mark;
    }
    EXPECT_EQ(count, 19);
}

TEST(Lect, FixedRecordsOfAFile) {
    const std::string dir = std::string(QUERVANE_BINARY_DIR) + "/test-tmp";
    plat::CreateDirectory(dir);
    const std::string name = dir + "/lect.dat";
    {
        plat::File out = plat::File::Open(name, "wb");
        out.Puts("AAAABBBBCCCCDD");
    }
    plat::File fp = plat::File::Open(name, "rb");
    EXPECT_EQ(longueur(fp, 4), 3);
    EXPECT_EQ(fp.Tell(), 0);
    EXPECT_EQ(longueur(fp, 0), 0);
    std::array<char, 8> buf;
    buf.fill('#');
    EXPECT_EQ(lect(fp, 4, 4, buf), 1);
    EXPECT_EQ(std::string(buf.data()), "BBBB");
    EXPECT_EQ(lect(fp, 4, 12, buf), 0);  // a short block at the end
    EXPECT_EQ(lect(fp, 4, 20, buf), 0);
    EXPECT_EQ(lect(fp, 8, 0, buf), 0);  // no room for the zero byte
    EXPECT_EQ(lect(fp, 7, 0, buf), 1);
    EXPECT_EQ(std::string(buf.data()), "AAAABBB");
}

}  // namespace
