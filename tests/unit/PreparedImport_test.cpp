// A whole prepared-base import, driven as an operator would drive it, on a
// base generated here: more bags and user bag codes than the fixed tables of
// the original held, bag counts of 100 and more in the completion, and
// missing bags. Scenario folders cover the ordinary runs; this base is too
// large to keep as one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/QuervaneDlg.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/script.h"
#include "resources/resource.h"

namespace {

namespace stdfs = std::filesystem;

// Record layouts of the test base (field widths by slot).
const std::vector<std::vector<int>> kLargeurs = {
    {2, 2, 4, 4, 6, 10, 8, 1, 1, 5, 2, 10},  // [6] subscribers: info field 10, then 2, then name
    {2, 2, 4, 4, 6, 10, 1, 8},               // [5] bundles
    {2, 2, 4, 4, 6, 10, 20},                 // [4] bags: user code is field 6
    {2, 2, 4, 4, 32, 8},                     // [3] routes
    {2, 2, 4, 32, 8},                        // [2] networks
    {2, 2, 32, 8},                           // [1] editions
    {2, 32, 8},                              // [0] title
};
constexpr int kPositionInfo = 2 + 2 + 4 + 4 + 6 + 10 + 8 + 1 + 1;  // 38
constexpr int kLongueurJournal = kPositionInfo + 5 + 2 + 10;       // 55

constexpr int kSacs = 10200;     // bags, one subscriber each
constexpr int kPartages = 150;   // the first bags share one user code
constexpr int kManquants = 100;  // the last bags have no bag record

std::string Descripteur() {
    std::string texte;
    for (int slot = 0; slot < 7; ++slot) {
        texte += "[" + std::to_string(6 - slot) + "] fichier\r\nExtension:X\r\nDescription:x\r\n";
        texte +=
            "NbChamps:" + std::to_string(kLargeurs[slot].size()) + "\r\nCle:1\r\nOptions:0\r\n";
        for (std::size_t k = 0; k < kLargeurs[slot].size(); ++k) {
            texte += "C:A:" + std::to_string(k) + ":" + std::to_string(kLargeurs[slot][k]) + "\r\n";
        }
    }
    return texte;
}

std::string Numero(int valeur, int largeur) {
    std::string texte = std::to_string(valeur);
    return std::string(static_cast<std::size_t>(largeur) - texte.size(), '0') + texte;
}

std::string CleSac(int sac) {
    return "TTE1R001L001" + Numero(sac, 6);
}

std::string Abonne(int sac) {
    return CleSac(sac) + Numero(sac + 1, 10) + Numero(sac + 1, 8) + "11" + "     " + "ZZ" +
           "Abonne    ";
}

std::string CodeUtilisateur(int sac) {
    return sac < kPartages ? "PARTAGE   " : "U" + Numero(sac, 9);
}

class PreparedImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = stdfs::current_path();
        std::string pattern = (stdfs::temp_directory_path() / "prepared_import_XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        for (const char* dossier : {"work", "config", "data", "import"}) {
            stdfs::create_directories(root_ / dossier);
        }
        Put("config/Trelvamont.ini", "DATA=..\\data\\\r\n");
        Put("config/MODES", "0 1\r\n");
        Put("config/INFOSAC", "10\r\n");
        Put("config/CHAMP.SAC", "6\r\n");
        Put("data/DESCRIPT.LIS", "TT BASETT\r\n");
        Put("data/BASETT.ini", Descripteur());
        Put("import/TT.ti", "TTTITRE D'ESSAI" + std::string(17, ' ') + "00000001\r\n");
        std::string journal, sacs;
        for (int sac = 0; sac < kSacs; ++sac) {
            journal += Abonne(sac) + "\r\n";
            if (sac < kSacs - kManquants) {
                sacs += CleSac(sac) + CodeUtilisateur(sac) + "Sac " + Numero(sac, 16) + "\r\n";
            }
        }
        Put("import/TT.jo", journal);
        Put("import/TT.sa", sacs);
        for (const char* extension : {"li", "ro", "re", "ed"}) {
            Put(std::string("import/TT.") + extension, "x\r\n");
        }
        stdfs::current_path(root_ / "work");
    }
    void TearDown() override {
        stdfs::current_path(previous_);
        stdfs::remove_all(root_);
    }

    void Put(const std::string& chemin, const std::string& contenu) {
        std::ofstream(root_ / chemin, std::ios::binary) << contenu;
    }
    std::vector<std::string> Records(const std::string& chemin) {
        std::ifstream in(root_ / chemin, std::ios::binary);
        std::vector<std::string> lignes;
        for (std::string ligne; std::getline(in, ligne);) {
            if (!ligne.empty() && ligne.back() == '\r') ligne.pop_back();
            lignes.push_back(ligne);
        }
        return lignes;
    }

    // Runs one import; returns the transcript lines.
    std::vector<std::string> Importer(CQuervaneDlg& dlg) {
        plat::headless::Answer choix;
        choix.kind = plat::headless::AnswerKind::OpenFile;
        choix.path = "..\\import\\TT.jo";
        plat::headless::HeadlessBackend backend({choix});
        plat::ui::ScopedBackend installe(backend);
        backend.PushOperator([](CDialog& fenetre) {
            fenetre.PressButton(IDC_QUERVANE);
            if (fenetre.IsOpen()) fenetre.PressButton(IDOK);
        });
        dlg.DoModal();
        return backend.Lines();
    }

    stdfs::path previous_;
    stdfs::path root_;
};

