// The file system as the import run sees it: Windows-style paths ("\" or "/"
// as separators, names matched without regard to case, component by
// component), 1252 names converted to native names at this boundary only,
// and stdio-like buffered streams with Windows text-mode semantics.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// Seconds since 1970-01-01 00:00:00 UTC, as the file system stores times.
using FileTime = std::int64_t;

struct CalendarTime {
    int year = 0;   // four digits
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 0;  // 0 = Sunday
    int yearday = 0;  // 0..365
};

// A buffered stream opened like fopen: mode "r", "w", "a", "r+", "w+", "a+",
// each with an optional "b" (binary) or "t" (text, the default). In text mode
// a written "\n" reaches the disk as "\r\n" and a read "\r\n" comes back as
// "\n"; Tell and Seek always work on raw byte offsets. Closed on destruction.
class File {
public:
    File();
    File(File&&) noexcept;
    File& operator=(File&&) noexcept;
    ~File();

    // An unopened File (check with IsOpen) when the file cannot be opened,
    // when the path names a folder, or when the mode is not valid.
    static File Open(std::string_view path, std::string_view mode);

    bool IsOpen() const { return impl_ != nullptr; }
    explicit operator bool() const { return IsOpen(); }

    // fgets: reads at most size-1 characters, stopping after a "\n"; the
    // result is zero-terminated. nullptr at end of file with nothing read.
    char* Gets(char* buffer, int size);
    // fgets into a string (its previous content replaced): at most
    // maxLength-1 characters, the "\n" kept; false at end of file with
    // nothing read. A longer line continues at the next call.
    bool GetLine(std::string& line, std::size_t maxLength);
    // GetLine without a copy: line views the stream's buffer (or a work
    // string of the stream) and stays valid until the next call on the
    // stream. Same cut at maxLength-1 characters, same text-mode "\r\n".
    bool ReadLineView(std::string_view& line, std::size_t maxLength);
    // The bytes buffered after the read position as the file holds them (no
    // text-mode translation), read first when fewer than atLeast are
    // buffered (at most 16 KiB are ever asked for); empty at end of file.
    // Valid until the next call on the stream. Skip then moves the read
    // position on by n of those bytes: a caller that finds its lines itself
    // reads them without a second look at their bytes.
    std::string_view Buffered(std::size_t atLeast);
    void Skip(std::size_t n);
    int Getc();  // EOF at end of file
    std::size_t Read(void* buffer, std::size_t size, std::size_t count);

    std::size_t Write(const void* buffer, std::size_t size, std::size_t count);
    bool Puts(std::string_view text);  // false on a write error
    // Writes text, which holds no line feed, then a line end (carriage
    // return and line feed in text mode): a whole line in one write, without
    // looking through the text for line feeds. False on a write error.
    bool WriteLine(std::string_view text);
    bool Putc(char c);
    int Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Writes each piece at its offset, past the stream's buffer and without
    // moving its position, on the stream's own thread when one can start:
    // for callers that place large pieces themselves. The caller keeps the
    // bytes unchanged until the next WriteBehind, Flush or Close, which wait
    // for these writes and report their failure. False when an earlier write
    // failed.
    struct Placed {
        std::int64_t offset = 0;
        std::string_view bytes;
    };
    bool WriteBehind(std::vector<Placed> pieces);
    // Takes the disk room of a file of size bytes at once, the file growing
    // to that size, for a writer that fills it at scattered places: such
    // writes then cost less. False when the disk lacks the room or the stream
    // does not write; where the system cannot take room ahead, nothing
    // changes.
    bool Reserve(std::int64_t size);
    // The bytes before end will not be read again: the system's cache gives
    // back their memory at once, which would otherwise all go back when the
    // file is deleted. Only when none of them waits to be written to disk,
    // so that nothing is written for a file about to go; where the system
    // cannot tell, nothing changes. The file's contents never change.
    void Forget(std::int64_t end);

    std::int64_t Tell();
    bool Seek(std::int64_t offset, int whence);  // SEEK_SET, SEEK_CUR, SEEK_END
    bool Eof() const;
    bool Error() const;  // a read or write error happened
    bool Flush();
    // Flushes and closes; false when a buffered write could not reach the
    // disk. Further calls do nothing.
    bool Close();

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

struct DirEntry {
    std::string name;  // 1252
    bool isFolder = false;
    bool isHidden = false;  // a name starting with "."
    std::int64_t size = 0;
    FileTime lastWrite = 0;
};

// Lists the entries of a folder that match a pattern given as one path
// ("..\data\*.jo", "C:\SRC\J*.SIT", "dir\*"), with "*" and "?" matched without
// regard to case; "*.*" matches every name, as on Windows. "." and ".." are
// listed when the pattern matches them. Ascending order of the names compared
// without regard to case. Empty when the folder does not exist.
std::vector<DirEntry> ListDirectory(std::string_view pattern);

// Resolves a Windows-style path to the native path: separators converted,
// each existing component matched without regard to case (a component that
// exists exactly as written wins, then the first match in listing order).
// Components that do not exist are kept as written.
std::string NativePath(std::string_view path);

// The absolute native path of path: "." and ".." worked out, each existing
// component in the case the file system holds it, so that two ways of naming
// one file or folder give the same text.
std::string AbsolutePath(std::string_view path);

// Names compared as lookups and listings compare them: 1252 bytes, letters
// without regard to case ("é" equals "É"). Negative, zero or positive.
int CompareNames(std::string_view a, std::string_view b);
// One name against a pattern of "*" (any run of characters) and "?" (one
// character), letters without regard to case; nothing else is special.
bool MatchesWildcards(std::string_view name, std::string_view pattern);
// One name against a Windows wildcard pattern: "*" any run of characters,
// "?" one character, letters without regard to case. A pattern ending in
// ".*" also matches a name without extension ("*.*" matches every name), and
// one ending in "." matches only names without extension.
bool MatchesPattern(std::string_view name, std::string_view pattern);

bool FileExists(std::string_view path);  // a file, not a folder
bool FolderExists(std::string_view path);
std::int64_t FileSize(std::string_view path);  // -1 when it does not exist
bool GetFileTime(std::string_view path, FileTime& lastWrite);
// Whole-file copy; replaces the destination unless failIfExists. When it
// fails and failure is given, failure tells which file failed: the source,
// which could not be opened or read, or the destination, which could not be
// created or written (or would have replaced the source).
enum class CopyFailure { None, Source, Destination };
bool CopyFile(std::string_view source, std::string_view destination, bool failIfExists = false,
              CopyFailure* failure = nullptr);
bool DeleteFile(std::string_view path);
// DeleteFile for a large file: the name goes at once, and the space is given
// back to the system on a thread of its own, so that the caller does not
// wait for it.
bool DeleteFileBehind(std::string_view path);
bool MoveFile(std::string_view from, std::string_view to);
bool CreateDirectory(std::string_view path);
bool RemoveDirectory(std::string_view path);  // only an empty one
// Removes a folder and everything in it; false when anything stays.
bool RemoveTree(std::string_view folder);
std::string GetCurrentDirectory();  // 1252, with "/" separators, no final separator
bool SetCurrentDirectory(std::string_view path);
// Free bytes of the file system that holds path; -1 when unknown.
std::int64_t FreeSpace(std::string_view path);

CalendarTime ToLocalTime(FileTime t);
CalendarTime ToUniversalTime(FileTime t);
FileTime FromUniversalTime(const CalendarTime& c);

}  // namespace plat
