// Folder listings and whole-file operations on POSIX.
#include <dirent.h>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <system_error>
#include <thread>

#include "platform/codepage.h"
#include "platform/fs/fs.h"
#include "platform/fs/native.h"

namespace plat {
namespace {

bool StatPath(std::string_view path, struct stat& st) {
    if (path.empty()) return false;
    return ::stat(NativePath(path).c_str(), &st) == 0;
}

// Closes a descriptor on every return path.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { Close(); }
    int get() const { return fd_; }
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// What a copy inside the kernel came to. Refused: the kernel does not copy
// between these two files this way (other file systems, special files, an
// old kernel); the offsets of both files stand where the copy stopped, so a
// slower way can go on from there.
enum class KernelCopy { Done, Failed, Refused };

bool RefusedByKernel(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP ||
           error == EPERM || error == EBADF || error == ETXTBSY;
}

// Repeats one kernel copy step until the end of the source. A step that
// copies nothing at first is taken as a refusal: files that do not report
// their size (procfs) copy nothing this way though they have content.
template <typename Step>
KernelCopy CopyInKernel(Step step) {
    bool copied = false;
    for (;;) {
        const ssize_t n = step();
        if (n > 0) {
            copied = true;
            continue;
        }
        if (n == 0) return copied ? KernelCopy::Done : KernelCopy::Refused;
        if (errno == EINTR) continue;
        return RefusedByKernel(errno) ? KernelCopy::Refused : KernelCopy::Failed;
    }
}

CopyFailure CopyThroughBuffer(int from, int to) {
    constexpr std::size_t kBlock = 1024 * 1024;
    const auto block = std::make_unique_for_overwrite<char[]>(kBlock);
    for (;;) {
        const ssize_t n = ::read(from, block.get(), kBlock);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return CopyFailure::Source;
        if (n == 0) return CopyFailure::None;
        if (!WriteAll(to, block.get(), static_cast<std::size_t>(n)))
            return CopyFailure::Destination;
    }
}

// The contents of from, from its current offset, written to to; None when
// done, else the file that failed. The data stays in the kernel when it
// can: copy_file_range, else sendfile. A copy in the kernel that fails does
// not tell which file failed: the rest goes through a buffer, which tells.
CopyFailure CopyContents(int from, int to) {
    constexpr std::size_t kStep = std::size_t{1} << 30;
    KernelCopy copy =
        CopyInKernel([&] { return ::copy_file_range(from, nullptr, to, nullptr, kStep, 0); });
    if (copy == KernelCopy::Refused)
        copy = CopyInKernel([&] { return ::sendfile(to, from, nullptr, kStep); });
    return copy == KernelCopy::Done ? CopyFailure::None : CopyThroughBuffer(from, to);
}

}  // namespace

std::vector<DirEntry> ListDirectory(std::string_view pattern) {
    std::vector<DirEntry> entries;
    std::size_t split = pattern.size();
    while (split > 0 && !native::IsSeparator(pattern[split - 1])) --split;
    const std::string_view namePattern = pattern.substr(split);
    if (namePattern.empty()) return entries;
    const std::string_view folder = pattern.substr(0, split);
    const std::string nativeFolder = folder.empty() ? std::string(".") : NativePath(folder);

    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(nativeFolder.c_str()), ::closedir);
    if (!dir) return entries;
    std::vector<std::string> nativeNames;
    while (const dirent* d = ::readdir(dir.get())) {
        std::string name = native::NameFromNative(d->d_name);
        if (!MatchesPattern(name, namePattern)) continue;
        struct stat st;
        if (::fstatat(::dirfd(dir.get()), d->d_name, &st, 0) != 0 &&
            ::fstatat(::dirfd(dir.get()), d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        DirEntry entry;
        entry.isFolder = S_ISDIR(st.st_mode);
        entry.isHidden = name.starts_with('.') && name != "." && name != "..";
        entry.size = entry.isFolder ? 0 : static_cast<std::int64_t>(st.st_size);
        entry.lastWrite = static_cast<FileTime>(st.st_mtim.tv_sec);
        entry.name = std::move(name);
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
        const int order = CompareNames(a.name, b.name);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    return entries;
}

bool FileExists(std::string_view path) {
    struct stat st;
    return StatPath(path, st) && !S_ISDIR(st.st_mode);
}

bool FolderExists(std::string_view path) {
    struct stat st;
    return StatPath(path, st) && S_ISDIR(st.st_mode);
}

std::int64_t FileSize(std::string_view path) {
    struct stat st;
    if (!StatPath(path, st) || S_ISDIR(st.st_mode)) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

bool GetFileTime(std::string_view path, FileTime& lastWrite) {
    struct stat st;
    if (!StatPath(path, st)) return false;
    lastWrite = static_cast<FileTime>(st.st_mtim.tv_sec);
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
    Descriptor from(::open(NativePath(source).c_str(), O_RDONLY | O_CLOEXEC));
    struct stat sourceStat;
    if (from.get() < 0 || ::fstat(from.get(), &sourceStat) != 0 || S_ISDIR(sourceStat.st_mode)) {
        return Failed(CopyFailure::Source);
    }
    const std::string target = NativePath(destination);
    struct stat targetStat;
    if (::stat(target.c_str(), &targetStat) == 0) {
        // Truncating the destination would destroy a source that is the
        // same file under another name.
        if (failIfExists || S_ISDIR(targetStat.st_mode) ||
            (targetStat.st_dev == sourceStat.st_dev && targetStat.st_ino == sourceStat.st_ino)) {
            return Failed(CopyFailure::Destination);
        }
    }
    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (failIfExists ? O_EXCL : 0);
    Descriptor to(::open(target.c_str(), flags, 0666));
    if (to.get() < 0) return Failed(CopyFailure::Destination);
    CopyFailure side = CopyContents(from.get(), to.get());
    // The copy keeps the source's last-write time, as the Windows copy does.
    const struct timespec times[2] = {sourceStat.st_atim, sourceStat.st_mtim};
    if (side == CopyFailure::None && ::futimens(to.get(), times) != 0)
        side = CopyFailure::Destination;
    if (!to.Close() && side == CopyFailure::None) side = CopyFailure::Destination;
    if (side == CopyFailure::None) return true;
    ::unlink(target.c_str());
    return Failed(side);
}

bool DeleteFile(std::string_view path) {
    struct stat st;
    if (!StatPath(path, st) || S_ISDIR(st.st_mode)) return false;
    return ::unlink(NativePath(path).c_str()) == 0;
}

bool DeleteFileBehind(std::string_view path) {
    struct stat st;
    if (!StatPath(path, st) || S_ISDIR(st.st_mode)) return false;
    const std::string native = NativePath(path);
    // While a descriptor is open the unlink only removes the name; the
    // space goes when the last descriptor closes.
    const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (::unlink(native.c_str()) != 0) {
        if (fd >= 0) ::close(fd);
        return false;
    }
    if (fd < 0) return true;
    try {
        std::thread([fd] { ::close(fd); }).detach();
    } catch (const std::system_error&) {
        ::close(fd);
    }
    return true;
}

bool MoveFile(std::string_view from, std::string_view to) {
    if (from.empty() || to.empty()) return false;
    const std::string source = NativePath(from);
    struct stat sourceStat;
    if (::lstat(source.c_str(), &sourceStat) != 0) return false;
    std::string target = NativePath(to);
    struct stat targetStat;
    if (::lstat(target.c_str(), &targetStat) == 0) {
        // An existing destination is refused, except the source itself
        // under another case: that move changes the case of its name.
        if (targetStat.st_dev != sourceStat.st_dev || targetStat.st_ino != sourceStat.st_ino) {
            return false;
        }
        const std::size_t split = target.rfind('/');
        std::string_view written = to;
        while (!written.empty() && native::IsSeparator(written.back())) written.remove_suffix(1);
        std::size_t nameStart = written.size();
        while (nameStart > 0 && !native::IsSeparator(written[nameStart - 1])) --nameStart;
        target = (split == std::string::npos ? std::string() : target.substr(0, split + 1)) +
                 Utf8FromCp1252(written.substr(nameStart));
    }
    return ::rename(source.c_str(), target.c_str()) == 0;
}

bool CreateDirectory(std::string_view path) {
    if (path.empty()) return false;
    return ::mkdir(NativePath(path).c_str(), 0777) == 0;
}

bool RemoveDirectory(std::string_view path) {
    if (path.empty()) return false;
    return ::rmdir(NativePath(path).c_str()) == 0;
}

std::string GetCurrentDirectory() {
    std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
    if (!cwd) return {};
    std::string result;
    // Each component converted on its own: one folder with a single-byte
    // name does not change how the others read.
    std::string_view rest = cwd.get();
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        result += native::NameFromNative(rest.substr(0, slash));
        if (slash == std::string_view::npos) break;
        result += '/';
        rest.remove_prefix(slash + 1);
    }
    if (result.size() > 1 && result.back() == '/') result.pop_back();
    return result;
}

bool SetCurrentDirectory(std::string_view path) {
    if (path.empty()) return false;
    return ::chdir(NativePath(path).c_str()) == 0;
}

std::int64_t FreeSpace(std::string_view path) {
    struct statvfs vfs;
    const std::string native = path.empty() ? std::string(".") : NativePath(path);
    if (::statvfs(native.c_str(), &vfs) != 0) return -1;
    return static_cast<std::int64_t>(vfs.f_bavail) * static_cast<std::int64_t>(vfs.f_frsize);
}

}  // namespace plat
