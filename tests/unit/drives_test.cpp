// Drive roots: types and labels.
#include "platform/drives.h"

#include <gtest/gtest.h>
#include <sys/vfs.h>

#include <string>

namespace {

using namespace plat;

TEST(DrivesTest, DriveLettersAreRecognisedWithOrWithoutOneSeparator) {
    struct Row {
        const char* path;
        bool letter;
    };
    for (const Row& row : {Row{"C:", true}, Row{"d:\\", true}, Row{"Z:/", true}, Row{"C", false},
                           Row{"C:x", false}, Row{"1:", false}, Row{"C:\\\\", false},
                           Row{"/", false}, Row{"..", false}, Row{"", false}}) {
        EXPECT_EQ(drives::IsDriveLetter(row.path), row.letter) << row.path;
    }
}

TEST(DrivesTest, DriveLettersHaveNoRootFolderAndNoLabel) {
    for (const char* root : {"C:\\", "D:", "z:/"}) {
        EXPECT_EQ(GetDriveType(root), DRIVE_NO_ROOT_DIR) << root;
        std::string label = "old";
        EXPECT_FALSE(GetVolumeLabel(root, label)) << root;
        EXPECT_EQ(label, "");
    }
}

TEST(DrivesTest, FileSystemTypesGiveTheirDriveTypes) {
    struct Row {
        const char* type;
        bool removable;
        int expected;
    };
    for (const Row& row : {
             Row{"ext4", false, DRIVE_FIXED},
             Row{"overlay", false, DRIVE_FIXED},
             Row{"vfat", true, DRIVE_REMOVABLE},
             Row{"ext4", true, DRIVE_REMOVABLE},
             Row{"iso9660", true, DRIVE_CDROM},
             Row{"udf", false, DRIVE_CDROM},
             Row{"tmpfs", false, DRIVE_RAMDISK},
             Row{"ramfs", false, DRIVE_RAMDISK},
             Row{"nfs4", false, DRIVE_REMOTE},
             Row{"cifs", false, DRIVE_REMOTE},
             Row{"fuse.sshfs", false, DRIVE_REMOTE},
             Row{"nfs", true, DRIVE_REMOTE},
         }) {
        EXPECT_EQ(drives::DriveTypeOfFileSystem(row.type, row.removable), row.expected)
            << row.type << " removable " << row.removable;
    }
}

TEST(DrivesTest, MountInfoLinesAreTakenApart) {
    drives::MountInfo info;
    ASSERT_TRUE(
        drives::ParseMountInfoLine("36 35 98:0 / /mnt/my\\040disk rw,noatime master:1 shared:2 - "
                                   "ext3 /dev/root rw,errors=continue",
                                   info));
    EXPECT_EQ(info.major, 98u);
    EXPECT_EQ(info.minor, 0u);
    EXPECT_EQ(info.mountPoint, "/mnt/my disk");
    EXPECT_EQ(info.fileSystemType, "ext3");
    EXPECT_EQ(info.source, "/dev/root");

    ASSERT_TRUE(drives::ParseMountInfoLine("22 1 0:21 / /dev/shm rw - tmpfs tmpfs rw", info));
    EXPECT_EQ(info.mountPoint, "/dev/shm");
    EXPECT_EQ(info.fileSystemType, "tmpfs");

    for (const char* bad :
         {"", "36 35 98:0 / /mnt rw ext3 /dev/root rw", "36 35 980 / /mnt rw - ext3",
          "36 35 a:b / /mnt rw - ext3 x", "36 35 98:0 / /mnt rw -"}) {
        EXPECT_FALSE(drives::ParseMountInfoLine(bad, info)) << bad;
    }
}

TEST(DrivesTest, LabelNamesDecodeTheirEscapes) {
    EXPECT_EQ(drives::DecodeLabelName("MY\\x20DISK"), "MY DISK");
    EXPECT_EQ(drives::DecodeLabelName("A\\x2fB\\x5c"), "A/B\\");
    EXPECT_EQ(drives::DecodeLabelName("\\xZZ\\x2"), "\\xZZ\\x2");
}

// The system's own root and its shared-memory folder: whatever this machine
// mounts there, the type must be the one its file system gives.
TEST(DrivesTest, RealRootsTakeTheTypeOfTheirFileSystem) {
    EXPECT_NE(GetDriveType("/"), DRIVE_NO_ROOT_DIR);
    EXPECT_NE(GetDriveType("\\"), DRIVE_NO_ROOT_DIR);
    struct statfs shm {};
    if (::statfs("/dev/shm", &shm) == 0 && shm.f_type == 0x01021994 /* tmpfs */) {
        EXPECT_EQ(GetDriveType("/dev/shm/"), DRIVE_RAMDISK);
    }
}

TEST(DrivesTest, FoldersThatAreNoMountPointHaveNoRootFolder) {
    EXPECT_EQ(GetDriveType(QUERVANE_SOURCE_DIR "/platform"), DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(GetDriveType(QUERVANE_BINARY_DIR "/no/such/folder"), DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(GetDriveType(""), DRIVE_NO_ROOT_DIR);
    std::string label;
    EXPECT_FALSE(GetVolumeLabel(QUERVANE_SOURCE_DIR "/platform", label));
}

}  // namespace
