// Drive types and volume labels on Linux: a root is a mount point listed in
// /proc/self/mountinfo; its block device (through /sys/dev/block) tells
// whether it is removable; its label comes from /dev/disk/by-label, or from
// the file system's own header (ext2/3/4, iso9660) when the device can be
// read.
#include "platform/drives.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <array>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/codepage.h"
#include "platform/fs/fs.h"

namespace plat {

namespace drives {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsOctal(char c) {
    return c >= '0' && c <= '7';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// mountinfo writes blanks, tabs, line feeds and backslashes as "\ooo".
std::string DecodeOctalEscapes(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) &&
            IsOctal(field[i + 2]) && IsOctal(field[i + 3])) {
            out += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

bool ParseUnsigned(std::string_view text, unsigned& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return true;
}

}  // namespace

bool IsDriveLetter(std::string_view path) {
    if (path.size() < 2 || path.size() > 3) return false;
    if (!std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':') return false;
    return path.size() == 2 || IsSeparator(path[2]);
}

int DriveTypeOfFileSystem(std::string_view type, bool removableDevice) {
    static constexpr std::array<std::string_view, 2> kCdRom{"iso9660", "udf"};
    static constexpr std::array<std::string_view, 2> kRam{"tmpfs", "ramfs"};
    static constexpr std::array<std::string_view, 14> kRemote{
        "nfs",  "nfs4", "cifs", "smb3",      "smbfs", "ncpfs",      "afs",
        "coda", "9p",   "ceph", "glusterfs", "davfs", "fuse.sshfs", "fuse.davfs"};
    auto listed = [type](const auto& names) {
        for (std::string_view name : names)
            if (type == name) return true;
        return false;
    };
    if (listed(kCdRom)) return DRIVE_CDROM;
    if (listed(kRam)) return DRIVE_RAMDISK;
    if (listed(kRemote)) return DRIVE_REMOTE;
    return removableDevice ? DRIVE_REMOVABLE : DRIVE_FIXED;
}

bool ParseMountInfoLine(std::string_view line, MountInfo& info) {
    // id parent major:minor root mount-point options [optional...] - type source super-options
    std::size_t position = 0;
    auto nextField = [&](std::string_view& field) {
        while (position < line.size() && line[position] == ' ') ++position;
        const std::size_t end = std::min(line.find(' ', position), line.size());
        field = line.substr(position, end - position);
        position = end;
        return !field.empty();
    };
    std::array<std::string_view, 6> head;
    for (std::string_view& field : head)
        if (!nextField(field)) return false;
    const std::size_t colon = head[2].find(':');
    if (colon == std::string_view::npos || !ParseUnsigned(head[2].substr(0, colon), info.major) ||
        !ParseUnsigned(head[2].substr(colon + 1), info.minor)) {
        return false;
    }
    std::string_view field;
    while (nextField(field) && field != "-") {
    }
    std::string_view type, source;
    if (field != "-" || !nextField(type)) return false;
    nextField(source);
    info.mountPoint = DecodeOctalEscapes(head[4]);
    info.fileSystemType = DecodeOctalEscapes(type);
    info.source = DecodeOctalEscapes(source);
    return true;
}

std::string DecodeLabelName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
            HexValue(name[i + 2]) >= 0 && HexValue(name[i + 3]) >= 0) {
            out += static_cast<char>(HexValue(name[i + 2]) * 16 + HexValue(name[i + 3]));
            i += 3;
        } else {
            out += name[i];
        }
    }
    return out;
}

}  // namespace drives

