// Any bytes as a directory listing from a server, in both forms: no entry
// comes without a name, names "." or "..", a line end in its name, or a
// negative size, and a listing never gives more entries than it has lines.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/inet/ftp_list_parser.h"

namespace {

// 2024-03-05 14:07:09 UTC, a fixed "now" for Unix dates without a year.
constexpr plat::FileTime kNow = 1709647629;

void Check(const plat::ftp::ListEntry& entry) {
    const std::string_view name = entry.name;
    if (name.empty() || name == "." || name == "..") __builtin_trap();
    if (name.find('\n') != std::string_view::npos) __builtin_trap();
    if (entry.size < 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    for (const auto kind : {plat::ftp::ListingKind::List, plat::ftp::ListingKind::Mlsd}) {
        const auto entries = plat::ftp::ParseListing(text, kind, kNow);
        if (entries.size() > lines) __builtin_trap();
        for (const auto& entry : entries) Check(entry);
    }
    const std::string_view line = text.substr(0, text.find('\n'));
    if (const auto entry = plat::ftp::ParseListLine(line, kNow)) Check(*entry);
    if (const auto entry = plat::ftp::ParseMlsdLine(line)) Check(*entry);
    return 0;
}
