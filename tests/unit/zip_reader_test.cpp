// The archives come from tests/data/zip/make_archives.sh (Info-ZIP zip, 7z,
// Python's zipfile, and hand-made ones for what no tool writes on purpose).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/zip/zip_archive.h"
#include "platform/zip/zip_reader.h"
#include "tests/unit/test_support.h"

namespace {

namespace fs = std::filesystem;
using plat::ZipStatus;
using test_support::ReadFile;
using test_support::WriteFile;

std::string ArchivePath(const std::string& name) {
    return std::string(QUERVANE_SOURCE_DIR) + "/tests/data/zip/" + name;
}

const std::string kTitre = "NR   LA GAZETTE DU SOIR\r\n";
const std::string kEdition = "EDITION\r\n";

std::string Journal() {
    std::string text;
    char line[64];
    for (int n = 1; n <= 1500; ++n) {
        std::snprintf(line, sizeof line, "%06d ABONNE%20sTOURNEE %03d\r\n", n, "", n % 97);
        text += line;
    }
    return text;
}

// What the generator put in a file of that name.
std::string ExpectedContent(const std::string& name) {
    const std::string file = name.substr(name.find_last_of('\\') + 1);
    if (file == "TITRE.CYB") return kTitre;
    if (file == "JOURNAL.CYB") return Journal();
    return kEdition;
}

class StringSink final : public plat::ZipSink {
public:
    bool Write(const void* data, std::size_t size) override {
        if (refuse) return false;
        bytes.append(static_cast<const char*>(data), size);
        largestWrite = std::max(largestWrite, size);
        return true;
    }
    std::string bytes;
    std::size_t largestWrite = 0;
    bool refuse = false;
};

class CountingSink final : public plat::ZipSink {
public:
    bool Write(const void* data, std::size_t size) override {
        const auto* p = static_cast<const unsigned char*>(data);
        allZero = allZero && std::all_of(p, p + size, [](unsigned char c) { return c == 0; });
        total += size;
        largestWrite = std::max(largestWrite, size);
        return true;
    }
    std::uint64_t total = 0;
    std::size_t largestWrite = 0;
    bool allZero = true;
};

plat::ZipResult OpenInMemory(plat::ZipReader& reader, const std::string& archive,
                             const plat::ZipLimits& limits = {}) {
    return reader.Open(std::make_unique<plat::ZipMemorySource>(ReadFile(ArchivePath(archive))),
                       limits);
}

// A fresh folder per test, removed afterwards.
class ZipFolderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.ok()); }

    std::string Target() const { return (dir_.path() / "TEMP").string(); }
    // Every file and folder under the target, relative, sorted.
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        if (!fs::exists(Target())) return names;
        for (const auto& e : fs::recursive_directory_iterator(Target())) {
            names.push_back(fs::relative(e.path(), Target()).generic_string() +
                            (e.is_directory() ? "/" : ""));
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    test_support::TempFolder dir_{"zip_reader_test"};
};

struct EntryRow {
    std::string name;
    std::uint64_t size;
    bool isFolder;
};

struct SoundArchive {
    std::string archive;
    std::vector<EntryRow> entries;
};

const std::vector<EntryRow> kSet = {{"TITRE.CYB", 25, false}, {"JOURNAL.CYB", 69000, false}};

