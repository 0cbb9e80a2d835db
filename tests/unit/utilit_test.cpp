#include "util/utilit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/fs/fs.h"
#include "tests/unit/test_support.h"

namespace {

std::string Bytes(const char* text, std::size_t n) {
    return std::string(text, n);
}

// A folder of its own under the build tree for the file helpers.
class UtilitFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::string(QUERVANE_BINARY_DIR) + "/test-tmp/utilit_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        plat::CreateDirectory(std::string(QUERVANE_BINARY_DIR) + "/test-tmp");
        plat::CreateDirectory(dir_);
        for (const auto& e : plat::ListDirectory(dir_ + "*")) {
            if (!e.isFolder) plat::DeleteFile(dir_ + e.name);
        }
    }
    void Write(const std::string& name, const std::string& content) {
        plat::File f = plat::File::Open(dir_ + name, "wb");
        ASSERT_TRUE(f.IsOpen());
        ASSERT_EQ(f.Write(content.data(), 1, content.size()), content.size());
    }
    std::string Read(const std::string& name) {
        plat::File f = plat::File::Open(dir_ + name, "rb");
        std::string out;
        if (!f) return "<missing>";
        char block[4096];
        std::size_t n;
        while ((n = f.Read(block, 1, sizeof block)) > 0) out.append(block, n);
        return out;
    }
    std::string dir_;
};

TEST(InsererChaine, CasesFromTheRecordLayouts) {
    struct Case {
        const char* name;
        std::string record;  // buffer content before the insertion
        int len1, pos1, len2;
        std::string text;
        std::string expected;  // whole buffer afterwards
    };
    const std::vector<Case> cases = {
        {"inside", Bytes("ABCDEF\0\0\0\0", 10), 8, 3, 2, "00", Bytes("ABC00DEF\0\0", 10)},
        {"at start", Bytes("ABCD\0\0\0\0", 8), 6, 0, 2, "xy", Bytes("xyABCD\0\0", 8)},
        {"short text leaves zeros", Bytes("ABCD\0\0\0\0\0\0", 10), 6, 1, 3, "z",
         Bytes("Az\0\0BCD\0\0\0", 10)},
        {"text longer than field is cut", Bytes("ABCD\0\0\0\0", 8), 6, 2, 2, "12345",
         Bytes("AB12CD\0\0", 8)},
        {"zero in tail ends the moved tail", Bytes("AB\0DEFGH..", 10), 6, 1, 2, "xy",
         Bytes("AxyB\0\0\0\0..", 10)},
        {"position at the length only writes", Bytes("ABCDEFGH", 8), 4, 4, 2, "xy",
         Bytes("ABCDxyGH", 8)},
        {"position beyond the length only writes", Bytes("ABCDEFGH", 8), 2, 5, 2, "xy",
         Bytes("ABCDExyH", 8)},
        {"tail beyond the buffer is dropped", Bytes("ABCDEFGH", 8), 8, 2, 3, "xyz",
         Bytes("ABxyzCDE", 8)},
        {"field beyond the buffer is cut", Bytes("ABCDEFGH", 8), 4, 6, 4, "wxyz",
         Bytes("ABCDEFwx", 8)},
        {"negative position writes nothing", Bytes("ABCD", 4), 4, -1, 2, "xy", Bytes("ABCD", 4)},
        {"field of length 0 keeps the tail", Bytes("ABCD", 4), 4, 1, 0, "xy", Bytes("ABCD", 4)},
    };
    for (const Case& c : cases) {
        std::string buf = c.record;
        inserer_chaine(buf, c.text, c.len1, c.pos1, c.len2);
        EXPECT_EQ(buf, c.expected) << c.name;
    }
}

TEST(InsererChamps, ShiftsLaterFieldsByTheEarlierOnes) {
    std::string buf = Bytes("ABCDEFGH\0\0\0\0\0\0\0\0", 16);
    inserer_champs(buf, 12, {{2, 2, "xx"}, {2, 4, "yy"}, {0, 0, {}}});
    EXPECT_EQ(buf.substr(0, 12), "ABxxCDyyEFGH");

    // The list ends at the first field length 0.
    std::string stopped = Bytes("ABCDEFGH\0\0\0\0", 12);
    inserer_champs(stopped, 10, {{1, 1, "x"}, {0, 0, {}}, {1, 3, "y"}});
    EXPECT_EQ(stopped.substr(0, 9), "AxBCDEFGH");

    // Lengthening vehicle and route codes of a subscriber line by "00" each,
    // as the supplier readers do: vehicle VA01 at 4 (width 6 once widened),
    // route RA1234 at 10 (width 8 once widened).
    std::string line = "NRE1VA01RA123400010";
    line.resize(40, ' ');
    const int vehicle_end = 4 + 6 - 2, route_end = 10 + 8 - 4;
    inserer_champs(line, 23, {{2, vehicle_end, "00"}, {2, route_end, "00"}, {0, 0, {}}});
    EXPECT_EQ(line.substr(0, 23), "NRE1VA0100RA12340000010");
}

