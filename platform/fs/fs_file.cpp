// plat::File on POSIX: one descriptor, one 64 KiB buffer shared by reading
// and writing, positional I/O (the buffer's file offset is all the state),
// Windows text-mode translation done in the buffer. A large stream that only
// reads or only writes gets a second buffer and a thread of its own: the
// next buffer is read, or the last one written, while the caller works on
// the other.
#include <fcntl.h>
#if defined(__linux__)
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdarg>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/fs/fs.h"
#include "platform/fs/fs_descriptor.h"
#include "platform/memory.h"

namespace plat {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
// An asynchronous read fills the second half of the other buffer: the first
// half takes the unread end of the current one (at most half a buffer when
// the read comes from a line view).
constexpr std::size_t kHead = kBufferSize / 2;
// Streams shorter than this stay synchronous: a thread costs more than it
// saves on them.
constexpr std::int64_t kAsyncMinimum = 1 << 20;
// The buffers of an asynchronous stream: large, because every hand-over
// between the threads costs two task switches.
constexpr std::size_t kAsyncSize = 2 << 20;

struct OpenMode {
    int flags = 0;
    bool read = false;
    bool write = false;
    bool append = false;
    bool text = true;
    bool random = false;  // the caller reads here and there: no read ahead
};

// fopen's modes: "r", "w" or "a", then at most one each of "+", "b", "t"
// (not both "b" and "t"), and of the access hints "R" (random) and "S"
// (sequential), not both, in any order.
bool ParseMode(std::string_view mode, OpenMode& out) {
    if (mode.empty() || mode.size() > 4) return false;
    const std::string_view rest = mode.substr(1);
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const bool known = std::string_view("+btRS").find(rest[i]) != std::string_view::npos;
        if (!known || rest.find(rest[i], i + 1) != std::string_view::npos) return false;
    }
    const bool plus = rest.find('+') != std::string_view::npos;
    const bool binary = rest.find('b') != std::string_view::npos;
    if (binary && rest.find('t') != std::string_view::npos) return false;
    out.random = rest.find('R') != std::string_view::npos;
    if (out.random && rest.find('S') != std::string_view::npos) return false;
    out.text = !binary;
    switch (mode[0]) {
        case 'r':
            out.read = true;
            out.write = plus;
            out.flags = plus ? O_RDWR : O_RDONLY;
            return true;
        case 'w':
            out.write = true;
            out.read = plus;
            out.flags = (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
            return true;
        case 'a':
            out.write = out.append = true;
            out.read = plus;
            out.flags = (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
            return true;
        default:
            return false;
    }
}

// The large buffers of an asynchronous stream are read and written through
// in full many times over: they take large pages where there are some.
struct Block {
    LargeBuffer data;
    std::size_t size = 0;

    static Block Make(std::size_t size) {
        return {LargeBuffer(size, LargeBuffer::Pages::Large), size};
    }
    char* get() { return data.data(); }
};

// Output of the read loop: a caller's array or a std::string.
struct ArraySink {
    char* out;
    void append(const char* p, std::size_t n) {
        std::memcpy(out, p, n);
        out += n;
    }
    void push_back(char c) { *out++ = c; }
};

// One read or one write at a time, on a thread of its own.
class Courier {
public:
    struct Job {
        bool write = false;
        int fd = -1;
        char* data = nullptr;
        std::size_t size = 0;
        std::int64_t offset = 0;
        // Or pieces to write, each at its offset.
        const std::vector<File::Placed>* placed = nullptr;
    };
    struct Result {
        std::size_t bytes = 0;
        bool error = false;
    };

    Courier() : thread_([this] { Run(); }) {}
    ~Courier() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    Courier(const Courier&) = delete;
    Courier& operator=(const Courier&) = delete;

    void Submit(const Job& job) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            job_ = job;
            state_ = State::Pending;
        }
        changed_.notify_all();
    }
    // Waits for the job submitted last.
    Result Wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return state_ == State::Done; });
        state_ = State::Idle;
        return result_;
    }

