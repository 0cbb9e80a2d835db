// The Windows side of path resolution: names are UTF-16 on disk and the
// file system matches them without regard to case itself.
#include <memory>

#include "platform/codepage.h"
#include "platform/fs/fs.h"
#include "platform/fs/native.h"
#include "platform/fs/native_win32.h"

namespace plat::native {

const bool kNamesHaveCase = false;

std::wstring Wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                              length);
    }
    return wide;
}

std::string Utf8(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                             nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                              length, nullptr, nullptr);
    }
    return utf8;
}

std::wstring WidePath(const std::string& nativePath) {
    std::wstring wide = Wide(nativePath);
    for (wchar_t& c : wide) {
        if (c == L'/') c = L'\\';
    }
    return wide;
}

FileTime FromFileTime(const FILETIME& time) {
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
    return static_cast<FileTime>(ticks / 10000000) - kSecondsFrom1601To1970;
}

bool Exists(const std::string& nativePath) {
    return ::GetFileAttributesW(WidePath(nativePath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string NameFromNative(std::string_view native) {
    return Cp1252FromUtf8(native);
}

std::string FindEntryNoCase(const std::string& nativeFolder, std::string_view name) {
    // The system already matches names without regard to case: the entry,
    // if any, is the one it finds under the name as written.
    std::string path = nativeFolder;
    if (!path.empty() && path.back() != '/') path += '/';
    WIN32_FIND_DATAW data;
    FindHandle find(::FindFirstFileW(WidePath(path + Utf8FromCp1252(name)).c_str(), &data));
    if (!find.valid()) return {};
    return Utf8(data.cFileName);
}

}  // namespace plat::native
