#include "platform/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

// A buffer keeps its bytes while it shrinks or grows back within what it
// had, and has every byte asked for after growing past it, on large pages or
// ordinary ones; a buffer of megabytes that asks for large pages starts on a
// large-page boundary, where the system can back it with them.
TEST(LargeBuffer, KeepsItsBytesWithinWhatItHad) {
    struct Step {
        std::size_t size;
        bool keeps;  // the bytes written before are still there
    };
    const Step steps[] = {{100, false},    {50, true},      {100, true}, {3 << 20, false},
                          {1 << 20, true}, {3 << 20, true}, {0, true},   {5 << 20, false}};
    for (const auto pages : {plat::LargeBuffer::Pages::Large, plat::LargeBuffer::Pages::Ordinary}) {
        plat::LargeBuffer buffer(pages);
        EXPECT_EQ(buffer.size(), 0u);
        std::size_t written = 0;
        for (const Step& step : steps) {
            buffer.Resize(step.size);
            ASSERT_EQ(buffer.size(), step.size);
            ASSERT_NE(buffer.data(), nullptr);
            if (step.keeps) {
                const std::size_t n = std::min(written, step.size);
                for (std::size_t i = 0; i < n; ++i)
                    ASSERT_EQ(buffer.data()[i], static_cast<char>(i * 7)) << step.size << " " << i;
            }
            for (std::size_t i = 0; i < step.size; ++i) buffer.data()[i] = static_cast<char>(i * 7);
            written = step.size;
#if defined(__linux__)
            if (pages == plat::LargeBuffer::Pages::Large && step.size >= (std::size_t{2} << 20) &&
                !step.keeps) {
                EXPECT_EQ(reinterpret_cast<std::uintptr_t>(buffer.data()) % (std::size_t{2} << 20),
                          0u);
            }
#endif
        }
    }
}

}  // namespace
