// FTP directory listings, one line at a time. The parser keeps names as the
// server sent them (usually UTF-8); the caller converts them.
//
// Accepted forms:
//
//   MLSD (machine listing):
//     modify=20240305140709;perm=r;size=1234;type=file;unique=fe01; name
//     - facts are "key=value;" pairs, keys without regard to case, then one
//       blank and the name (which may hold blanks and ";")
//     - type: file, dir (a folder), cdir and pdir (no entry), OS.unix=slink...
//       or OS.unix=symlink... (a link); any other type is a file
//     - size or sizd: the size in bytes; modify: universal time, to the
//       second (a fraction of a second is ignored)
//
//   Unix "ls -l":
//     -rw-r--r--   1 owner    group        1234 Mar  5 14:07 name
//     drwxr-xr-x   2 0        0            4096 Mar 05  2023 folder name
//     - a ten-character permission string, optionally followed by an access
//       list mark ("+", "@", "."); "d" is a folder, "l" a link
//     - owner and group as names or numbers; the group may be missing
//     - "Mon DD HH:MM" (the year is the latest one that does not put the
//       date in the future), "Mon DD YYYY", or "YYYY-MM-DD HH:MM"
//     - the name is everything after the single blank that follows the time
//       or year; a link "name -> target" gives "name"
//
//   DOS / IIS:
//     03-05-24  02:07PM       <DIR>          folder name
//     03-05-2024  14:07             1,234,567 name
//     - MM-DD-YY or MM-DD-YYYY ("-", "/" or "." between), DD-MM when the
//       first number cannot be a month, or YYYY-MM-DD
//     - two-digit years below 70 are 20xx, the others 19xx
//     - 12-hour times with AM/PM (attached or as a separate word) or 24-hour
//     - "<DIR>" or a size whose digits may be grouped with "," or "."
//     - the name is the rest of the line after the blanks that follow
//
// Lines that give no entry: blank lines, "total N", "." and "..", and any
// line that fits none of the forms. Times carry no time zone: they are taken
// as universal time, as the server wrote them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fs/fs.h"

namespace plat::ftp {

// How much of the time the listing told: Unix listings give the minute or
// only the day, MLSD the second.
enum class TimePrecision { None, Day, Minute, Second };

struct ListEntry {
    std::string name;
    bool isFolder = false;
    bool isLink = false;
    std::int64_t size = 0;
    FileTime time = 0;
    TimePrecision precision = TimePrecision::None;

    bool operator==(const ListEntry&) const = default;
};

enum class ListingKind { List, Mlsd };

// One listing line (without its line end; a final "\r" is ignored). `now`
// (universal time) completes Unix dates that have no year.
std::optional<ListEntry> ParseListLine(std::string_view line, FileTime now);
std::optional<ListEntry> ParseMlsdLine(std::string_view line);

// A whole listing, lines ended with "\r\n" or "\n", in the order received.
std::vector<ListEntry> ParseListing(std::string_view text, ListingKind kind, FileTime now);

// Seconds since 1970 of a date and time taken as universal time; nullopt
// when a field is out of range.
std::optional<FileTime> UniversalSeconds(int year, int month, int day, int hour, int minute,
                                         int second);

}  // namespace plat::ftp