const std::vector<SoundArchive> kSoundArchives = {
    {"stored.zip", kSet},
    {"deflated.zip", kSet},
    {"zip64.zip", kSet},
    {"zip64_crafted.zip", kSet},
    {"streamed.zip", kSet},
    {"descriptor_nosig.zip", kSet},
    {"python_deflated.zip", kSet},
    {"python_streamed.zip", kSet},
    {"prefixed.zip", kSet},
    {"prefixed_zip64.zip", kSet},
    {"7z_deflate.zip", {{"JOURNAL.CYB", 69000, false}, {"TITRE.CYB", 25, false}}},
    {"folder_entry.zip",
     {{"SET\\", 0, true}, {"SET\\TITRE.CYB", 25, false}, {"SET\\JOURNAL.CYB", 69000, false}}},
    {"two_levels.zip",
     {{"LIVRAISON\\", 0, true},
      {"LIVRAISON\\SEMAINE\\", 0, true},
      {"LIVRAISON\\SEMAINE\\JOURNAL.CYB", 69000, false},
      {"LIVRAISON\\TITRE.CYB", 25, false}}},
    {"backslash.zip", {{"SET\\TITRE.CYB", 25, false}, {"SET\\SUB\\JOURNAL.CYB", 69000, false}}},
    // Code page 850 (DOS host), UTF-8 flag, Unicode path extra field, bare
    // UTF-8 (Unix host): all give the same 1252 letter.
    {"names.zip",
     {{"\xC9"
       "DITION1.TXT",
       9, false},
      {"\xC9"
       "DITION2.TXT",
       9, false},
      {"\xC9"
       "DITION3.TXT",
       9, false},
      {"\xC9"
       "DITION4.TXT",
       9, false}}},
    {"empty.zip", {}},
};

TEST(ZipReaderTest, ListsAndExtractsSoundArchivesFromMemory) {
    for (const SoundArchive& row : kSoundArchives) {
        SCOPED_TRACE(row.archive);
        plat::ZipReader reader;
        const plat::ZipResult opened = OpenInMemory(reader, row.archive);
        ASSERT_TRUE(opened.Ok()) << static_cast<int>(opened.status) << " " << opened.entry;
        ASSERT_EQ(reader.Entries().size(), row.entries.size());
        for (std::size_t i = 0; i < row.entries.size(); ++i) {
            const plat::ZipEntryHeader& entry = reader.Entries()[i];
            EXPECT_EQ(entry.name, row.entries[i].name);
            EXPECT_EQ(entry.size, row.entries[i].size);
            EXPECT_EQ(entry.isFolder, row.entries[i].isFolder);
            StringSink sink;
            const plat::ZipResult extracted = reader.Extract(i, sink);
            EXPECT_TRUE(extracted.Ok()) << entry.name << " " << static_cast<int>(extracted.status);
            EXPECT_EQ(sink.bytes, entry.isFolder ? "" : ExpectedContent(entry.name)) << entry.name;
        }
    }
}

TEST(ZipReaderTest, ReadsTheSameArchivesFromDisk) {
    for (const SoundArchive& row : kSoundArchives) {
        SCOPED_TRACE(row.archive);
        plat::ZipArchive archive;
        ASSERT_TRUE(archive.Open(ArchivePath(row.archive)).Ok());
        ASSERT_EQ(archive.GetCount(), row.entries.size());
        // Backwards, so that every read seeks.
        for (std::size_t i = archive.GetCount(); i-- > 0;) {
            plat::ZipEntryHeader header;
            ASSERT_TRUE(archive.GetEntryHeader(i, header));
            EXPECT_EQ(header.name, row.entries[i].name);
            StringSink sink;
            EXPECT_TRUE(archive.Extract(i, sink).Ok()) << header.name;
            EXPECT_EQ(sink.bytes, header.isFolder ? "" : ExpectedContent(header.name));
        }
    }
}

struct RefusedArchive {
    std::string archive;
    ZipStatus status;
    std::string entry;
};

const std::vector<RefusedArchive> kRefusedArchives = {
    {"not_a_zip.zip", ZipStatus::NotAZip, ""},
    {"truncated.zip", ZipStatus::Damaged, ""},
    {"encrypted.zip", ZipStatus::Encrypted, "TITRE.CYB"},
    {"7z_aes.zip", ZipStatus::Encrypted, "JOURNAL.CYB"},
    {"7z_deflate64.zip", ZipStatus::Unsupported, "JOURNAL.CYB"},
    {"7z_bzip2.zip", ZipStatus::Unsupported, "JOURNAL.CYB"},
    {"traversal.zip", ZipStatus::UnsafeName, "..\\x.txt"},
    {"traversal_backslash.zip", ZipStatus::UnsafeName, "SET\\..\\..\\x.txt"},
    {"absolute.zip", ZipStatus::UnsafeName, "\\tmp\\x.txt"},
    {"drive.zip", ZipStatus::UnsafeName, "C:\\x.txt"},
    {"huge_declared.zip", ZipStatus::TooLarge, "HUGE.DAT"},
    {"bomb.zip", ZipStatus::RatioTooHigh, "ZERO.DAT"},
    {"ratio_over_limit.zip", ZipStatus::RatioTooHigh, "NOISE.DAT"},
};

