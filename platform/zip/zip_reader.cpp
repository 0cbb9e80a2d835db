#include "platform/zip/zip_reader.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace plat {
namespace {

constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr std::uint32_t kCentralHeaderSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kZip64EndSize = 56;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kMaxCommentSize = 0xFFFF;
constexpr std::size_t kBufferSize = 64 * 1024;

constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagStrongEncryption = 0x0040;
constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflated = 8;
constexpr std::uint16_t kMethodAes = 99;
constexpr std::uint16_t kExtraZip64 = 0x0001;
constexpr std::uint16_t kExtraUnicodePath = 0x7075;
constexpr std::uint32_t kMax32 = 0xFFFFFFFF;
constexpr std::uint16_t kMax16 = 0xFFFF;

std::uint16_t Le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t Le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint64_t Le64(const unsigned char* p) {
    return Le32(p) | static_cast<std::uint64_t>(Le32(p + 4)) << 32;
}

ZipResult Fail(ZipStatus status, std::string entry = {}) {
    return {status, std::move(entry), 0};
}

bool IsFolderAttribute(std::uint8_t host, std::uint32_t attributes) {
    constexpr std::uint32_t kDosFolder = 0x10;
    constexpr std::uint32_t kUnixTypeMask = 0170000;
    constexpr std::uint32_t kUnixFolder = 0040000;
    constexpr std::uint8_t kUnixHost = 3;
    if (host == kUnixHost) return ((attributes >> 16) & kUnixTypeMask) == kUnixFolder;
    return (attributes & kDosFolder) != 0;
}

// The extra fields of a central header that matter here.
struct Extras {
    std::string_view unicodePath;
    bool zip64Missing = false;  // a field marked as in the ZIP64 extra was not there
};

// Takes the ZIP64 values of the fields whose central value is all ones, in
// their fixed order.
bool ReadZip64Extra(const unsigned char* data, std::size_t size, ZipEntryHeader& entry,
                    bool diskIsZip64) {
    std::size_t pos = 0;
    const auto take = [&](std::uint64_t& field) {
        if (field != kMax32) return true;
        if (pos + 8 > size) return false;
        field = Le64(data + pos);
        pos += 8;
        return true;
    };
    if (!take(entry.size) || !take(entry.compressedSize) || !take(entry.localHeaderOffset)) {
        return false;
    }
    return !diskIsZip64 || pos + 4 <= size;
}

Extras ReadExtras(const unsigned char* data, std::size_t size, std::string_view rawName,
                  ZipEntryHeader& entry, bool diskIsZip64) {
    Extras extras;
    bool sawZip64 = false;
    std::size_t pos = 0;
    // A malformed tail (some tools pad the extra field) ends the scan.
    while (pos + 4 <= size) {
        const std::uint16_t id = Le16(data + pos);
        const std::uint16_t length = Le16(data + pos + 2);
        const unsigned char* field = data + pos + 4;
        if (pos + 4 + length > size) break;
        if (id == kExtraZip64 && !sawZip64) {
            sawZip64 = true;
            if (!ReadZip64Extra(field, length, entry, diskIsZip64)) extras.zip64Missing = true;
        } else if (id == kExtraUnicodePath && length > 5 && field[0] == 1) {
            const uLong nameCrc = crc32(0, reinterpret_cast<const Bytef*>(rawName.data()),
                                        static_cast<uInt>(rawName.size()));
            if (Le32(field + 1) == nameCrc) {
                extras.unicodePath = {reinterpret_cast<const char*>(field + 5),
                                      static_cast<std::size_t>(length - 5)};
            }
        }
        pos += 4 + length;
    }
    const bool needsZip64 = entry.size == kMax32 || entry.compressedSize == kMax32 ||
                            entry.localHeaderOffset == kMax32 || diskIsZip64;
    if (needsZip64 && !sawZip64) extras.zip64Missing = true;
    return extras;
}

// Frees zlib's state on every return path.
class InflateStream {
public:
    InflateStream() { ok_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK; }
    ~InflateStream() {
        if (ok_) inflateEnd(&stream_);
    }
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;
    bool Ok() const { return ok_; }
    z_stream& operator*() { return stream_; }

private:
    z_stream stream_{};
    bool ok_ = false;
};

}  // namespace

bool ZipMemorySource::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (offset > bytes_.size() || size > bytes_.size() - offset) return false;
    if (size > 0) std::memcpy(buffer, bytes_.data() + offset, size);
    return true;
}

ZipReader::ZipReader() = default;
ZipReader::~ZipReader() = default;
ZipReader::ZipReader(ZipReader&&) noexcept = default;
ZipReader& ZipReader::operator=(ZipReader&&) noexcept = default;

