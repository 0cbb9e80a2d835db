#include "import/Configuration.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace stdfs = std::filesystem;

class ConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (stdfs::temp_directory_path() / "configuration_test_XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
    }
    void TearDown() override { stdfs::remove_all(root_); }

    std::string Put(std::string_view bytes) {
        const std::string path = (root_ / "fichier.txt").string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    stdfs::path root_;
};

using namespace std::string_view_literals;

struct Repertoire {
    const char* nom;
    std::string_view contenu;
    bool trouve;
    const char* attendu;
};

const Repertoire kRepertoires[] = {
    {"single line", "DATA=C:\\BASE\\\r\n", true, "C:\\BASE\\"},
    {"single line without line end", "DATA=C:\\BASE\\", true, "C:\\BASE\\"},
    {"section then key", "[Chemins]\r\nData=C:\\BASE\\\r\n", true, "C:\\BASE\\"},
    {"third line ignored", "[Chemins]\r\nData=..\\data\\\r\nAutre=..\\x\\\r\n", true, "..\\data\\"},
    {"value keeps later equal signs", "DATA=..\\da=ta\\\r\n", true, "..\\da=ta\\"},
    {"no final backslash kept as is", "DATA=..\\data\r\n", true, "..\\data"},
    {"empty value", "DATA=\r\n", true, ""},
    {"key only on the second line", "DATA=..\\data\\\r\nrien\r\n", false, ""},
    {"no equal sign", "DATA ..\\data\\\r\n", false, ""},
    {"empty file", "", false, ""},
    {"a zero byte ends the value", "[C]\r\nDATA=..\\data\\\0junk\r\n"sv, true, "..\\data\\"},
    {"a zero byte before the equal sign", "[C]\r\nDATA\0=..\\data\\\r\n"sv, false, ""},
};

TEST_F(ConfigurationTest, RepertoireDataComesFromTheSecondLineOrTheOnlyOne) {
    for (const Repertoire& r : kRepertoires) {
        plat::File fichier = plat::File::Open(Put(r.contenu), "r");
        ASSERT_TRUE(fichier) << r.nom;
        std::string valeur = "avant";
        EXPECT_EQ(LireRepertoireData(fichier, valeur), r.trouve) << r.nom;
        if (r.trouve) {
            EXPECT_EQ(valeur, r.attendu) << r.nom;
        }
    }
}

struct Entier {
    const char* nom;
    const char* contenu;
    bool lu;
    int attendu;
};

const Entier kEntiers[] = {
    {"plain", "3\r\n", true, 3},
    {"blanks and line ends first", " \r\n\t 12 jours", true, 12},
    {"negative", "-5", true, -5},
    {"explicit plus", "+7", true, 7},
    {"zero", "0", true, 0},
    {"text", "trois", false, 0},
    {"sign alone", "- 3", false, 0},
    {"empty", "", false, 0},
    {"clamped", "99999999999999999999", true, INT_MAX},
};

TEST_F(ConfigurationTest, LireEntierScansLikeTheDecimalConversion) {
    for (const Entier& e : kEntiers) {
        plat::File fichier = plat::File::Open(Put(e.contenu), "r");
        ASSERT_TRUE(fichier) << e.nom;
        int valeur = -999;
        EXPECT_EQ(LireEntier(fichier, valeur), e.lu) << e.nom;
        EXPECT_EQ(valeur, e.lu ? e.attendu : -999) << e.nom;
    }
}

// Two numbers in a row, as "%d%d" reads them: the character that ends the
// first stays for the second, which skips only blanks.
struct DeuxEntiers {
    const char* contenu;
    bool second;  // whether the second number is read
    int attendu;
};

TEST_F(ConfigurationTest, LireEntierLeavesTheCharacterAfterANumberUnread) {
    const DeuxEntiers cas[] = {
        {"0 1\r\n", true, 1}, {"1\r\n0", true, 0}, {"1\t-2", true, -2}, {"1,0", false, 0},
        {"1x0", false, 0},    {"1.0", false, 0},   {"1;0", false, 0},   {"7", false, 0},
    };
    for (const DeuxEntiers& c : cas) {
        plat::File fichier = plat::File::Open(Put(c.contenu), "r");
        int premier = -1, second = -1;
        ASSERT_TRUE(LireEntier(fichier, premier)) << c.contenu;
        EXPECT_EQ(LireEntier(fichier, second), c.second) << c.contenu;
        EXPECT_EQ(second, c.second ? c.attendu : -1) << c.contenu;
    }
}

TEST(Configuration, CodeTitreDropsTheLabelButKeepsTwoCharacters) {
    const std::string label(32, 'L');
    EXPECT_EQ(CodeTitre("NR" + label), "NR");              // 34 characters
    EXPECT_EQ(CodeTitre("QVMATIN1" + label), "QVMATIN1");  // 40 characters
    EXPECT_EQ(CodeTitre("NRL'ECHO D"), "NR");              // 10 characters
    EXPECT_EQ(CodeTitre("N"), "N");
    EXPECT_EQ(CodeTitre(""), "");
}

TEST_F(ConfigurationTest, PremiereLigneWithoutItsLineFeed) {
    std::string ligne;
    EXPECT_TRUE(LirePremiereLigne(Put("..\\import\\\r\nautre\r\n"), 256, ligne));
    EXPECT_EQ(ligne, "..\\import\\");
    EXPECT_TRUE(LirePremiereLigne(Put("sans fin"), 256, ligne));
    EXPECT_EQ(ligne, "sans fin");
    EXPECT_TRUE(LirePremiereLigne(Put("0123456789"), 5, ligne));
    EXPECT_EQ(ligne, "0123");
    EXPECT_FALSE(LirePremiereLigne(Put(""), 256, ligne));
    EXPECT_FALSE(LirePremiereLigne((root_ / "absent").string(), 256, ligne));
}

}  // namespace