TEST_F(ZipFolderTest, RefusesBadArchivesWholeBeforeWritingAnything) {
    for (const RefusedArchive& row : kRefusedArchives) {
        SCOPED_TRACE(row.archive);
        plat::ZipReader reader;
        const plat::ZipResult inMemory = OpenInMemory(reader, row.archive);
        EXPECT_EQ(inMemory.status, row.status);
        EXPECT_EQ(inMemory.entry, row.entry);
        EXPECT_FALSE(reader.IsOpen());
        EXPECT_TRUE(reader.Entries().empty());

        plat::ZipArchive archive;
        const plat::ZipResult onDisk = archive.Open(ArchivePath(row.archive));
        EXPECT_EQ(onDisk.status, row.status);
        EXPECT_EQ(onDisk.entry, row.entry);
        EXPECT_FALSE(archive.IsOpen());
        EXPECT_EQ(archive.GetCount(), 0u);
        EXPECT_EQ(archive.Extract(0, Target()).status, ZipStatus::NoSuchEntry);
    }
    EXPECT_TRUE(Listing().empty());
}

TEST(ZipReaderTest, NamesTheUnsupportedMethod) {
    const std::vector<std::pair<std::string, std::uint16_t>> rows = {{"7z_deflate64.zip", 9},
                                                                     {"7z_bzip2.zip", 12}};
    for (const auto& [archive, method] : rows) {
        plat::ZipReader reader;
        EXPECT_EQ(OpenInMemory(reader, archive).method, method) << archive;
    }
}

struct ExtractionFailure {
    std::string archive;
    std::size_t index;
    ZipStatus status;
    std::uint64_t maxDelivered;  // the sink never gets more than this
};

const std::vector<ExtractionFailure> kExtractionFailures = {
    {"crc_stored.zip", 0, ZipStatus::CrcMismatch, 25},
    {"crc_deflated.zip", 1, ZipStatus::CrcMismatch, 69000},
    // Inflates to 69000 bytes but declares 1000: stopped at the declared size.
    {"lying_sizes.zip", 1, ZipStatus::Damaged, 1000},
    {"lying_sizes.zip", 2, ZipStatus::Damaged, 35},
};

TEST(ZipReaderTest, DetectsBadDataWhileExtracting) {
    for (const ExtractionFailure& row : kExtractionFailures) {
        SCOPED_TRACE(row.archive + " entry " + std::to_string(row.index));
        plat::ZipReader reader;
        ASSERT_TRUE(OpenInMemory(reader, row.archive).Ok());
        StringSink sink;
        const plat::ZipResult result = reader.Extract(row.index, sink);
        EXPECT_EQ(result.status, row.status);
        EXPECT_EQ(result.entry, reader.Entries()[row.index].name);
        EXPECT_LE(sink.bytes.size(), row.maxDelivered);
    }
    // The sound entries of the same archives still extract.
    plat::ZipReader reader;
    ASSERT_TRUE(OpenInMemory(reader, "lying_sizes.zip").Ok());
    StringSink sink;
    EXPECT_TRUE(reader.Extract(0, sink).Ok());
    EXPECT_EQ(sink.bytes, kTitre);
}

