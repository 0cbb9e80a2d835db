// Durable writes, replacing renames and the folder lock on Windows.
#include <chrono>
#include <thread>

#include "platform/fs/fs.h"
#include "platform/fs/fs_durable.h"
#include "platform/fs/native_win32.h"

namespace plat {
namespace {

using native::Handle;
using native::WidePath;

// A program that holds the destination open without sharing its deletion
// (the delivery application reading its base) makes the rename fail for a
// moment; so does a virus scanner that has just opened the new file.
constexpr int kReplaceAttempts = 10;
constexpr auto kReplacePause = std::chrono::milliseconds(200);

constexpr wchar_t kLockName[] = L"quervane.lock";

}  // namespace

bool SyncFile(std::string_view path) {
    if (path.empty()) return false;
    // Flushing needs write access; sharing everything keeps other readers
    // and writers working.
    Handle file(::CreateFileW(WidePath(NativePath(path)).c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    const bool flushed = ::FlushFileBuffers(file.get()) != 0;
    return file.reset() && flushed;
}

bool SyncFolder(std::string_view) {
    // The file system's journal keeps names durable without being asked.
    return true;
}

bool ReplaceFile(std::string_view from, std::string_view to) {
    if (from.empty() || to.empty()) return false;
    const std::wstring source = WidePath(NativePath(from));
    const std::wstring target = WidePath(NativePath(to));
    for (int attempt = 1;; ++attempt) {
        if (::MoveFileExW(source.c_str(), target.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        const DWORD error = ::GetLastError();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
        if (!held || attempt == kReplaceAttempts) return false;
        std::this_thread::sleep_for(kReplacePause);
    }
}

bool IsReadOnlyFile(std::string_view path) {
    if (path.empty()) return false;
    const DWORD attributes = ::GetFileAttributesW(WidePath(NativePath(path)).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool LinkFile(std::string_view path, std::string_view aside) {
    if (path.empty() || aside.empty()) return false;
    return ::CreateHardLinkW(WidePath(NativePath(aside)).c_str(),
                             WidePath(NativePath(path)).c_str(), nullptr) != 0;
}

struct FolderLock::Impl {
    Handle file;
};

FolderLock::FolderLock() = default;
FolderLock::FolderLock(FolderLock&&) noexcept = default;
FolderLock& FolderLock::operator=(FolderLock&&) noexcept = default;
FolderLock::~FolderLock() = default;

FolderLock FolderLock::Acquire(std::string_view folder, Outcome& outcome) {
    FolderLock lock;
    outcome = Outcome::Unavailable;
    if (folder.empty()) folder = ".";
    if (!FolderExists(folder)) return lock;
    std::wstring path = WidePath(NativePath(folder));
    if (path.back() != L'\\') path += L'\\';
    path += kLockName;
    // A lock file that goes with its last handle: a run that dies leaves
    // nothing behind. The handle shares everything so that a second run can
    // open it too and find the lock taken; deletion must be shared as well,
    // since every handle carries the delete-on-close flag.
    auto impl = std::make_unique<Impl>();
    impl->file.reset(::CreateFileW(
        path.c_str(), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!impl->file.valid()) {
        const DWORD error = ::GetLastError();
        // The lock file of a run whose handle is closing is pending
        // deletion: that run still counts as holding the folder.
        if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
            outcome = Outcome::Busy;
        return lock;
    }
    OVERLAPPED whole{};
    if (!::LockFileEx(impl->file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                      MAXDWORD, MAXDWORD, &whole)) {
        outcome = ::GetLastError() == ERROR_LOCK_VIOLATION ? Outcome::Busy : Outcome::Unavailable;
        return lock;
    }
    outcome = Outcome::Held;
    lock.impl_ = std::move(impl);
    return lock;
}

}  // namespace plat
