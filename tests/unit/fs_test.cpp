#include "platform/fs/fs.h"
#include "tests/unit/test_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

namespace stdfs = std::filesystem;

// Each test runs in a fresh temporary folder that is the current directory;
// the disk is prepared and inspected with the standard library, so that the
// code under test is never its own witness.
class FsTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = stdfs::current_path();
        std::string pattern = (stdfs::temp_directory_path() / "fs_test_XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        stdfs::current_path(root_);
    }
    void TearDown() override {
        stdfs::current_path(previous_);
        stdfs::remove_all(root_);
    }

    static void Put(const stdfs::path& path, std::string_view bytes) {
        stdfs::create_directories(stdfs::path(path).parent_path().empty()
                                      ? stdfs::path(".")
                                      : stdfs::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Get(const stdfs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static std::vector<std::string> NamesIn(const stdfs::path& folder) {
        std::vector<std::string> names;
        for (const auto& e : stdfs::directory_iterator(folder))
            names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::vector<std::string> ReadLines(std::string_view path, std::string_view mode,
                                              std::size_t maxLength) {
        plat::File f = plat::File::Open(path, mode);
        EXPECT_TRUE(f.IsOpen()) << path;
        std::vector<std::string> lines;
        std::vector<std::int64_t> positions;
        std::string line;
        while (f.GetLine(line, maxLength)) {
            lines.push_back(line);
            positions.push_back(f.Tell());
        }
        // Every read gives the same lines and positions through ReadLineView.
        plat::File again = plat::File::Open(path, mode);
        std::vector<std::string> viewed;
        std::vector<std::int64_t> viewedPositions;
        for (std::string_view view; again.ReadLineView(view, maxLength);) {
            viewed.emplace_back(view);
            viewedPositions.push_back(again.Tell());
        }
        EXPECT_EQ(viewed, lines) << path << " read as views";
        EXPECT_EQ(viewedPositions, positions) << path << " read as views";
        EXPECT_TRUE(again.Eof() || lines.empty() || maxLength == 1) << path;
        return lines;
    }

    stdfs::path previous_;
    stdfs::path root_;
};

using Lines = std::vector<std::string>;

TEST_F(FsTest, WritingTranslatesLineFeedsOnlyInTextMode) {
    struct Case {
        const char* mode;
        std::string written;
        std::string onDisk;
    } cases[] = {
        {"w", "a\nb\n", "a\r\nb\r\n"}, {"wt", "\n\n", "\r\n\r\n"}, {"w", "a\r\n", "a\r\r\n"},
        {"w", "no end", "no end"},     {"wb", "a\nb\n", "a\nb\n"},
    };
    for (const Case& c : cases) {
        plat::File f = plat::File::Open("out.txt", c.mode);
        ASSERT_TRUE(f.IsOpen()) << c.mode;
        EXPECT_EQ(f.Write(c.written.data(), 1, c.written.size()), c.written.size());
        EXPECT_TRUE(f.Close());
        EXPECT_EQ(Get("out.txt"), c.onDisk) << c.mode << " " << c.written;
    }
}

TEST_F(FsTest, ReadingTranslatesCarriageReturnLineFeedOnlyInTextMode) {
    struct Case {
        const char* name;
        std::string onDisk;
        const char* mode;
        Lines lines;
    } cases[] = {
        {"crlf", "a\r\nb\r\n", "r", {"a\n", "b\n"}},
        {"bare lf", "a\nb", "r", {"a\n", "b"}},
        {"lone cr stays", "a\rb\r\n", "r", {"a\rb\n"}},
        {"cr before crlf", "a\r\r\n", "r", {"a\r\n"}},
        {"cr at end of file", "x\r", "r", {"x\r"}},
        {"empty lines", "\r\n\r\n", "r", {"\n", "\n"}},
        {"empty file", "", "r", {}},
        {"binary keeps cr", "a\r\nb", "rb", {"a\r\n", "b"}},
    };
    for (const Case& c : cases) {
        Put("in.txt", c.onDisk);
        EXPECT_EQ(ReadLines("in.txt", c.mode, 100), c.lines) << c.name;
    }
}

TEST_F(FsTest, LineLongerThanMaximumContinuesAtNextRead) {
    struct Case {
        std::string onDisk;
        std::size_t maxLength;
        Lines lines;
    } cases[] = {
        {"abcdef\r\n", 4, {"abc", "def", "\n"}},
        {"abcdef\r\n", 7, {"abcdef", "\n"}},
        {"abcdef\r\n", 8, {"abcdef\n"}},
        // A line end that arrives as the last allowed character is one character.
        {"ab\r\nc", 4, {"ab\n", "c"}},
        {"ab\r\nc", 3, {"ab", "\n", "c"}},
        {"abc\rdef\n", 5, {"abc\r", "def\n"}},
        {"abcdef\nab", 4, {"abc", "def", "\n", "ab"}},
    };
    for (const Case& c : cases) {
        Put("in.txt", c.onDisk);
        EXPECT_EQ(ReadLines("in.txt", "r", c.maxLength), c.lines) << c.maxLength;
    }
}

// Lines read in place and read again after a seek back into the same
// buffer give the same text, whichever way they are read.
TEST_F(FsTest, LinesReadInPlaceReadTheSameAfterASeekBack) {
    Put("in.txt", "first\r\nsecond\r\nthird");
    plat::File f = plat::File::Open("in.txt", "r");
    std::string_view view;
    ASSERT_TRUE(f.ReadLineView(view, 100));
    EXPECT_EQ(view, "first\n");
    const std::int64_t second = f.Tell();
    ASSERT_TRUE(f.ReadLineView(view, 100));
    EXPECT_EQ(view, "second\n");
    for (const std::int64_t at : {std::int64_t{0}, second}) {
        ASSERT_TRUE(f.Seek(at, SEEK_SET));
        std::string line;
        ASSERT_TRUE(f.GetLine(line, 100));
        EXPECT_EQ(line, at == 0 ? "first\n" : "second\n");
        ASSERT_TRUE(f.Seek(at, SEEK_SET));
        ASSERT_TRUE(f.ReadLineView(view, 100));
        EXPECT_EQ(view, line);
    }
    ASSERT_TRUE(f.ReadLineView(view, 100));
    EXPECT_EQ(view, "third");
    EXPECT_FALSE(f.ReadLineView(view, 100));
    EXPECT_TRUE(f.Eof());
}

TEST_F(FsTest, GetsBehavesAsFgets) {
    Put("in.txt", "first line\r\nx");
    plat::File f = plat::File::Open("in.txt", "r");
    char buffer[6];
    ASSERT_EQ(f.Gets(buffer, sizeof buffer), buffer);
    EXPECT_STREQ(buffer, "first");
    ASSERT_NE(f.Gets(buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, " line");
    ASSERT_NE(f.Gets(buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, "\n");
    EXPECT_FALSE(f.Eof());
    ASSERT_NE(f.Gets(buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, "x");
    EXPECT_TRUE(f.Eof());
    EXPECT_EQ(f.Gets(buffer, sizeof buffer), nullptr);
}

// A "\r\n" pair split between two buffer fills must still read as one "\n",
// whatever the buffer size: put the pair at every offset around the first
// two multiples of 64 KiB.
TEST_F(FsTest, LineEndSplitAcrossBufferFillsReadsAsOne) {
    for (std::size_t boundary : {std::size_t{65536}, std::size_t{131072}}) {
        for (std::size_t at = boundary - 2; at <= boundary + 1; ++at) {
            Put("big.txt", std::string(at, 'x') + "\r\ntail\r\n");
            const Lines lines = ReadLines("big.txt", "r", 1 << 20);
            ASSERT_EQ(lines.size(), 2u) << at;
            EXPECT_EQ(lines[0], std::string(at, 'x') + "\n") << at;
            EXPECT_EQ(lines[1], "tail\n") << at;

            plat::File f = plat::File::Open("big.txt", "r");
            std::string all;
            for (int c; (c = f.Getc()) != EOF;) all.push_back(static_cast<char>(c));
            EXPECT_EQ(all, std::string(at, 'x') + "\ntail\n") << at;

            // Without carriage returns, lines cut to 29,999 characters are
            // read in place across the fills.
            Put("big.txt", std::string(at, 'x') + "\ntail");
            std::string joined;
            for (const std::string& line : ReadLines("big.txt", "r", 30000)) {
                EXPECT_LE(line.size(), 29999u) << at;
                joined += line;
            }
            EXPECT_EQ(joined, std::string(at, 'x') + "\ntail") << at;
        }
    }
}

// Many lines of varied lengths and line ends, read by lines, by characters
// and by blocks; every way must give the same translated text.
TEST_F(FsTest, LongFileReadsTheSameByLinesCharactersAndBlocks) {
    std::mt19937 random(7);
    std::string disk, text;
    while (disk.size() < 300000) {
        const std::string body(random() % 300, static_cast<char>('a' + random() % 26));
        const int end = static_cast<int>(random() % 4);
        const char* ends[] = {"\r\n", "\n", "\r", "\r\r\n"};
        const char* translated[] = {"\n", "\n", "\r", "\r\n"};
        disk += body + ends[end];
        text += body + translated[end];
    }
    Put("long.txt", disk);

    std::string byLines;
    for (const std::string& line : ReadLines("long.txt", "r", 1000)) byLines += line;
    EXPECT_EQ(byLines, text);

    plat::File f = plat::File::Open("long.txt", "rt");
    std::string byBlocks;
    char block[777];
    for (std::size_t n; (n = f.Read(block, 1, sizeof block)) > 0;) byBlocks.append(block, n);
    EXPECT_EQ(byBlocks, text);
    EXPECT_TRUE(f.Eof());

    plat::File raw = plat::File::Open("long.txt", "rb");
    std::string binary(disk.size() + 10, '\0');
    EXPECT_EQ(raw.Read(binary.data(), 1, binary.size()), disk.size());
    binary.resize(disk.size());
    EXPECT_EQ(binary, disk);
}

// Streams of several megabytes read ahead and write behind on a second
// thread: written in pieces of every size, read back by lines (in place and
// copied), by blocks and after seeks, they must give exactly the bytes of a
// small stream.
TEST_F(FsTest, LargeStreamsReadTheSameAheadAndBehind) {
    std::mt19937 random(11);
    std::string text;
    while (text.size() < (6u << 20)) {
        const std::size_t size = random() % 50 == 0 ? 40000 : random() % 900;
        text += std::string(size, static_cast<char>('a' + random() % 26)) + "\n";
    }
    {
        plat::File out = plat::File::Open("large.txt", "w");
        ASSERT_TRUE(out.IsOpen());
        for (std::size_t done = 0; done < text.size();) {
            const std::size_t n = std::min<std::size_t>(1 + random() % 200000, text.size() - done);
            ASSERT_EQ(out.Write(text.data() + done, 1, n), n);
            done += n;
        }
        ASSERT_TRUE(out.Close());
    }
    std::string disk;
    for (const char c : text) disk += c == '\n' ? "\r\n" : std::string(1, c);
    ASSERT_EQ(Get("large.txt"), disk);

    // Lines cut at 29,999 characters are viewed in place; longer ones not.
    for (const std::size_t maxLength : {std::size_t{30000}, std::size_t{100000}}) {
        std::string joined;
        for (const std::string& line : ReadLines("large.txt", "r", maxLength)) joined += line;
        EXPECT_EQ(joined, text) << maxLength;
    }
    plat::File blocks = plat::File::Open("large.txt", "rb");
    std::string byBlocks;
    std::vector<char> block(3 << 20);
    for (std::size_t size = 1;; size = size * 7 % block.size() + 1) {
        const std::size_t n = blocks.Read(block.data(), 1, size);
        byBlocks.append(block.data(), n);
        if (n < size) break;
    }
    EXPECT_EQ(byBlocks, disk);

    // Seeks anywhere, back and forth, in the middle of reading ahead.
    plat::File f = plat::File::Open("large.txt", "r");
    std::vector<std::int64_t> offsets;
    Lines lines;
    std::string_view view;
    while (f.ReadLineView(view, 30000)) {
        lines.emplace_back(view);
        offsets.push_back(f.Tell());
    }
    offsets.insert(offsets.begin(), 0);
    std::string line;
    for (int i = 0; i < 300; ++i) {
        const std::size_t k = random() % lines.size();
        ASSERT_TRUE(f.Seek(offsets[k], SEEK_SET));
        for (std::size_t j = k; j < std::min(k + 40, lines.size()); ++j) {
            ASSERT_TRUE(f.GetLine(line, 30000));
            ASSERT_EQ(line, lines[j]) << j;
            ASSERT_EQ(f.Tell(), offsets[j + 1]) << j;
        }
    }
}

// A write that fails on the second thread fails the stream: a later write
// or the close says so. The file size limit makes the disk refuse past 3 MB.
TEST_F(FsTest, WriteErrorsBehindTheCallerAreReported) {
    struct rlimit before;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = before;
    limited.rlim_cur = 3 << 20;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);

    // 3.25 MiB in all, ending where a buffer ends: the writes that the
    // limit refuses all happen behind the caller, none at the close.
    plat::File out = plat::File::Open("limited.txt", "wb");
    const std::string chunk(4096, 'x');
    int accepted = 0;
    while (accepted < 832 && out.Write(chunk.data(), 1, chunk.size()) == chunk.size()) ++accepted;
    const bool closed = out.Close();

    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(accepted == 832 && closed);
    EXPECT_LE(stdfs::file_size("limited.txt"), 3u << 20);
}

// Whole lines written at once end as a written line feed would, wherever
// they fall in the buffers, in streams small and large.
TEST_F(FsTest, WholeLinesEndAsAWrittenLineFeed) {
    std::mt19937 random(17);
    for (const char* mode : {"w", "wb"}) {
        for (const std::size_t total : {std::size_t{100000}, std::size_t{5} << 20}) {
            const bool text = std::string_view(mode) == "w";
            std::string expected;
            {
                plat::File out = plat::File::Open("lines.txt", mode);
                ASSERT_TRUE(out.IsOpen());
                while (expected.size() < total) {
                    const std::size_t size =
                        random() % 40 == 0 ? 70000 + random() % 2000000 : random() % 500;
                    const std::string line(size, static_cast<char>('a' + random() % 26));
                    if (random() % 3 == 0) {
                        ASSERT_TRUE(out.Puts(line + "\n"));
                    } else {
                        ASSERT_TRUE(out.WriteLine(line));
                    }
                    expected += line + (text ? "\r\n" : "\n");
                }
                ASSERT_TRUE(out.Close());
            }
            ASSERT_TRUE(Get("lines.txt") == expected) << mode << " " << total;
        }
    }
}

TEST_F(FsTest, TellGivesRawOffsetsThatSeekReturnsTo) {
    {
        plat::File out = plat::File::Open("records.txt", "w");
        for (int i = 0; i < 5000; ++i)
            out.Printf("record %05d %s\n", i, std::string(i % 50, '*').c_str());
    }
    plat::File f = plat::File::Open("records.txt", "r");
    std::vector<std::int64_t> offsets;
    Lines lines;
    std::string line;
    std::int64_t expected = 0;
    for (;;) {
        offsets.push_back(f.Tell());
        if (!f.GetLine(line, 200)) break;
        EXPECT_EQ(offsets.back(), expected);
        expected += static_cast<std::int64_t>(line.size()) + 1;  // the "\r" on disk
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 5000u);
    EXPECT_EQ(expected, static_cast<std::int64_t>(stdfs::file_size("records.txt")));
    for (std::size_t i = lines.size(); i-- > 0;) {
        ASSERT_TRUE(f.Seek(offsets[i], SEEK_SET));
        ASSERT_TRUE(f.GetLine(line, 200));
        EXPECT_EQ(line, lines[i]) << i;
    }
    ASSERT_TRUE(f.Seek(-static_cast<std::int64_t>(lines.back().size() + 1), SEEK_END));
    ASSERT_TRUE(f.GetLine(line, 200));
    EXPECT_EQ(line, lines.back());
    EXPECT_FALSE(f.Seek(-1, SEEK_SET));
}

// The buffered bytes are the file's own, line ends untranslated; skipping
// them moves the read position as reading them would, and reads go on from
// there.
TEST_F(FsTest, BufferedBytesAreTheFilesAndSkippingThemReadsOn) {
    std::string bytes;
    for (int i = 0; i < 20000; ++i) bytes += "line " + std::to_string(i) + "\r\n";
    Put("lines.txt", bytes);
    plat::File f = plat::File::Open("lines.txt", "r");
    ASSERT_TRUE(f);
    std::string_view shown = f.Buffered(100);
    ASSERT_GE(shown.size(), 100u);
    EXPECT_EQ(shown.substr(0, 8), "line 0\r\n");
    f.Skip(8);
    EXPECT_EQ(f.Tell(), 8);
    std::string_view line;
    ASSERT_TRUE(f.ReadLineView(line, 100));
    EXPECT_EQ(line, "line 1\n");
    // Across buffer ends, by skips of whole lines only.
    std::int64_t position = f.Tell();
    for (int i = 2; i < 20000; ++i) {
        const std::string expected = "line " + std::to_string(i) + "\r\n";
        shown = f.Buffered(expected.size());
        ASSERT_GE(shown.size(), expected.size()) << i;
        ASSERT_EQ(shown.substr(0, expected.size()), expected) << i;
        f.Skip(expected.size());
        position += static_cast<std::int64_t>(expected.size());
        ASSERT_EQ(f.Tell(), position) << i;
    }
    EXPECT_TRUE(f.Buffered(10).empty());
    EXPECT_FALSE(f.ReadLineView(line, 100));
    plat::File w = plat::File::Open("out.txt", "w");
    EXPECT_TRUE(w.Buffered(10).empty());
}

// Pieces written behind land each at its place, the stream's position
// unmoved. The caller's bytes may change once the next call has waited for
// the writes.
TEST_F(FsTest, PlacedWritesBehind) {
    std::string first(3 << 20, 'a'), second(5, 'b');
    {
        plat::File f = plat::File::Open("placed.bin", "wb");
        ASSERT_TRUE(f);
        ASSERT_TRUE(f.WriteBehind({{10, first}, {0, "head!"}}));
        ASSERT_TRUE(f.WriteBehind({{5, second}}));
        first.assign(first.size(), 'z');  // written already: the call above waited
        EXPECT_EQ(f.Tell(), 0);
        ASSERT_TRUE(f.Close());
    }
    EXPECT_EQ(Get("placed.bin"), "head!bbbbb" + std::string(3 << 20, 'a'));
    plat::File f = plat::File::Open("placed.bin", "rb");
    EXPECT_FALSE(f.WriteBehind({{0, "x"}})) << "a stream that only reads";
}

// Room taken ahead: the file has the reserved size at once, and pieces
// written at scattered places over it make the whole file. A stream that only
// reads takes no room, and a reservation no disk can hold is refused.
TEST_F(FsTest, RoomReservedAheadOfScatteredWrites) {
    const std::string piece(10000, 'p');
    std::string expected(4 * piece.size(), '-');
    {
        plat::File f = plat::File::Open("reserved.bin", "wb");
        ASSERT_TRUE(f);
        ASSERT_TRUE(f.Reserve(static_cast<std::int64_t>(expected.size())));
        // A file system that takes no room ahead leaves the file as it was.
        const std::int64_t reserved = plat::FileSize("reserved.bin");
        EXPECT_TRUE(reserved == static_cast<std::int64_t>(expected.size()) || reserved == 0)
            << reserved;
        std::vector<plat::File::Placed> pieces;
        for (const std::size_t at : {30000, 0, 20000, 10000}) {
            expected.replace(at, piece.size(),
                             std::string(piece.size(), static_cast<char>('a' + at / 10000)));
            pieces.push_back({static_cast<std::int64_t>(at),
                              std::string_view(expected).substr(at, piece.size())});
        }
        ASSERT_TRUE(f.WriteBehind(std::move(pieces)));
        ASSERT_TRUE(f.Close());
    }
    EXPECT_EQ(Get("reserved.bin"), expected);
    plat::File r = plat::File::Open("reserved.bin", "rb");
    EXPECT_FALSE(r.Reserve(1));
    plat::File w = plat::File::Open("huge.bin", "wb");
    EXPECT_TRUE(w.Reserve(0));
    // More room than any disk has: refused, or granted only where nothing
    // is taken ahead.
    if (w.Reserve(std::int64_t{1} << 62)) {
        EXPECT_EQ(plat::FileSize("huge.bin"), 0);
    }
}

// The pages of a file from page first to page last (excluded) that the
// system's cache holds, counted by mapping the file and asking which of its
// pages are in memory.
std::size_t PagesInCache(const char* path, std::size_t first, std::size_t last) {
    const int fd = ::open(path, O_RDONLY);
    if (fd < 0) return 0;
    struct stat st {};
    ::fstat(fd, &st);
    const auto size = static_cast<std::size_t>(st.st_size);
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED) return 0;
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    std::vector<unsigned char> resident((size + page - 1) / page);
    const bool known = ::mincore(map, size, resident.data()) == 0;
    ::munmap(map, size);
    std::size_t pages = 0;
    for (std::size_t i = first; i < std::min(last, resident.size()); ++i)
        pages += known && (resident[i] & 1) ? 1 : 0;
    return pages;
}

// Dirty pages of a file, as the kernel's cachestat counts them; -1 when the
// kernel has no cachestat.
long DirtyPages(const char* path) {
    struct {
        std::uint64_t offset = 0, length = 0;
    } range;
    struct {
        std::uint64_t cached, dirty, writeback, evicted, recentlyEvicted;
    } counts{};
    const int fd = ::open(path, O_RDONLY);
    const long done = ::syscall(451, fd, &range, &counts, 0);
    ::close(fd);
    return done == 0 ? static_cast<long>(counts.dirty) : -1;
}

// A file written whole to the disk, then read once so that the cache holds it.
void PutOnDisk(const char* path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    const int fd = ::open(path, O_RDONLY);
    ::fsync(fd);
    ::close(fd);
    std::ifstream in(path, std::ios::binary);
    std::string back{std::istreambuf_iterator<char>(in), {}};
}

// Forgotten bytes that are on the disk leave the cache, and the bytes after
// them stay; bytes not yet written to the disk stay in it, still unwritten.
// The contents read the same after.
TEST_F(FsTest, ForgottenBytesLeaveTheCacheOnlyOnceOnTheDisk) {
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t pages = (8 << 20) / page;
    std::string bytes(pages * page, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>('a' + i % 23);
    PutOnDisk("control.bin", bytes);
    if (DirtyPages("control.bin") < 0) GTEST_SKIP() << "the kernel cannot tell unwritten pages";
    // A file system whose cache is its storage gives nothing back.
    {
        const int fd = ::open("control.bin", O_RDONLY);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
    if (PagesInCache("control.bin", 0, pages) != 0)
        GTEST_SKIP() << "this file system keeps its cache";

    PutOnDisk("clean.bin", bytes);
    ASSERT_EQ(PagesInCache("clean.bin", 0, pages), pages);
    plat::File clean = plat::File::Open("clean.bin", "rb");
    ASSERT_TRUE(clean);
    clean.Forget(static_cast<std::int64_t>(bytes.size() / 2));
    // The cache holds bytes in blocks of up to 2 MiB: the one around the
    // middle may stay.
    const std::size_t bloc = (2 << 20) / page;
    EXPECT_EQ(PagesInCache("clean.bin", 0, pages / 2 - bloc), 0u);
    EXPECT_EQ(PagesInCache("clean.bin", pages / 2, pages), pages / 2);
    clean.Forget(static_cast<std::int64_t>(bytes.size()));
    EXPECT_EQ(PagesInCache("clean.bin", 0, pages), 0u);
    std::string back(bytes.size(), ' ');
    EXPECT_EQ(clean.Read(back.data(), 1, back.size()), back.size());
    EXPECT_EQ(back, bytes);

    std::ofstream("dirty.bin", std::ios::binary) << bytes;
    const long dirty = DirtyPages("dirty.bin");
    ASSERT_GT(dirty, 0) << "written moments ago";
    plat::File unwritten = plat::File::Open("dirty.bin", "rb");
    ASSERT_TRUE(unwritten);
    unwritten.Forget(static_cast<std::int64_t>(bytes.size()));
    EXPECT_EQ(DirtyPages("dirty.bin"), dirty) << "nothing sent to the disk";
    EXPECT_EQ(PagesInCache("dirty.bin", 0, pages), pages);
    EXPECT_EQ(Get("dirty.bin"), bytes);
}

// Runs of pieces that follow one another, longer than one call may take,
// empty pieces among them, pieces that jump back or forward, and a piece of
// megabytes: every byte lands at its place.
TEST_F(FsTest, PlacedWritesInRunsOfAnyLength) {
    const std::string before(3000 * 7 + (2 << 20), '.');
    std::string expected = before;
    std::vector<std::string> texts;
    std::vector<plat::File::Placed> pieces;
    texts.reserve(4000);
    auto Place = [&](std::int64_t offset, std::string text) {
        std::copy(text.begin(), text.end(), expected.begin() + offset);
        texts.push_back(std::move(text));
        pieces.push_back({offset, texts.back()});
    };
    // 2500 pieces of 7 characters, one after the other, from offset 500;
    // every hundredth is empty and every thousand and first jumps ahead.
    std::int64_t offset = 500;
    for (int i = 0; i < 2500; ++i) {
        if (i % 1001 == 1000) offset += 3;
        if (i % 100 == 0) {
            Place(offset, "");
            continue;
        }
        Place(offset, std::string(7, static_cast<char>('a' + i % 26)));
        offset += 7;
    }
    Place(0, std::string(500, 'H'));             // back to the start
    Place(3000 * 7, std::string(2 << 20, 'M'));  // a piece of megabytes
    {
        plat::File f = plat::File::Open("runs.bin", "wb");
        ASSERT_TRUE(f);
        ASSERT_TRUE(f.Write(before.data(), 1, before.size()) == before.size());
        ASSERT_TRUE(f.Flush());
        ASSERT_TRUE(f.WriteBehind(pieces));
        ASSERT_TRUE(f.Close());
    }
    EXPECT_EQ(Get("runs.bin"), expected);
}

// A write behind that fails is reported by the next call, and by Close.
TEST_F(FsTest, PlacedWritesBeyondTheSizeLimitFail) {
    struct rlimit before;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    struct rlimit limited = before;
    limited.rlim_cur = 100;
    std::signal(SIGXFSZ, SIG_IGN);
    plat::File f = plat::File::Open("limited.bin", "wb");
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const std::string big(300, 'x');
    const bool submitted = f.WriteBehind({{0, big}});
    const bool next = f.WriteBehind({{0, "y"}});
    const bool closed = f.Close();
    ::setrlimit(RLIMIT_FSIZE, &before);
    EXPECT_TRUE(submitted);
    EXPECT_FALSE(next);
    EXPECT_FALSE(closed);
}

// The name goes at once; what is still open keeps reading it.
TEST_F(FsTest, DeletingBehindRemovesTheNameAtOnce) {
    Put("big.dat", std::string(1 << 20, 'y'));
    plat::File open = plat::File::Open("big.dat", "rb");
    EXPECT_TRUE(plat::DeleteFileBehind("BIG.DAT"));
    EXPECT_FALSE(stdfs::exists("big.dat"));
    ASSERT_TRUE(open.Seek(1000, SEEK_SET));
    EXPECT_EQ(open.Getc(), 'y');
    EXPECT_FALSE(plat::DeleteFileBehind("big.dat"));
    stdfs::create_directory("folder");
    EXPECT_FALSE(plat::DeleteFileBehind("folder"));
    EXPECT_TRUE(stdfs::exists("folder"));
}

TEST_F(FsTest, ModeStringsAreCheckedAsFopenChecksThem) {
    Put("f.txt", "x");
    for (const char* good : {"r", "rb", "rt", "r+", "r+b", "rb+", "w", "wb", "w+", "wS", "rbR",
                             "r+bS", "a", "a+", "a+t"}) {
        Put("f.txt", "x");
        EXPECT_TRUE(plat::File::Open("f.txt", good).IsOpen()) << good;
    }
    for (const char* bad : {"", "x", "R", "rw", "rbb", "rbt", "r++", "wx", "rc", "rb+t", "r ",
                            "rRS", "rRR", "r+btR"}) {
        EXPECT_FALSE(plat::File::Open("f.txt", bad).IsOpen()) << bad;
    }
    EXPECT_EQ(Get("f.txt"), "x");  // no bad mode truncated it
}

TEST_F(FsTest, OpenModesReadWriteAndAppendAsFopen) {
    EXPECT_FALSE(plat::File::Open("missing.txt", "r").IsOpen());
    EXPECT_FALSE(plat::File::Open("missing.txt", "r+").IsOpen());

    Put("f.txt", "0123456789");
    plat::File::Open("f.txt", "w");
    EXPECT_EQ(Get("f.txt"), "");

    Put("f.txt", "0123456789");
    {
        plat::File f = plat::File::Open("f.txt", "r+b");
        char two[2];
        ASSERT_EQ(f.Read(two, 1, 2), 2u);
        EXPECT_TRUE(f.Puts("ab"));  // writes where reading stopped
        EXPECT_EQ(f.Tell(), 4);
        EXPECT_EQ(f.Getc(), '4');
    }
    EXPECT_EQ(Get("f.txt"), "01ab456789");

    {
        plat::File f = plat::File::Open("f.txt", "a+");
        EXPECT_TRUE(f.Seek(0, SEEK_SET));
        EXPECT_EQ(f.Getc(), '0');
        EXPECT_TRUE(f.Puts("end\n"));  // appended whatever the position
        EXPECT_EQ(f.Tell(), 15);
        EXPECT_TRUE(f.Seek(0, SEEK_SET));
        EXPECT_TRUE(f.Puts("!"));
    }
    EXPECT_EQ(Get("f.txt"), "01ab456789end\r\n!");

    plat::File readOnly = plat::File::Open("f.txt", "r");
    EXPECT_FALSE(readOnly.Puts("no"));
    EXPECT_TRUE(readOnly.Error());
    plat::File writeOnly = plat::File::Open("g.txt", "w");
    EXPECT_EQ(writeOnly.Getc(), EOF);
    EXPECT_TRUE(writeOnly.Error());
}

TEST_F(FsTest, BufferedWritesReachDiskAtFlushCloseAndDestruction) {
    std::string big(200000, 'z');
    {
        plat::File f = plat::File::Open("w.bin", "wb");
        EXPECT_TRUE(f.Puts("head"));
        EXPECT_EQ(stdfs::file_size("w.bin"), 0u);  // still buffered
        EXPECT_TRUE(f.Flush());
        EXPECT_EQ(Get("w.bin"), "head");
        EXPECT_EQ(f.Write(big.data(), 1, big.size()), big.size());
        EXPECT_EQ(f.Printf("%s-%d", "tail", 42), 7);
    }
    EXPECT_EQ(Get("w.bin"), "head" + big + "tail-42");
}

TEST_F(FsTest, FolderIsNotAFile) {
    stdfs::create_directory("sub");
    for (const char* mode : {"r", "rb", "r+", "w", "a", "a+"}) {
        EXPECT_FALSE(plat::File::Open("SUB", mode).IsOpen()) << mode;
    }
    EXPECT_FALSE(plat::FileExists("sub"));
    EXPECT_TRUE(plat::FolderExists("Sub"));
    EXPECT_EQ(plat::FileSize("sub"), -1);
    EXPECT_FALSE(plat::CopyFile("sub", "copy"));
    EXPECT_FALSE(plat::DeleteFile("sub"));
    EXPECT_TRUE(stdfs::is_directory("sub"));
}

TEST_F(FsTest, NamesAreFoundWithoutRegardToCase) {
    Put("CONFIG/sacs.def", "bags\r\n");
    stdfs::create_directory("work");
    stdfs::current_path("work");
    for (const char* path : {"..\\config\\SACS.DEF", "../CONFIG/sacs.def", "..\\Config/Sacs.Def"}) {
        EXPECT_TRUE(plat::FileExists(path)) << path;
        EXPECT_EQ(plat::FileSize(path), 6) << path;
        EXPECT_EQ(ReadLines(path, "r", 100), Lines{"bags\n"}) << path;
    }
    EXPECT_EQ(plat::NativePath("..\\config\\SACS.DEF"), "../CONFIG/sacs.def");
    EXPECT_EQ(plat::NativePath("..\\config\\NEW\\X.TXT"), "../CONFIG/NEW/X.TXT");
    EXPECT_FALSE(plat::FileExists("..\\config\\SACS.DEFX"));
}

TEST_F(FsTest, CreatingReusesTheNameThatExistsUnderAnotherCase) {
    Put("Data/NR.JO", "old");
    {
        plat::File f = plat::File::Open("data\\nr.jo", "w");
        ASSERT_TRUE(f.IsOpen());
        f.Puts("new");
    }
    EXPECT_EQ(NamesIn("."), Lines{"Data"});
    EXPECT_EQ(NamesIn("Data"), Lines{"NR.JO"});
    EXPECT_EQ(Get("Data/NR.JO"), "new");

    plat::File::Open("DATA\\NR.LI", "w");  // new file: the name as written
    EXPECT_EQ(NamesIn("Data"), (Lines{"NR.JO", "NR.LI"}));
    EXPECT_FALSE(plat::File::Open("nofolder\\x.txt", "w").IsOpen());
}

TEST_F(FsTest, ExactNameWinsOverOtherCases) {
    Put("a.txt", "lower");
    Put("A.TXT", "upper");
    EXPECT_EQ(ReadLines("a.txt", "r", 100), Lines{"lower"});
    EXPECT_EQ(ReadLines("A.TXT", "r", 100), Lines{"upper"});
}

TEST_F(FsTest, NamesComparedAndMatchedAsWindowsDoes) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"NR.JO", "*.jo", true},
        {"nr2.jo", "*.JO", true},
        {"NR.JOX", "*.jo", false},
        {"J1.SIT", "J*.SIT", true},
        {"j2.sit", "J*.SIT", true},
        {"X.SIT", "J*.SIT", false},
        {"README", "*.*", true},
        {"a.b.c", "*.*", true},
        {"README", "*", true},
        {"README", "READ*.*", true},
        {"README", "*.", true},
        {"a.b", "*.", false},
        {"NR.JO", "??.JO", true},
        {"N.JO", "??.JO", false},
        {"\xc9T\xc9.txt", "\xe9t\xe9*", true},
        {"\x8c"
         "uvre",
         "\x9c*", true},
        {".", "*", true},
        {"..", "*.jo", false},
        {"abcabd", "*abd", true},
        {"abcab", "*abd", false},
        {"", "*", true},
        {"NR.jo.bak", "*.jo", false},
        {"A.B", "?.?", true},
        {"AB.B", "?.?", false},
        {"a*b", "a*b", true},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*c", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(plat::MatchesPattern(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
    }
    EXPECT_EQ(plat::CompareNames("\xe9t\xe9", "\xc9T\xc9"), 0);
    EXPECT_LT(plat::CompareNames("A_", "a_b"), 0);
    EXPECT_LT(plat::CompareNames("ZZ", "_"), 0);  // upper case order, as Windows sorts
    EXPECT_GT(plat::CompareNames("b", "A"), 0);
}

TEST_F(FsTest, ListingFiltersByPatternAndSortsWithoutRegardToCase) {
    for (const char* name :
         {"NR.JO", "nr2.jo", "J1.SIT", "j2.sit", "JOURNAL.CYB", "README", ".hidden"}) {
        Put(stdfs::path("dir") / name, name);
    }
    stdfs::create_directory("dir/sub");
    stdfs::create_directory("other");
    struct Case {
        const char* pattern;
        Lines names;
    } cases[] = {
        {"dir\\*",
         {".", "..", ".hidden", "J1.SIT", "j2.sit", "JOURNAL.CYB", "NR.JO", "nr2.jo", "README",
          "sub"}},
        {"DIR/*.*",
         {".", "..", ".hidden", "J1.SIT", "j2.sit", "JOURNAL.CYB", "NR.JO", "nr2.jo", "README",
          "sub"}},
        {"dir\\*.jo", {"NR.JO", "nr2.jo"}},
        {"Dir\\J*.SIT", {"J1.SIT", "j2.sit"}},
        {"dir\\nr*.JO", {"NR.JO", "nr2.jo"}},
        {"dir\\*.", {".", "..", "README", "sub"}},
        {"dir\\nothing*", {}},
        {"missing\\*", {}},
        {"dir\\", {}},
    };
    for (const Case& c : cases) {
        Lines names;
        for (const plat::DirEntry& e : plat::ListDirectory(c.pattern)) names.push_back(e.name);
        EXPECT_EQ(names, c.names) << c.pattern;
    }
    stdfs::current_path("other");
    ASSERT_EQ(plat::ListDirectory("..\\DIR\\NR*.JO").size(), 2u);
}

TEST_F(FsTest, ListingGivesAttributesSizeAndTime) {
    Put("d/data.jo", "12345");
    Put("d/.secret", "");
    stdfs::create_directory("d/Folder");
    const struct timespec times[2] = {{1700000000, 0}, {1700000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, "d/data.jo", times, 0), 0);

    const std::vector<plat::DirEntry> entries = plat::ListDirectory("d\\*");
    ASSERT_EQ(entries.size(), 5u);
    const plat::DirEntry& secret = entries[2];
    const plat::DirEntry& data = entries[3];
    const plat::DirEntry& folder = entries[4];
    EXPECT_EQ(secret.name, ".secret");
    EXPECT_TRUE(secret.isHidden);
    EXPECT_EQ(data.name, "data.jo");
    EXPECT_FALSE(data.isFolder);
    EXPECT_FALSE(data.isHidden);
    EXPECT_EQ(data.size, 5);
    EXPECT_EQ(data.lastWrite, 1700000000);
    EXPECT_EQ(folder.name, "Folder");
    EXPECT_TRUE(folder.isFolder);
    EXPECT_FALSE(entries[0].isHidden);  // "."

    plat::FileTime t = 0;
    ASSERT_TRUE(plat::GetFileTime("D\\DATA.JO", t));
    EXPECT_EQ(t, 1700000000);
    EXPECT_FALSE(plat::GetFileTime("d\\none", t));
}

TEST_F(FsTest, NativeNamesConvertAtTheBoundary) {
    // 1252 "é" is created as UTF-8 on disk and listed back as 1252.
    { plat::File::Open("\xe9t\xe9.txt", "w").Puts("utf8"); }
    EXPECT_EQ(NamesIn("."), Lines{"\xc3\xa9t\xc3\xa9.txt"});
    // A native name in a single-byte code page is kept byte for byte, and
    // what the listing gives opens that file.
    Put("caf\xe9.dat", "latin");
    std::vector<plat::DirEntry> entries = plat::ListDirectory("*.dat");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "caf\xe9.dat");
    EXPECT_EQ(ReadLines(entries[0].name, "r", 100), Lines{"latin"});
    EXPECT_EQ(ReadLines("CAF\xc9.DAT", "r", 100), Lines{"latin"});
    EXPECT_EQ(ReadLines("\xc9T\xc9.TXT", "r", 100), Lines{"utf8"});
}

TEST_F(FsTest, CopyReplacesTheDestinationAndKeepsTheTime) {
    Put("src.txt", "short");
    Put("Dst.txt", "a much longer old content");
    const struct timespec times[2] = {{1600000000, 0}, {1600000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, "src.txt", times, 0), 0);

    EXPECT_FALSE(plat::CopyFile("SRC.TXT", "dst.txt", true));
    EXPECT_EQ(Get("Dst.txt"), "a much longer old content");
    EXPECT_TRUE(plat::CopyFile("SRC.TXT", "dst.txt"));
    EXPECT_EQ(NamesIn("."), (Lines{"Dst.txt", "src.txt"}));
    EXPECT_EQ(Get("Dst.txt"), "short");
    plat::FileTime t = 0;
    ASSERT_TRUE(plat::GetFileTime("dst.txt", t));
    EXPECT_EQ(t, 1600000000);

    EXPECT_FALSE(plat::CopyFile("src.txt", "Src.Txt"));  // itself
    EXPECT_EQ(Get("src.txt"), "short");
    EXPECT_FALSE(plat::CopyFile("none.txt", "x.txt"));
    EXPECT_FALSE(plat::CopyFile("src.txt", "nofolder\\x.txt"));
    EXPECT_TRUE(plat::CopyFile("src.txt", "new.txt", true));

    const std::string big(1 << 20, 'q');
    Put("big.bin", big);
    EXPECT_TRUE(plat::CopyFile("big.bin", "big2.bin"));
    EXPECT_EQ(Get("big2.bin"), big);
}

// A copy that fails tells which file failed, and leaves no destination
// behind when it had begun one.
TEST_F(FsTest, FailedCopyNamesTheFileThatFailed) {
    Put("src.txt", "content");
    stdfs::create_directory("folder");
    const std::string unreadable = test_support::FichierIllisible();
    struct Case {
        std::string source, destination;
        plat::CopyFailure failure;
    };
    std::vector<Case> cases = {
        {"none.txt", "x.txt", plat::CopyFailure::Source},
        {"folder", "x.txt", plat::CopyFailure::Source},
        {"src.txt", "nofolder\\x.txt", plat::CopyFailure::Destination},
        {"src.txt", "folder", plat::CopyFailure::Destination},
        {"src.txt", "SRC.TXT", plat::CopyFailure::Destination},
        {"src.txt", "copy.txt", plat::CopyFailure::None},
    };
    // Opens, then fails to read.
    if (!unreadable.empty()) cases.push_back({unreadable, "mem.bin", plat::CopyFailure::Source});
    for (const Case& c : cases) {
        plat::CopyFailure failure = plat::CopyFailure::Destination;
        EXPECT_EQ(plat::CopyFile(c.source, c.destination, false, &failure),
                  c.failure == plat::CopyFailure::None)
            << c.source << " -> " << c.destination;
        EXPECT_EQ(failure, c.failure) << c.source << " -> " << c.destination;
    }
    EXPECT_EQ(Get("copy.txt"), "content");
    EXPECT_EQ(Get("src.txt"), "content");
    EXPECT_FALSE(stdfs::exists("mem.bin"));
    EXPECT_FALSE(stdfs::exists("x.txt"));
}

TEST_F(FsTest, LargeCopyIsByteExactOverALongerDestination) {
    // Several megabytes and an odd tail, so that the copy takes several
    // steps whatever way the kernel copies; random bytes show a block that
    // lands at the wrong offset.
    std::mt19937 random(20261207);
    std::string content((5 << 20) + 4321, '\0');
    for (char& c : content) c = static_cast<char>(random());
    Put("base.jo", content);
    Put("copy.jo", std::string(content.size() + 100000, 'x'));
    const struct timespec times[2] = {{1500000000, 0}, {1500000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, "base.jo", times, 0), 0);

    ASSERT_TRUE(plat::CopyFile("BASE.JO", "copy.jo"));
    EXPECT_EQ(stdfs::file_size("copy.jo"), content.size());
    EXPECT_TRUE(Get("copy.jo") == content);
    plat::FileTime t = 0;
    ASSERT_TRUE(plat::GetFileTime("copy.jo", t));
    EXPECT_EQ(t, 1500000000);

    Put("empty.jo", "");
    ASSERT_TRUE(plat::CopyFile("empty.jo", "copy.jo"));
    EXPECT_EQ(stdfs::file_size("copy.jo"), 0u);
}

TEST_F(FsTest, DeleteMoveAndFolders) {
    Put("a.txt", "a");
    Put("b.txt", "b");
    EXPECT_FALSE(plat::MoveFile("a.txt", "B.TXT"));  // an existing destination is refused
    EXPECT_TRUE(plat::MoveFile("A.TXT", "A.Txt"));   // a change of case
    EXPECT_EQ(NamesIn("."), (Lines{"A.Txt", "b.txt"}));
    EXPECT_TRUE(plat::MoveFile("a.txt", "c.txt"));
    EXPECT_FALSE(plat::MoveFile("a.txt", "d.txt"));
    EXPECT_EQ(Get("c.txt"), "a");

    EXPECT_TRUE(plat::CreateDirectory("Temp"));
    EXPECT_FALSE(plat::CreateDirectory("TEMP"));  // exists under another case
    EXPECT_TRUE(plat::MoveFile("C.TXT", "temp\\c.txt"));
    EXPECT_FALSE(plat::RemoveDirectory("temp"));  // not empty
    EXPECT_TRUE(plat::DeleteFile("TEMP\\C.TXT"));
    EXPECT_FALSE(plat::DeleteFile("temp\\c.txt"));
    EXPECT_TRUE(plat::RemoveDirectory("temp"));
    EXPECT_EQ(NamesIn("."), Lines{"b.txt"});
}

TEST_F(FsTest, CurrentDirectoryIsFoundWithoutRegardToCase) {
    stdfs::create_directory("Work");
    const std::string start = plat::GetCurrentDirectory();
    EXPECT_EQ(start, stdfs::current_path().string());
    ASSERT_TRUE(plat::SetCurrentDirectory("WORK"));
    EXPECT_EQ(stdfs::current_path(), root_ / "Work");
    EXPECT_EQ(plat::GetCurrentDirectory(), start + "/Work");
    EXPECT_TRUE(plat::SetCurrentDirectory(".."));
    EXPECT_FALSE(plat::SetCurrentDirectory("none"));
    EXPECT_EQ(plat::GetCurrentDirectory(), start);
    EXPECT_GT(plat::FreeSpace("."), 0);
}

TEST(FileTimes, CalendarConversions) {
    const plat::CalendarTime epoch = plat::ToUniversalTime(0);
    EXPECT_EQ(epoch.year, 1970);
    EXPECT_EQ(epoch.month, 1);
    EXPECT_EQ(epoch.day, 1);
    EXPECT_EQ(epoch.weekday, 4);

    plat::CalendarTime leap;
    leap.year = 2024, leap.month = 2, leap.day = 29, leap.hour = 12, leap.minute = 34,
    leap.second = 56;
    const plat::FileTime t = plat::FromUniversalTime(leap);
    EXPECT_EQ(t, 1709210096);
    const plat::CalendarTime back = plat::ToUniversalTime(t);
    EXPECT_EQ(back.year, 2024);
    EXPECT_EQ(back.month, 2);
    EXPECT_EQ(back.day, 29);
    EXPECT_EQ(back.hour, 12);
    EXPECT_EQ(back.minute, 34);
    EXPECT_EQ(back.second, 56);
    EXPECT_EQ(back.yearday, 59);
    EXPECT_EQ(back.weekday, 4);
}

}  // namespace
