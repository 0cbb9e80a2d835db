#include "records/Inistruc.h"

#include <gtest/gtest.h>

#include <random>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "records/TypesEnregistrement.h"
#include "tests/unit/test_support.h"

namespace {

class InistrucFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string root = std::string(QUERVANE_BINARY_DIR) + "/test-tmp";
        plat::CreateDirectory(root);
        dir_ = root + "/inistruc_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        plat::CreateDirectory(dir_);
    }
    std::string Write(const std::string& name, const std::string& content) {
        plat::File f = plat::File::Open(dir_ + name, "wb");
        EXPECT_TRUE(f.IsOpen());
        f.Write(content.data(), 1, content.size());
        return dir_ + name;
    }
    std::string dir_;
};

// A complete subscriber descriptor, one value a line, CR LF line ends.
std::string JournalDescriptor(const std::string& label_line = "LibelleTitre:A20 BASEHC\\0",
                              const std::string& extra = "") {
    std::vector<std::string> lines = {"PreTri:D 2", "SacUtilisateur:D 1",
                                      "LongueurEnregistrement:D 76", label_line};
    const char* names[] = {"Titre",     "Edition", "Voiture",          "Routage", "NumeroSac",
                           "FinLiasse", "FinSac",  "ChaineProduction", "Etat",    "Margeurs",
                           "Date",      "Abonne",  "Reserve"};
    int value = 0;
    for (const char* n : names) {
        lines.push_back(std::string(n).append(".Position:D ").append(std::to_string(value++)));
        lines.push_back(std::string(n).append(".Longueur:D ").append(std::to_string(value++)));
    }
    for (int i = 0; i < 7 + 16; ++i) {
        std::string n = "X";
        n += std::to_string(i);
        lines.push_back(std::string(n).append(".Position:D ").append(std::to_string(value++)));
        lines.push_back(std::string(n).append(".Longueur:D ").append(std::to_string(value++)));
    }
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    return text + extra;
}

TEST_F(InistrucFiles, CompleteSubscriberDescriptorFillsEveryMember) {
    TypeEnregistrementJournal ej;
    std::memset(&ej, 0x55, sizeof ej);
    const std::string text = JournalDescriptor();
    ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 76);
    ASSERT_EQ(init_struct(Write("JOURNAL.DEF", text), ej), 0);
    EXPECT_EQ(ej.PreTri, 2);
    EXPECT_EQ(ej.SacUtilisateur, 1);
    EXPECT_EQ(ej.LongueurEnregistrement, 76);
    EXPECT_EQ(std::string(ej.LibelleTitre, 7), std::string("BASEHC\0", 7));
    EXPECT_EQ(std::string(ej.LibelleTitre + 7, 13), std::string(13, ' '));
    EXPECT_EQ(ej.Titre.Position, 0);
    EXPECT_EQ(ej.Titre.Longueur, 1);
    EXPECT_EQ(ej.Reserve.Longueur, 25);
    EXPECT_EQ(ej.ChampSpecial[0].Position, 26);
    EXPECT_EQ(ej.ChampSpecial[6].Longueur, 39);
    EXPECT_EQ(ej.Lignes[0].Position, 40);
    EXPECT_EQ(ej.Lignes[15].Longueur, 71);
}

