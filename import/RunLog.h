// The run log "Quervane.log" of the working folder: each run appends one
// block that says when it ran, what it read, what it made of it, every
// message the operator saw and how it ended. The oldest blocks go when the
// log would pass its bound. A log that cannot be written is left as it is:
// it never stops a run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/fs/fs.h"

struct RunLogEntry {
    plat::CalendarTime start;
    plat::CalendarTime end;
    std::int64_t seconds = 0;
    std::string source;  // a path, or an address without its password
    std::string kind;    // the kind of set
    std::string title;
    std::vector<std::pair<std::string, long long>> counts;  // ("abonnés", 3000) ...
    std::vector<std::string> copied;                        // base files copied
    std::vector<std::string> messages;                      // every message box, in order
    std::string status;                                     // the last status shown
};

inline constexpr std::string_view kRunLogName = "Quervane.log";
inline constexpr std::size_t kRunLogLimit = 1024 * 1024;

// The block of one run (1252 text, lines ended by "\n"), beginning with
// its marker line "=== Importation du ...".
std::string FormatRunLogBlock(const RunLogEntry& entry);

// The log text after block is appended to existing: whole blocks, oldest
// first, are dropped until the text fits within limit (the new block always
// stays).
std::string BoundedRunLog(std::string_view existing, std::string_view block, std::size_t limit);

// Appends block to the log at path, keeping it within limit; false when the
// log could not be written (the caller goes on).
bool AppendRunLog(std::string_view path, std::string_view block, std::size_t limit = kRunLogLimit);