void ZipReader::Close() {
    source_.reset();
    entries_.clear();
    directoryStart_ = 0;
}

ZipResult ZipReader::Open(std::unique_ptr<ZipSource> source, const ZipLimits& limits) {
    Close();
    if (source == nullptr) return Fail(ZipStatus::CannotOpen);
    source_ = std::move(source);
    limits_ = limits;
    Directory directory;
    ZipResult result = ReadEndRecord(directory);
    if (result) result = ReadDirectory(directory);
    if (!result) Close();
    return result;
}

ZipResult ZipReader::ReadEndRecord(Directory& directory) {
    const std::uint64_t fileSize = source_->Size();
    // The end record sits in the last 22 bytes plus the comment; the last
    // candidate whose comment fits in the file wins.
    const std::size_t tailSize =
        static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kEndSize + kMaxCommentSize));
    std::vector<unsigned char> tail(tailSize);
    if (!source_->ReadAt(fileSize - tailSize, tail.data(), tailSize)) {
        return Fail(ZipStatus::CannotOpen);
    }
    std::size_t at = tailSize;
    for (std::size_t i = tailSize >= kEndSize ? tailSize - kEndSize + 1 : 0; i-- > 0;) {
        if (Le32(&tail[i]) == kEndSignature && i + kEndSize + Le16(&tail[i + 20]) <= tailSize) {
            at = i;
            break;
        }
    }
    if (at == tailSize) {
        std::array<unsigned char, 4> head{};
        const bool looksLikeZip = source_->ReadAt(0, head.data(), head.size()) &&
                                  Le32(head.data()) == kLocalHeaderSignature;
        return Fail(looksLikeZip ? ZipStatus::Damaged : ZipStatus::NotAZip);
    }
    const unsigned char* end = &tail[at];
    const std::uint64_t endOffset = fileSize - tailSize + at;
    directory.end = endOffset;
    const bool oneDisk =
        Le16(end + 4) == 0 && Le16(end + 6) == 0 && Le16(end + 8) == Le16(end + 10);
    directory.count = Le16(end + 10);
    directory.size = Le32(end + 12);
    directory.offset = Le32(end + 16);
    std::array<unsigned char, kZip64LocatorSize> locator{};
    if (endOffset >= kZip64LocatorSize &&
        source_->ReadAt(endOffset - kZip64LocatorSize, locator.data(), locator.size()) &&
        Le32(locator.data()) == kZip64LocatorSignature) {
        if (Le32(locator.data() + 4) != 0 || Le32(locator.data() + 16) > 1) {
            return Fail(ZipStatus::SplitArchive);
        }
        return ReadZip64EndRecord(Le64(locator.data() + 8), endOffset - kZip64LocatorSize,
                                  directory);
    }
    return oneDisk ? ZipResult{} : Fail(ZipStatus::SplitArchive);
}

ZipResult ZipReader::ReadZip64EndRecord(std::uint64_t offset, std::uint64_t locatorOffset,
                                        Directory& directory) {
    std::array<unsigned char, kZip64EndSize> record{};
    const auto recordAt = [&](std::uint64_t at) {
        return at <= locatorOffset && locatorOffset - at >= kZip64EndSize &&
               source_->ReadAt(at, record.data(), record.size()) &&
               Le32(record.data()) == kZip64EndSignature;
    };
    // With data before the archive, the record is found right before the
    // locator instead of at its stated offset.
    if (!recordAt(offset)) {
        if (locatorOffset < kZip64EndSize) return Fail(ZipStatus::Damaged);
        offset = locatorOffset - kZip64EndSize;
        if (!recordAt(offset)) return Fail(ZipStatus::Damaged);
    }
    const bool oneDisk =
        Le32(&record[16]) == 0 && Le32(&record[20]) == 0 && Le64(&record[24]) == Le64(&record[32]);
    if (!oneDisk) return Fail(ZipStatus::SplitArchive);
    directory.count = Le64(&record[32]);
    directory.size = Le64(&record[40]);
    directory.offset = Le64(&record[48]);
    directory.end = offset;
    return {};
}

