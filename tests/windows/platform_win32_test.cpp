// The Windows side of platform/: files through the wide-character API with
// 1252 names, the durable writes and the folder lock, drive types. Runs
// under Wine in the tests and on Windows as it is.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/fs/fs.h"
#include "platform/fs/fs_durable.h"
// After the platform's headers: windows.h defines some of their names as
// macros.
#include "platform/fs/native_win32.h"

namespace {

// A fresh folder under the system's temporary folder, as a 1252 path with a
// final "\"; removed with its files at the end.
class Folder {
public:
    Folder() {
        wchar_t temp[MAX_PATH];
        const DWORD length = ::GetTempPathW(MAX_PATH, temp);
        std::string base;
        for (DWORD i = 0; i < length; ++i) base += static_cast<char>(temp[i]);
        path_ = base + "quervane-win32-" + std::to_string(::GetCurrentProcessId()) + "\\";
        plat::CreateDirectory(path_);
    }
    ~Folder() {
        for (const auto& entry : plat::ListDirectory(path_ + "*")) {
            if (!entry.isFolder) plat::DeleteFile(path_ + entry.name);
        }
        plat::RemoveDirectory(path_);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::string ReadRaw(const std::string& path) {
    plat::File file = plat::File::Open(path, "rb");
    std::string bytes;
    char block[256];
    while (std::size_t n = file.Read(block, 1, sizeof block)) bytes.append(block, n);
    return bytes;
}

bool WriteText(const std::string& path, std::string_view text) {
    plat::File file = plat::File::Open(path, "w");
    return file && file.Puts(text) && file.Close();
}

TEST(FilesWin32, AccentedNamesRoundTripAndTextModeWritesCarriageReturns) {
    Folder folder;
    // 1252 bytes: "Données été.txt" and "ÉCHO.jo".
    struct Case {
        std::string name;
        std::string otherCase;  // the same name in other letters' case
    } cases[] = {
        {"Donn\xE9"
         "es \xE9t\xE9.txt",
         "DONN\xC9"
         "ES \xC9T\xC9.TXT"},
        {"\xC9"
         "CHO.jo",
         "\xE9"
         "cho.JO"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteText(folder.path() + c.name, "ligne 1\nligne 2\n"));
        EXPECT_EQ(ReadRaw(folder.path() + c.name), "ligne 1\r\nligne 2\r\n");
        // The name matched without regard to case, accents included.
        EXPECT_TRUE(plat::FileExists(folder.path() + c.otherCase));
        plat::File text = plat::File::Open(folder.path() + c.otherCase, "r");
        ASSERT_TRUE(text);
        std::string line;
        ASSERT_TRUE(text.GetLine(line, 100));
        EXPECT_EQ(line, "ligne 1\n");
        EXPECT_EQ(plat::FileSize(folder.path() + c.name), 18);
    }
    const auto entries = plat::ListDirectory(folder.path() + "*.*");
    std::vector<std::string> names;
    for (const auto& entry : entries) {
        if (!entry.isFolder) names.push_back(entry.name);
    }
    // Ascending without regard to case: "Données..." before "ÉCHO.jo".
    EXPECT_EQ(names, (std::vector<std::string>{cases[0].name, cases[1].name}));
    EXPECT_EQ(plat::ListDirectory(folder.path() + "*.JO").size(), 1u);
    EXPECT_FALSE(plat::File::Open(folder.path(), "r")) << "a folder does not open as a file";
}

TEST(FilesWin32, CopyMoveAndDeleteFollowTheFileSystem) {
    Folder folder;
    const std::string a = folder.path() + "a.txt", b = folder.path() + "b.txt";
    ASSERT_TRUE(WriteText(a, "contenu\n"));
    plat::FileTime timeA = 0, timeB = 0;
    ASSERT_TRUE(plat::GetFileTime(a, timeA));
    plat::CopyFailure failure = plat::CopyFailure::None;
    EXPECT_TRUE(plat::CopyFile(a, b, false, &failure));
    EXPECT_EQ(ReadRaw(b), "contenu\r\n");
    ASSERT_TRUE(plat::GetFileTime(b, timeB));
    EXPECT_EQ(timeA, timeB) << "the copy keeps the last-write time";
    EXPECT_FALSE(plat::CopyFile(a, b, true, &failure));
    EXPECT_EQ(failure, plat::CopyFailure::Destination);
    EXPECT_FALSE(plat::CopyFile(folder.path() + "absent", b, false, &failure));
    EXPECT_EQ(failure, plat::CopyFailure::Source);
    EXPECT_FALSE(plat::CopyFile(a, folder.path() + "A.TXT", false, &failure))
        << "a copy onto itself under another case would destroy it";
    EXPECT_FALSE(plat::MoveFile(a, b)) << "a move does not replace";
    EXPECT_TRUE(plat::MoveFile(a, folder.path() + "c.txt"));
    EXPECT_TRUE(plat::DeleteFile(folder.path() + "C.TXT"));
    EXPECT_FALSE(plat::FileExists(folder.path() + "c.txt"));
}

TEST(DurableWin32, ReplaceWaitsForNoOneButFailsWhileTheFileIsHeld) {
    Folder folder;
    const std::string staged = folder.path() + "NR.jo.new", base = folder.path() + "NR.jo";
    ASSERT_TRUE(WriteText(staged, "nouveau\n"));
    ASSERT_TRUE(WriteText(base, "ancien\n"));
    EXPECT_TRUE(plat::SyncFile(staged));
    EXPECT_FALSE(plat::SyncFile(folder.path() + "absent"));
    EXPECT_TRUE(plat::SyncFolder(folder.path()));
    {
        // A reader that does not share deletion, as a program reading its
        // base does: the rename is refused, tried again, then reported.
        std::wstring wide;
        for (char c : base) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
        HANDLE held = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(plat::ReplaceFile(staged, base));
        ::CloseHandle(held);
        EXPECT_EQ(ReadRaw(base), "ancien\r\n");
    }
    EXPECT_TRUE(plat::ReplaceFile(staged, folder.path() + "nr.JO"));
    EXPECT_EQ(ReadRaw(base), "nouveau\r\n");
    EXPECT_FALSE(plat::FileExists(staged));
}

TEST(DurableWin32, TheFolderLockKeepsASecondRunOut) {
    Folder folder;
    plat::FolderLock::Outcome outcome{};
    {
        plat::FolderLock first = plat::FolderLock::Acquire(folder.path(), outcome);
        EXPECT_EQ(outcome, plat::FolderLock::Outcome::Held);
        EXPECT_TRUE(first.IsHeld());
        plat::FolderLock second = plat::FolderLock::Acquire(folder.path(), outcome);
        EXPECT_EQ(outcome, plat::FolderLock::Outcome::Busy);
        EXPECT_FALSE(second.IsHeld());
    }
    plat::FolderLock again = plat::FolderLock::Acquire(folder.path(), outcome);
    EXPECT_EQ(outcome, plat::FolderLock::Outcome::Held) << "released with its holder";
    plat::FolderLock::Acquire(folder.path() + "absent", outcome);
    EXPECT_EQ(outcome, plat::FolderLock::Outcome::Unavailable);
}

TEST(DrivesWin32, DriveTypesComeFromTheSystem) {
    struct Case {
        const char* root;
        int type;
    } cases[] = {
        // The system's own codes (windows.h's macros).
        {"C:\\", DRIVE_FIXED},
        {"c:", DRIVE_FIXED},
        {"..\\pas une racine\\", DRIVE_NO_ROOT_DIR},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.root);
        EXPECT_EQ(plat::GetDriveType(c.root), c.type);
    }
    std::string label = "x";
    EXPECT_FALSE(plat::GetVolumeLabel("..\\pas une racine\\", label));
    EXPECT_EQ(label, "");
}

}  // namespace
