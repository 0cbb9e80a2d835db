// Preloaded into quervane-scenario by the fault tests: one call that changes
// something inside one folder fails, as a disk that fills up, fails to flush
// or turns read-only at that moment would make it fail.
//
// QUERVANE_ECHEC_DOSSIER: the absolute path of the folder watched. Every call
// that changes a file or a folder in it (or the folder itself) is counted, in
// the order the process makes them: writes (write, pwrite, writev, pwritev,
// copies inside the kernel, space reservation, truncation), flushes (fsync,
// fdatasync; sync_file_range only starts the writing and is left alone),
// renames, deletions, hard links, folder creation and removal, time stamps,
// and opens that create, truncate or may write.
// QUERVANE_ECHEC_APPEL=N: the N-th of them fails, with the errno a disk
// gives (ENOSPC for a write, EIO for a flush, EACCES for the rest), and a
// line on standard error names it. Every other call goes through untouched.
// QUERVANE_COMPTE_APPELS=FILE: at exit, the number of calls counted is
// written to FILE.
//
// A descriptor's path is read from /proc/self/fd; a relative path is taken
// from the current folder (or the folder of the descriptor given).

// Both entry points are defined here: neither may stand for the other.
#undef _FILE_OFFSET_BITS
#undef _FORTIFY_SOURCE

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::atomic<long> compte{0};

// path without ".", ".." and repeated separators; path is absolute.
std::string Normal(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string normal;
    for (const std::string& part : parts) normal += "/" + part;
    return normal.empty() ? "/" : normal;
}

// The path a descriptor stands for; empty when it has none.
std::string PathOf(int fd) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[4096];
    const ssize_t length = ::readlink(link, target, sizeof target - 1);
    if (length <= 0 || target[0] != '/') return {};
    std::string path(target, static_cast<std::size_t>(length));
    // A file deleted while open keeps its last name, marked.
    constexpr char kDeleted[] = " (deleted)";
    if (path.size() > sizeof kDeleted - 1 &&
        path.compare(path.size() - (sizeof kDeleted - 1), std::string::npos, kDeleted) == 0) {
        path.resize(path.size() - (sizeof kDeleted - 1));
    }
    return path;
}

// The absolute path of path, taken relative to the folder dirfd when it is
// relative.
std::string Absolute(int dirfd, const char* path) {
    if (path == nullptr) return {};
    if (path[0] == '/') return Normal(path);
    std::string base;
    if (dirfd == AT_FDCWD) {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd) == nullptr) return {};
        base = cwd;
    } else {
        base = PathOf(dirfd);
        if (base.empty()) return {};
    }
    return Normal(base + "/" + path);
}

const std::string& Watched() {
    static const std::string folder = [] {
        const char* value = std::getenv("QUERVANE_ECHEC_DOSSIER");
        return value != nullptr && value[0] == '/' ? Normal(value) : std::string();
    }();
    return folder;
}

bool Inside(const std::string& path) {
    const std::string& folder = Watched();
    if (folder.empty() || path.empty()) return false;
    if (path.compare(0, folder.size(), folder) != 0) return false;
    return path.size() == folder.size() || path[folder.size()] == '/' || folder == "/";
}

// Counts the call when it changes the watched folder; true, with errno set
// to error, when it is the one that must fail.
bool Fails(const char* call, const std::string& path, int error,
           const std::string& other = std::string()) {
    if (!Inside(path) && !Inside(other)) return false;
    static const long target = [] {
        const char* value = std::getenv("QUERVANE_ECHEC_APPEL");
        return value != nullptr ? std::atol(value) : 0L;
    }();
    const long rank = ++compte;
    if (rank != target) return false;
    std::fprintf(stderr, "echec_operation: call %ld fails: %s %s%s%s\n", rank, call, path.c_str(),
                 other.empty() ? "" : " -> ", other.c_str());
    errno = error;
    return true;
}

bool FdFails(const char* call, int fd, int error) {
    if (Watched().empty()) return false;
    return Fails(call, PathOf(fd), error);
}