ZipResult ZipReader::ReadDirectory(const Directory& directory) {
    const std::uint64_t count = directory.count, size = directory.size;
    if (size > directory.end || count > size / kCentralHeaderSize ||
        directory.offset > directory.end - size) {
        return Fail(ZipStatus::Damaged);
    }
    // Data before the archive (a self-extractor stub) shifts every offset:
    // the directory then ends right at the end record, not at its offset.
    std::array<unsigned char, 4> signature{};
    const auto directoryAt = [&](std::uint64_t at) {
        return count == 0 || (source_->ReadAt(at, signature.data(), signature.size()) &&
                              Le32(signature.data()) == kCentralHeaderSignature);
    };
    std::uint64_t prefix = 0;
    if (!directoryAt(directory.offset)) {
        prefix = directory.end - size - directory.offset;
        if (prefix == 0 || !directoryAt(directory.offset + prefix)) {
            return Fail(ZipStatus::Damaged);
        }
    }
    std::uint64_t offset = directory.offset + prefix;
    directoryStart_ = offset;
    entries_.reserve(static_cast<std::size_t>(count));
    std::uint64_t total = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (ZipResult r = ReadCentralHeader(offset, directoryStart_ + size, prefix); !r) return r;
        if (ZipResult r = CheckEntry(entries_.back(), total); !r) return r;
    }
    input_.resize(kBufferSize);
    output_.resize(kBufferSize);
    return {};
}

ZipResult ZipReader::ReadCentralHeader(std::uint64_t& offset, std::uint64_t end,
                                       std::uint64_t prefix) {
    std::array<unsigned char, kCentralHeaderSize> h{};
    if (end - offset < kCentralHeaderSize || !source_->ReadAt(offset, h.data(), h.size()) ||
        Le32(h.data()) != kCentralHeaderSignature) {
        return Fail(ZipStatus::Damaged);
    }
    const std::uint8_t host = h[5];
    const std::size_t nameLength = Le16(&h[28]), extraLength = Le16(&h[30]);
    const std::size_t variableLength = nameLength + extraLength + Le16(&h[32]);
    if (end - offset - kCentralHeaderSize < variableLength) return Fail(ZipStatus::Damaged);
    std::vector<unsigned char> variable(nameLength + extraLength);
    if (!source_->ReadAt(offset + kCentralHeaderSize, variable.data(), variable.size())) {
        return Fail(ZipStatus::Damaged);
    }
    offset += kCentralHeaderSize + variableLength;

    ZipEntryHeader entry;
    entry.flags = Le16(&h[8]);
    entry.method = Le16(&h[10]);
    entry.crc = Le32(&h[16]);
    entry.compressedSize = Le32(&h[20]);
    entry.size = Le32(&h[24]);
    entry.localHeaderOffset = Le32(&h[42]);
    const std::string_view rawName(reinterpret_cast<const char*>(variable.data()), nameLength);
    const Extras extras = ReadExtras(variable.data() + nameLength, extraLength, rawName, entry,
                                     Le16(&h[34]) == kMax16);
    entry.name = DecodeEntryName(rawName, entry.flags, host, extras.unicodePath);
    if (extras.zip64Missing) return Fail(ZipStatus::Damaged, entry.name);
    if (Le16(&h[34]) != 0) return Fail(ZipStatus::SplitArchive, entry.name);
    entry.isFolder = entry.name.ends_with('\\');
    if (!entry.isFolder && entry.size == 0 && IsFolderAttribute(host, Le32(&h[38]))) {
        entry.isFolder = true;
        entry.name.push_back('\\');
    }
    if (entry.localHeaderOffset > UINT64_MAX - prefix) return Fail(ZipStatus::Damaged, entry.name);
    entry.localHeaderOffset += prefix;
    entries_.push_back(std::move(entry));
    return {};
}

ZipResult ZipReader::CheckEntry(const ZipEntryHeader& entry, std::uint64_t& total) const {
    if ((entry.flags & (kFlagEncrypted | kFlagStrongEncryption)) != 0 ||
        entry.method == kMethodAes) {
        return Fail(ZipStatus::Encrypted, entry.name);
    }
    if (entry.method != kMethodStored && entry.method != kMethodDeflated) {
        return {ZipStatus::Unsupported, entry.name, entry.method};
    }
    std::vector<std::string_view> components;
    if (!SplitEntryName(entry.name, components)) return Fail(ZipStatus::UnsafeName, entry.name);
    // Entry data lie between the local header and the central directory.
    const bool fits =
        entry.localHeaderOffset <= directoryStart_ &&
        directoryStart_ - entry.localHeaderOffset >= kLocalHeaderSize &&
        entry.compressedSize <= directoryStart_ - entry.localHeaderOffset - kLocalHeaderSize;
    if (!fits || (entry.method == kMethodStored && entry.compressedSize != entry.size)) {
        return Fail(ZipStatus::Damaged, entry.name);
    }
    if (entry.size > limits_.maxTotalSize - std::min(total, limits_.maxTotalSize)) {
        return Fail(ZipStatus::TooLarge, entry.name);
    }
    total += entry.size;
    // size > compressed * ratio, without overflow.
    if (entry.size > limits_.ratioExemptSize && limits_.maxRatio > 0 &&
        (entry.size - 1) / limits_.maxRatio >= entry.compressedSize) {
        return Fail(ZipStatus::RatioTooHigh, entry.name);
    }
    return {};
}

