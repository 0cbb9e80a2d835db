#include "platform/fs/staged_folder.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "platform/fs/fs_durable.h"

namespace plat {
namespace {

// Hidden where names starting with a dot are: an operator who browses the
// data folder does not take it for part of the base.
constexpr std::string_view kStagingName = ".quervane";
constexpr std::string_view kJournal = "PUBLICATION";
constexpr std::string_view kJournalDraft = "PUBLICATION.new";
constexpr std::string_view kAside = "aside\\";

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string WithSeparator(std::string_view folder) {
    std::string result(folder);
    if (!result.empty() && !IsSeparator(result.back())) result += '\\';
    return result;
}

std::string WithoutSeparator(std::string_view folder) {
    while (folder.size() > 1 && IsSeparator(folder.back())) folder.remove_suffix(1);
    return std::string(folder);
}

// A folder named as a path prefix ("..\data\", or "" for the working
// folder) as the folder functions take it.
std::string FolderName(std::string_view prefix) {
    return WithoutSeparator(prefix.empty() ? std::string_view(".") : prefix);
}

// The journal: one line per file, "R" to rename the staged file over the
// folder's, "D" to remove the folder's, then the name's length and the name
// (a name may hold any byte), and a last line "FIN" that says it is whole.
struct JournalEntry {
    char action = 'R';
    std::string name;
};

std::string JournalText(const std::vector<JournalEntry>& entries) {
    std::string text;
    for (const JournalEntry& entry : entries) {
        text += entry.action;
        text += ' ';
        text += std::to_string(entry.name.size());
        text += ' ';
        text += entry.name;
        text += '\n';
    }
    text += "FIN\n";
    return text;
}

bool ReadJournal(const std::string& path, std::vector<JournalEntry>& entries) {
    File file = File::Open(path, "rb");
    if (!file) return false;
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = file.Read(buffer, 1, sizeof buffer)) > 0;) text.append(buffer, n);
    if (file.Error()) return false;
    std::string_view rest(text);
    while (rest.size() > 2 && (rest[0] == 'R' || rest[0] == 'D') && rest[1] == ' ') {
        JournalEntry entry{rest[0], {}};
        rest.remove_prefix(2);
        std::size_t length = 0;
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), length);
        if (error != std::errc() || end == rest.data() + rest.size() || *end != ' ') return false;
        rest.remove_prefix(static_cast<std::size_t>(end - rest.data()) + 1);
        if (rest.size() < length + 1 || rest[length] != '\n') return false;
        entry.name.assign(rest.substr(0, length));
        rest.remove_prefix(length + 1);
        entries.push_back(std::move(entry));
    }
    return rest == "FIN\n";
}

bool WriteJournal(const std::string& staging, const std::vector<JournalEntry>& entries) {
    const std::string draft = staging + std::string(kJournalDraft);
    const std::string text = JournalText(entries);
    File file = File::Open(draft, "wb");
    if (!file || file.Write(text.data(), 1, text.size()) != text.size() || !file.Close()) {
        return false;
    }
    return SyncFile(draft) && ReplaceFile(draft, staging + std::string(kJournal)) &&
           SyncFolder(WithoutSeparator(staging));
}

}  // namespace

StagedFolder::~StagedFolder() {
    Discard();
}

void StagedFolder::Cover(std::string_view folder) {
    Discard();
    entries_.clear();
    folder_ = WithSeparator(folder);
    identity_ = AbsolutePath(folder_);
    staging_ = folder_ + std::string(kStagingName) + "\\";
}

void StagedFolder::Release() {
    Discard();
    folder_.clear();
    identity_.clear();
    staging_.clear();
}

std::string StagedFolder::NameIn(std::string_view path) const {
    if (identity_.empty()) return {};
    const std::size_t split = path.find_last_of("\\/");
    const std::string_view folder =
        split == std::string_view::npos ? std::string_view() : path.substr(0, split + 1);
    const std::string_view name = split == std::string_view::npos ? path : path.substr(split + 1);
    if (name.empty() || name == "." || name == ".." || CompareNames(name, kStagingName) == 0) {
        return {};
    }
    if (folder != folder_ && AbsolutePath(folder) != identity_) return {};
    return std::string(name);
}