private:
    enum class State { Idle, Pending, Done };

    void Run() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return stop_ || state_ == State::Pending; });
            if (state_ != State::Pending) return;
            const Job job = job_;
            lock.unlock();
            const Result result = Perform(job);
            lock.lock();
            result_ = result;
            state_ = State::Done;
            changed_.notify_all();
        }
    }

    static bool WriteWhole(int fd, const char* data, std::size_t size, std::int64_t offset) {
        while (size > 0) {
            const ssize_t n = native::WriteAt(fd, data, size, offset);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            data += n;
            size -= static_cast<std::size_t>(n);
            offset += n;
        }
        return true;
    }

    // The disk starts writing what was just written: a flush at the end
    // then finds little left to wait for, and the run's own work hides the
    // rest of it.
    static void StartWriteBack([[maybe_unused]] int fd, [[maybe_unused]] std::int64_t offset,
                               [[maybe_unused]] std::size_t size) {
#if defined(__linux__)
        ::sync_file_range(fd, offset, static_cast<off_t>(size), SYNC_FILE_RANGE_WRITE);
#endif
    }

    // A whole write, or a read until the size or the end of the file.
    static Result Perform(const Job& job) {
        Result result;
        if (job.placed != nullptr) {
            for (const File::Placed& piece : *job.placed) {
                if (!WriteWhole(job.fd, piece.bytes.data(), piece.bytes.size(), piece.offset)) {
                    result.error = true;
                    break;
                }
                StartWriteBack(job.fd, piece.offset, piece.bytes.size());
                result.bytes += piece.bytes.size();
            }
            return result;
        }
        while (result.bytes < job.size) {
            const auto offset = job.offset + static_cast<std::int64_t>(result.bytes);
            const ssize_t n = job.write ? native::WriteAt(job.fd, job.data + result.bytes,
                                                          job.size - result.bytes, offset)
                                        : native::ReadAt(job.fd, job.data + result.bytes,
                                                         job.size - result.bytes, offset);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 || (n == 0 && job.write)) {
                result.error = true;
                break;
            }
            if (n == 0) break;
            result.bytes += static_cast<std::size_t>(n);
        }
        if (job.write && !result.error) StartWriteBack(job.fd, job.offset, result.bytes);
        return result;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    State state_ = State::Idle;
    Job job_;
    Result result_;
    bool stop_ = false;
    std::thread thread_;  // last: started once the rest is ready
};

// The cache of the file's first end bytes given back, when none of them
// waits to be written: asking for that on bytes still unwritten would start
// writing them. cachestat tells, where the kernel has it (Linux 6.5); without
// it nothing is given back.
void ForgetCached([[maybe_unused]] int fd, [[maybe_unused]] std::int64_t end) {
#if defined(__linux__)
    // The kernel's own layout and number (the same on x86-64 and ARM64),
    // which older system headers lack.
    struct Range {
        std::uint64_t offset;
        std::uint64_t length;
    };
    struct Counts {
        std::uint64_t cached, dirty, writeback, evicted, recentlyEvicted;
    };
    constexpr long kCachestat = 451;
    const Range range{0, static_cast<std::uint64_t>(end)};
    Counts counts{};
    if (::syscall(kCachestat, fd, &range, &counts, 0) != 0) return;
    if (counts.dirty == 0 && counts.writeback == 0)
        ::posix_fadvise(fd, 0, end, POSIX_FADV_DONTNEED);
#endif
}

}  // namespace

struct File::Impl {
    enum class State { Idle, Reading, Writing };