TEST(ZipReaderTest, LimitsApplyAtTheirExactBoundary) {
    struct Row {
        const char* name;
        plat::ZipLimits limits;
        ZipStatus status;
    };
    // deflated.zip: 25 + 69000 bytes; JOURNAL.CYB 69000 from 5794 (11.9 to 1).
    const std::vector<Row> rows = {
        {"total at the limit", {69025, 1000, 0}, ZipStatus::Ok},
        {"total one over", {69024, 1000, 0}, ZipStatus::TooLarge},
        {"ratio 12 allowed", {1 << 20, 12, 0}, ZipStatus::Ok},
        {"ratio 11 refused", {1 << 20, 11, 0}, ZipStatus::RatioTooHigh},
        {"small entries exempt", {1 << 20, 11, 69000}, ZipStatus::Ok},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        plat::ZipReader reader;
        EXPECT_EQ(OpenInMemory(reader, "deflated.zip", row.limits).status, row.status);
    }
    // Default limits: 1000 to 1 exactly is allowed (ratio_over_limit.zip,
    // one byte more, is refused above).
    plat::ZipReader reader;
    EXPECT_TRUE(OpenInMemory(reader, "ratio_at_limit.zip").Ok());
}

TEST(ZipReaderTest, StreamsALargeEntryThroughFixedBuffers) {
    plat::ZipLimits limits;
    limits.ratioExemptSize = 20000000;  // lets the 20 MB of zeros through
    plat::ZipReader reader;
    ASSERT_TRUE(OpenInMemory(reader, "bomb.zip", limits).Ok());
    CountingSink sink;
    EXPECT_TRUE(reader.Extract(0, sink).Ok());
    EXPECT_EQ(sink.total, 20000000u);
    EXPECT_TRUE(sink.allZero);
    EXPECT_LE(sink.largestWrite, 64u * 1024);
}

TEST(ZipReaderTest, SinkRefusalAndMissingEntries) {
    plat::ZipReader reader;
    ASSERT_TRUE(OpenInMemory(reader, "deflated.zip").Ok());
    StringSink refusing;
    refusing.refuse = true;
    EXPECT_EQ(reader.Extract(1, refusing).status, ZipStatus::WriteFailed);
    StringSink sink;
    EXPECT_EQ(reader.Extract(2, sink).status, ZipStatus::NoSuchEntry);
    reader.Close();
    EXPECT_EQ(reader.Extract(0, sink).status, ZipStatus::NoSuchEntry);
    // A failed open leaves the reader closed, not with the previous archive.
    ASSERT_TRUE(OpenInMemory(reader, "deflated.zip").Ok());
    EXPECT_FALSE(OpenInMemory(reader, "truncated.zip").Ok());
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_TRUE(reader.Entries().empty());
}

TEST(ZipReaderTest, SplitEntryNameKeepsEveryEntryInsideTheTarget) {
    struct Row {
        std::string name;
        std::string components;  // joined with "|"; empty: refused
    };
    const std::vector<Row> rows = {
        {"TITRE.CYB", "TITRE.CYB"},
        {"SET\\TITRE.CYB", "SET|TITRE.CYB"},
        {"SET/SUB/X", "SET|SUB|X"},
        {"SET\\", "SET"},
        {"A\\\\B", "A|B"},
        {".\\A", "A"},
        {"A..B", "A..B"},
        {"..A", "..A"},
        {"CONSOLE.TXT", "CONSOLE.TXT"},
        {"COM10", "COM10"},
        {"\xC9"
         "DITION.TXT",
         "\xC9"
         "DITION.TXT"},
        {"..\\X", ""},
        {"../X", ""},
        {"A\\..\\..\\X", ""},
        {"A\\..", ""},
        {"..", ""},
        {"...", ""},
        {". .\\X", ""},
        {"\\X", ""},
        {"/X", ""},
        {"C:\\X", ""},
        {"C:X", ""},
        {"X:STREAM", ""},
        {"NUL", ""},
        {"nul.txt", ""},
        {"SET\\COM1.CYB", ""},
        {"LPT9", ""},
        {std::string("A\0B", 3), ""},
        {"A\tB", ""},
        {"", ""},
        {".", ""},
        {"./", ""},
    };
    for (const Row& row : rows) {
        std::vector<std::string_view> components;
        const bool inside = plat::SplitEntryName(row.name, components);
        std::string joined;
        for (std::string_view c : components) {
            if (!joined.empty()) joined += '|';
            joined += c;
        }
        EXPECT_EQ(inside, !row.components.empty()) << row.name;
        EXPECT_EQ(joined, row.components) << row.name;
    }
}

