// Helpers shared by the implementation files of platform/fs. Native paths
// are UTF-8 with "/" separators; the Windows side converts them to UTF-16
// at each system call.
#pragma once

#include <string>
#include <string_view>

namespace plat::native {

inline bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Whether the file system tells names apart by case, so that a path must be
// matched to the names on disk component by component.
extern const bool kNamesHaveCase;

// Whether something exists at the native path (a link that points nowhere
// included).
bool Exists(const std::string& nativePath);

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
