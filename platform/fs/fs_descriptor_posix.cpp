// Stream descriptors on POSIX.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/fs/fs_descriptor.h"

namespace plat::native {

int OpenDescriptor(const std::string& nativePath, int flags, std::int64_t& size) {
    int fd;
    do {
        fd = ::open(nativePath.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    size = st.st_size;
    return fd;
}

std::int64_t DescriptorSize(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return -1;
    return st.st_size;
}

ssize_t ReadAt(int fd, void* data, std::size_t size, std::int64_t offset) {
    return ::pread(fd, data, size, offset);
}

ssize_t WriteAt(int fd, const void* data, std::size_t size, std::int64_t offset) {
    return ::pwrite(fd, data, size, offset);
}

bool CloseDescriptor(int fd) {
    return ::close(fd) == 0;
}

}  // namespace plat::native