TEST_F(ZipFolderTest, ExtractsIntoTheTargetReplacingFilesAndLeavingNoTemporary) {
    fs::create_directories(Target());
    WriteFile(fs::path(Target()) / "TITRE.CYB", "OLD CONTENT");
    plat::ZipArchive archive;
    ASSERT_TRUE(archive.Open(ArchivePath("deflated.zip")).Ok());
    ASSERT_EQ(archive.GetCount(), 2u);
    plat::ZipEntryHeader header;
    ASSERT_TRUE(archive.GetEntryHeader(1, header));
    EXPECT_EQ(header.name, "JOURNAL.CYB");
    EXPECT_FALSE(archive.GetEntryHeader(2, header));
    for (std::size_t i = 0; i < archive.GetCount(); ++i) {
        EXPECT_TRUE(archive.Extract(i, Target() + "\\").Ok());
    }
    EXPECT_EQ(Listing(), (std::vector<std::string>{"JOURNAL.CYB", "TITRE.CYB"}));
    EXPECT_EQ(ReadFile(fs::path(Target()) / "TITRE.CYB"), kTitre);
    EXPECT_EQ(ReadFile(fs::path(Target()) / "JOURNAL.CYB"), Journal());
}

TEST_F(ZipFolderTest, FailedExtractionLeavesTheOldFileAndNoPartialOne) {
    struct Row {
        std::string archive;
        std::size_t index;
        std::string file;
        ZipStatus status;
    };
    const std::vector<Row> rows = {
        {"crc_stored.zip", 0, "TITRE.CYB", ZipStatus::CrcMismatch},
        {"crc_deflated.zip", 1, "JOURNAL.CYB", ZipStatus::CrcMismatch},
        {"lying_sizes.zip", 1, "LONG.CYB", ZipStatus::Damaged},
        {"lying_sizes.zip", 2, "SHORT.CYB", ZipStatus::Damaged},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.archive + " " + row.file);
        fs::remove_all(Target());
        fs::create_directories(Target());
        WriteFile(fs::path(Target()) / row.file, "OLD CONTENT");
        plat::ZipArchive archive;
        ASSERT_TRUE(archive.Open(ArchivePath(row.archive)).Ok());
        EXPECT_EQ(archive.Extract(row.index, Target()).status, row.status);
        EXPECT_EQ(Listing(), std::vector<std::string>{row.file});
        EXPECT_EQ(ReadFile(fs::path(Target()) / row.file), "OLD CONTENT");
    }
}

TEST_F(ZipFolderTest, UnwritableDestinationIsAWriteFailure) {
    fs::create_directories(fs::path(Target()) / "TITRE.CYB");  // a folder in the way
    plat::ZipArchive archive;
    ASSERT_TRUE(archive.Open(ArchivePath("stored.zip")).Ok());
    const plat::ZipResult result = archive.Extract(0, Target());
    EXPECT_EQ(result.status, ZipStatus::WriteFailed);
    EXPECT_EQ(result.entry, "TITRE.CYB");
    EXPECT_EQ(Listing(), std::vector<std::string>{"TITRE.CYB/"});
    EXPECT_TRUE(archive.ExtractTo(1, Target() + "\\SAVED.CYB").Ok());
    EXPECT_EQ(ReadFile(fs::path(Target()) / "SAVED.CYB"), Journal());
}