TEST(ControleCaractere, CleansControlAndHighBytes) {
    charge_table_controle(nullptr, nullptr, 0);
    std::string rec = "A\tz\r\xE9\xB0\xC0\xC1\n\x7F";
    controle_caractere(rec, static_cast<int>(rec.size()));
    EXPECT_EQ(rec, "A z  \xB0\xC0  \x7F");

    // Only the first len bytes are touched.
    std::string part = "\t\t\t";
    controle_caractere(part, 2);
    EXPECT_EQ(part, "  \t");
}

TEST(ControleCaractere, TranslatesThroughTheControlTable) {
    const char from[] = "\xE9\xE8\x80";
    const char to[] = "e\x01\xB5";
    charge_table_controle(from, to, 3);
    std::string rec = "\xE9\xE8\x80\xE0";
    controle_caractere(rec, 4);
    // é -> e; è -> 0x01 then a space; 0x80 -> 0xB5 kept; à untranslated -> space.
    EXPECT_EQ(rec, "e \xB5 ");
    charge_table_controle(nullptr, nullptr, -5);
    std::string again = "\xE9";
    controle_caractere(again, 1);
    EXPECT_EQ(again, " ");
}

TEST(Sndnum, WritesExactlyLenCharacters) {
    struct Case {
        long val;
        int len;
        const char* expected;  // the 6-byte buffer afterwards (pre-filled with '#')
    };
    const Case cases[] = {
        {7, 4, "0007##"},      {987, 2, "98####"},        {-12, 5, "00-12#"},  {0, 1, "0#####"},
        {123456, 6, "123456"}, {-5, 2, "-5####"},         {-123, 2, "-1####"}, {42, 0, "######"},
        {42, -3, "######"},    {2147483647, 3, "214###"},
    };
    for (const Case& c : cases) {
        char buf[7] = "######";
        sndnum(buf, static_cast<int>(c.val), c.len);
        EXPECT_STREQ(buf, c.expected) << c.val << " in " << c.len;
        char lbuf[7] = "######";
        sndlong(lbuf, c.val, c.len);
        EXPECT_STREQ(lbuf, c.expected) << c.val << " in " << c.len << " (long)";
    }
    char wide[16] = "###############";
    sndlong(wide, 12345678901L, 12);
    EXPECT_EQ(std::string(wide, 12), "012345678901");
}

TEST(Getnum, ReadsTheFirstLenCharacters) {
    struct Case {
        const char* text;
        int len;
        int expected;
    };
    const Case cases[] = {
        {"0042X", 4, 42}, {"  12", 4, 12},   {"AB12", 4, 0},   {"-007", 4, -7},
        {"+15", 3, 15},   {"12345", 3, 123}, {"\t\n 9", 4, 9}, {"9 9", 3, 9},
        {"", 0, 0},       {"55", -1, 0},     {"-", 1, 0},      {"99999999999", 11, 2147483647},
    };
    for (const Case& c : cases) {
        std::string buf = c.text;
        const std::string before = buf;
        EXPECT_EQ(getnum(buf.c_str(), c.len), c.expected) << c.text;
        EXPECT_EQ(getlong(buf.c_str(), c.len), c.expected == 2147483647 ? 99999999999L : c.expected)
            << c.text;
        EXPECT_EQ(xatoi(buf.c_str(), c.len), c.expected);
        EXPECT_EQ(buf, before);
    }
}

TEST(Xitoa, WritesInTheGivenRadix) {
    struct Case {
        long val;
        int base, len;
        const char* expected;
    };
    const Case cases[] = {
        {255, 16, 4, "00FF"},    {255, 2, 10, "0011111111"}, {35, 36, 3, "00z"},
        {-1, 16, 8, "FFFFFFFF"}, {-12, 10, 4, "0-12"},       {10, 1, 3, "###"},
        {10, 37, 3, "###"},
    };
    for (const Case& c : cases) {
        char buf[16];
        std::fill(std::begin(buf), std::end(buf), '#');
        xitoa(static_cast<int>(c.val), buf, c.base, c.len);
        EXPECT_EQ(std::string(buf, std::strlen(c.expected)), c.expected)
            << c.val << " radix " << c.base;
        EXPECT_EQ(buf[std::strlen(c.expected)], '#');
    }
    char lbuf[20];
    xltoa(-1L, lbuf, 16, 2 * sizeof(long));
    EXPECT_EQ(std::string(lbuf, 2 * sizeof(long)), std::string(2 * sizeof(long), 'F'));
}

