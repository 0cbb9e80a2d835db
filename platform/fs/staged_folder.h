// The changes of one run to a folder that another program reads (the data
// folder), kept whole or not at all.
//
// While a run works, every file it writes in the folder is written to a
// staging folder inside it (same file system) and every file it deletes there
// is only marked; what the run reads of the folder it reads as changed so far.
// Publish makes the change visible in one short step:
//   1. each staged file and the staging folder are flushed to the disk;
//   2. a journal naming every file to replace and to remove is written and
//      flushed: from here on the change is decided;
//   3. the files to remove are moved aside, and the old version of every file
//      to replace keeps a second name aside;
//   4. each staged file is renamed over the old one;
//   5. what was set aside, the journal and the staging folder are removed.
// A failure in steps 1 to 4 puts back what was set aside and changed, so the
// folder is as it was; a kill after step 2 leaves the journal, with which the
// next run finishes the publication (Recover) before it does anything else. A
// run that ends without publishing, or is killed before step 2, leaves only
// its staging folder, which the next run removes.
//
// Paths are given as the run names them ("..\data\NR.JO"); a path whose
// folder is not the covered folder passes straight to the file system.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/fs/fs.h"

namespace plat {

class StagedFolder {
public:
    // Covers no folder until Cover: every call goes to the file system.
    StagedFolder() = default;
    StagedFolder(const StagedFolder&) = delete;
    StagedFolder& operator=(const StagedFolder&) = delete;
    // Removes what was staged and not published.
    ~StagedFolder();

    // From now on, changes to the files of folder ("..\data\") are staged.
    void Cover(std::string_view folder);
    // Drops what was staged and not published, and covers no folder.
    void Release();
    bool Covers(std::string_view path) const;

    // As File::Open: a read finds the run's own version of a covered file,
    // a write goes to the staged copy ("a" and "r+" start from the file as
    // the run sees it).
    File Open(std::string_view path, std::string_view mode);
    // As plat::CopyFile, either side possibly covered.
    bool CopyFile(std::string_view source, std::string_view destination,
                  CopyFailure* failure = nullptr);
    // As plat::DeleteFile: true when the file existed as the run sees it.
    bool DeleteFile(std::string_view path);
    bool FileExists(std::string_view path) const;

    // Publishes the staged change (see above). False when it could not:
    // the folder is then as it was, and failedFile names the file (as the run
    // names it) that could not be flushed, set aside or replaced.
    bool Publish(std::string& failedFile);

    // Before a run changes folder: finishes a publication that a run cut
    // short, and removes what a run that never published left staged. False,
    // with the file that could not be replaced, when it could not finish.
    static bool Recover(std::string_view folder, std::string& failedFile);

private:
    struct Entry {
        std::string name;      // as the run last wrote it
        bool staged = false;   // the staging folder holds its new version
        bool removed = false;  // the folder's version goes at publication
    };
    struct NameOrder {
        bool operator()(const std::string& a, const std::string& b) const {
            return CompareNames(a, b) < 0;
        }
    };

    std::string NameIn(std::string_view path) const;
    std::string StagedPath(std::string_view name) const { return staging_ + std::string(name); }
    std::string FolderPath(std::string_view name) const { return folder_ + std::string(name); }
    // Where a read of the covered file name finds the run's version; empty
    // when the run removed it.
    std::string ReadPath(const std::string& name) const;
    // Makes the staged copy of name ready for mode; false when it cannot.
    bool Stage(const std::string& name, std::string_view mode);
    bool CreateStaging();
    void Discard();

    std::string folder_;    // as the run names it, ending with a separator
    std::string identity_;  // its absolute native path
    std::string staging_;   // the staging folder, ending with a separator
    std::map<std::string, Entry, NameOrder> entries_;
    bool stagingExists_ = false;
};

}  // namespace plat