bool StagedFolder::Covers(std::string_view path) const {
    return !NameIn(path).empty();
}

std::string StagedFolder::ReadPath(const std::string& name) const {
    const auto found = entries_.find(name);
    if (found == entries_.end()) return FolderPath(name);
    if (found->second.staged) return StagedPath(name);
    if (found->second.removed) return {};
    return FolderPath(name);
}

bool StagedFolder::CreateStaging() {
    if (stagingExists_) return true;
    const std::string folder = WithoutSeparator(staging_);
    // What a run left there was removed before this run began; anything
    // still there is not this run's.
    if (FolderExists(folder) && !RemoveTree(folder)) return false;
    if (!CreateDirectory(folder)) return false;
    stagingExists_ = true;
    return true;
}

bool StagedFolder::Stage(const std::string& name, std::string_view mode) {
    // What publication could not replace is refused now, before the run
    // works for nothing.
    if (FolderExists(FolderPath(name)) || IsReadOnlyFile(FolderPath(name))) return false;
    if (!CreateStaging()) return false;
    Entry& entry = entries_[name];
    const bool keepsContent =
        !mode.empty() && (mode[0] == 'a' || (mode[0] == 'r' && mode.find('+') != mode.npos));
    if (keepsContent && !entry.staged && !entry.removed && plat::FileExists(FolderPath(name))) {
        return plat::CopyFile(FolderPath(name), StagedPath(name));
    }
    return true;
}

File StagedFolder::Open(std::string_view path, std::string_view mode) {
    const std::string name = NameIn(path);
    if (name.empty()) return File::Open(path, mode);
    if (!mode.empty() && mode[0] == 'r' && mode.find('+') == mode.npos) {
        const std::string from = ReadPath(name);
        return from.empty() ? File() : File::Open(from, mode);
    }
    if (!Stage(name, mode)) return File();
    File file = File::Open(StagedPath(name), mode);
    if (file) {
        Entry& entry = entries_[name];
        entry.name = name;
        entry.staged = true;
        entry.removed = false;
    }
    return file;
}

bool StagedFolder::CopyFile(std::string_view source, std::string_view destination,
                            CopyFailure* failure) {
    const std::string sourceName = NameIn(source);
    const std::string from = sourceName.empty() ? std::string(source) : ReadPath(sourceName);
    if (from.empty()) {
        if (failure != nullptr) *failure = CopyFailure::Source;
        return false;
    }
    const std::string name = NameIn(destination);
    if (name.empty()) return plat::CopyFile(from, destination, false, failure);
    if (!Stage(name, "w")) {
        if (failure != nullptr) *failure = CopyFailure::Destination;
        return false;
    }
    Entry& entry = entries_[name];
    entry.name = name;
    const bool copied = plat::CopyFile(from, StagedPath(name), false, failure);
    // A copy that failed part way is still this run's version: a read finds
    // it, and nothing is published.
    entry.staged = copied || plat::FileExists(StagedPath(name));
    if (entry.staged) entry.removed = false;
    return copied;
}

bool StagedFolder::DeleteFile(std::string_view path) {
    const std::string name = NameIn(path);
    if (name.empty()) return plat::DeleteFile(path);
    bool existed = false;
    const auto found = entries_.find(name);
    if (found != entries_.end() && found->second.staged) {
        plat::DeleteFile(StagedPath(name));
        found->second.staged = false;
        existed = true;
    }
    const bool removedAlready = found != entries_.end() && found->second.removed;
    if (!removedAlready && plat::FileExists(FolderPath(name))) {
        Entry& entry = entries_[name];
        entry.name = name;
        entry.removed = true;
        existed = true;
    }
    return existed;
}

bool StagedFolder::FileExists(std::string_view path) const {
    const std::string name = NameIn(path);
    if (name.empty()) return plat::FileExists(path);
    const std::string from = ReadPath(name);
    return !from.empty() && plat::FileExists(from);
}

