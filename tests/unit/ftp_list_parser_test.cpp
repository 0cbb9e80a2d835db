#include "platform/inet/ftp_list_parser.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/unit/test_support.h"

namespace plat::ftp {
// Readable failure messages.
void PrintTo(const ListEntry& e, std::ostream* os) {
    *os << "{\"" << e.name << "\" "
        << (e.isFolder ? "folder"
            : e.isLink ? "link"
                       : "file")
        << " size " << e.size << " time " << e.time << " precision "
        << static_cast<int>(e.precision) << "}";
}
}  // namespace plat::ftp

namespace {

using plat::FileTime;
using plat::ftp::ListEntry;
using plat::ftp::ListingKind;
using plat::ftp::TimePrecision;
// Expected times come from the C library, not from the parser's own date code.
using test_support::Utc;

const FileTime kNow = Utc(2024, 6, 15, 12, 0, 0);

ListEntry File(std::string name, std::int64_t size, FileTime time, TimePrecision precision) {
    return {std::move(name), false, false, size, time, precision};
}
ListEntry Folder(std::string name, std::int64_t size, FileTime time, TimePrecision precision) {
    return {std::move(name), true, false, size, time, precision};
}
ListEntry Link(std::string name, std::int64_t size, FileTime time, TimePrecision precision) {
    return {std::move(name), false, true, size, time, precision};
}

struct Row {
    const char* label;
    std::string line;
    std::optional<ListEntry> expected;
};

constexpr auto kMinute = TimePrecision::Minute;
constexpr auto kDay = TimePrecision::Day;
constexpr auto kSecond = TimePrecision::Second;

const std::vector<Row>& ListRows() {
    static const std::vector<Row> rows = {
        // Unix ls -l
        {"01-unix-std file with time",
         "-rw-r--r--   1 owner    group        1234 Mar  5 14:07 report.txt",
         File("report.txt", 1234, Utc(2024, 3, 5, 14, 7), kMinute)},
        {"02-unix-std dir with year",
         "drwxr-xr-x   2 owner    group        4096 Jan 10  2023 archive",
         Folder("archive", 4096, Utc(2023, 1, 10), kDay)},
        {"03-unix numeric owners, date after now goes to last year",
         "-rw-r--r--    1 0        0               5 Dec 07 08:43 f.txt",
         File("f.txt", 5, Utc(2023, 12, 7, 8, 43), kMinute)},
        {"04-unix no group column, leap day",
         "-rw-r--r--   1 ftp           42 Feb 29 23:59 leap.dat",
         File("leap.dat", 42, Utc(2024, 2, 29, 23, 59), kMinute)},
        {"05-unix name with blanks", "-rw-r--r--   1 owner group 10 Jun  1 09:00 my  file .txt",
         File("my  file .txt", 10, Utc(2024, 6, 1, 9, 0), kMinute)},
        {"06-unix utf-8 accents kept as sent",
         "-rw-r--r--   1 owner group 10 Jun  1 09:00 r\xC3\xA9sum\xC3\xA9 ann\xC3\xA9"
         "e.TXT",
         File("r\xC3\xA9sum\xC3\xA9 ann\xC3\xA9"
              "e.TXT",
              10, Utc(2024, 6, 1, 9, 0), kMinute)},
        {"07-unix symlink gives its own name",
         "lrwxrwxrwx   1 root root 11 May 20  2022 latest -> data/v2.zip",
         Link("latest", 11, Utc(2022, 5, 20), kDay)},
        {"08-unix acl mark after permissions", "-rw-r--r--+  1 owner group 7 Apr  1 10:30 acl.txt",
         File("acl.txt", 7, Utc(2024, 4, 1, 10, 30), kMinute)},
        {"09-unix long-iso date", "-rw-r--r-- 1 owner group 123 2024-03-05 14:07 iso.txt",
         File("iso.txt", 123, Utc(2024, 3, 5, 14, 7), kMinute)},
        {"10-unix group named like a month", "-rw-r--r-- 1 owner Mar 77 Mar  5  2021 m.txt",
         File("m.txt", 77, Utc(2021, 3, 5), kDay)},
        {"11-unix name that looks like a date", "-rw-r--r-- 1 u g 5 Mar  5  2021 Mar 6 2022 notes",
         File("Mar 6 2022 notes", 5, Utc(2021, 3, 5), kDay)},
        {"12-unix later today stays this year", "-rw-r--r-- 1 u g 5 Jun 15 20:00 tz.txt",
         File("tz.txt", 5, Utc(2024, 6, 15, 20, 0), kMinute)},
        {"13-unix three days ahead is last year", "-rw-r--r-- 1 u g 5 Jun 18 10:00 old.txt",
         File("old.txt", 5, Utc(2023, 6, 18, 10, 0), kMinute)},
        {"14-unix size beyond 4 GiB", "-rw-r--r-- 1 u g 5000000000 Jan  2  2020 big.iso",
         File("big.iso", 5000000000LL, Utc(2020, 1, 2), kDay)},
        {"15-unix carriage return dropped", "-rw-r--r-- 1 u g 3 Jan  2  2020 crlf.txt\r",
         File("crlf.txt", 3, Utc(2020, 1, 2), kDay)},
        {"16-unix upper-case month", "-rw-r--r-- 1 u g 3 JAN  2  2020 up.txt",
         File("up.txt", 3, Utc(2020, 1, 2), kDay)},
        {"17-unix total line", "total 12", std::nullopt},
        {"18-unix dot entry", "drwxr-xr-x 2 u g 4096 Mar  5 14:07 .", std::nullopt},
        {"19-unix dot-dot entry", "drwxr-xr-x 2 u g 4096 Mar  5 14:07 ..", std::nullopt},
        {"20-unix size not a number", "-rw-r--r-- 1 u g abc Mar  5 14:07 x", std::nullopt},
        {"21-unix unknown month", "-rw-r--r-- 1 u g 5 Foo  5 14:07 x", std::nullopt},
        {"22-unix no name", "-rw-r--r-- 1 u g 5 Mar  5 14:07", std::nullopt},
        {"23-unix day out of range", "-rw-r--r-- 1 u g 5 Mar 32  2021 x", std::nullopt},
        {"24-unix 29 February of a common year", "-rw-r--r-- 1 u g 5 Feb 29  2023 x", std::nullopt},
        {"25-unix bad permission string", "-rw-r--r-Q 1 u g 5 Mar  5  2021 x", std::nullopt},
        {"26-unix time out of range", "-rw-r--r-- 1 u g 5 Mar  5 24:00 x", std::nullopt},
        // DOS / IIS
        {"30-dos dir, two-digit year, PM", "03-05-24  02:07PM       <DIR>          Old Sets",
         Folder("Old Sets", 0, Utc(2024, 3, 5, 14, 7), kMinute)},
        {"31-dos file, four-digit year, AM", "03-05-2024  02:07AM              1234567 J0412_1.TXT",
         File("J0412_1.TXT", 1234567, Utc(2024, 3, 5, 2, 7), kMinute)},
        {"32-dos 24-hour time, comma groups, last century",
         "12-31-99  23:59                 1,234,567 big file.zip",
         File("big file.zip", 1234567, Utc(1999, 12, 31, 23, 59), kMinute)},
        {"33-dos 12AM is midnight", "01-02-03  12:00AM                   15 a",
         File("a", 15, Utc(2003, 1, 2, 0, 0), kMinute)},
        {"34-dos 12PM is noon", "01-02-03  12:30PM                   15 a",
         File("a", 15, Utc(2003, 1, 2, 12, 30), kMinute)},
        {"35-dos meridiem as its own word, dot groups", "10-11-2022  09:15 PM        2.048 b.txt",
         File("b.txt", 2048, Utc(2022, 10, 11, 21, 15), kMinute)},
        {"36-dos day first when the first number is no month", "25-12-2023  10:00    1 xmas",
         File("xmas", 1, Utc(2023, 12, 25, 10, 0), kMinute)},
        {"37-dos iso date, lower-case dir", "2023-12-25  10:00  <dir>  x y",
         Folder("x y", 0, Utc(2023, 12, 25, 10, 0), kMinute)},
        {"38-dos slashes in the date, accented 1252 name", "03/05/24  02:07PM   9 \xE9t\xE9.txt",
         File("\xE9t\xE9.txt", 9, Utc(2024, 3, 5, 14, 7), kMinute)},
        {"39-dos 1970 boundary year", "01-01-70  12:00AM   1 epoch",
         File("epoch", 1, Utc(1970, 1, 1), kMinute)},
        {"40-dos no name", "03-05-24  02:07PM       <DIR>", std::nullopt},
        {"41-dos 13PM", "03-05-24  13:07PM   5 x", std::nullopt},
        {"42-dos month and day both above 12", "13-13-2024  10:00   5 x", std::nullopt},
        {"43-dos doubled separator in size", "03-05-24  02:07PM   1,,2 x", std::nullopt},
        {"44-dos dot dir", "03-05-24  02:07PM       <DIR>          .", std::nullopt},
        {"45-dos three-digit year", "03-05-124  02:07PM   5 x", std::nullopt},
        {"46-blank line", "", std::nullopt},
        {"47-free text", "Listing of /in follows", std::nullopt},
    };
    return rows;
}

const std::vector<Row>& MlsdRows() {
    static const std::vector<Row> rows = {
        {"60-mlsd file", "modify=20240305140709;perm=r;size=1234;type=file;unique=fe01; report.txt",
         File("report.txt", 1234, Utc(2024, 3, 5, 14, 7, 9), kSecond)},
        {"61-mlsd dir with blank in name",
         "modify=20231231235959;perm=el;size=4096;type=dir;unique=fe00; sub dir",
         Folder("sub dir", 4096, Utc(2023, 12, 31, 23, 59, 59), kSecond)},
        {"62-mlsd current dir", "modify=20231231235959;perm=el;type=cdir; /in", std::nullopt},
        {"63-mlsd parent dir", "type=pdir;modify=20231231235959; ..", std::nullopt},
        {"64-mlsd capital keys, fraction, semicolon in name",
         "Type=file;Size=12;Modify=20240101000000.123; a;b c.txt",
         File("a;b c.txt", 12, Utc(2024, 1, 1), kSecond)},
        {"65-mlsd unix link", "type=OS.unix=slink:/x;size=3;modify=20240101000000; link",
         Link("link", 3, Utc(2024, 1, 1), kSecond)},
        {"66-mlsd no modify fact", "type=file;size=3; nodate",
         File("nodate", 3, 0, TimePrecision::None)},
        {"67-mlsd sizd of a dir", "type=dir;sizd=4096;modify=20200229120000; d",
         Folder("d", 4096, Utc(2020, 2, 29, 12, 0, 0), kSecond)},
        {"68-mlsd name with leading blank", "type=file;size=1;  lead",
         File(" lead", 1, 0, TimePrecision::None)},
        {"69-mlsd utf-8 name", "type=file;size=2;modify=20240305140709; \xC3\xA9 t.TXT",
         File("\xC3\xA9 t.TXT", 2, Utc(2024, 3, 5, 14, 7, 9), kSecond)},
        {"70-mlsd bad modify ignored", "type=file;size=2;modify=2024030514; x",
         File("x", 2, 0, TimePrecision::None)},
        {"71-mlsd no blank before name", "type=file;size=1;", std::nullopt},
        {"72-mlsd dot entry", "type=file;size=1; .", std::nullopt},
    };
    return rows;
}

std::string RowText(const Row& row) {
    return std::string(row.label) + " | " + row.line;
}

TEST(FtpListParser, ListLinesOneByOne) {
    for (const Row& row : ListRows()) {
        SCOPED_TRACE(RowText(row));
        EXPECT_EQ(plat::ftp::ParseListLine(row.line, kNow), row.expected);
    }
}

TEST(FtpListParser, MlsdLinesOneByOne) {
    for (const Row& row : MlsdRows()) {
        SCOPED_TRACE(RowText(row));
        EXPECT_EQ(plat::ftp::ParseMlsdLine(row.line), row.expected);
    }
}

void ExpectWholeListing(const std::vector<Row>& rows, ListingKind kind, const char* lineEnd) {
    std::string text;
    std::vector<ListEntry> expected;
    for (const Row& row : rows) {
        std::string line = row.line;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        text += line + lineEnd;
        if (row.expected) expected.push_back(*row.expected);
    }
    EXPECT_EQ(plat::ftp::ParseListing(text, kind, kNow), expected);
}

TEST(FtpListParser, ListLinesAllAtOnce) {
    ExpectWholeListing(ListRows(), ListingKind::List, "\r\n");
    ExpectWholeListing(ListRows(), ListingKind::List, "\n");
}

TEST(FtpListParser, MlsdLinesAllAtOnce) {
    ExpectWholeListing(MlsdRows(), ListingKind::Mlsd, "\r\n");
}

TEST(FtpListParser, LastLineWithoutLineEnd) {
    const auto entries = plat::ftp::ParseListing(
        "type=file;size=1;modify=20240101000000; a\r\ntype=file;size=2;modify=20240101000000; b",
        ListingKind::Mlsd, kNow);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].name, "b");
    EXPECT_EQ(entries[1].size, 2);
}