bool Writes(int flags) {
    return (flags & (O_CREAT | O_TRUNC | O_WRONLY | O_RDWR | O_APPEND)) != 0 ||
           (flags & O_TMPFILE) == O_TMPFILE;
}

template <typename Function>
Function Next(const char* symbol) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, symbol));
}

__attribute__((destructor)) void WriteCount() {
    const char* file = std::getenv("QUERVANE_COMPTE_APPELS");
    if (file == nullptr) return;
    if (std::FILE* out = std::fopen(file, "w")) {
        std::fprintf(out, "%ld\n", compte.load());
        std::fclose(out);
    }
}

// The mode argument of open, present when the file may be created.
mode_t ModeOf(int flags, va_list arguments) {
    if ((flags & O_CREAT) == 0 && (flags & O_TMPFILE) != O_TMPFILE) return 0;
    return static_cast<mode_t>(va_arg(arguments, int));
}

}  // namespace

// Writes.

extern "C" ssize_t write(int fd, const void* data, size_t size) {
    static const auto next = Next<ssize_t (*)(int, const void*, size_t)>("write");
    return FdFails("write", fd, ENOSPC) ? -1 : next(fd, data, size);
}

extern "C" ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) {
    static const auto next = Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    return FdFails("pwrite", fd, ENOSPC) ? -1 : next(fd, data, size, offset);
}

extern "C" ssize_t pwrite64(int fd, const void* data, size_t size, off64_t offset) {
    static const auto next = Next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64");
    return FdFails("pwrite64", fd, ENOSPC) ? -1 : next(fd, data, size, offset);
}

extern "C" ssize_t writev(int fd, const struct iovec* parts, int count) {
    static const auto next = Next<ssize_t (*)(int, const struct iovec*, int)>("writev");
    return FdFails("writev", fd, ENOSPC) ? -1 : next(fd, parts, count);
}

extern "C" ssize_t pwritev(int fd, const struct iovec* parts, int count, off_t offset) {
    static const auto next = Next<ssize_t (*)(int, const struct iovec*, int, off_t)>("pwritev");
    return FdFails("pwritev", fd, ENOSPC) ? -1 : next(fd, parts, count, offset);
}

extern "C" ssize_t pwritev64(int fd, const struct iovec* parts, int count, off64_t offset) {
    static const auto next = Next<ssize_t (*)(int, const struct iovec*, int, off64_t)>("pwritev64");
    return FdFails("pwritev64", fd, ENOSPC) ? -1 : next(fd, parts, count, offset);
}

extern "C" ssize_t pwritev2(int fd, const struct iovec* parts, int count, off_t offset, int flags) {
    static const auto next =
        Next<ssize_t (*)(int, const struct iovec*, int, off_t, int)>("pwritev2");
    return FdFails("pwritev2", fd, ENOSPC) ? -1 : next(fd, parts, count, offset, flags);
}

extern "C" ssize_t copy_file_range(int in, off64_t* inOffset, int out, off64_t* outOffset,
                                   size_t size, unsigned flags) {
    static const auto next =
        Next<ssize_t (*)(int, off64_t*, int, off64_t*, size_t, unsigned)>("copy_file_range");
    return FdFails("copy_file_range", out, ENOSPC)
               ? -1
               : next(in, inOffset, out, outOffset, size, flags);
}

extern "C" ssize_t sendfile(int out, int in, off_t* offset, size_t size) {
    static const auto next = Next<ssize_t (*)(int, int, off_t*, size_t)>("sendfile");
    return FdFails("sendfile", out, ENOSPC) ? -1 : next(out, in, offset, size);
}

extern "C" ssize_t sendfile64(int out, int in, off64_t* offset, size_t size) {
    static const auto next = Next<ssize_t (*)(int, int, off64_t*, size_t)>("sendfile64");
    return FdFails("sendfile64", out, ENOSPC) ? -1 : next(out, in, offset, size);
}

