#include "import/DescriptorLookup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/unit/test_support.h"

namespace {

namespace stdfs = std::filesystem;

class DescriptorLookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (stdfs::temp_directory_path() / "descript_test_XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
    }
    void TearDown() override { stdfs::remove_all(root_); }

    std::string Liste(std::string_view bytes) {
        const std::string path = (root_ / "DESCRIPT.LIS").string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    stdfs::path root_;
};

struct Recherche {
    const char* nom;
    const char* liste;
    const char* cle;
    std::size_t debut;
    const char* attendu;  // nullptr: no entry
};

const Recherche kRecherches[] = {
    {"two-character key", "ZZ BASEZZ\r\nNR BASEPB\r\n", "NR", 3, "BASEPB"},
    {"first matching line wins", "NR PREMIER\r\nNR SECOND\r\n", "NR", 3, "PREMIER"},
    {"one-letter key matches any line it starts", "NR MAUVAIS\r\nN  ABCDE\r\n", "N", 3, "MAUVAIS"},
    {"one-letter key on its own line", "ZZ BASEZZ\r\nN  ABCDE\r\n", "N", 3, "ABCDE"},
    {"full key before the fallback", "QV BASEQV\r\nQVSO BASESOIR\r\n", "QVSO", 5, "BASESOIR"},
    {"fallback on two characters starts at 3", "ZZ X\r\nQV BASEQV\r\nQVSO BASESOIR\r\n", "QVMA", 5,
     "BASEQV"},
    {"fallback takes the first two-character match", "QVSO BASESOIR\r\nQV BASEQV\r\n", "QVMA", 5,
     "O BASESOIR"},
    {"short lines skipped", "\r\nN\r\nNR BASEPB\r\n", "NR", 3, "BASEPB"},
    {"last line without line end", "NR BASEPB", "NR", 3, "BASEPB"},
    {"entry shorter than the key column", "NR\r\n", "NR", 3, ""},
    {"no entry", "ZZ BASEZZ\r\nYY BASEYY\r\n", "NR", 3, nullptr},
    {"empty key finds nothing", "ZZ BASEZZ\r\n", "", 3, nullptr},
    {"file-name key of any length", "ZZ X\r\nABONNES2026 BASEAB\r\n", "ABONNES2026", 12, "BASEAB"},
};

TEST_F(DescriptorLookupTest, FullKeyThenTwoCharacters) {
    for (const Recherche& r : kRecherches) {
        std::string sDescriptif = "INCHANGE";
        const RechercheDescriptif recherche =
            ChercherDescriptif(Liste(r.liste), r.cle, r.debut, sDescriptif);
        EXPECT_EQ(recherche,
                  r.attendu ? RechercheDescriptif::Trouve : RechercheDescriptif::NonTrouve)
            << r.nom;
        EXPECT_EQ(sDescriptif, r.attendu ? r.attendu : "INCHANGE") << r.nom;
    }
}

TEST_F(DescriptorLookupTest, MissingListLeavesTheNameUnchanged) {
    std::string sDescriptif = "LIBELLE";
    EXPECT_EQ(ChercherDescriptif((root_ / "absent.lis").string(), "NR", 3, sDescriptif),
              RechercheDescriptif::NonTrouve);
    EXPECT_EQ(sDescriptif, "LIBELLE");
}

TEST_F(DescriptorLookupTest, ListThatFailsToReadIsNotAListWithoutTheEntry) {
    const std::string illisible = test_support::FichierIllisible();
    if (illisible.empty()) GTEST_SKIP() << "no file here fails to read";
    std::string sDescriptif = "LIBELLE";
    EXPECT_EQ(ChercherDescriptif(illisible, "NR", 3, sDescriptif), RechercheDescriptif::Illisible);
    EXPECT_EQ(sDescriptif, "LIBELLE");
}

TEST_F(DescriptorLookupTest, LongListFindsItsLastEntry) {
    std::string contenu;
    for (int i = 0; i < 100000; ++i)
        contenu.append("Z").append(std::to_string(i % 10)).append(" AUTRE\r\n");
    contenu += "NR BASEPB\r\n";
    std::string sDescriptif;
    EXPECT_EQ(ChercherDescriptif(Liste(contenu), "NR", 3, sDescriptif),
              RechercheDescriptif::Trouve);
    EXPECT_EQ(sDescriptif, "BASEPB");
}

TEST_F(DescriptorLookupTest, OverlongLineIsReadInPieces) {
    // A 600-character line is three reads; the piece that starts with the key
    // is an entry of its own.
    std::string contenu = "ZZ " + std::string(252, 'x') + "NR BASEPB" + std::string(336, 'y');
    std::string sDescriptif;
    EXPECT_EQ(ChercherDescriptif(Liste(contenu + "\r\n"), "NR", 3, sDescriptif),
              RechercheDescriptif::Trouve);
    EXPECT_EQ(sDescriptif, "BASEPB" + std::string(246, 'y'));
}

}  // namespace