bool StagedFolder::Publish(std::string& failedFile) {
    failedFile.clear();
    std::vector<std::string> replaced;
    std::vector<std::string> removed;
    for (const auto& [key, entry] : entries_) {
        if (entry.staged) {
            replaced.push_back(entry.name);
        } else if (entry.removed && plat::FileExists(FolderPath(entry.name))) {
            removed.push_back(entry.name);
        }
    }
    if (replaced.empty() && removed.empty()) {
        Discard();
        return true;
    }

    const std::string staging = WithoutSeparator(staging_);
    for (const std::string& name : replaced) {
        if (!SyncFile(StagedPath(name))) {
            failedFile = FolderPath(name);
            return false;
        }
    }
    std::vector<JournalEntry> journal;
    for (const std::string& name : replaced) journal.push_back({'R', name});
    for (const std::string& name : removed) journal.push_back({'D', name});
    if (!SyncFolder(staging) || !WriteJournal(staging_, journal)) {
        failedFile = staging_ + std::string(kJournal);
        return false;
    }

    // From here on a failure puts back what was changed: the old versions
    // are kept aside under a second name until every rename went through.
    const std::string aside = staging_ + std::string(kAside);
    std::vector<std::string> moved;
    std::vector<std::string> kept;
    std::vector<std::string> renamed;
    const auto putBack = [&](const std::string& name) {
        for (auto it = renamed.rbegin(); it != renamed.rend(); ++it) {
            if (std::find(kept.begin(), kept.end(), *it) != kept.end()) {
                ReplaceFile(aside + *it, FolderPath(*it));
            } else {
                plat::DeleteFile(FolderPath(*it));
            }
        }
        for (const std::string& back : moved) MoveFile(aside + back, FolderPath(back));
        plat::DeleteFile(staging_ + std::string(kJournal));
        SyncFolder(FolderName(folder_));
        failedFile = FolderPath(name);
        return false;
    };
    if (!CreateDirectory(WithoutSeparator(aside)))
        return putBack(removed.empty() ? replaced.front() : removed.front());
    for (const std::string& name : removed) {
        if (!MoveFile(FolderPath(name), aside + name)) return putBack(name);
        moved.push_back(name);
    }
    for (const std::string& name : replaced) {
        if (!plat::FileExists(FolderPath(name))) continue;
        if (!LinkFile(FolderPath(name), aside + name) &&
            !plat::CopyFile(FolderPath(name), aside + name)) {
            return putBack(name);
        }
        kept.push_back(name);
    }
    for (const std::string& name : replaced) {
        if (!ReplaceFile(StagedPath(name), FolderPath(name))) return putBack(name);
        renamed.push_back(name);
    }
    // The journal goes first: left behind, it would have the next run remove
    // again files that the delivery application may have made since.
    plat::DeleteFile(staging_ + std::string(kJournal));
    SyncFolder(staging);
    SyncFolder(FolderName(folder_));
    Discard();
    return true;
}

void StagedFolder::Discard() {
    if (stagingExists_) RemoveTree(WithoutSeparator(staging_));
    stagingExists_ = false;
    entries_.clear();
}

bool StagedFolder::Recover(std::string_view folder, std::string& failedFile) {
    failedFile.clear();
    const std::string base = WithSeparator(folder);
    const std::string staging = base + std::string(kStagingName);
    if (!FolderExists(staging)) return true;
    std::vector<JournalEntry> journal;
    // Without a whole journal the publication never began: what is staged
    // is dropped.
    if (ReadJournal(staging + "\\" + std::string(kJournal), journal)) {
        // Files are removed before any is renamed: once every rename is done,
        // so were the removals, and a file of a removed name is a new one.
        const auto stillStaged = [&](const JournalEntry& entry) {
            return entry.action == 'R' && plat::FileExists(staging + "\\" + entry.name);
        };
        const bool renamesLeft = std::any_of(journal.begin(), journal.end(), stillStaged) ||
                                 std::none_of(journal.begin(), journal.end(),
                                              [](const auto& e) { return e.action == 'R'; });
        for (const JournalEntry& entry : journal) {
            const std::string path = base + entry.name;
            if (entry.action == 'D') {
                if (!renamesLeft) continue;
                if (plat::FileExists(path) && !plat::DeleteFile(path)) {
                    failedFile = path;
                    return false;
                }
                continue;
            }
            const std::string staged = staging + "\\" + entry.name;
            if (plat::FileExists(staged) && !ReplaceFile(staged, path)) {
                failedFile = path;
                return false;
            }
        }
        SyncFolder(FolderName(base));
    }
    RemoveTree(staging);
    return true;
}

}  // namespace plat
