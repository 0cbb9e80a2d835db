#include "platform/fs/staged_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "platform/fs/fs_durable.h"
#include "tests/unit/test_support.h"

namespace {

namespace stdfs = std::filesystem;
using test_support::ReadFile;
using test_support::WriteFile;

// The whole content of a folder tree: relative path -> bytes ("/" for a
// folder), read with the standard library.
std::map<std::string, std::string> Contents(const stdfs::path& root) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : stdfs::recursive_directory_iterator(root)) {
        const std::string name = stdfs::relative(entry.path(), root).string();
        contents[name] = entry.is_directory() ? "/" : ReadFile(entry.path());
    }
    return contents;
}

// The folder as the delivery application reads it: without the staging
// folder of a run under way.
std::map<std::string, std::string> Visible(const stdfs::path& root) {
    auto contents = Contents(root);
    std::erase_if(contents, [](const auto& e) { return e.first.starts_with(".quervane"); });
    return contents;
}

// A data folder holding an old base: subscribers, bundles and two index
// files.
class StagedFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp_.ok());
        data_ = temp_.path() / "data";
        WriteFile(data_ / "nr.jo", "old subscribers\r\n");
        WriteFile(data_ / "NR.LI", "old bundles\r\n");
        WriteFile(data_ / "NR.0", "index 0");
        WriteFile(data_ / "NR.3", "index 3");
        old_ = Contents(data_);
        // The run names the folder in its own way: backslashes, a detour.
        folder_ = temp_.path().string() + "/data/../data\\";
    }

    std::string Path(const std::string& name) const { return folder_ + name; }

    // Writes text as the whole file name through staged.
    static bool Write(plat::StagedFolder& staged, const std::string& path, const std::string& text,
                      const char* mode = "w") {
        plat::File file = staged.Open(path, mode);
        return file && file.Puts(text) && file.Close();
    }
    static std::string Read(plat::StagedFolder& staged, const std::string& path) {
        plat::File file = staged.Open(path, "rb");
        if (!file) return "<none>";
        std::string text;
        for (int c; (c = file.Getc()) != EOF;) text += static_cast<char>(c);
        return text;
    }

    test_support::TempFolder temp_;
    stdfs::path data_;
    std::string folder_;
    std::map<std::string, std::string> old_;
};

TEST_F(StagedFolderTest, TheRunSeesItsChangesAndTheFolderOnlyAfterPublication) {
    plat::StagedFolder staged;
    staged.Cover(folder_);
    ASSERT_TRUE(Write(staged, Path("NR.JO"), "new subscribers\n"));
    ASSERT_TRUE(Write(staged, Path("NR.LI"), "more bundles\n", "a"));
    ASSERT_TRUE(Write(staged, Path("NR.RO"), "routes\n"));
    EXPECT_TRUE(staged.DeleteFile(Path("NR.0")));
    EXPECT_TRUE(staged.DeleteFile(Path("nr.3")));
    EXPECT_FALSE(staged.DeleteFile(Path("NR.5")));

    // As the run reads it: its own writes, "a" after the old content, the
    // deleted files gone; outside the folder, paths go straight through.
    EXPECT_EQ(Read(staged, Path("nr.jo")), "new subscribers\r\n");
    EXPECT_EQ(Read(staged, Path("NR.LI")), "old bundles\r\nmore bundles\r\n");
    EXPECT_EQ(Read(staged, Path("NR.0")), "<none>");
    EXPECT_FALSE(staged.FileExists(Path("NR.3")));
    EXPECT_TRUE(staged.FileExists(Path("NR.RO")));
    ASSERT_TRUE(Write(staged, temp_.path().string() + "/outside.txt", "x"));
    EXPECT_TRUE(stdfs::exists(temp_.path() / "outside.txt"));
    EXPECT_TRUE(staged.CopyFile(Path("NR.LI"), Path("NR.LI2")));
    EXPECT_EQ(Read(staged, Path("NR.LI2")), "old bundles\r\nmore bundles\r\n");

    EXPECT_EQ(Visible(data_), old_);

    std::string failed;
    ASSERT_TRUE(staged.Publish(failed)) << failed;
    const std::map<std::string, std::string> published = {
        {"nr.jo", "new subscribers\r\n"},  // the existing name's case is kept
        {"NR.LI", "old bundles\r\nmore bundles\r\n"},
        {"NR.LI2", "old bundles\r\nmore bundles\r\n"},
        {"NR.RO", "routes\r\n"},
    };
    EXPECT_EQ(Contents(data_), published);
}

