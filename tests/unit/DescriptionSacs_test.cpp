#include "records/DescriptionSacs.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "platform/fs/fs.h"

namespace {

class DescriptionSacsFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string root = std::string(QUERVANE_BINARY_DIR) + "/test-tmp";
        plat::CreateDirectory(root);
        dir_ = root + "/sacsdef_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        plat::CreateDirectory(dir_);
    }
    std::string Write(const std::string& content) {
        plat::File f = plat::File::Open(dir_ + "SACS.DEF", "wb");
        f.Write(content.data(), 1, content.size());
        return dir_ + "SACS.DEF";
    }
    std::string dir_;
};

TEST_F(DescriptionSacsFiles, WidthsLieEndToEnd) {
    struct Case {
        const char* name;
        std::string text;
        int result;
        int nombre, test, longueur;
        std::vector<int> widths;
    };
    const std::vector<Case> cases = {
        {"supplier example", "4 0\r\n4\r\n4\r\n20\r\n5\r\n", 0, 4, 0, 33, {4, 4, 20, 5}},
        {"fewer width lines than announced", "3 7\n10\n", 0, 3, 7, 10, {10, 0, 0}},
        {"width that is not a number", "2 0\nabc\n6 trailing\n", 0, 2, 0, 6, {0, 6}},
        {"negative widths count as 0", "2 0\n-5\n3\n", 0, 2, 0, 3, {0, 3}},
        {"huge width is kept readable", "1 0\n99999999999\n", 0, 1, 0, 9999, {9999}},
        {"negative count", "-4 1\n5\n", 0, 0, 1, 0, {}},
        {"no fields", "0 0\n", 0, 0, 0, 0, {}},
        {"first line without its test number", "4\n4\n", 0, 4, 0, 4, {4, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        int nombre = -1, test = -1, longueur = -1;
        std::array<TypeChamp, NombreMaxChampsSac> champs{};
        EXPECT_EQ(lecture_sacs_def(Write(c.text), nombre, test, champs, longueur), c.result)
            << c.name;
        EXPECT_EQ(nombre, c.nombre) << c.name;
        EXPECT_EQ(test, c.test) << c.name;
        EXPECT_EQ(longueur, c.longueur) << c.name;
        int position = 0;
        for (std::size_t i = 0; i < c.widths.size(); ++i) {
            EXPECT_EQ(champs[i].Longueur, c.widths[i]) << c.name << " field " << i;
            EXPECT_EQ(champs[i].Position, position) << c.name << " field " << i;
            position += c.widths[i];
        }
    }
}

TEST_F(DescriptionSacsFiles, FiveHundredFieldsAreCutToOneHundred) {
    std::string text = "500 0\n";
    for (int i = 0; i < 500; ++i) text += "2\n";
    int nombre = 0, test = 0, longueur = 0;
    std::array<TypeChamp, NombreMaxChampsSac> champs{};
    EXPECT_EQ(lecture_sacs_def(Write(text), nombre, test, champs, longueur), 0);
    EXPECT_EQ(nombre, 100);
    EXPECT_EQ(longueur, 200);
    EXPECT_EQ(champs[99].Position, 198);
}

TEST_F(DescriptionSacsFiles, UnreadableFilesChangeNothing) {
    const std::vector<std::string> bad = {"", "x 0\n4\n", "\n4 0\n"};
    for (const std::string& text : bad) {
        int nombre = 7, test = 8, longueur = 9;
        std::array<TypeChamp, NombreMaxChampsSac> champs{};
        champs[0] = {1, 2};
        EXPECT_EQ(lecture_sacs_def(Write(text), nombre, test, champs, longueur), 1) << text;
        EXPECT_EQ(nombre, 7);
        EXPECT_EQ(test, 8);
        EXPECT_EQ(longueur, 9);
        EXPECT_EQ(champs[0].Longueur, 2);
    }
    int nombre = 7, test = 8, longueur = 9;
    std::array<TypeChamp, NombreMaxChampsSac> champs{};
    EXPECT_EQ(lecture_sacs_def(dir_ + "absent.def", nombre, test, champs, longueur), -1);
    EXPECT_EQ(lecture_sacs_def(dir_, nombre, test, champs, longueur), -1);
    EXPECT_EQ(longueur, 9);
}

TEST(LongueurEnregistrementSac, EndOfTheFurthestField) {
    struct Case {
        const char* name;
        TypeEnregistrementSac sac;
        int expected;
    };
    auto sac = [](TypeChamp numero, TypeChamp voiture, std::vector<TypeChamp> champs) {
        TypeEnregistrementSac s{};
        s.NumeroSac = numero;
        s.CodeVoiture = voiture;
        for (std::size_t i = 0; i < champs.size(); ++i) s.Champ[i] = champs[i];
        return s;
    };
    const std::vector<Case> cases = {
        {"supplier example", sac({0, 4}, {4, 4}, {{8, 20}, {28, 5}}), 33},
        {"bag number does not count", sac({50, 4}, {4, 4}, {}), 8},
        {"absent field does not count", sac({0, 4}, {4, 4}, {{8, 20}, {90, 0}}), 28},
        {"a later field may end earlier", sac({0, 4}, {10, 4}, {{30, 5}, {0, 3}}), 35},
        {"nothing loaded", sac({0, 0}, {0, 0}, {}), 0},
        {"negative positions give 0", sac({0, 0}, {-20, 4}, {}), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(longueur_enregistrement_sac(c.sac), c.expected) << c.name;
    }
}

}  // namespace
