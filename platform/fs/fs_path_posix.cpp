// The POSIX side of path resolution: names are UTF-8 (or single-byte from
// older tools) and differ by case.
#include <dirent.h>
#include <sys/stat.h>

#include <memory>

#include "platform/codepage.h"
#include "platform/fs/fs.h"
#include "platform/fs/native.h"

namespace plat::native {

const bool kNamesHaveCase = true;

bool Exists(const std::string& nativePath) {
    struct stat st;
    return ::lstat(nativePath.c_str(), &st) == 0;
}

std::string NameFromNative(std::string_view name) {
    if (IsValidUtf8(name)) return Cp1252FromUtf8(name);
    return std::string(name);
}

std::string FindEntryNoCase(const std::string& nativeFolder, std::string_view name) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(nativeFolder.c_str()), ::closedir);
    if (!dir) return {};
    std::string best;
    bool exact = false;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view candidate = entry->d_name;
        if (candidate == "." || candidate == "..") continue;
        const std::string converted = NameFromNative(candidate);
        if (CompareNames(converted, name) != 0) continue;
        const bool isExact = converted == name;
        if (best.empty() || (isExact && !exact) || (isExact == exact && candidate < best)) {
            best = candidate;
            exact = isExact;
        }
    }
    return best;
}

}  // namespace plat::native
