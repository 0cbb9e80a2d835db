// Large work buffers: bytes that are not cleared, backed by large pages
// where the system offers them. A buffer of megabytes that is filled and
// read through in full again and again (a stream's buffers) then costs far
// fewer page faults and address translations. New large pages cost more
// than ordinary ones to obtain (a virtual machine's host may have to supply
// them): a buffer touched only a few times is better without.
#pragma once

#include <cstddef>
#include <memory>

namespace plat {

class LargeBuffer {
public:
    enum class Pages { Large, Ordinary };

    explicit LargeBuffer(Pages pages = Pages::Large) : pages_(pages) {}
    LargeBuffer(std::size_t size, Pages pages) : pages_(pages) { Resize(size); }

    char* data() { return bytes_.get(); }
    const char* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }

    // size bytes, kept when the buffer already holds that many and lost
    // otherwise; throws std::bad_alloc when memory runs out. A buffer that
    // grows takes an eighth more than asked: buffers of about the same size
    // asked for again and again are then rarely made anew (every new page
    // is cleared by the system).
    void Resize(std::size_t size);

private:
    struct Free {
        void operator()(char* p) const;
    };
    Pages pages_ = Pages::Large;
    std::unique_ptr<char[], Free> bytes_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace plat
