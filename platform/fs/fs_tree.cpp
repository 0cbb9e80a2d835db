// Whole folder trees, through the file functions of fs.h.
#include "platform/fs/fs.h"

#include <algorithm>
#include <vector>

namespace plat {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsAbsolute(std::string_view path) {
    return (!path.empty() && IsSeparator(path.front())) || (path.size() > 1 && path[1] == ':');
}

}  // namespace

std::string AbsolutePath(std::string_view relative) {
    std::string path(relative);
    if (!IsAbsolute(path)) path = GetCurrentDirectory() + "/" + path;
    std::vector<std::string_view> components;
    std::string_view rest(path);
    // A drive letter stays in front of the root.
    std::string_view drive;
    if (rest.size() > 1 && rest[1] == ':') {
        drive = rest.substr(0, 2);
        rest.remove_prefix(2);
    }
    while (!rest.empty()) {
        const std::size_t end = std::find_if(rest.begin(), rest.end(), IsSeparator) - rest.begin();
        const std::string_view component = rest.substr(0, end);
        rest.remove_prefix(std::min(rest.size(), end + 1));
        if (component.empty() || component == ".") continue;
        if (component == "..") {
            if (!components.empty()) components.pop_back();
            continue;
        }
        components.push_back(component);
    }
    std::string normal(drive);
    normal += '/';
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (i > 0) normal += '/';
        normal.append(components[i]);
    }
    return NativePath(normal);
}

bool RemoveTree(std::string_view folder) {
    const std::string base(folder);
    bool removed = true;
    for (const DirEntry& entry : ListDirectory(base + "\\*")) {
        if (entry.name == "." || entry.name == "..") continue;
        const std::string path = base + "\\" + entry.name;
        removed = (entry.isFolder ? RemoveTree(path) : DeleteFile(path)) && removed;
    }
    return RemoveDirectory(base) && removed;
}

}  // namespace plat