    int fd = -1;
    OpenMode mode;
    State state = State::Idle;
    Block block = Block::Make(kBufferSize);
    // Where the buffered bytes start in block: at its start but after an
    // asynchronous read, which puts them in its second half.
    char* buffer = block.get();
    std::int64_t bufferOffset = 0;  // file offset of buffer[0]
    std::size_t length = 0;         // bytes in the buffer
    std::size_t cursor = 0;         // next byte to read
    bool eof = false;
    bool error = false;
    std::string lineCopy;  // ReadLineView's line when the buffer cannot show it
    // ReadLineView changed consumed bytes of the buffer: a seek back must
    // read the disk again.
    bool altered = false;

    // The asynchronous side: the other buffer, its thread, and the one job
    // that may be under way (a write of the other buffer, or a read into
    // it at readOffset).
    std::int64_t openSize = 0;
    int fullFlushes = 0;
    Block spare;
    std::unique_ptr<Courier> courier;
    bool writePending = false;
    bool readPending = false;
    std::int64_t readOffset = 0;
    std::vector<File::Placed> placed;  // the pieces that the courier writes

    ~Impl() {
        if (fd >= 0) {
            FlushWrites();
            native::CloseDescriptor(fd);
        }
    }

    // The courier, and a large other buffer (a job may still hold the
    // other one: callers settle first). False when no thread can be started:
    // the stream then stays synchronous.
    bool StartCourier() {
        if (!courier) {
            try {
                courier = std::make_unique<Courier>();
            } catch (const std::system_error&) {
                return false;
            }
        }
        if (spare.size < kAsyncSize) spare = Block::Make(kAsyncSize);
        return true;
    }

    // Waits for the job under way: a failed write is the stream's error; a
    // read ahead is dropped.
    bool Settle() {
        if (writePending || readPending) {
            const Courier::Result result = courier->Wait();
            if (writePending && result.error) error = true;
            writePending = readPending = false;
        }
        return !error;
    }

    bool ReadsAhead() const {
        return mode.read && !mode.write && !mode.random && openSize >= kAsyncMinimum;
    }

    void StartReadAhead(std::int64_t offset) {
        if (!StartCourier()) return;
        courier->Submit({false, fd, spare.get() + kHead, spare.size - kHead, offset});
        readPending = true;
        readOffset = offset;
    }

    // The bytes read ahead, after the unread end of the buffer, become the
    // buffer. False when no read ahead matches (nothing done then).
    bool TakeReadAhead(std::size_t& added) {
        const std::size_t left = length - cursor;
        if (!readPending || readOffset != bufferOffset + static_cast<std::int64_t>(length) ||
            left > kHead)
            return false;
        readPending = false;
        const Courier::Result result = courier->Wait();
        added = result.bytes;
        if (result.error) error = true;
        if (result.error || result.bytes == 0) {
            if (!result.error) eof = true;
            added = 0;
            return true;
        }
        char* start = spare.get() + kHead - left;
        std::memcpy(start, buffer + cursor, left);
        std::swap(block, spare);
        altered = false;
        bufferOffset += static_cast<std::int64_t>(cursor);
        buffer = start;
        length = left + result.bytes;
        cursor = 0;
        StartReadAhead(bufferOffset + static_cast<std::int64_t>(length));
        return true;
    }

    // A full buffer of a large stream that only writes goes to the disk on
    // the courier's thread while the other buffer fills.
    bool FlushFull() {
        if (!mode.write || mode.read || mode.append || ++fullFlushes < 4) return FlushWrites();
        if (!Settle()) return false;
        if (!StartCourier()) return FlushWrites();
        std::swap(block, spare);
        courier->Submit({true, fd, spare.get(), length, bufferOffset});
        writePending = true;
        buffer = block.get();
        bufferOffset += static_cast<std::int64_t>(length);
        length = 0;
        return true;
    }

    std::int64_t Position() const {
        return bufferOffset + static_cast<std::int64_t>(state == State::Writing ? length : cursor);
    }

    std::int64_t DiskSize() {
        Settle();
        return native::DescriptorSize(fd);
    }