TEST(FtpListParser, UniversalSecondsAgreesWithTheCLibrary) {
    struct Case {
        int y, mo, d, h, mi, s;
    };
    for (const Case c :
         {Case{1970, 1, 1, 0, 0, 0}, Case{1969, 12, 31, 23, 59, 59}, Case{2000, 2, 29, 12, 0, 0},
          Case{2024, 3, 5, 14, 7, 9}, Case{2100, 12, 31, 23, 59, 59}, Case{1601, 1, 1, 0, 0, 0}}) {
        SCOPED_TRACE(testing::Message() << c.y << "-" << c.mo << "-" << c.d);
        EXPECT_EQ(plat::ftp::UniversalSeconds(c.y, c.mo, c.d, c.h, c.mi, c.s),
                  Utc(c.y, c.mo, c.d, c.h, c.mi, c.s));
    }
    EXPECT_EQ(plat::ftp::UniversalSeconds(2100, 2, 29, 0, 0, 0), std::nullopt);
    EXPECT_EQ(plat::ftp::UniversalSeconds(2024, 4, 31, 0, 0, 0), std::nullopt);
    EXPECT_EQ(plat::ftp::UniversalSeconds(2024, 0, 1, 0, 0, 0), std::nullopt);
}

TEST(FtpListParser, YearlessDateAroundNewYear) {
    // On 2 January, a "Dec 31" file is from the year before and a "Jan 01"
    // file from this one.
    const FileTime newYear = Utc(2025, 1, 2, 8, 0, 0);
    const auto december = plat::ftp::ParseListLine("-rw-r--r-- 1 u g 1 Dec 31 23:00 a", newYear);
    const auto january = plat::ftp::ParseListLine("-rw-r--r-- 1 u g 1 Jan 01 01:00 b", newYear);
    ASSERT_TRUE(december && january);
    EXPECT_EQ(december->time, Utc(2024, 12, 31, 23, 0));
    EXPECT_EQ(january->time, Utc(2025, 1, 1, 1, 0));
}

}  // namespace
