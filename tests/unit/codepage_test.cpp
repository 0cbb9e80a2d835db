#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Codepage, AnsiToOemSpotChecks) {
    struct Case {
        unsigned char ansi;
        unsigned char oem;
        const char* what;
    } cases[] = {
        {'A', 'A', "ASCII"},
        {0xE9, 0x82, "e acute"},
        {0xC9, 0x90, "E acute"},
        {0xE0, 0x85, "a grave"},
        {0xE8, 0x8A, "e grave"},
        {0xE7, 0x87, "c cedilla"},
        {0xC7, 0x80, "C cedilla"},
        {0xF4, 0x93, "o circumflex"},
        {0xFB, 0x96, "u circumflex"},
        {0xEB, 0x89, "e diaeresis"},
        {0xFF, 0x98, "y diaeresis"},
        {0xDF, 0xE1, "sharp s"},
        {0xA0, 0xFF, "no-break space"},
        {0xA3, 0x9C, "pound"},
        {0xB0, 0xF8, "degree"},
        {0xA7, 0xF5, "section"},
        {0x83, 0x9F, "florin"},
        {0xD7, 0x9E, "times"},
        {0x80, '?', "euro"},
        {0x8C, '?', "OE ligature"},
        {0x9C, '?', "oe ligature"},
        {0x85, '?', "ellipsis"},
        {0x99, '?', "trade mark"},
        {0x9F, '?', "Y diaeresis"},
        {0x91, '\'', "left quote"},
        {0x92, '\'', "right quote"},
        {0x93, '"', "left dquote"},
        {0x94, '"', "right dquote"},
        {0x96, '-', "en dash"},
        {0x97, '-', "em dash"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(static_cast<unsigned char>(plat::AnsiToOem(static_cast<char>(c.ansi))), c.oem)
            << c.what;
    }
    for (unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_EQ(plat::AnsiToOem(static_cast<char>(undefined)), '?') << int{undefined};
    }
    for (int b = 0; b < 0x80; ++b) {
        EXPECT_EQ(plat::AnsiToOem(static_cast<char>(b)), static_cast<char>(b)) << b;
    }
}

TEST(Codepage, AnsiToOemKeepsLettersDistinct) {
    // Every 1252 character that 850 has must land on its own OEM byte.
    bool seen[256] = {};
    for (int b = 0; b < 256; ++b) {
        const auto oem = static_cast<unsigned char>(plat::AnsiToOem(static_cast<char>(b)));
        if (oem == '?' || oem == '\'' || oem == '"' || oem == '-') continue;
        EXPECT_FALSE(seen[oem]) << "byte " << b << " shares OEM " << int{oem};
        seen[oem] = true;
    }
}

TEST(Codepage, CharToOemConvertsInPlaceWithinLength) {
    char text[] = "caf\xe9 \x93x\x94!";
    plat::CharToOem(text, 7);
    EXPECT_EQ(std::string(text), std::string("caf\x82 \"x\x94!"));
}

TEST(Codepage, Utf8FromCp1252) {
    struct Case {
        std::string cp1252;
        std::string utf8;
    } cases[] = {
        {"abc", "abc"},
        {"\xe9t\xe9", "\xc3\xa9t\xc3\xa9"},
        {"\x80", "\xe2\x82\xac"},
        {"\x9c", "\xc5\x93"},
        {"\x81", "\xc2\x81"},
        {"\xa0", "\xc2\xa0"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Case& c : cases) EXPECT_EQ(plat::Utf8FromCp1252(c.cp1252), c.utf8);
}

TEST(Codepage, Cp1252FromUtf8) {
    struct Case {
        std::string utf8;
        std::string cp1252;
        const char* what;
    } cases[] = {
        {"\xc5\x93uvre", "\x9cuvre", "oe ligature"},
        {"\xe2\x80\x99", "\x92", "right quote"},
        {"\xc5\x81\xc3\xb3"
         "d\xc5\xba",
         "?\xf3"
         "d?",
         "letters 1252 lacks"},
        {"\xc2\x80", "?", "C1 control without a 1252 byte"},
        {"\xf0\x9f\x98\x80", "?", "outside the BMP"},
        {"\xc3", "?", "truncated sequence"},
        {"\xc0\xaf", "??", "overlong"},
        {"\xed\xa0\x80", "???", "surrogate"},
        {"a\xffz", "a?z", "invalid byte"},
    };
    for (const Case& c : cases) EXPECT_EQ(plat::Cp1252FromUtf8(c.utf8), c.cp1252) << c.what;
}

TEST(Codepage, EveryByteSurvivesTheRoundTripThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string utf8 = plat::Utf8FromCp1252(all);
    EXPECT_TRUE(plat::IsValidUtf8(utf8));
    EXPECT_EQ(plat::Cp1252FromUtf8(utf8), all);
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(plat::Cp1252FromUtf8(plat::Utf8FromCp1252(one)), one) << b;
    }
}

TEST(Codepage, IsValidUtf8) {
    EXPECT_TRUE(plat::IsValidUtf8(""));
    EXPECT_TRUE(plat::IsValidUtf8("plain"));
    EXPECT_TRUE(plat::IsValidUtf8("\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"));
    EXPECT_FALSE(plat::IsValidUtf8("caf\xe9"));
    EXPECT_FALSE(plat::IsValidUtf8("\xe2\x82"));
    EXPECT_FALSE(plat::IsValidUtf8("\xf4\x90\x80\x80"));  // above U+10FFFF
}

TEST(Codepage, UpperCase1252) {
    struct Case {
        unsigned char lower;
        unsigned char upper;
    } cases[] = {
        {'a', 'A'},   {'z', 'Z'},   {'A', 'A'},   {'_', '_'},   {0xE9, 0xC9}, {0xE0, 0xC0},
        {0xFE, 0xDE}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E}, {0xFF, 0x9F}, {0xF7, 0xF7},
        {0xDF, 0xDF}, {0xB5, 0xB5}, {0xC9, 0xC9}, {0x80, 0x80},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(static_cast<unsigned char>(plat::UpperCase1252(static_cast<char>(c.lower))),
                  c.upper)
            << int{c.lower};
    }
}

}  // namespace