    bool WriteAt(const char* data, std::size_t size, std::int64_t offset) {
        if (!Settle()) return false;
        while (size > 0) {
            const ssize_t n = native::WriteAt(fd, data, size, offset);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                error = true;
                return false;
            }
            data += n;
            size -= static_cast<std::size_t>(n);
            offset += n;
        }
        return true;
    }

    bool FlushWrites() {
        if (state != State::Writing || length == 0) return Settle();
        const bool ok = WriteAt(buffer, length, bufferOffset);
        bufferOffset += static_cast<std::int64_t>(length);
        // O_APPEND sends every write to the end, wherever we thought it went.
        if (mode.append) bufferOffset = std::max<std::int64_t>(DiskSize(), 0);
        length = 0;
        return ok;
    }

    bool BeginRead() {
        if (!mode.read) {
            error = true;
            return false;
        }
        if (state == State::Writing) {
            if (!FlushWrites()) return false;
            cursor = length = 0;
        }
        state = State::Reading;
        return true;
    }

    bool BeginWrite() {
        if (!mode.write) {
            error = true;
            return false;
        }
        if (state == State::Writing) return true;
        if (state == State::Reading) bufferOffset += static_cast<std::int64_t>(cursor);
        if (mode.append) bufferOffset = std::max<std::int64_t>(DiskSize(), 0);
        buffer = block.get();
        cursor = length = 0;
        state = State::Writing;
        return true;
    }

    // Keeps the unread bytes, moved to the front, and reads more after them.
    // Returns the number of bytes added; 0 at end of file or on an error.
    std::size_t Fill() {
        std::size_t added = 0;
        if (TakeReadAhead(added)) return added;
        Settle();
        if (cursor > 0 || buffer != block.get()) {
            altered = false;  // only consumed bytes are ever changed
            std::memmove(block.get(), buffer + cursor, length - cursor);
            buffer = block.get();
            bufferOffset += static_cast<std::int64_t>(cursor);
            length -= cursor;
            cursor = 0;
        }
        for (;;) {
            const ssize_t n = native::ReadAt(fd, buffer + length, block.size - length,
                                             bufferOffset + static_cast<std::int64_t>(length));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) error = true;
            if (n == 0) eof = true;
            if (n <= 0) return 0;
            length += static_cast<std::size_t>(n);
            if (ReadsAhead()) StartReadAhead(bufferOffset + static_cast<std::int64_t>(length));
            return static_cast<std::size_t>(n);
        }
    }

    // The byte after the one under the cursor, reading more when needed;
    // -1 at end of file.
    int PeekNext() {
        if (cursor + 1 >= length && Fill() == 0) return -1;
        return static_cast<unsigned char>(buffer[cursor + 1]);
    }

    // Reads up to room characters (after text-mode translation) into out,
    // stopping after a line feed when asked. Returns the count produced.
    template <class Sink>
    std::size_t ReadInto(Sink& out, std::size_t room, bool stopAtLineFeed) {
        std::size_t produced = 0;
        while (room > 0) {
            if (cursor == length && Fill() == 0) break;
            const char* p = buffer + cursor;
            const std::size_t n = std::min(length - cursor, room);
            const auto* lineFeed =
                stopAtLineFeed ? static_cast<const char*>(std::memchr(p, '\n', n)) : nullptr;
            const std::size_t take = lineFeed ? static_cast<std::size_t>(lineFeed - p) + 1 : n;
            const auto* cr =
                mode.text ? static_cast<const char*>(std::memchr(p, '\r', take)) : nullptr;
            if (cr) {
                // A carriage return followed by a line feed reads as one line
                // feed, even when the pair straddles two buffer fills.
                const auto before = static_cast<std::size_t>(cr - p);
                out.append(p, before);
                cursor += before;
                const bool pair = PeekNext() == '\n';
                out.push_back(pair ? '\n' : '\r');
                cursor += pair ? 2 : 1;
                room -= before + 1;
                produced += before + 1;
                if (pair && stopAtLineFeed) break;
                continue;
            }
            out.append(p, take);
            cursor += take;
            room -= take;
            produced += take;
            if (lineFeed) break;
        }
        return produced;
    }

    // A line of at most room characters shown in place in the buffer: false
    // when it cannot be (a carriage return other than a final "\r\n", a
    // line longer than half the buffer), with nothing consumed. At end of file, an empty line.
    bool ViewLine(std::string_view& line, std::size_t room) {
        if (room > kBufferSize / 2) return false;
        for (;;) {
            char* p = buffer + cursor;
            const std::size_t available = length - cursor;
            const std::size_t n = std::min(available, room);
            const auto* lineFeed = static_cast<const char*>(std::memchr(p, '\n', n));
            const bool complete = lineFeed != nullptr || available >= room;
            if (complete || (Fill() == 0)) {
                const std::size_t take = lineFeed ? static_cast<std::size_t>(lineFeed - p) + 1
                                                  : std::min(length - cursor, room);
                p = buffer + cursor;
                std::size_t shown = take;
                const auto* cr =
                    mode.text ? static_cast<const char*>(std::memchr(p, '\r', take)) : nullptr;
                if (cr != nullptr) {
                    // Only the first carriage return can be the line's end.
                    const bool crLfEnd = cr == p + take - 2 && p[take - 1] == '\n';
                    if (!crLfEnd) return false;
                    // The "\r\n" reads as "\n": written over the consumed
                    // "\r", so the buffer no longer holds the disk's bytes.
                    p[take - 2] = '\n';
                    shown = take - 1;
                    altered = true;
                }
                line = std::string_view(p, shown);
                cursor += take;
                return true;
            }
        }
    }

    std::size_t ReadBinary(char* out, std::size_t size) {
        std::size_t done = std::min(length - cursor, size);
        std::memcpy(out, buffer + cursor, done);
        cursor += done;
        while (done < size) {
            if (size - done >= kBufferSize) {
                // Large reads go straight to the caller's memory.
                Settle();
                bufferOffset += static_cast<std::int64_t>(cursor);
                cursor = length = 0;
                const ssize_t n = native::ReadAt(fd, out + done, size - done, bufferOffset);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) error = true;
                if (n == 0) eof = true;
                if (n <= 0) break;
                bufferOffset += n;
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (Fill() == 0) break;
            const std::size_t chunk = std::min(length - cursor, size - done);
            std::memcpy(out + done, buffer + cursor, chunk);
            cursor += chunk;
            done += chunk;
        }
        return done;
    }

    bool WriteRaw(const char* data, std::size_t size) {
        while (size > 0) {
            if (length == 0 && size >= block.size) {
                if (!WriteAt(data, size, bufferOffset)) return false;
                bufferOffset = mode.append ? std::max<std::int64_t>(DiskSize(), 0)
                                           : bufferOffset + static_cast<std::int64_t>(size);
                return true;
            }
            const std::size_t chunk = std::min(block.size - length, size);
            std::memcpy(buffer + length, data, chunk);
            length += chunk;
            data += chunk;
            size -= chunk;
            if (length == block.size && !FlushFull()) return false;
        }
        return true;
    }

    bool WriteLine(const char* data, std::size_t size) {
        const std::string_view fin = mode.text ? "\r\n" : "\n";
        if (block.size - length < size + fin.size())
            return WriteRaw(data, size) && WriteRaw(fin.data(), fin.size());
        std::memcpy(buffer + length, data, size);
        std::memcpy(buffer + length + size, fin.data(), fin.size());
        length += size + fin.size();
        return length < block.size || FlushFull();
    }

    // Returns the number of input bytes accepted.
    std::size_t WriteText(const char* data, std::size_t size) {
        if (!mode.text) return WriteRaw(data, size) ? size : 0;
        std::size_t done = 0;
        while (done < size) {
            const auto* lineFeed =
                static_cast<const char*>(std::memchr(data + done, '\n', size - done));
            const std::size_t chunk =
                lineFeed ? static_cast<std::size_t>(lineFeed - data) - done : size - done;
            if (!WriteRaw(data + done, chunk)) return done;
            done += chunk;
            if (!lineFeed) break;
            if (!WriteRaw("\r\n", 2)) return done;
            ++done;
        }
        return done;
    }
};

