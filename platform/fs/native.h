// Helpers shared by the POSIX implementation files of platform/fs.
#pragma once

#include <string>
#include <string_view>

namespace plat::native {

inline bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The 1252 form of a name read from the file system. Native names are
// UTF-8; a name that is not valid UTF-8 (written by a tool that used a
// single-byte code page) is taken byte for byte, which is what such a tool
// meant and keeps the name distinct from every other.
std::string NameFromNative(std::string_view native);

// The native name of the entry of folder nativeFolder whose 1252 form equals
// name without regard to case; empty when there is none. An exact match
// wins, then the smallest native name.
std::string FindEntryNoCase(const std::string& nativeFolder, std::string_view name);

}  // namespace plat::native
