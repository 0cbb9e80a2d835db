#include "platform/memory.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace plat {
namespace {

// The size of a large page on the systems that back buffers with them.
constexpr std::size_t kLargePage = std::size_t{2} << 20;

char* Allocate(std::size_t size, LargeBuffer::Pages pages) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (pages == LargeBuffer::Pages::Large && size >= kLargePage) {
        const std::size_t rounded = (size + kLargePage - 1) / kLargePage * kLargePage;
        if (void* p = std::aligned_alloc(kLargePage, rounded)) {
            // Advice only: without large pages the buffer works the same.
            ::madvise(p, rounded, MADV_HUGEPAGE);
            return static_cast<char*>(p);
        }
        throw std::bad_alloc();
    }
#endif
    if (void* p = std::malloc(size > 0 ? size : 1)) return static_cast<char*>(p);
    throw std::bad_alloc();
}

}  // namespace

void LargeBuffer::Free::operator()(char* p) const {
    std::free(p);
}

void LargeBuffer::Resize(std::size_t size) {
    if (size > capacity_) {
        const std::size_t capacity =
            capacity_ == 0 ? size : std::max(size, capacity_ + capacity_ / 8);
        bytes_.reset();
        capacity_ = 0;
        bytes_.reset(Allocate(capacity, pages_));
        capacity_ = capacity;
    }
    size_ = size;
}

}  // namespace plat