File::File() = default;
File::File(File&&) noexcept = default;
File& File::operator=(File&&) noexcept = default;
File::~File() = default;

File File::Open(std::string_view path, std::string_view mode) {
    File file;
    OpenMode parsed;
    if (path.empty() || !ParseMode(mode, parsed)) return file;
    const std::string native = NativePath(path);
    std::int64_t size = 0;
    const int fd = native::OpenDescriptor(native, parsed.flags, size);
    if (fd < 0) return file;
    file.impl_ = std::make_unique<Impl>();
    file.impl_->fd = fd;
    file.impl_->mode = parsed;
    file.impl_->openSize = size;
    if (parsed.append) file.impl_->bufferOffset = size;
    return file;
}

char* File::Gets(char* buffer, int size) {
    if (!impl_ || size <= 0 || !impl_->BeginRead()) return nullptr;
    ArraySink sink{buffer};
    const std::size_t n = impl_->ReadInto(sink, static_cast<std::size_t>(size - 1), true);
    buffer[n] = '\0';
    return n == 0 && size > 1 ? nullptr : buffer;
}

bool File::GetLine(std::string& line, std::size_t maxLength) {
    line.clear();
    if (!impl_ || maxLength == 0 || !impl_->BeginRead()) return false;
    return impl_->ReadInto(line, maxLength - 1, true) > 0 || maxLength == 1;
}