ZipResult ZipReader::Extract(std::size_t index, ZipSink& sink) {
    if (!IsOpen() || index >= entries_.size()) return Fail(ZipStatus::NoSuchEntry);
    const ZipEntryHeader& entry = entries_[index];
    if (entry.isFolder) return {};
    std::uint64_t dataOffset = 0;
    if (ZipResult r = LocateData(entry, dataOffset); !r) return r;
    return entry.method == kMethodStored ? CopyStored(entry, dataOffset, sink)
                                         : Inflate(entry, dataOffset, sink);
}

ZipResult ZipReader::LocateData(const ZipEntryHeader& entry, std::uint64_t& dataOffset) {
    std::array<unsigned char, kLocalHeaderSize> h{};
    if (!source_->ReadAt(entry.localHeaderOffset, h.data(), h.size()) ||
        Le32(h.data()) != kLocalHeaderSignature) {
        return Fail(ZipStatus::Damaged, entry.name);
    }
    if ((Le16(&h[6]) & (kFlagEncrypted | kFlagStrongEncryption)) != 0) {
        return Fail(ZipStatus::Encrypted, entry.name);
    }
    dataOffset = entry.localHeaderOffset + kLocalHeaderSize + Le16(&h[26]) + Le16(&h[28]);
    if (dataOffset > directoryStart_ || entry.compressedSize > directoryStart_ - dataOffset) {
        return Fail(ZipStatus::Damaged, entry.name);
    }
    return {};
}

ZipResult ZipReader::CopyStored(const ZipEntryHeader& entry, std::uint64_t dataOffset,
                                ZipSink& sink) {
    uLong crc = crc32(0, nullptr, 0);
    for (std::uint64_t done = 0; done < entry.size;) {
        const auto chunk =
            static_cast<std::size_t>(std::min<std::uint64_t>(entry.size - done, input_.size()));
        if (!source_->ReadAt(dataOffset + done, input_.data(), chunk)) {
            return Fail(ZipStatus::Damaged, entry.name);
        }
        crc = crc32_z(crc, input_.data(), chunk);
        if (!sink.Write(input_.data(), chunk)) return Fail(ZipStatus::WriteFailed, entry.name);
        done += chunk;
    }
    if (crc != entry.crc) return Fail(ZipStatus::CrcMismatch, entry.name);
    return {};
}

ZipResult ZipReader::Inflate(const ZipEntryHeader& entry, std::uint64_t dataOffset, ZipSink& sink) {
    InflateStream stream;
    if (!stream.Ok()) return Fail(ZipStatus::Damaged, entry.name);
    z_stream& z = *stream;
    uLong crc = crc32(0, nullptr, 0);
    std::uint64_t consumed = 0, produced = 0;
    for (int rc = Z_OK; rc != Z_STREAM_END;) {
        if (z.avail_in == 0) {
            // The stream must end within the declared compressed size.
            if (consumed == entry.compressedSize) return Fail(ZipStatus::Damaged, entry.name);
            const auto chunk = static_cast<std::size_t>(
                std::min<std::uint64_t>(entry.compressedSize - consumed, input_.size()));
            if (!source_->ReadAt(dataOffset + consumed, input_.data(), chunk)) {
                return Fail(ZipStatus::Damaged, entry.name);
            }
            consumed += chunk;
            z.next_in = input_.data();
            z.avail_in = static_cast<uInt>(chunk);
        }
        z.next_out = output_.data();
        z.avail_out = static_cast<uInt>(output_.size());
        rc = inflate(&z, Z_NO_FLUSH);
        const std::size_t got = output_.size() - z.avail_out;
        const bool stuck = rc == Z_BUF_ERROR && got == 0 && z.avail_in != 0;
        if ((rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) || stuck) {
            return Fail(ZipStatus::Damaged, entry.name);
        }
        // Stop before writing anything beyond the declared size.
        if (got > entry.size - produced) return Fail(ZipStatus::Damaged, entry.name);
        produced += got;
        crc = crc32_z(crc, output_.data(), got);
        if (got > 0 && !sink.Write(output_.data(), got)) {
            return Fail(ZipStatus::WriteFailed, entry.name);
        }
    }
    if (produced != entry.size) return Fail(ZipStatus::Damaged, entry.name);
    if (crc != entry.crc) return Fail(ZipStatus::CrcMismatch, entry.name);
    return {};
}

}  // namespace plat