extern "C" int fallocate(int fd, int mode, off_t offset, off_t size) {
    static const auto next = Next<int (*)(int, int, off_t, off_t)>("fallocate");
    return FdFails("fallocate", fd, ENOSPC) ? -1 : next(fd, mode, offset, size);
}

extern "C" int fallocate64(int fd, int mode, off64_t offset, off64_t size) {
    static const auto next = Next<int (*)(int, int, off64_t, off64_t)>("fallocate64");
    return FdFails("fallocate64", fd, ENOSPC) ? -1 : next(fd, mode, offset, size);
}

// posix_fallocate returns its error instead of setting errno.
extern "C" int posix_fallocate(int fd, off_t offset, off_t size) {
    static const auto next = Next<int (*)(int, off_t, off_t)>("posix_fallocate");
    return FdFails("posix_fallocate", fd, ENOSPC) ? ENOSPC : next(fd, offset, size);
}

extern "C" int posix_fallocate64(int fd, off64_t offset, off64_t size) {
    static const auto next = Next<int (*)(int, off64_t, off64_t)>("posix_fallocate64");
    return FdFails("posix_fallocate64", fd, ENOSPC) ? ENOSPC : next(fd, offset, size);
}

extern "C" int ftruncate(int fd, off_t size) {
    static const auto next = Next<int (*)(int, off_t)>("ftruncate");
    return FdFails("ftruncate", fd, EIO) ? -1 : next(fd, size);
}

extern "C" int ftruncate64(int fd, off64_t size) {
    static const auto next = Next<int (*)(int, off64_t)>("ftruncate64");
    return FdFails("ftruncate64", fd, EIO) ? -1 : next(fd, size);
}

extern "C" int truncate(const char* path, off_t size) {
    static const auto next = Next<int (*)(const char*, off_t)>("truncate");
    return Fails("truncate", Absolute(AT_FDCWD, path), EACCES) ? -1 : next(path, size);
}

extern "C" int truncate64(const char* path, off64_t size) {
    static const auto next = Next<int (*)(const char*, off64_t)>("truncate64");
    return Fails("truncate64", Absolute(AT_FDCWD, path), EACCES) ? -1 : next(path, size);
}

extern "C" int futimens(int fd, const struct timespec times[2]) {
    static const auto next = Next<int (*)(int, const struct timespec*)>("futimens");
    return FdFails("futimens", fd, EACCES) ? -1 : next(fd, times);
}

extern "C" int utimensat(int dirfd, const char* path, const struct timespec times[2], int flags) {
    static const auto next =
        Next<int (*)(int, const char*, const struct timespec*, int)>("utimensat");
    // Without a path, the call is on the descriptor itself.
    std::string target = Absolute(dirfd, path);
    if (target.empty()) target = PathOf(dirfd);
    return Fails("utimensat", target, EACCES) ? -1 : next(dirfd, path, times, flags);
}

// Flushes.

extern "C" int fsync(int fd) {
    static const auto next = Next<int (*)(int)>("fsync");
    return FdFails("fsync", fd, EIO) ? -1 : next(fd);
}

extern "C" int fdatasync(int fd) {
    static const auto next = Next<int (*)(int)>("fdatasync");
    return FdFails("fdatasync", fd, EIO) ? -1 : next(fd);
}

// Opens that create, truncate or may write.

extern "C" int open(const char* path, int flags, ...) {
    static const auto next = Next<int (*)(const char*, int, ...)>("open");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeOf(flags, arguments);
    va_end(arguments);
    if (Writes(flags) && Fails("open", Absolute(AT_FDCWD, path), EACCES)) return -1;
    return next(path, flags, mode);
}

extern "C" int open64(const char* path, int flags, ...) {
    static const auto next = Next<int (*)(const char*, int, ...)>("open64");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeOf(flags, arguments);
    va_end(arguments);
    if (Writes(flags) && Fails("open64", Absolute(AT_FDCWD, path), EACCES)) return -1;
    return next(path, flags, mode);
}

