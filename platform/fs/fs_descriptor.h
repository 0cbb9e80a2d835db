// The system calls under plat::File's streams: an open file as a descriptor,
// positional reads and writes. One implementation per system
// (fs_descriptor_posix.cpp, fs_descriptor_win32.cpp).
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace plat::native {

// Opens the native path with open(2)'s access and creation flags (O_RDONLY,
// O_WRONLY, O_RDWR, O_CREAT, O_TRUNC, O_APPEND), not inherited by child
// processes. -1 when it cannot be opened or names a folder; size gets the
// file's size.
int OpenDescriptor(const std::string& nativePath, int flags, std::int64_t& size);
std::int64_t DescriptorSize(int fd);  // -1 when unknown
// pread and pwrite: bytes moved, 0 at end of file, -1 with errno set.
ssize_t ReadAt(int fd, void* data, std::size_t size, std::int64_t offset);
ssize_t WriteAt(int fd, const void* data, std::size_t size, std::int64_t offset);
bool CloseDescriptor(int fd);

}  // namespace plat::native