TEST(Hexa, DigitsAndChecksums) {
    EXPECT_EQ(ASCII_HEXA('0'), 0);
    EXPECT_EQ(ASCII_HEXA('9'), 9);
    EXPECT_EQ(ASCII_HEXA('A'), 10);
    EXPECT_EQ(ASCII_HEXA('F'), 15);
    EXPECT_EQ(HEXA_ASCII(0), '0');
    EXPECT_EQ(HEXA_ASCII(9), '9');
    EXPECT_EQ(HEXA_ASCII(10), 'A');
    EXPECT_EQ(HEXA_ASCII(15), 'F');
    EXPECT_EQ(lecture_hexa("7E"), 0x7E);
    EXPECT_EQ(lecture_hexa("0A"), 10);

    char out[3] = "##";
    ecriture_hexa(out, 0x1AB);  // the low byte only
    EXPECT_STREQ(out, "AB");

    const char frame[] = "\x01\x02\x07";
    char sum[3] = "##";
    envoie_checksum(frame, 3, sum);
    EXPECT_STREQ(sum, "04");
    EXPECT_EQ(compare_checksum(frame, 3, "04"), 1);
    EXPECT_EQ(compare_checksum(frame, 3, "05"), 0);
    EXPECT_EQ(compare_checksum(frame, 0, "00"), 1);
}

TEST(Caracteres, SearchAndReplace) {
    std::string with_zero = Bytes("AB\0CD", 5);
    EXPECT_EQ(cherche_caractere(with_zero, 'C'), 3);  // does not stop at the zero byte
    EXPECT_EQ(cherche_caractere(with_zero, 'Z'), -1);
    std::string long_one(1200, 'a');
    long_one[1100] = 'Z';
    EXPECT_EQ(cherche_caractere(long_one, 'Z'), -1);  // beyond the first 1000 bytes
    long_one[999] = 'Z';
    EXPECT_EQ(cherche_caractere(long_one, 'Z'), 999);

    EXPECT_EQ(existe_caractere("ABC", 'B'), 1);
    EXPECT_EQ(existe_caractere("ABC", 'D'), 0);
    EXPECT_EQ(existe_caractere("ABC", '\0'), 0);

    std::string rec = "a.b.c.d";
    remplace_caractere(rec, 5, '.', '-');
    EXPECT_EQ(rec, "a-b-c.d");
}

TEST(StripBlanks, StripsAndCompares) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"  AB C  ", "AB C"}, {"    ", ""}, {"", ""}, {"X", "X"}, {"\tX ", "\tX"}};
    for (const Case& c : cases) {
        char out[16];
        StripBlanks(c.in, out);
        EXPECT_STREQ(out, c.out) << '"' << c.in << '"';
    }
    char tiny[3];
    StripBlanks("  ABCDEF", tiny);
    EXPECT_STREQ(tiny, "AB");

    EXPECT_EQ(CompareWithoutBlanks("  ABC ", "ABC"), 0);
    EXPECT_LT(CompareWithoutBlanks("ABC", " ABD"), 0);
    EXPECT_GT(CompareWithoutBlanks("\xE9", "z"), 0);  // bytes compare unsigned
    EXPECT_EQ(CompareWithoutBlanks(std::string(600, 'x'), std::string(600, 'x') + " "), 0);
}

TEST(DumpString, SixteenBytesALine) {
    std::string out;
    DumpString("ABCDEFGHIJKLMNOPQ\x01\x7F\x80", 20, out);
    EXPECT_EQ(out,
              "0000: 41 42 43 44 45 46 47 48  49 4a 4b 4c 4d 4e 4f 50  ABCDEFGHIJKLMNOP\n"
              "0010: 51 01 7f 80                                       Q.\x7F.            \n");
    std::string none;
    DumpString("ABC", 0, none);
    EXPECT_EQ(none, "");
}

TEST(GetDate, TodayInUniversalTime) {
    plat::CalendarTime c;
    c.year = 2024;
    c.month = 2;
    c.day = 29;
    c.hour = 23;
    plat::SetFixedNow(plat::FromUniversalTime(c));
    int j = 0, m = 0, a = 0;
    GetDate(j, m, a);
    plat::SetFixedNow(std::nullopt);
    EXPECT_EQ(j, 29);
    EXPECT_EQ(m, 2);
    EXPECT_EQ(a, 24);
}