TEST_F(InistrucFiles, LabelWidthChangesAndTheirEffect) {
    struct Case {
        const char* name;
        std::string label;
        int expected;
    };
    const std::vector<Case> cases = {
        {"label of 18 realigns", "LibelleTitre:A18 ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0},
        {"label of 24 shifts and overflows", "LibelleTitre:A24 ABC", -2},
        {"label of 21 realigns past the next integer", "LibelleTitre:A21 ABC", -2},
        {"label of 16 leaves the structure short", "LibelleTitre:A16 ABC", -3},
    };
    for (const Case& c : cases) {
        TypeEnregistrementJournal ej;
        std::memset(&ej, 0xAB, sizeof ej);
        EXPECT_EQ(init_struct(Write("J.DEF", JournalDescriptor(c.label)), ej), c.expected)
            << c.name;
        if (c.expected == 0) {
            // The 18 characters, then two bytes untouched, then the next integer.
            EXPECT_EQ(std::string(ej.LibelleTitre, 18), "ABCDEFGHIJKLMNOPQR");
            EXPECT_EQ(static_cast<unsigned char>(ej.LibelleTitre[18]), 0xAB);
            EXPECT_EQ(static_cast<unsigned char>(ej.LibelleTitre[19]), 0xAB);
            EXPECT_EQ(ej.Titre.Position, 0);
            EXPECT_EQ(ej.Lignes[15].Longueur, 71);
        }
    }
}

// Bytes the loader must not touch start as U.
constexpr unsigned char U = 0xEE;

TEST_F(InistrucFiles, LineGrammarTable) {
    struct Case {
        const char* name;
        std::string text;
        int size;
        int expected;
        std::vector<unsigned char> bytes;  // expected area (when the result is 0 or -3)
    };
    auto le32 = [](std::uint32_t v) {
        return std::vector<unsigned char>{
            static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
            static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    };
    auto cat = [](std::vector<unsigned char> a, const std::vector<unsigned char>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const std::vector<Case> cases = {
        {"negative length marker", "LongueurEnregistrement:D -412\n", 4, 0,
         le32(static_cast<std::uint32_t>(-412))},
        {"hex after x", "Code:D x1F\n", 4, 0, le32(31)},
        {"capital X", "Code:D X1f\n", 4, 0, le32(31)},
        {"0x in decimal stops at x", "Code:D 0x1F\n", 4, 0, le32(0)},
        {"blank after colon", "a:D 1\nTitre.Position: D 0\n", 8, 2, {}},
        {"empty label", ":D 7\n", 4, 0, le32(7)},
        {"no colon", "D 7\n", 4, 1, {}},
        {"empty lines not counted", "\n\na:D 1\n\nb:D x\n", 8, 2, {}},
        {"blank line is an error", "a:D 1\n   \nb:D 2\n", 8, 2, {}},
        {"small keywords", "a:d 5\nb:dl 6\n", 8, 0, cat(le32(5), le32(6))},
        {"mixed case keyword", "a:Dl 6\n", 4, 1, {}},
        {"keyword without blank", "a:D5\n", 4, 1, {}},
        {"value missing", "a:D \n", 4, 1, {}},
        {"trailing text ignored", "a:D 12abc\n", 4, 0, le32(12)},
        {"modulo 2^32", "a:D 4294967297\n", 4, 0, le32(1)},
        {"text cut at semicolon",
         "Libelle:A10 AB;CD\n",
         12,
         0,
         {'A', 'B', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', U, U}},
        {"escapes", "Libelle:A6 A\\nB\\0C\n", 8, 0, {'A', '\n', 'B', 0, 'C', ' ', U, U}},
        {"other escapes", "L:A4 \\\\\\x\\\n", 4, 0, {'\\', '\\', '\\', ' '}},
        {"text cut at its length", "L:A3 ABCDEF\n", 4, 0, {'A', 'B', 'C', U}},
        {"text without blank is empty", "L:A3\n", 4, 0, {' ', ' ', ' ', U}},
        {"text starts after the first blank", "L:A4x  Z\n", 4, 0, {' ', 'Z', ' ', ' '}},
        {"length missing", "L:A ABC\n", 4, 1, {}},
        {"text too long for the structure", "L:A5 ABC\n", 4, -2, {}},
        {"byte values", "a:DC 257\nb:DC -1\nc:HB 1ff\n", 4, 0, {1, 0xFF, 0xFF, 0}},
        {"HB clears the odd byte after it", "a:HB 7\n", 4, 0, {7, 0, U, U}},
        {"HW takes four bytes", "a:HW 10\nb:HW 0x20\n", 8, 0, cat(le32(16), le32(32))},
        {"HL", "a:HL ffffffff\n", 4, 0, le32(0xFFFFFFFF)},
        {"byte then aligned integer", "a:DC 9\nb:D 3\n", 8, 0, cat({9, U, U, U}, le32(3))},
        {"one value too many", "a:D 1\nb:D 2\nc:D 3\n", 8, -2, {}},
        {"ends early", "a:D 1\n", 8, -3, {}},
        {"alignment passes the end", "a:DC 1\nb:D 2\n", 4, -2, {}},
        {"last line without line feed", "a:D 1\nb:D 2", 8, 0, cat(le32(1), le32(2))},
        {"CR-only lines read as one line", "a:D 1\rb:D 2\r", 8, -3, {}},
        {"binary bytes", std::string("\0\x01\xFF:D 1\n", 8), 4, 1, {}},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> area(static_cast<std::size_t>(c.size), U);
        const int r = init_struct(Write("case.def", c.text), area.data(), c.size);
        EXPECT_EQ(r, c.expected) << c.name;
        if (r == 0 && c.expected == 0) {
            EXPECT_EQ(area, c.bytes) << c.name;
        }
    }
}

TEST_F(InistrucFiles, RealNumbers) {
    struct {
        float r;
        double rl;
    } two{};
    static_assert(sizeof two == 16);
    EXPECT_EQ(init_struct(Write("r.def", "a:R 1.5\nb:RL -2.25e1\n"), &two, 12), 0);
    double stored = 0;
    std::memcpy(&stored, reinterpret_cast<unsigned char*>(&two) + 4, 8);  // offset 4, not 8
    EXPECT_EQ(two.r, 1.5f);
    EXPECT_EQ(stored, -22.5);
    unsigned char area[4];
    EXPECT_EQ(init_struct(Write("bad.def", "a:R x\n"), area, 4), 1);
    EXPECT_EQ(init_struct(Write("plus.def", "a:r +.5\n"), area, 4), 0);
    float half = 0;
    std::memcpy(&half, area, 4);
    EXPECT_EQ(half, 0.5f);
    // Hexadecimal values, as "%f" reads them; "0x" without digits is none.
    const struct {
        const char* texte;
        float r;
    } hexa[] = {{"0x1p0", 1.0f}, {"-0x1.8p1", -3.0f}, {"0X10", 16.0f}, {"+0x.8", 0.5f}};
    for (const auto& h : hexa) {
        float lu = 0;
        EXPECT_EQ(init_struct(Write("hexa.def", std::string("a:R ") + h.texte + "\n"), &lu, 4), 0)
            << h.texte;
        EXPECT_EQ(lu, h.r) << h.texte;
    }
    EXPECT_EQ(init_struct(Write("hexa.def", "a:R 0x\n"), area, 4), 1);
    EXPECT_EQ(init_struct(Write("hexa.def", "a:R 0x-1\n"), area, 4), 1);
}

// Values beyond the range of their type are stored as the decimal
// conversion stores them: infinity when too large, the nearest value down to
// zero when too small; never left at what the structure held.
TEST_F(InistrucFiles, RealNumbersOutOfRange) {
    const float infF = std::numeric_limits<float>::infinity();
    const double infD = std::numeric_limits<double>::infinity();
    struct Cas {
        const char* texte;
        float r;
    };
    const Cas reels[] = {{"1e50", infF},  {"-1e50", -infF},    {"3.5e38", infF}, {"1e5000", infF},
                         {"1e-50", 0.0f}, {"-1e-5000", -0.0f}, {"1e-40", 1e-40f}};
    for (const Cas& c : reels) {
        float stored = 42;
        EXPECT_EQ(init_struct(Write("r.def", std::string("a:R ") + c.texte + "\n"), &stored, 4), 0)
            << c.texte;
        EXPECT_EQ(stored, c.r) << c.texte;
        EXPECT_EQ(std::signbit(stored), std::signbit(c.r)) << c.texte;
    }
    struct CasLong {
        const char* texte;
        double rl;
    };
    const CasLong longs[] = {
        {"1e400", infD}, {"-1e400", -infD}, {"1e-400", 0.0}, {"1e99999", infD}};
    for (const CasLong& c : longs) {
        double stored = 42;
        EXPECT_EQ(init_struct(Write("rl.def", std::string("a:RL ") + c.texte + "\n"), &stored, 8),
                  0)
            << c.texte;
        EXPECT_EQ(stored, c.rl) << c.texte;
    }
}

TEST_F(InistrucFiles, FilesThatDoNotLoad) {
    unsigned char area[8];
    EXPECT_EQ(init_struct(dir_ + "absent.def", area, 8), -1);
    EXPECT_EQ(init_struct(dir_, area, 8), -1);  // a folder
    // A 10,000-character line is read in pieces; the pieces after the first
    // carry no ":" and are syntax errors.
    EXPECT_EQ(init_struct(Write("long.def", "a:D 1" + std::string(10000, ' ') + "\n"), area, 8), 2);
    std::string junk;
    for (int i = 0; i < 5000; ++i) junk += static_cast<char>((i * 131) & 0xFF);
    const int r = init_struct(Write("junk.def", junk), area, 8);
    EXPECT_NE(r, 0);
}

TEST_F(InistrucFiles, RandomDescriptorsStayInsideTheStructure) {
    // Pieces of valid lines and junk, shuffled: whatever the result, nothing
    // is written past the structure (the guard bytes after it stay).
    const std::vector<std::string> pieces = {
        "a:D 1",    "b:DL -7", "c:DC 300", "d:HB ff", "e:HW x",  "f:HL 0x7fffffff",
        "g:R 1e40", "h:RL 3",  "i:A3 xy",  "j:A99 z", "k:A2 \\", "\n",
        "l:",       ":",       "m:a1 q",   "n:d",     "::D 5",   "o:A0 ",
        "\0",       "p:D x",   ";;;"};
    std::mt19937 random(1234);
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const int lines = static_cast<int>(random() % 12);
        for (int i = 0; i < lines; ++i) {
            text += pieces[random() % pieces.size()];
            if (random() % 5 == 0) text += static_cast<char>(random() % 256);
            text += random() % 7 == 0 ? "\r" : "\n";
        }
        const int size = static_cast<int>(random() % 24);
        std::vector<unsigned char> area(static_cast<std::size_t>(size) + 16, U);
        const int r = init_struct(Write("random.def", text), area.data(), size);
        EXPECT_TRUE(r == 0 || r == -2 || r == -3 || (r >= 1 && r <= lines)) << r << " " << text;
        for (std::size_t i = static_cast<std::size_t>(size); i < area.size(); ++i) {
            ASSERT_EQ(area[i], U) << "byte " << i << " of " << size << " for " << text;
        }
    }
}

TEST(Frontmot, RoundsUpToFour) {
    struct Case {
        int offset, size, expected_result, expected_offset;
    };
    const Case cases[] = {{0, 320, 1, 0}, {1, 8, 1, 4},       {5, 8, 1, 8},
                          {6, 6, 0, 8},   {324, 320, 1, 324}, {13, 16, 1, 16}};
    for (const Case& c : cases) {
        int offset = c.offset;
        EXPECT_EQ(frontmot(offset, c.size), c.expected_result) << c.offset << "/" << c.size;
        EXPECT_EQ(offset, c.expected_offset) << c.offset << "/" << c.size;
    }
}

TEST(LineStruct, ErrorsStoreNothing) {
    unsigned char area[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    int offset = 1;
    EXPECT_EQ(LineStruct("a:D nope\n", area, offset, 8), -1);
    EXPECT_EQ(offset, 4);  // aligned, not advanced
    EXPECT_EQ(LineStruct("a:D 5\n", area, offset, 8), 0);
    EXPECT_EQ(offset, 8);
    EXPECT_EQ(LineStruct("a:DC 5\n", area, offset, 8), -2);
    EXPECT_EQ(offset, 8);
    EXPECT_EQ(area[0], 9);
    EXPECT_EQ(area[4], 5);
}

TEST_F(InistrucFiles, ReadStructFromAnOpenStream) {
    Write("stream.def", "a:D 1\nb:D 2\nc:D 3\n\nd:D 4\n");
    plat::File f = plat::File::Open(dir_ + "stream.def", "r");
    std::int32_t v[2] = {0, 0};
    EXPECT_EQ(ReadStruct(&f, 2, v, 8), 0);
    EXPECT_EQ(v[0], 1);
    EXPECT_EQ(v[1], 2);
    // The stream goes on where it stopped; the empty line then gives -3.
    EXPECT_EQ(ReadStruct(&f, 2, v, 8), -3);
    EXPECT_EQ(v[0], 3);
    EXPECT_EQ(ReadStruct(nullptr, 1, v, 8), -1);

    Write("stream2.def", "a:D 1\nb:X 2\n");
    plat::File g = plat::File::Open(dir_ + "stream2.def", "r");
    EXPECT_EQ(ReadStruct(&g, 2, v, 8), 2);
    Write("stream3.def", "a:D 1\nb:D 2\n");
    plat::File h = plat::File::Open(dir_ + "stream3.def", "r");
    EXPECT_EQ(ReadStruct(&h, 2, v, 4), -2);
    plat::File e = plat::File::Open(dir_ + "stream3.def", "r");
    EXPECT_EQ(ReadStruct(&e, 0, v, 8), 0);
    plat::File shortfile = plat::File::Open(dir_ + "stream3.def", "r");
    std::int32_t three[3];
    EXPECT_EQ(ReadStruct(&shortfile, 3, three, 12), -3);
    EXPECT_EQ(three[1], 2);
}

TEST_F(InistrucFiles, CopieDeFichier) {
    std::string content;
    for (int i = 0; i < 2500; ++i) content += static_cast<char>(i % 251);
    Write("src.bin", content);
    EXPECT_EQ(Copie_De_Fichier(dir_ + "src.bin", dir_ + "dst.bin"), 0);
    plat::File f = plat::File::Open(dir_ + "dst.bin", "rb");
    std::string copied(3000, '\0');
    copied.resize(f.Read(copied.data(), 1, copied.size()));
    EXPECT_EQ(copied, content);
    EXPECT_EQ(Copie_De_Fichier(dir_ + "none.bin", dir_ + "dst2.bin"), 1);
    EXPECT_EQ(Copie_De_Fichier(dir_ + "src.bin", dir_ + "nofolder/dst.bin"), 2);
    // A read that fails is no end of file.
    if (const std::string illisible = test_support::FichierIllisible(); !illisible.empty()) {
        EXPECT_EQ(Copie_De_Fichier(illisible, dir_ + "dst3.bin"), 1);
    }
}

}  // namespace
