// Folder listings and whole-file operations on Windows, through the
// wide-character API.
#include <algorithm>
#include <memory>

#include "platform/codepage.h"
#include "platform/fs/fs.h"
#include "platform/fs/native.h"
#include "platform/fs/native_win32.h"

namespace plat {
namespace {

using native::Handle;
using native::WidePath;

bool Attributes(std::string_view path, WIN32_FILE_ATTRIBUTE_DATA& data) {
    if (path.empty()) return false;
    return ::GetFileAttributesExW(WidePath(NativePath(path)).c_str(), GetFileExInfoStandard,
                                  &data) != 0;
}

bool IsFolder(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::int64_t SizeOf(DWORD high, DWORD low) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
}

bool SameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION ia, ib;
    if (!::GetFileInformationByHandle(a, &ia) || !::GetFileInformationByHandle(b, &ib))
        return false;
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

bool WriteAll(HANDLE to, const char* data, DWORD size) {
    while (size > 0) {
        DWORD written = 0;
        if (!::WriteFile(to, data, size, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

CopyFailure CopyContents(HANDLE from, HANDLE to) {
    constexpr DWORD kBlock = 1024 * 1024;
    const auto block = std::make_unique_for_overwrite<char[]>(kBlock);
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(from, block.get(), kBlock, &read, nullptr)) return CopyFailure::Source;
        if (read == 0) return CopyFailure::None;
        if (!WriteAll(to, block.get(), read)) return CopyFailure::Destination;
    }
}

}  // namespace

std::vector<DirEntry> ListDirectory(std::string_view pattern) {
    std::vector<DirEntry> entries;
    std::size_t split = pattern.size();
    while (split > 0 && !native::IsSeparator(pattern[split - 1])) --split;
    const std::string_view namePattern = pattern.substr(split);
    if (namePattern.empty()) return entries;
    const std::string_view folder = pattern.substr(0, split);
    std::string nativeFolder = folder.empty() ? std::string(".") : NativePath(folder);
    if (nativeFolder.back() != '/' && nativeFolder.back() != '\\') nativeFolder += '/';

    // Every entry is listed and matched here, so that patterns mean what
    // they mean on every system (the system's own matching also tries the
    // short 8.3 names).
    WIN32_FIND_DATAW data;
    native::FindHandle find(::FindFirstFileW(WidePath(nativeFolder + "*").c_str(), &data));
    if (!find.valid()) return entries;
    do {
        std::string name = native::NameFromNative(native::Utf8(data.cFileName));
        if (!MatchesPattern(name, namePattern)) continue;
        DirEntry entry;
        entry.isFolder = IsFolder(data.dwFileAttributes);
        entry.isHidden = (name.starts_with('.') && name != "." && name != "..") ||
                         (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
        entry.size = entry.isFolder ? 0 : SizeOf(data.nFileSizeHigh, data.nFileSizeLow);
        entry.lastWrite = native::FromFileTime(data.ftLastWriteTime);
        entry.name = std::move(name);
        entries.push_back(std::move(entry));
    } while (::FindNextFileW(find.get(), &data));
    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
        const int order = CompareNames(a.name, b.name);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    return entries;
}

bool FileExists(std::string_view path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return Attributes(path, data) && !IsFolder(data.dwFileAttributes);
}

bool FolderExists(std::string_view path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return Attributes(path, data) && IsFolder(data.dwFileAttributes);
}

std::int64_t FileSize(std::string_view path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!Attributes(path, data) || IsFolder(data.dwFileAttributes)) return -1;
    return SizeOf(data.nFileSizeHigh, data.nFileSizeLow);
}

bool GetFileTime(std::string_view path, FileTime& lastWrite) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!Attributes(path, data)) return false;
    lastWrite = native::FromFileTime(data.ftLastWriteTime);
    return true;
}

bool CopyFile(std::string_view source, std::string_view destination, bool failIfExists,
              CopyFailure* failure) {
    auto Failed = [failure](CopyFailure side) {
        if (failure != nullptr) *failure = side;
        return false;
    };
    if (failure != nullptr) *failure = CopyFailure::None;
    if (source.empty()) return Failed(CopyFailure::Source);
    if (destination.empty()) return Failed(CopyFailure::Destination);
    Handle from(::CreateFileW(WidePath(NativePath(source)).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!from.valid()) return Failed(CopyFailure::Source);
    const std::wstring target = WidePath(NativePath(destination));
    {
        // Truncating the destination would destroy a source that is the
        // same file under another name.
        Handle existing(::CreateFileW(target.c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (existing.valid() && (failIfExists || SameFile(from.get(), existing.get())))
            return Failed(CopyFailure::Destination);
    }
    Handle to(::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            failIfExists ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
    if (!to.valid()) return Failed(CopyFailure::Destination);
    CopyFailure side = CopyContents(from.get(), to.get());
    // The copy keeps the source's last-write time, as the system's copy does.
    FILETIME created, accessed, written;
    if (side == CopyFailure::None && (!::GetFileTime(from.get(), &created, &accessed, &written) ||
                                      !::SetFileTime(to.get(), nullptr, &accessed, &written))) {
        side = CopyFailure::Destination;
    }
    if (!to.reset() && side == CopyFailure::None) side = CopyFailure::Destination;
    if (side == CopyFailure::None) return true;
    ::DeleteFileW(target.c_str());
    return Failed(side);
}

bool DeleteFile(std::string_view path) {
    if (path.empty()) return false;
    return ::DeleteFileW(WidePath(NativePath(path)).c_str()) != 0;
}

bool DeleteFileBehind(std::string_view path) {
    // The system gives the space back on its own once the name is gone.
    return DeleteFile(path);
}

bool MoveFile(std::string_view from, std::string_view to) {
    if (from.empty() || to.empty()) return false;
    // An existing destination is refused; the source itself under another
    // case is not another file, and the move changes the case of its name.
    return ::MoveFileExW(WidePath(NativePath(from)).c_str(), WidePath(NativePath(to)).c_str(), 0) !=
           0;
}

bool CreateDirectory(std::string_view path) {
    if (path.empty()) return false;
    return ::CreateDirectoryW(WidePath(NativePath(path)).c_str(), nullptr) != 0;
}

bool RemoveDirectory(std::string_view path) {
    if (path.empty()) return false;
    return ::RemoveDirectoryW(WidePath(NativePath(path)).c_str()) != 0;
}

std::string GetCurrentDirectory() {
    const DWORD length = ::GetCurrentDirectoryW(0, nullptr);
    if (length == 0) return {};
    std::wstring wide(length, L'\0');
    const DWORD written = ::GetCurrentDirectoryW(length, wide.data());
    if (written == 0 || written >= length) return {};
    wide.resize(written);
    std::string result = native::NameFromNative(native::Utf8(wide));
    std::replace(result.begin(), result.end(), '\\', '/');
    // A drive's root keeps its separator: "C:" alone names the drive's
    // current folder.
    if (result.size() > 3 && result.back() == '/') result.pop_back();
    return result;
}

bool SetCurrentDirectory(std::string_view path) {
    if (path.empty()) return false;
    return ::SetCurrentDirectoryW(WidePath(NativePath(path)).c_str()) != 0;
}

std::int64_t FreeSpace(std::string_view path) {
    std::string native = path.empty() ? std::string(".") : NativePath(path);
    ULARGE_INTEGER available;
    // The call takes a folder: a file's space is its folder's.
    if (!::GetDiskFreeSpaceExW(WidePath(native).c_str(), &available, nullptr, nullptr)) {
        const std::size_t slash = native.find_last_of("/\\");
        native = slash == std::string::npos ? std::string(".") : native.substr(0, slash + 1);
        if (!::GetDiskFreeSpaceExW(WidePath(native).c_str(), &available, nullptr, nullptr))
            return -1;
    }
    return static_cast<std::int64_t>(available.QuadPart);
}

}  // namespace plat