// The ZIP step's sequence: extract each entry into the target, recreating
// its folders, then flatten it to the top.
TEST_F(ZipFolderTest, FlattensNestedEntriesToTheTopAndRemovesEmptyFolders) {
    const std::vector<std::string> set = {"JOURNAL.CYB", "TITRE.CYB"};
    for (const char* name : {"folder_entry.zip", "two_levels.zip", "backslash.zip"}) {
        SCOPED_TRACE(name);
        fs::remove_all(Target());
        plat::ZipArchive archive;
        ASSERT_TRUE(archive.Open(ArchivePath(name)).Ok());
        for (std::size_t i = 0; i < archive.GetCount(); ++i) {
            plat::ZipEntryHeader header;
            ASSERT_TRUE(archive.GetEntryHeader(i, header));
            ASSERT_TRUE(archive.Extract(i, Target()).Ok());
            EXPECT_TRUE(plat::FlattenEntry(Target(), header.name)) << header.name;
        }
        EXPECT_EQ(Listing(), set);
        EXPECT_EQ(ReadFile(fs::path(Target()) / "TITRE.CYB"), kTitre);
        EXPECT_EQ(ReadFile(fs::path(Target()) / "JOURNAL.CYB"), Journal());
    }
}

TEST_F(ZipFolderTest, FolderCleanupStopsAtAFolderThatIsNotEmpty) {
    fs::create_directories(fs::path(Target()) / "LIVRAISON");
    WriteFile(fs::path(Target()) / "LIVRAISON" / "NOTE.TXT", "kept");
    plat::ZipArchive archive;
    ASSERT_TRUE(archive.Open(ArchivePath("two_levels.zip")).Ok());
    ASSERT_TRUE(archive.Extract(2, Target()).Ok());  // LIVRAISON\SEMAINE\JOURNAL.CYB
    EXPECT_TRUE(plat::FlattenEntry(Target(), "LIVRAISON\\SEMAINE\\JOURNAL.CYB"));
    EXPECT_EQ(Listing(),
              (std::vector<std::string>{"JOURNAL.CYB", "LIVRAISON/", "LIVRAISON/NOTE.TXT"}));
    EXPECT_EQ(plat::ZipEntryFileName("LIVRAISON\\SEMAINE\\JOURNAL.CYB"), "JOURNAL.CYB");
    EXPECT_EQ(plat::ZipEntryFileName("LIVRAISON\\SEMAINE\\"), "");
}

TEST(ZipReaderTest, ErrorTextsNameTheArchiveAndTheEntry) {
    const std::string archive = "..\\ARRIVEE\\NR0412.ZIP";
    EXPECT_EQ(plat::ZipErrorText({ZipStatus::Unsupported, "JOURNAL.CYB", 9}, archive),
              plat::Cp1252FromUtf8("L'archive ..\\ARRIVEE\\NR0412.ZIP utilise une méthode de "
                                   "compression non prise en charge (Deflate64) pour "
                                   "JOURNAL.CYB : elle ne peut pas être extraite."));
    EXPECT_EQ(plat::ZipErrorText({ZipStatus::Damaged, "", 0}, archive),
              plat::Cp1252FromUtf8("L'archive ..\\ARRIVEE\\NR0412.ZIP est endommagée ou "
                                   "incomplète : elle ne peut pas être extraite."));
    // Braces in a name are not placeholders.
    EXPECT_EQ(plat::ZipErrorText({ZipStatus::CrcMismatch, "{archive}.CYB", 0}, "A.ZIP"),
              plat::Cp1252FromUtf8("L'archive A.ZIP est endommagée : le contrôle du fichier "
                                   "{archive}.CYB a échoué."));
    for (int s = static_cast<int>(ZipStatus::CannotOpen);
         s <= static_cast<int>(ZipStatus::NoSuchEntry); ++s) {
        const std::string text =
            plat::ZipErrorText({static_cast<ZipStatus>(s), "X.CYB", 12}, archive);
        EXPECT_NE(text.find(archive), std::string::npos) << s;
        EXPECT_EQ(text.find('{'), std::string::npos) << s;
        EXPECT_EQ(text.find('\xC3'), std::string::npos) << s;  // 1252, not UTF-8
    }
}

}  // namespace
