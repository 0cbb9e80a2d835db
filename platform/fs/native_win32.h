// Helpers shared by the Windows implementation files of platform/: UTF-16
// names for the wide-character API, handles closed on every return path,
// file times.
#pragma once

#include <windows.h>

// The system's names for its A and W functions would rename plat's own
// functions of the same names; the W functions are called by name here.
#undef CopyFile
#undef DeleteFile
#undef MoveFile
#undef CreateDirectory
#undef RemoveDirectory
#undef GetCurrentDirectory
#undef SetCurrentDirectory
#undef GetDriveType
#undef ReplaceFile

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/fs/fs.h"

namespace plat::native {

// UTF-8 (a native path) to UTF-16 and back.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

// A native path for the wide API: "/" separators become "\" (the API takes
// both, but prefixes like "\\?\" and some calls do not).
std::wstring WidePath(const std::string& nativePath);

// Seconds since 1970 of a FILETIME (100 ns since 1601).
FileTime FromFileTime(const FILETIME& time);

class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : handle_(other.release()) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~Handle() { reset(); }

    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE release() {
        HANDLE h = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return h;
    }
    bool reset(HANDLE handle = INVALID_HANDLE_VALUE) {
        const bool ok = !valid() || ::CloseHandle(handle_);
        handle_ = handle;
        return ok;
    }

private:
    HANDLE handle_;
};

// A search handle of FindFirstFileW.
class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    ~FindHandle() {
        if (valid()) ::FindClose(handle_);
    }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

}  // namespace plat::native