namespace {

namespace stdfs = std::filesystem;

constexpr std::size_t kMaxLabel = 256;

std::optional<std::string> RealPath(const std::string& native) {
    char resolved[PATH_MAX];
    if (::realpath(native.c_str(), resolved) == nullptr) return std::nullopt;
    return std::string(resolved);
}

// The mount whose mount point is exactly the folder rootPath names; the last
// one listed when several are (a later mount hides an earlier one).
std::optional<drives::MountInfo> MountAt(std::string_view rootPath) {
    if (rootPath.empty() || drives::IsDriveLetter(rootPath)) return std::nullopt;
    const std::string native = NativePath(rootPath);
    struct stat status {};
    if (::stat(native.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return std::nullopt;
    const std::optional<std::string> folder = RealPath(native);
    if (!folder) return std::nullopt;

    std::ifstream mounts("/proc/self/mountinfo");
    std::optional<drives::MountInfo> found;
    for (std::string line; std::getline(mounts, line);) {
        drives::MountInfo info;
        if (drives::ParseMountInfoLine(line, info) && info.mountPoint == *folder) found = info;
    }
    return found;
}

std::string FirstLine(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text;
    std::getline(in, text);
    return text;
}

// The folder of the mount's block device under /sys, or empty.
std::string BlockDeviceFolder(const drives::MountInfo& mount) {
    return RealPath("/sys/dev/block/" + std::to_string(mount.major) + ":" +
                    std::to_string(mount.minor))
        .value_or(std::string());
}

bool IsRemovableDevice(const drives::MountInfo& mount) {
    const std::string device = BlockDeviceFolder(mount);
    if (device.empty()) return false;
    // A partition has no "removable" of its own: its disk, one folder up, tells.
    for (const std::string& folder : {device, device.substr(0, device.rfind('/'))}) {
        const std::string flag = FirstLine(folder + "/removable");
        if (!flag.empty()) return flag == "1";
    }
    return false;
}

// The device node of the mount, for reading the file system's header.
std::string DeviceNode(const drives::MountInfo& mount) {
    if (mount.source.rfind("/dev/", 0) == 0) return mount.source;
    const std::string folder = BlockDeviceFolder(mount);
    if (folder.empty()) return {};
    return "/dev/" + folder.substr(folder.rfind('/') + 1);
}

std::string LabelFromByLabel(const std::string& device) {
    std::error_code error;
    const std::optional<std::string> target = RealPath(device);
    if (!target) return {};
    for (const auto& entry : stdfs::directory_iterator("/dev/disk/by-label", error)) {
        if (RealPath(entry.path().string()) == target)
            return drives::DecodeLabelName(entry.path().filename().string());
    }
    return {};
}

std::string ReadAt(const std::string& device, std::streamoff offset, std::size_t size) {
    std::ifstream in(device, std::ios::binary);
    std::string bytes(size, '\0');
    if (!in.seekg(offset) || !in.read(bytes.data(), static_cast<std::streamsize>(size))) return {};
    return bytes;
}

std::string WithoutPadding(std::string text) {
    text.resize(std::min(text.find('\0'), text.size()));
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// The label stored in the file system's own header, for the kinds that
// removable media and system disks mostly carry.
std::string LabelFromHeader(const drives::MountInfo& mount, const std::string& device) {
    const std::string& type = mount.fileSystemType;
    if (type == "ext2" || type == "ext3" || type == "ext4") {
        const std::string superblock = ReadAt(device, 1024, 136);
        if (superblock.size() != 136 || static_cast<unsigned char>(superblock[56]) != 0x53 ||
            static_cast<unsigned char>(superblock[57]) != 0xEF) {
            return {};
        }
        return WithoutPadding(superblock.substr(120, 16));
    }
    if (type == "iso9660") {
        const std::string descriptor = ReadAt(device, 32768, 72);
        if (descriptor.size() != 72 || descriptor.compare(1, 5, "CD001") != 0) return {};
        return WithoutPadding(descriptor.substr(40, 32));
    }
    return {};
}

}  // namespace

int GetDriveType(std::string_view rootPath) {
    const std::optional<drives::MountInfo> mount = MountAt(rootPath);
    if (!mount) return DRIVE_NO_ROOT_DIR;
    return drives::DriveTypeOfFileSystem(mount->fileSystemType, IsRemovableDevice(*mount));
}

bool GetVolumeLabel(std::string_view rootPath, std::string& label) {
    label.clear();
    const std::optional<drives::MountInfo> mount = MountAt(rootPath);
    if (!mount) return false;
    const std::string device = DeviceNode(*mount);
    if (device.empty()) return false;
    std::string utf8 = LabelFromByLabel(device);
    if (utf8.empty()) utf8 = LabelFromHeader(*mount, device);
    label = Cp1252FromUtf8(utf8);
    if (label.size() > kMaxLabel) label.resize(kMaxLabel);
    return !label.empty();
}

}  // namespace plat
