// Stream descriptors on Windows: a file handle of the wide-character API,
// wrapped in a C runtime descriptor so that plat::File keeps one int, and
// positional reads and writes through OVERLAPPED offsets.
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cerrno>

#include "platform/fs/fs_descriptor.h"
#include "platform/fs/native_win32.h"

namespace plat::native {
namespace {

HANDLE HandleOf(int fd) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

OVERLAPPED At(std::int64_t offset) {
    OVERLAPPED overlapped{};
    overlapped.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
    overlapped.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    return overlapped;
}

void SetErrno(DWORD error) {
    errno = error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? ENOSPC : EIO;
}

// One call moves at most this much: the API counts bytes in a DWORD.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

}  // namespace

int OpenDescriptor(const std::string& nativePath, int flags, std::int64_t& size) {
    DWORD access = 0;
    switch (flags & (O_RDONLY | O_WRONLY | O_RDWR)) {
        case O_WRONLY:
            access = GENERIC_WRITE;
            break;
        case O_RDWR:
            access = GENERIC_READ | GENERIC_WRITE;
            break;
        default:
            access = GENERIC_READ;
    }
    DWORD creation = OPEN_EXISTING;
    if ((flags & O_CREAT) && (flags & O_TRUNC)) {
        creation = CREATE_ALWAYS;
    } else if (flags & O_CREAT) {
        creation = OPEN_ALWAYS;
    } else if (flags & O_TRUNC) {
        creation = TRUNCATE_EXISTING;
    }
    // Other programs may read, write, rename and delete the file while it is
    // open, as they may on POSIX. A folder cannot be opened this way.
    Handle handle(::CreateFileW(WidePath(nativePath).c_str(), access,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                creation, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.valid()) return -1;
    LARGE_INTEGER length;
    if (!::GetFileSizeEx(handle.get(), &length)) return -1;
    const int crtFlags = _O_BINARY | (access == GENERIC_READ ? _O_RDONLY : 0);
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle.get()), crtFlags);
    if (fd < 0) return -1;
    handle.release();  // the descriptor owns it now
    size = length.QuadPart;
    return fd;
}

std::int64_t DescriptorSize(int fd) {
    LARGE_INTEGER length;
    if (!::GetFileSizeEx(HandleOf(fd), &length)) return -1;
    return length.QuadPart;
}

ssize_t ReadAt(int fd, void* data, std::size_t size, std::int64_t offset) {
    OVERLAPPED overlapped = At(offset);
    DWORD done = 0;
    if (!::ReadFile(HandleOf(fd), data, static_cast<DWORD>(std::min(size, kMaxTransfer)), &done,
                    &overlapped)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_HANDLE_EOF) return 0;
        SetErrno(error);
        return -1;
    }
    return static_cast<ssize_t>(done);
}

ssize_t WriteAt(int fd, const void* data, std::size_t size, std::int64_t offset) {
    OVERLAPPED overlapped = At(offset);
    DWORD done = 0;
    if (!::WriteFile(HandleOf(fd), data, static_cast<DWORD>(std::min(size, kMaxTransfer)), &done,
                     &overlapped)) {
        SetErrno(::GetLastError());
        return -1;
    }
    return static_cast<ssize_t>(done);
}

bool CloseDescriptor(int fd) {
    return ::_close(fd) == 0;
}

}  // namespace plat::native