extern "C" int openat(int dirfd, const char* path, int flags, ...) {
    static const auto next = Next<int (*)(int, const char*, int, ...)>("openat");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeOf(flags, arguments);
    va_end(arguments);
    if (Writes(flags) && Fails("openat", Absolute(dirfd, path), EACCES)) return -1;
    return next(dirfd, path, flags, mode);
}

extern "C" int openat64(int dirfd, const char* path, int flags, ...) {
    static const auto next = Next<int (*)(int, const char*, int, ...)>("openat64");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeOf(flags, arguments);
    va_end(arguments);
    if (Writes(flags) && Fails("openat64", Absolute(dirfd, path), EACCES)) return -1;
    return next(dirfd, path, flags, mode);
}

extern "C" int creat(const char* path, mode_t mode) {
    static const auto next = Next<int (*)(const char*, mode_t)>("creat");
    return Fails("creat", Absolute(AT_FDCWD, path), EACCES) ? -1 : next(path, mode);
}

extern "C" int creat64(const char* path, mode_t mode) {
    static const auto next = Next<int (*)(const char*, mode_t)>("creat64");
    return Fails("creat64", Absolute(AT_FDCWD, path), EACCES) ? -1 : next(path, mode);
}

// Renames, links and deletions.

extern "C" int rename(const char* from, const char* to) {
    static const auto next = Next<int (*)(const char*, const char*)>("rename");
    return Fails("rename", Absolute(AT_FDCWD, from), EACCES, Absolute(AT_FDCWD, to))
               ? -1
               : next(from, to);
}

extern "C" int renameat(int fromDir, const char* from, int toDir, const char* to) {
    static const auto next = Next<int (*)(int, const char*, int, const char*)>("renameat");
    return Fails("renameat", Absolute(fromDir, from), EACCES, Absolute(toDir, to))
               ? -1
               : next(fromDir, from, toDir, to);
}

extern "C" int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    static const auto next =
        Next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
    return Fails("renameat2", Absolute(fromDir, from), EACCES, Absolute(toDir, to))
               ? -1
               : next(fromDir, from, toDir, to, flags);
}

extern "C" int link(const char* from, const char* to) {
    static const auto next = Next<int (*)(const char*, const char*)>("link");
    return Fails("link", Absolute(AT_FDCWD, from), EACCES, Absolute(AT_FDCWD, to)) ? -1
                                                                                   : next(from, to);
}

extern "C" int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    static const auto next = Next<int (*)(int, const char*, int, const char*, int)>("linkat");
    return Fails("linkat", Absolute(fromDir, from), EACCES, Absolute(toDir, to))
               ? -1
               : next(fromDir, from, toDir, to, flags);
}

extern "C" int unlink(const char* path) {
    static const auto next = Next<int (*)(const char*)>("unlink");
    return Fails("unlink", Absolute(AT_FDCWD, path), EACCES) ? -1 : next(path);
}

extern "C" int unlinkat(int dirfd, const char* path, int flags) {
    static const auto next = Next<int (*)(int, const char*, int)>("unlinkat");
    return Fails("unlinkat", Absolute(dirfd, path), EACCES) ? -1 : next(dirfd, path, flags);
}

extern "C" int remove(const char* path) {
    static const auto next = Next<int (*)(const char*)>("remove");
    return Fails("remove", Absolute(AT_FDCWD, path), EACCES) ? -1 : next(path);
}

// Folders.

extern "C" int mkdir(const char* path, mode_t mode) {
    static const auto next = Next<int (*)(const char*, mode_t)>("mkdir");
    return Fails("mkdir", Absolute(AT_FDCWD, path), EACCES) ? -1 : next(path, mode);
}

extern "C" int mkdirat(int dirfd, const char* path, mode_t mode) {
    static const auto next = Next<int (*)(int, const char*, mode_t)>("mkdirat");
    return Fails("mkdirat", Absolute(dirfd, path), EACCES) ? -1 : next(dirfd, path, mode);
}

extern "C" int rmdir(const char* path) {
    static const auto next = Next<int (*)(const char*)>("rmdir");
    return Fails("rmdir", Absolute(AT_FDCWD, path), EACCES) ? -1 : next(path);
}
