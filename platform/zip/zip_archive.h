// A ZIP archive on disk, extracted into a folder through platform/fs.
//
// Open checks the whole archive before anything is written (see
// zip_reader.h for what is accepted and refused): an archive with an
// encrypted entry, an unsupported method, a name that would leave the target
// folder or declared sizes beyond the limits is refused as a whole. Each
// extracted file is written under a temporary name next to its destination
// and renamed once its size and CRC-32 are checked, so that a failed
// extraction leaves no half-written file; an existing file is replaced.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/zip/zip_reader.h"

namespace plat {

class ZipArchive {
public:
    ZipArchive() = default;
    ZipArchive(ZipArchive&&) noexcept = default;
    ZipArchive& operator=(ZipArchive&&) noexcept = default;
    ~ZipArchive() = default;  // closes

    // Opens the archive file path (a Windows-style path) for reading.
    ZipResult Open(std::string_view path, const ZipLimits& limits = {});
    void Close() { reader_.Close(); }
    bool IsOpen() const { return reader_.IsOpen(); }

    std::size_t GetCount() const { return reader_.Entries().size(); }
    // The header of entry index; false when there is no such entry.
    bool GetEntryHeader(std::size_t index, ZipEntryHeader& header) const;

    // Extracts entry index into folder (created when missing), recreating
    // the entry's stored folders there. A folder entry creates its folders.
    ZipResult Extract(std::size_t index, std::string_view folder);
    // Extracts the content of entry index to the file path, whatever the
    // entry's name. A folder entry writes nothing.
    ZipResult ExtractTo(std::size_t index, std::string_view path);
    // Streams the content of entry index into sink.
    ZipResult Extract(std::size_t index, ZipSink& sink) { return reader_.Extract(index, sink); }

private:
    ZipReader reader_;
};

// The name of an entry without its folders ("SET\SUB\X.TXT" -> "X.TXT");
// empty for a folder entry.
std::string ZipEntryFileName(std::string_view entryName);

// After Extract(index, folder) of an entry stored in folders: moves the file
// to the top of folder (replacing a file of that name), deletes the
// extracted copy even when the move fails, and removes the entry's folders,
// deepest first, as far as they are empty. Does nothing to an entry at the
// top. False when the file did not arrive at the top.
bool FlattenEntry(std::string_view folder, std::string_view entryName);

// Removes the folders of an entry under folder, deepest first, stopping at
// the first that is not empty ("SET\SUB\X.TXT": folder\SET\SUB, then
// folder\SET).
void RemoveEntryFolders(std::string_view folder, std::string_view entryName);

// The French message (1252) for a failed Open or Extract of the archive
// named archive, with the archive's default limits.
std::string ZipErrorText(const ZipResult& result, std::string_view archive);

}  // namespace plat