bool File::ReadLineView(std::string_view& line, std::size_t maxLength) {
    line = {};
    if (!impl_ || maxLength == 0 || !impl_->BeginRead()) return false;
    if (maxLength == 1) return true;
    if (impl_->ViewLine(line, maxLength - 1)) return !line.empty();
    std::string& copy = impl_->lineCopy;
    copy.clear();
    const bool read = impl_->ReadInto(copy, maxLength - 1, true) > 0;
    line = copy;
    return read;
}

std::string_view File::Buffered(std::size_t atLeast) {
    if (!impl_ || !impl_->BeginRead()) return {};
    Impl& f = *impl_;
    atLeast = std::min(atLeast, kHead / 2);
    while (f.length - f.cursor < atLeast && f.Fill() > 0) {
    }
    return {f.buffer + f.cursor, f.length - f.cursor};
}

void File::Skip(std::size_t n) {
    if (!impl_ || impl_->state != Impl::State::Reading) return;
    impl_->cursor += std::min(n, impl_->length - impl_->cursor);
}

int File::Getc() {
    if (!impl_ || !impl_->BeginRead()) return EOF;
    char c;
    ArraySink sink{&c};
    return impl_->ReadInto(sink, 1, false) == 1 ? static_cast<unsigned char>(c) : EOF;
}

std::size_t File::Read(void* buffer, std::size_t size, std::size_t count) {
    if (!impl_ || size == 0 || count == 0 || !impl_->BeginRead()) return 0;
    char* out = static_cast<char*>(buffer);
    std::size_t n;
    if (impl_->mode.text) {
        ArraySink sink{out};
        n = impl_->ReadInto(sink, size * count, false);
    } else {
        n = impl_->ReadBinary(out, size * count);
    }
    return n / size;
}

std::size_t File::Write(const void* buffer, std::size_t size, std::size_t count) {
    if (!impl_ || size == 0 || count == 0 || !impl_->BeginWrite()) return 0;
    return impl_->WriteText(static_cast<const char*>(buffer), size * count) / size;
}

