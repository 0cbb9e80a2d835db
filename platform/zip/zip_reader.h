// ZIP archive reader over zlib: the format side, independent of the file
// system. One entry point, ZipReader::Open, reads the central directory of an
// archive given as a ZipSource; Extract then streams one entry into a ZipSink
// through fixed buffers.
//
// Accepted:
// - an end of central directory record, with a comment and with data before
//   the archive (offsets relative to the archive's own start are corrected);
// - the ZIP64 end of central directory record and its locator, and the
//   ZIP64 extra field of central headers (sizes, local header offset);
// - entries stored (method 0) or deflated (method 8, raw inflate), with or
//   without a data descriptor, the descriptor with or without its signature:
//   sizes and CRC-32 are taken from the central directory;
// - names with "/" or "\" as folder separator; folder entries (a name ending
//   with a separator, or a folder attribute on an empty entry). Names are
//   returned in 1252 with "\" as separator: UTF-8 names (flag bit 11 or the
//   Unicode path extra field), names written by DOS and Windows tools in
//   code page 850, anything else taken as UTF-8 when valid, else as 1252.
//
// Refused when opening, for the whole archive: no end record (not a ZIP);
// records that contradict each other or point outside the file (damaged); a
// split archive; an encrypted entry; a method other than stored or deflated;
// a name that would not stay inside the target folder (see SplitEntryName);
// declared sizes adding up beyond ZipLimits::maxTotalSize; an entry whose
// declared ratio passes ZipLimits::maxRatio. Refused while extracting: a
// CRC-32 mismatch, data that inflate beyond the declared size (extraction
// stops there) or fall short of it, a damaged deflate stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/zip/zip_names.h"

namespace plat {

enum class ZipStatus {
    Ok,
    CannotOpen,    // the archive file cannot be opened
    NotAZip,       // no end of central directory record
    Damaged,       // inconsistent records, truncated file, bad compressed data
    SplitArchive,  // spread over several files
    Encrypted,
    Unsupported,   // a compression method other than stored and deflated
    UnsafeName,    // absolute, drive letter, ".." or another way out of the target
    TooLarge,      // declared sizes beyond ZipLimits::maxTotalSize
    RatioTooHigh,  // an entry beyond ZipLimits::maxRatio
    CrcMismatch,
    WriteFailed,  // the sink refused data, or an extracted file could not be written
    NoSuchEntry,
};

struct ZipResult {
    ZipStatus status = ZipStatus::Ok;
    std::string entry;         // name of the entry concerned (1252), empty when none
    std::uint16_t method = 0;  // the compression method, for Unsupported

    bool Ok() const { return status == ZipStatus::Ok; }
    explicit operator bool() const { return Ok(); }
};

struct ZipEntryHeader {
    std::string name;  // 1252, "\" as folder separator; a folder entry ends with "\"
    bool isFolder = false;
    std::uint64_t size = 0;  // uncompressed
    std::uint64_t compressedSize = 0;
    std::uint32_t crc = 0;
    std::uint16_t method = 0;
    std::uint16_t flags = 0;  // general purpose bit flag
    std::uint64_t localHeaderOffset = 0;
};

struct ZipLimits {
    std::uint64_t maxTotalSize = std::uint64_t{8} << 30;
    std::uint64_t maxRatio = 1000;
    // An entry up to this size cannot fill a disk whatever its ratio (a
    // file of blanks deflates near 1000 to 1): the ratio rule skips it.
    std::uint64_t ratioExemptSize = std::uint64_t{1} << 20;
};

class ZipSource {
public:
    virtual ~ZipSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Reads exactly size bytes at offset; false when it cannot.
    virtual bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
};

// An archive held in memory (the bytes are kept by the source).
class ZipMemorySource final : public ZipSource {
public:
    explicit ZipMemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override;

private:
    std::string bytes_;
};

class ZipSink {
public:
    virtual ~ZipSink() = default;
    // False stops the extraction with WriteFailed.
    virtual bool Write(const void* data, std::size_t size) = 0;
};

class ZipReader {
public:
    ZipReader();
    ~ZipReader();
    ZipReader(ZipReader&&) noexcept;
    ZipReader& operator=(ZipReader&&) noexcept;

    // Reads and checks the central directory. On failure the reader is
    // closed and the result names the offending entry when there is one.
    ZipResult Open(std::unique_ptr<ZipSource> source, const ZipLimits& limits = {});
    void Close();
    bool IsOpen() const { return source_ != nullptr; }

    const std::vector<ZipEntryHeader>& Entries() const { return entries_; }

    // Streams the content of entry index into sink, checking its size and
    // CRC-32. A folder entry writes nothing. On failure the sink may have
    // received part of the content (never more than the declared size).
    ZipResult Extract(std::size_t index, ZipSink& sink);

private:
    // Where the end records place the central directory; end is the offset
    // of the record that follows it.
    struct Directory {
        std::uint64_t count = 0;
        std::uint64_t size = 0;
        std::uint64_t offset = 0;
        std::uint64_t end = 0;
    };
    ZipResult ReadEndRecord(Directory& directory);
    ZipResult ReadZip64EndRecord(std::uint64_t offset, std::uint64_t locatorOffset,
                                 Directory& directory);
    ZipResult ReadDirectory(const Directory& directory);
    ZipResult ReadCentralHeader(std::uint64_t& offset, std::uint64_t end, std::uint64_t prefix);
    ZipResult CheckEntry(const ZipEntryHeader& entry, std::uint64_t& total) const;
    ZipResult LocateData(const ZipEntryHeader& entry, std::uint64_t& dataOffset);
    ZipResult CopyStored(const ZipEntryHeader& entry, std::uint64_t dataOffset, ZipSink& sink);
    ZipResult Inflate(const ZipEntryHeader& entry, std::uint64_t dataOffset, ZipSink& sink);

    std::unique_ptr<ZipSource> source_;
    ZipLimits limits_;
    std::vector<ZipEntryHeader> entries_;
    std::uint64_t directoryStart_ = 0;  // where entry data must end
    std::vector<unsigned char> input_;
    std::vector<unsigned char> output_;
};

}  // namespace plat
