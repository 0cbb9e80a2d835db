#include "import/PreparationEnregistrement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <span>
#include <string>

#include "import/LignesFournisseur.h"
#include "platform/codepage.h"
#include "platform/fs/fs.h"
#include "records/OutilsEnregistrement.h"
#include "util/utilit.h"

namespace {

using namespace std::string_literals;

// Codes of 2, 2, 8 and 6 characters (supplier widths 6 and 4 for vehicle and
// route), then the flags from 30 in a record of 40.
TypeEnregistrementJournal Layout() {
    TypeEnregistrementJournal s{};
    s.LongueurEnregistrement = 40;
    s.Titre = {0, 2};
    s.Edition = {2, 2};
    s.Voiture = {4, 8};
    s.Routage = {12, 6};
    s.NumeroSac = {18, 4};
    s.FinLiasse = {30, 1};
    s.FinSac = {31, 1};
    s.ChaineProduction = {32, 1};
    s.Etat = {33, 2};
    return s;
}

std::string Prepare(const std::string& line) {
    std::string record;
    PreparerEnregistrement(line, Layout(), record);
    return record;
}

// The record from its text up to the flags, and the four flag characters.
std::string Record(const std::string& text, const std::string& flags = "001A") {
    std::string record = text;
    record.resize(30, ' ');
    record += flags;
    record.resize(40, ' ');
    return record;
}

TEST(PreparationEnregistrement, Records) {
    struct Row {
        const char* name;
        std::string line;
        std::string record;
    } rows[] = {
        {"00 completes vehicle and route", "01E1VAN123R123XYZ\n", Record("01E1VAN12300R12300XYZ")},
        {"last line without line feed", "01E1VAN123R123XYZ", Record("01E1VAN12300R12300XYZ")},
        {"end of bag ends the bundle", "01E1VAN123R1230001" + std::string(8, ' ') + " 1\n",
         Record("01E1VAN12300R123000001", "111A")},
        {"flags kept", "01E1VAN123R1230001" + std::string(8, ' ') + "10\n",
         Record("01E1VAN12300R123000001", "101A")},
        {"production line and first state character set",
         "01E1VAN123R123" + std::string(12, ' ') + "00XZZ\n",
         Record("01E1VAN12300R12300", "001AZ")},
        {"capital accents folded, not converted", "01E1VAN123R123\xC9\xC8\xD1\n",
         Record("01E1VAN12300R12300EE ")},
        {"Windows text converted to OEM", "01E1VAN123R123\xE9t\xE9\n",
         Record("01E1VAN12300R12300\x82t\x82")},
        {"degree sign converted then blanked", "01E1VAN123R123n\xB0 1\n",
         Record("01E1VAN12300R12300n  1")},
        {"control characters blanked", "01E1VAN123R123a\tb\x01\n",
         Record("01E1VAN12300R12300a b ")},
        {"text ends at a zero byte", "01E1VAN123R123ab\0cd\n"s, Record("01E1VAN12300R12300ab")},
        {"short line padded before the insertions", "01E1VAN\n", Record("01E1VAN   00    00")},
        {"long line cut after the insertion", "01E1VAN123R123" + std::string(26, 'x') + "\n",
         // Flags that hold neither blank nor "1" stay as they are.
         "01E1VAN12300R12300" + std::string(14, 'x') + "1A" + std::string(6, 'x')},
    };
    for (const Row& row : rows) EXPECT_EQ(Prepare(row.line), row.record) << row.name;
}

// Windows text anywhere in the line converts the record, also beyond the
// record's length, whether the line is read or prepared in the stream.
TEST(PreparationEnregistrement, TheWholeLineDecidesTheConversion) {
    struct Row {
        const char* name;
        std::string line;
        std::string record;
    };
    // "ñ" alone does not mark Windows text; unconverted it is blanked.
    const std::string start = "01E1VAN123R123\xF1";
    const std::vector<Row> rows = {
        {"\xE9 beyond the record", start + std::string(30, ' ') + "\xE9\n",
         Record("01E1VAN12300R12300\xA4")},
        {"\xE9 inside the record", start + "\xE9\n", Record("01E1VAN12300R12300\xA4\x82")},
        {"no Windows text", start + std::string(30, ' ') + "x\n", Record("01E1VAN12300R12300 ")},
        {"\xE9 after a zero byte", start + std::string(30, ' ') + '\0' + "\xE9\n",
         Record("01E1VAN12300R12300 ")},
    };
    const TypeEnregistrementJournal layout = Layout();
    const PreparateurEnregistrement preparateur(layout);
    for (const Row& row : rows) {
        EXPECT_EQ(Prepare(row.line), row.record) << row.name;
        std::string record;
        EXPECT_EQ(preparateur.PreparerLigneSuivante(row.line, 10000, record), row.line.size())
            << row.name;
        EXPECT_EQ(record, row.record) << row.name << " in the stream";
    }
}

}  // namespace