TEST_F(PreparedImportTest, TablesGrowWithTheBagsAndUserCodes) {
    auto dlg = std::make_unique<CQuervaneDlg>();
    const std::vector<std::string> transcript = Importer(*dlg);
    ASSERT_FALSE(transcript.empty());
    EXPECT_EQ(transcript.back(), "status Importation effectuée");

    // One user code for the first bags, one each for the others that have a
    // bag record.
    EXPECT_EQ(dlg->NombreSacs, kSacs);  // the rebuild's count is the last one kept
    const std::vector<std::string> journal = Records("data/TT.jo");
    ASSERT_EQ(journal.size(), static_cast<std::size_t>(kSacs));
    struct Attendu {
        int sac;
        std::string info;  // the 7 characters from the bag-information field on
    } attendus[] = {
        {0, "01/150Z"},  // a count of 150 runs one character past the 5-character field
        {98, "99/150Z"},
        {99, "100/150"},  // and a rank of 100 two characters
        {149, "150/150"},
        {150, "01/01ZZ"},
        {kSacs - kManquants - 1, "01/01ZZ"},
        {kSacs - kManquants, "     ZZ"},  // no bag record, no user code: unchanged
    };
    for (const Attendu& a : attendus) {
        EXPECT_EQ(journal[a.sac].substr(kPositionInfo, 7), a.info) << "bag " << a.sac;
        EXPECT_EQ(journal[a.sac].size(), static_cast<std::size_t>(kLongueurJournal));
    }

    const std::vector<std::string> sacs = Records("data/TT.sa");
    ASSERT_EQ(sacs.size(), static_cast<std::size_t>(kSacs));
    EXPECT_EQ(sacs[12345 % kSacs], CleSac(12345 % kSacs) + CodeUtilisateur(12345 % kSacs) + "Sac " +
                                       Numero(12345 % kSacs, 16));
    EXPECT_EQ(sacs[kSacs - 1], CleSac(kSacs - 1) + std::string(30, ' '));

    // The missing bags are listed once, after the bag file is written.
    std::string manquants = "missing-bags ";
    for (int sac = kSacs - kManquants; sac < kSacs; ++sac) {
        manquants += Numero(sac, 6) + (sac + 1 < kSacs ? " | " : "");
    }
    int vus = 0;
    for (const std::string& ligne : transcript) vus += ligne == manquants;
    EXPECT_EQ(vus, 1);
}

// The completed subscriber file, whatever its line ends: a copy completed
// in place where every record ends with CR LF, a rewrite line by line
// otherwise; both must give what the text-mode rewrite gives.
class CompletionTest : public PreparedImportTest {
protected:
    void SetUp() override {
        PreparedImportTest::SetUp();
        Put("config/MODES", "0 0\r\n");
        Put("import/TT.sa", CleSac(1) + "PARTAGE   Sac 1\r\n" + CleSac(2) + "PARTAGE   Sac 2\r\n");
    }
    std::string Get(const std::string& chemin) {
        std::ifstream in(root_ / chemin, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};

// A record of bag sac; it closes its bag when ferme.
std::string Enregistrement(int sac, bool ferme, std::string nom = "Abonne    ") {
    return CleSac(sac) + Numero(sac, 10) + Numero(sac, 8) + "1" + (ferme ? "1" : "0") + "     " +
           "ZZ" + nom;
}
std::string Complete(std::string enreg, std::string_view info) {
    return enreg.replace(kPositionInfo, info.size(), info);
}

TEST_F(CompletionTest, EveryLineEndGivesTheTextModeRewrite) {
    const std::string a = Enregistrement(1, true), b = Enregistrement(2, true);
    const std::string a2 = Complete(a, "01/02"), b2 = Complete(b, "02/02");
    const std::string cr = Enregistrement(1, true, "Abo\rnne   ");
    const std::string longue = Enregistrement(1, false) + std::string(9999 - 55, 'x');
    struct Cas {
        const char* nom;
        std::string source, attendu;
    } cas[] = {
        {"CR LF", a + "\r\n" + b + "\r\n", a2 + "\r\n" + b2 + "\r\n"},
        {"LF only", a + "\n" + b + "\n", a2 + "\r\n" + b2 + "\r\n"},
        {"one LF among CR LF", a + "\n" + b + "\r\n", a2 + "\r\n" + b2 + "\r\n"},
        {"blank lines dropped", "\r\n" + a + "\r\n\r\n" + b + "\r\n", a2 + "\r\n" + b2 + "\r\n"},
        {"no final line end", a + "\r\n" + b, a2 + "\r\n" + b2},
        {"carriage return inside a record", cr + "\r\n" + b + "\r\n",
         Complete(cr, "01/02") + "\r\n" + b2 + "\r\n"},
        {"one-character last line dropped", a + "\r\n" + b + "\r\nx", a2 + "\r\n" + b2 + "\r\n"},
        // Lines are read 9999 characters at a time: the line end of a line of
        // exactly 9999 characters is read alone, and dropped.
        {"line of 9999 characters", longue + "\r\n" + b + "\r\n",
         longue + Complete(b, "01/01") + "\r\n"},
    };
    for (const Cas& c : cas) {
        Put("import/TT.jo", c.source);
        auto dlg = std::make_unique<CQuervaneDlg>();
        const std::vector<std::string> transcript = Importer(*dlg);
        ASSERT_FALSE(transcript.empty()) << c.nom;
        EXPECT_EQ(transcript.back(), "status Importation effectuée") << c.nom;
        EXPECT_EQ(Get("data/TT.jo"), c.attendu) << c.nom;
    }
}

}  // namespace
