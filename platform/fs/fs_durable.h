// What a run needs to change a folder that another program reads without
// ever leaving it half-changed: files and names made durable on the disk, a
// rename that replaces a file in one step, and a lock that keeps a second
// run out of the folder. The staged publication of the data folder is built
// on these (platform/fs/staged_folder.h).
#pragma once

#include <memory>
#include <string_view>

namespace plat {

// Writes a file's bytes and size through to the disk (fsync,
// FlushFileBuffers). False when the file cannot be opened or synced.
bool SyncFile(std::string_view path);

// Makes the names created, renamed or removed in a folder durable (fsync of
// the folder). True where the system keeps them without being asked.
bool SyncFolder(std::string_view path);

// Renames from over to in one step, replacing the file to names (matched
// without regard to case, as every path): a reader of to finds the old file
// or the new one, never neither. Both lie on one file system. A rename
// refused because another program holds the destination open is tried
// again a few times before it fails.
bool ReplaceFile(std::string_view from, std::string_view to);

// Whether path is a file that this process may not write (its permissions,
// an immutable flag, the read-only attribute on Windows): a run does not
// replace such a file, though the system might let a rename do it.
bool IsReadOnlyFile(std::string_view path);

// Gives the file at path a second name, aside, in the same folder tree and
// file system, without touching path (a hard link): the version that path
// names now stays reachable after path is replaced. False where the file
// system has no such names, or when aside exists.
bool LinkFile(std::string_view path, std::string_view aside);

// An exclusive lock on a folder for one run that changes it. It is held
// until destroyed, and the system releases it when the process dies, so a
// crash leaves nothing behind that would keep the next run out. A second
// lock on the same folder, from this process or another, is refused while
// this one is held.
class FolderLock {
public:
    enum class Outcome {
        Held,        // this object holds the lock
        Busy,        // another run holds it
        Unavailable  // the folder does not exist or cannot be locked
    };

    FolderLock();
    FolderLock(FolderLock&&) noexcept;
    FolderLock& operator=(FolderLock&&) noexcept;
    ~FolderLock();

    static FolderLock Acquire(std::string_view folder, Outcome& outcome);
    bool IsHeld() const { return impl_ != nullptr; }

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace plat
