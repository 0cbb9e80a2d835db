// Durable writes, replacing renames and the folder lock on POSIX.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>
#include <thread>

#include "platform/fs/fs.h"
#include "platform/fs/fs_durable.h"

namespace plat {
namespace {

constexpr off_t kLargeFile = off_t{64} << 20;

bool SyncPath(std::string_view path, int flags) {
    if (path.empty()) return false;
    const int fd = ::open(NativePath(path).c_str(), flags | O_CLOEXEC);
    if (fd < 0) return false;
    int result;
    do {
        result = ::fsync(fd);
    } while (result != 0 && errno == EINTR);
    const bool closed = ::close(fd) == 0;
    return result == 0 && closed;
}

}  // namespace

bool SyncFile(std::string_view path) {
    return SyncPath(path, O_RDONLY);
}

bool SyncFolder(std::string_view path) {
    return SyncPath(path.empty() ? std::string_view(".") : path, O_RDONLY | O_DIRECTORY);
}

bool ReplaceFile(std::string_view from, std::string_view to) {
    if (from.empty() || to.empty()) return false;
    const std::string target = NativePath(to);
    // The space of a large file replaced goes back on a thread of its own
    // (when its last descriptor closes), so that the caller does not wait
    // for it. A rename over an open file always succeeds here: no retry.
    struct stat st;
    const bool large = ::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
                       st.st_size >= kLargeFile;
    const int old = large ? ::open(target.c_str(), O_RDONLY | O_CLOEXEC) : -1;
    const bool renamed = ::rename(NativePath(from).c_str(), target.c_str()) == 0;
    if (old >= 0) {
        try {
            std::thread([old] { ::close(old); }).detach();
        } catch (const std::system_error&) {
            ::close(old);
        }
    }
    return renamed;
}

bool IsReadOnlyFile(std::string_view path) {
    struct stat st;
    if (path.empty()) return false;
    const std::string native = NativePath(path);
    if (::stat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    return ::access(native.c_str(), W_OK) != 0;
}

bool LinkFile(std::string_view path, std::string_view aside) {
    if (path.empty() || aside.empty()) return false;
    return ::link(NativePath(path).c_str(), NativePath(aside).c_str()) == 0;
}

struct FolderLock::Impl {
    int fd = -1;
    ~Impl() {
        if (fd >= 0) ::close(fd);  // releases the lock
    }
};

FolderLock::FolderLock() = default;
FolderLock::FolderLock(FolderLock&&) noexcept = default;
FolderLock& FolderLock::operator=(FolderLock&&) noexcept = default;
FolderLock::~FolderLock() = default;

FolderLock FolderLock::Acquire(std::string_view folder, Outcome& outcome) {
    FolderLock lock;
    outcome = Outcome::Unavailable;
    if (folder.empty()) folder = ".";
    auto impl = std::make_unique<Impl>();
    // flock on the folder itself: nothing is created in it, and locks of two
    // separate opens conflict even inside one process.
    impl->fd = ::open(NativePath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (impl->fd < 0) return lock;
    int result;
    do {
        result = ::flock(impl->fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        outcome = errno == EWOULDBLOCK ? Outcome::Busy : Outcome::Unavailable;
        return lock;
    }
    outcome = Outcome::Held;
    lock.impl_ = std::move(impl);
    return lock;
}

}  // namespace plat