TEST_F(StagedFolderTest, ARunThatDoesNotPublishLeavesTheFolderAsItWas) {
    {
        plat::StagedFolder staged;
        staged.Cover(folder_);
        ASSERT_TRUE(Write(staged, Path("NR.JO"), "new"));
        staged.DeleteFile(Path("NR.0"));
        EXPECT_TRUE(stdfs::exists(data_ / ".quervane"));
    }
    EXPECT_EQ(Contents(data_), old_);
}

TEST_F(StagedFolderTest, AFailedPublicationPutsEveryFileBack) {
    plat::StagedFolder staged;
    staged.Cover(folder_);
    ASSERT_TRUE(Write(staged, Path("NR.JO"), "new subscribers"));
    ASSERT_TRUE(Write(staged, Path("NR.LI"), "new bundles"));
    ASSERT_TRUE(Write(staged, Path("NR.RO"), "routes"));
    staged.DeleteFile(Path("NR.0"));
    // Something another program did meanwhile: NR.RO cannot be replaced,
    // after NR.JO and NR.LI were.
    WriteFile(data_ / "NR.RO" / "held", "x");
    const auto expected = Visible(data_);

    std::string failed;
    EXPECT_FALSE(staged.Publish(failed));
    EXPECT_EQ(failed, Path("NR.RO"));
    EXPECT_EQ(Visible(data_), expected);
}

TEST_F(StagedFolderTest, WhatCannotBeReplacedIsRefusedWhenTheRunWritesIt) {
    stdfs::create_directory(data_ / "NR.SA");
    plat::StagedFolder staged;
    staged.Cover(folder_);
    EXPECT_FALSE(staged.Open(Path("NR.SA"), "w"));
    EXPECT_FALSE(staged.CopyFile(Path("NR.LI"), Path("nr.sa")));
}

TEST_F(StagedFolderTest, RecoveryDropsWhatARunStagedWithoutPublishing) {
    WriteFile(data_ / ".quervane" / "NR.JO", "half written");
    std::string failed;
    EXPECT_TRUE(plat::StagedFolder::Recover(folder_, failed));
    EXPECT_EQ(Contents(data_), old_);
    // And a folder without staging is left alone.
    EXPECT_TRUE(plat::StagedFolder::Recover(folder_, failed));
    EXPECT_EQ(Contents(data_), old_);
}

TEST_F(StagedFolderTest, OneRunHoldsTheFolderAtATime) {
    using Outcome = plat::FolderLock::Outcome;
    Outcome outcome = Outcome::Unavailable;
    {
        plat::FolderLock first = plat::FolderLock::Acquire(folder_, outcome);
        EXPECT_EQ(outcome, Outcome::Held);
        EXPECT_TRUE(first.IsHeld());
        plat::FolderLock second = plat::FolderLock::Acquire(data_.string(), outcome);
        EXPECT_EQ(outcome, Outcome::Busy);
        EXPECT_FALSE(second.IsHeld());
    }
    {
        plat::FolderLock again = plat::FolderLock::Acquire(folder_, outcome);
        EXPECT_EQ(outcome, Outcome::Held);
        plat::FolderLock::Acquire(folder_ + "missing", outcome);
        EXPECT_EQ(outcome, Outcome::Unavailable);
    }
    // Nothing is left in the folder by the lock.
    EXPECT_EQ(Contents(data_), old_);
}

}  // namespace
