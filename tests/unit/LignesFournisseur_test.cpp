#include "import/LignesFournisseur.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

std::string Blanks(std::size_t n) {
    return std::string(n, ' ');
}

TEST(LignesFournisseur, LabelLines) {
    struct Row {
        const char* name;
        std::string line;
        int width;
        bool insert;
        std::string code;
        std::string label;
    } rows[] = {
        {"vehicle gets its 00", "VOITURE7TOURNEE NORD\n", 10, true, "VOITURE700",
         "TOURNEE NORD" + Blanks(20)},
        {"code alone still gets its 00", "VOITURE7\n", 10, true, "VOITURE700", Blanks(32)},
        {"short vehicle line gets no 00", "VOIT\n", 10, true, "VOIT      ", Blanks(32)},
        {"empty line is a blank code", "\n", 6, true, Blanks(6), Blanks(32)},
        {"title code as read", "NRL'ECHO\n", 2, false, "NR", "L'ECHO" + Blanks(26)},
        {"long label is cut", "E1" + std::string(40, 'x') + "\n", 2, false, "E1",
         std::string(32, 'x')},
        {"last line without line feed keeps its last character", "E1ABC", 2, false, "E1",
         "ABC" + Blanks(29)},
        {"carriage return is a character", "E1AB\r\n", 2, false, "E1", "AB\r" + Blanks(29)},
        {"text ends at a zero byte", "RA12\0Routage\n"s, 6, true, "RA1200", Blanks(32)},
    };
    for (const Row& row : rows) {
        const CodeEtLibelle parsed = LireLigneReference(row.line, row.width, row.insert);
        EXPECT_EQ(parsed.code, row.code) << row.name;
        EXPECT_EQ(parsed.libelle, row.label) << row.name;
    }
}

TEST(LignesFournisseur, BagLines) {
    EXPECT_EQ(LireLigneSac("0001VA01\n", 12), "0001VA01    ");
    EXPECT_EQ(LireLigneSac("0001VA01Sac un\n", 8), "0001VA01");
    EXPECT_EQ(LireLigneSac("0001VA0", 8), "0001VA0 ");

    EXPECT_TRUE(EstEnregistrement("01\n"));
    EXPECT_TRUE(EstEnregistrement("01"));
    EXPECT_FALSE(EstEnregistrement("\n"));
    EXPECT_FALSE(EstEnregistrement("X"));
    EXPECT_FALSE(EstEnregistrement("\0abc\n"s));
}

}  // namespace
