// Windows-style paths on the native file system: separators, case-insensitive
// lookup component by component, wildcard patterns. The system's side is in
// fs_path_posix.cpp and fs_path_win32.cpp.
#include <cstring>
#include <memory>

#include "platform/codepage.h"
#include "platform/fs/fs.h"
#include "platform/fs/native.h"

namespace plat {
namespace {

unsigned char Folded(char c) {
    return static_cast<unsigned char>(UpperCase1252(c));
}

bool AllDots(std::string_view s) {
    return s.find_first_not_of('.') == std::string_view::npos;
}

}  // namespace

int CompareNames(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char ca = Folded(a[i]);
        const unsigned char cb = Folded(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool MatchesWildcards(std::string_view name, std::string_view pattern) {
    std::size_t n = 0, p = 0;
    std::size_t star = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || Folded(pattern[p]) == Folded(name[n]))) {
            ++n;
            ++p;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    if (MatchesWildcards(name, pattern)) return true;
    if (AllDots(pattern)) return false;
    if (pattern.ends_with(".*"))
        return MatchesWildcards(name, pattern.substr(0, pattern.size() - 2));
    if (pattern.ends_with('.')) {
        return name.find('.') == std::string_view::npos &&
               MatchesWildcards(name, pattern.substr(0, pattern.size() - 1));
    }
    return false;
}

std::string NativePath(std::string_view path) {
    std::string direct = Utf8FromCp1252(path);
    for (char& c : direct) {
        if (c == '\\') c = '/';
    }
    if (direct.empty() || native::Exists(direct) || !native::kNamesHaveCase) return direct;

    // Walk the path: each component that exists under another case takes
    // the name it has on disk; from the first missing one on, the rest is
    // kept as written.
    std::string resolved = native::IsSeparator(path.front()) ? "/" : "";
    bool found = true;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = start;
        while (end < path.size() && !native::IsSeparator(path[end])) ++end;
        const std::string_view component = path.substr(start, end - start);
        start = end + 1;
        if (component.empty()) continue;
        if (!resolved.empty() && resolved.back() != '/') resolved += '/';
        const std::string written = Utf8FromCp1252(component);
        if (found && !AllDots(component) && !native::Exists(resolved + written)) {
            const std::string onDisk =
                native::FindEntryNoCase(resolved.empty() ? "." : resolved, component);
            if (!onDisk.empty()) {
                resolved += onDisk;
                continue;
            }
            found = false;
        }
        resolved += written;
    }
    if (native::IsSeparator(path.back()) && !resolved.empty() && resolved.back() != '/') {
        resolved += '/';
    }
    return resolved;
}

}  // namespace plat