bool File::Puts(std::string_view text) {
    if (!impl_ || !impl_->BeginWrite()) return false;
    return impl_->WriteText(text.data(), text.size()) == text.size();
}

bool File::WriteLine(std::string_view text) {
    if (!impl_ || !impl_->BeginWrite()) return false;
    return impl_->WriteLine(text.data(), text.size());
}

bool File::Putc(char c) {
    return Puts(std::string_view(&c, 1));
}

int File::Printf(const char* format, ...) {
    char small[1024];
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    const int needed = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (needed < 0) {
        va_end(again);
        return -1;
    }
    std::string large;
    const char* text = small;
    if (static_cast<std::size_t>(needed) >= sizeof small) {
        large.resize(static_cast<std::size_t>(needed) + 1);
        std::vsnprintf(large.data(), large.size(), format, again);
        text = large.data();
    }
    va_end(again);
    return Puts(std::string_view(text, static_cast<std::size_t>(needed))) ? needed : -1;
}

bool File::WriteBehind(std::vector<Placed> pieces) {
    if (!impl_ || !impl_->mode.write) return false;
    Impl& f = *impl_;
    if (!f.FlushWrites()) return false;
    f.placed = std::move(pieces);
    if (!f.StartCourier()) {
        for (const Placed& piece : f.placed)
            if (!f.WriteAt(piece.bytes.data(), piece.bytes.size(), piece.offset)) return false;
        return true;
    }
    Courier::Job job;
    job.write = true;
    job.fd = f.fd;
    job.placed = &f.placed;
    f.courier->Submit(job);
    f.writePending = true;
    return true;
}

bool File::Reserve(std::int64_t size) {
    if (!impl_ || !impl_->mode.write) return false;
    if (size <= 0) return true;
    if (!impl_->FlushWrites()) return false;
#if defined(__linux__)
    while (::fallocate(impl_->fd, 0, 0, size) != 0) {
        if (errno == EINTR) continue;
        return errno != ENOSPC && errno != EFBIG;
    }
#endif
    return true;
}

void File::Forget(std::int64_t end) {
    // Always from the start: the cache keeps bytes in blocks of many pages,
    // and a block that the last end cut goes only with the whole of it.
    if (impl_ && !impl_->mode.write && end > 0) ForgetCached(impl_->fd, end);
}

std::int64_t File::Tell() {
    return impl_ ? impl_->Position() : -1;
}

bool File::Seek(std::int64_t offset, int whence) {
    if (!impl_) return false;
    Impl& f = *impl_;
    std::int64_t target;
    switch (whence) {
        case SEEK_SET:
            target = offset;
            break;
        case SEEK_CUR:
            target = f.Position() + offset;
            break;
        case SEEK_END:
            if (!f.FlushWrites()) return false;
            target = f.DiskSize() + offset;
            break;
        default:
            return false;
    }
    if (target < 0 || !f.FlushWrites()) return false;
    if (f.state == Impl::State::Reading && !f.altered && target >= f.bufferOffset &&
        target <= f.bufferOffset + static_cast<std::int64_t>(f.length)) {
        f.cursor = static_cast<std::size_t>(target - f.bufferOffset);
    } else {
        f.bufferOffset = target;
        f.cursor = f.length = 0;
        f.altered = false;
        // An appending stream goes back to the end at its next write.
        if (f.state == Impl::State::Writing) f.state = Impl::State::Idle;
    }
    f.eof = false;
    return true;
}

bool File::Eof() const {
    return impl_ && impl_->eof;
}
bool File::Error() const {
    return impl_ && impl_->error;
}
bool File::Flush() {
    return impl_ && impl_->FlushWrites();
}

bool File::Close() {
    if (!impl_) return true;
    bool ok = impl_->FlushWrites() && impl_->Settle();
    if (!native::CloseDescriptor(impl_->fd)) ok = false;
    impl_->fd = -1;
    impl_.reset();
    return ok;
}

}  // namespace plat
