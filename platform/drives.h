// Drive roots: their type and volume label, as the drive chooser shows them.
//
// A Windows drive letter ("C:", "D:\") names no folder here: its type is
// "no root folder". A real root of this system (a folder where a file system
// is mounted, "/" among them) takes its type from that file system: network
// file systems are remote, iso9660 and udf are CD-ROMs, tmpfs and ramfs are
// RAM disks, a file system on a block device the kernel calls removable is
// removable, any other is fixed. Any other path has no root folder either.
#pragma once

#include <string>
#include <string_view>

namespace plat {

enum DriveType : int {
    DRIVE_UNKNOWN = 0,
    DRIVE_NO_ROOT_DIR = 1,
    DRIVE_REMOVABLE = 2,
    DRIVE_FIXED = 3,
    DRIVE_REMOTE = 4,
    DRIVE_CDROM = 5,
    DRIVE_RAMDISK = 6,
};

// rootPath: a Windows-style path ("/", "D:\", "..\mnt\cd\").
int GetDriveType(std::string_view rootPath);

// The volume label of the file system mounted at rootPath (1252, at most 256
// characters); false, with label empty, when rootPath is no root or its file
// system has no label that can be read.
bool GetVolumeLabel(std::string_view rootPath, std::string& label);

namespace drives {

// The parts of the implementation that work on text, for tests.

// "C:", "c:\", "Z:/": a drive letter, optionally followed by one separator.
bool IsDriveLetter(std::string_view path);

// The drive type of a file system type as /proc/self/mountinfo writes it
// ("ext4", "nfs4", "fuse.sshfs" ...), on a removable block device or not.
int DriveTypeOfFileSystem(std::string_view fileSystemType, bool removableDevice);

// One line of /proc/self/mountinfo taken apart; false for a line that is not
// one. Octal escapes ("\040" for a blank) are decoded.
struct MountInfo {
    unsigned major = 0, minor = 0;
    std::string mountPoint;
    std::string fileSystemType;
    std::string source;
};
bool ParseMountInfoLine(std::string_view line, MountInfo& info);

// A name of /dev/disk/by-label: "\x20" escapes decoded.
std::string DecodeLabelName(std::string_view name);

}  // namespace drives

}  // namespace plat