TEST_F(UtilitFiles, CopierFichierResults) {
    std::string big;
    for (int i = 0; i < 25000; ++i) big += static_cast<char>(i * 7);
    Write("source.bin", big);
    EXPECT_EQ(copier_fichier(dir_ + "source.bin", dir_ + "copy.bin"), 0);
    EXPECT_EQ(Read("copy.bin"), big);
    EXPECT_EQ(copier_fichier(dir_ + "missing.bin", dir_ + "copy2.bin"), 1);
    EXPECT_EQ(Read("copy2.bin"), "<missing>");
    EXPECT_EQ(copier_fichier(dir_ + "source.bin", dir_ + "no-such-folder/copy.bin"), 2);
    EXPECT_EQ(copier_fichier(dir_, dir_ + "copy3.bin"), 1);  // a folder is not a file
    // A read that fails is no end of file.
    if (const std::string illisible = test_support::FichierIllisible(); !illisible.empty()) {
        EXPECT_EQ(copier_fichier(illisible, dir_ + "copy4.bin"), 1);
    }
}

TEST_F(UtilitFiles, ExisteFichier) {
    Write("here.txt", "x");
    EXPECT_TRUE(existe_fichier(dir_ + "here.txt"));
    EXPECT_TRUE(existe_fichier(dir_ + "HERE.TXT"));
    EXPECT_FALSE(existe_fichier(dir_ + "gone.txt"));
    EXPECT_FALSE(existe_fichier(dir_));
}

TEST_F(UtilitFiles, XgetsReadsLinesFromARawHandle) {
    Write("lines.txt", std::string("AB\r\nCDE\r\n\x1A") + "tail");
    plat::File h = xopen(dir_ + "lines.txt", 0);
    ASSERT_TRUE(h.IsOpen());
    std::array<char, 64> buf{};
    ASSERT_EQ(xgets(buf, 64, h), 4);
    EXPECT_STREQ(buf.data(), "AB\n");
    ASSERT_EQ(xgets(buf, 64, h), 5);
    EXPECT_STREQ(buf.data(), "CDE\n");
    // The block that starts with the end-of-file mark is read again past.
    EXPECT_EQ(xgets(buf, 64, h), 0);

    Write("nolf.txt", "XYZ");
    plat::File h2 = xopen(dir_ + "nolf.txt", 0);
    EXPECT_EQ(xgets(buf, 2, h2), 2);  // no line feed: the count read
    EXPECT_EQ(std::string(buf.data(), 2), "XY");
    EXPECT_EQ(xgets(buf, 64, h2), 1);
    EXPECT_EQ(xgets(buf, 64, h2), 0);
    // A buffer smaller than the count asked for limits the read.
    plat::File h3 = xopen(dir_ + "lines.txt", 0);
    std::array<char, 3> small{};
    EXPECT_EQ(xgets(small, 100, h3), 3);
}

TEST_F(UtilitFiles, XopenFlagsAndXputs) {
    plat::File created = xopen(dir_ + "out.txt", 3);
    ASSERT_TRUE(created.IsOpen());
    EXPECT_EQ(xputs("L1\n", created), 0);
    EXPECT_EQ(xputs(Bytes("L2\0hidden", 9), created), 0);
    EXPECT_EQ(xputs("a\nb\n", created), 0);
    created.Close();
    EXPECT_EQ(Read("out.txt"), "L1\r\nL2a\nb\r\n");

    EXPECT_FALSE(xopen(dir_ + "absent.txt", 1).IsOpen());
    EXPECT_FALSE(xopen(dir_ + "out.txt", 4).IsOpen());
    plat::File rw = xopen(dir_ + "out.txt", 2);
    ASSERT_TRUE(rw.IsOpen());
    EXPECT_EQ(xputs("ZZ", rw), 0);
    rw.Close();
    EXPECT_EQ(Read("out.txt"), "ZZ\r\nL2a\nb\r\n");
    plat::File recreated = xopen(dir_ + "out.txt", 3);
    recreated.Close();
    EXPECT_EQ(Read("out.txt"), "");
}

TEST_F(UtilitFiles, DumpToAStream) {
    plat::File f = plat::File::Open(dir_ + "dump.txt", "wb");
    dump("0123", 4, f);
    f.Close();
    EXPECT_EQ(Read("dump.txt"),
              "0000: 30 31 32 33                                       0123            \n");
}

}  // namespace