namespace {

// The preparation step by step on the whole record, with the record helpers
// applied to strings.
std::string Reference(const std::string& line, const TypeEnregistrementJournal& s) {
    const auto length = static_cast<std::size_t>(s.LongueurEnregistrement);
    std::string record = line.substr(0, line.find('\0'));
    if (!record.empty() && record.back() == '\n') record.pop_back();
    if (record.size() < length) record.resize(length, ' ');
    ConvertUpperAccented(std::span<char>(record.data(), record.size()));
    if (IsMessageWindows(record)) plat::CharToOem(record.data(), record.size());
    record.insert(static_cast<std::size_t>(s.Voiture.Position + s.Voiture.Longueur - 2), "00");
    record.insert(static_cast<std::size_t>(s.Routage.Position + s.Routage.Longueur - 2), "00");
    record.resize(length);
    controle_caractere(std::span<char>(record.data(), record.size()), s.LongueurEnregistrement);
    record[static_cast<std::size_t>(s.ChaineProduction.Position)] = '1';
    record[static_cast<std::size_t>(s.Etat.Position)] = 'A';
    char& bundle = record[static_cast<std::size_t>(s.FinLiasse.Position)];
    char& bag = record[static_cast<std::size_t>(s.FinSac.Position)];
    if (bag == '1') bundle = '1';
    if (bundle == ' ') bundle = '0';
    if (bag == ' ') bag = '0';
    return record;
}

TEST(PreparationEnregistrement, SameAsTheStepsOneAfterTheOther) {
    std::mt19937 random(4242);
    const std::string alphabet =
        std::string("AZaz09 1\xC9\xE9\xE8\xB0\xD1\xF1\xFF\x80\x81\x90\x93\x01\t\r") + '\0';
    for (int trial = 0; trial < 2000; ++trial) {
        TypeEnregistrementJournal s{};
        s.LongueurEnregistrement = 20 + static_cast<int>(random() % 20);
        const int length = s.LongueurEnregistrement;
        // Vehicle and route anywhere, the route sometimes first.
        s.Voiture = {static_cast<int>(random() % 8), 2 + static_cast<int>(random() % 4)};
        s.Routage = {static_cast<int>(random() % (length - 10)),
                     2 + static_cast<int>(random() % 4)};
        s.FinLiasse = {length - 1, 1};
        s.FinSac = {length - 2, 1};
        s.ChaineProduction = {length - 3, 1};
        s.Etat = {static_cast<int>(random() % length), 1};
        std::string line;
        const std::size_t size = random() % 50;
        for (std::size_t i = 0; i < size; ++i) line += alphabet[random() % alphabet.size()];
        if (random() % 2) line += '\n';
        std::string record;
        PreparerEnregistrement(line, s, record);
        ASSERT_EQ(record, Reference(line, s)) << "trial " << trial;
        // What the emitter is told: no prepared record holds a control
        // character.
        ASSERT_TRUE(PreparateurEnregistrement(s).SansControle());
        ASSERT_TRUE(std::none_of(record.begin(), record.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
            << "trial " << trial;
    }
}

// Long records of plain text with a few bytes that the tables change, at
// every place relative to the blocks the text is looked at in: each such
// byte, and only it, must come out changed.
TEST(PreparationEnregistrement, LongPlainRecordsWithScatteredSpecialBytes) {
    std::mt19937 random(777);
    const std::string special = std::string("\xC9\xE9\xB0\xFF\x80\x93\x7F\x01\t\r") + '\0';
    for (int trial = 0; trial < 3000; ++trial) {
        TypeEnregistrementJournal s{};
        s.LongueurEnregistrement = 60 + static_cast<int>(random() % 300);
        const int length = s.LongueurEnregistrement;
        s.Voiture = {static_cast<int>(random() % 40), 2 + static_cast<int>(random() % 8)};
        s.Routage = {static_cast<int>(random() % 50), 2 + static_cast<int>(random() % 8)};
        s.FinLiasse = {length - 1, 1};
        s.FinSac = {length - 2, 1};
        s.ChaineProduction = {length - 3, 1};
        s.Etat = {length - 4, 1};
        std::string line;
        const std::size_t size = random() % static_cast<std::size_t>(length + 40);
        for (std::size_t i = 0; i < size; ++i) line += static_cast<char>(0x20 + random() % 0x5F);
        // Mostly a few such bytes; sometimes more than a scan keeps track of.
        const std::size_t changed = trial % 5 == 0 ? 40 + random() % 120 : random() % 4;
        // The zero byte, last of the specials, ends the text: left out at times.
        const std::size_t kinds = special.size() - (trial % 10 == 0 ? 1 : 0);
        for (std::size_t n = changed; n > 0 && !line.empty(); --n)
            line[random() % line.size()] = special[random() % kinds];
        if (random() % 2) line += '\n';
        std::string record;
        PreparerEnregistrement(line, s, record);
        ASSERT_EQ(record, Reference(line, s)) << "trial " << trial;
    }
}

// A pass may find and prepare a line in the bytes of the stream itself: it
// must give the records and the positions that reading each line gives,
// over buffer ends, for every kind of line end and for odd lines (those it
// leaves to the usual read included).
TEST(PreparationEnregistrement, LinesFoundInTheStreamGiveWhatReadingThemGives) {
    std::mt19937 random(2024);
    const std::string special = std::string("\xC9\xE9\xB0\xFF\x80\x93\x01\t\r") + '\0';
    std::string bytes;
    while (bytes.size() < (3u << 20)) {
        std::string line;
        const int kind = static_cast<int>(random() % 100);
        const std::size_t size = kind == 0   ? 9990 + random() % 3000
                                 : kind == 2 ? 9997 + random() % 4
                                             : random() % 500;
        for (std::size_t i = 0; i < size; ++i) line += static_cast<char>(0x20 + random() % 0x5F);
        const std::size_t changed = kind == 1 ? 100 : random() % 4;
        for (std::size_t n = changed; n > 0 && !line.empty(); --n)
            line[random() % line.size()] = special[random() % special.size()];
        bytes += line;
        bytes += random() % 3 == 0 ? "\n" : "\r\n";
    }
    bytes += "01E1VAN123R123 no line end";
    const std::string path = std::string(QUERVANE_BINARY_DIR) + "/PreparationEnregistrement.txt";
    {
        plat::File f = plat::File::Open(path, "wb");
        ASSERT_TRUE(f);
        ASSERT_EQ(f.Write(bytes.data(), 1, bytes.size()), bytes.size());
    }
    // The preparer keeps a reference to its layout.
    const TypeEnregistrementJournal layout = Layout();
    const PreparateurEnregistrement preparateur(layout);
    // Reads of the usual length, and of one more (a regrouped copy, whose
    // lines of 9999 characters are read with their line end).
    for (const std::size_t longueur : {kLigneEnregistrement, kLigneEnregistrement + 1}) {
        auto Read = [&](bool inTheStream, int& found) {
            std::vector<std::pair<std::string, std::int64_t>> records;
            plat::File f = plat::File::Open(path, "r");
            std::string record;
            for (;;) {
                std::size_t n = 0;
                if (inTheStream && (n = preparateur.PreparerLigneSuivante(f.Buffered(longueur + 1),
                                                                          longueur, record)) > 0) {
                    f.Skip(n);
                    ++found;
                } else {
                    std::string_view line;
                    if (!f.ReadLineView(line, longueur + 1)) break;
                    preparateur.Preparer(line, record);
                }
                records.emplace_back(record, f.Tell());
            }
            return records;
        };
        int foundInTheStream = 0, foundByReading = 0;
        const auto expected = Read(false, foundByReading);
        const auto actual = Read(true, foundInTheStream);
        ASSERT_EQ(actual.size(), expected.size()) << longueur;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(actual[i].first, expected[i].first) << longueur << " record " << i;
            ASSERT_EQ(actual[i].second, expected[i].second) << longueur << " record " << i;
        }
        // Most lines are found in the stream; the long ones, those with many
        // special bytes and the last one are read.
        EXPECT_GT(foundInTheStream, static_cast<int>(expected.size() * 9 / 10)) << longueur;
        EXPECT_LT(foundInTheStream, static_cast<int>(expected.size())) << longueur;
    }
    plat::DeleteFile(path);
}

}  // namespace
