#include "import/OctetsHors.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>

namespace {

// Every form the processor has gives the bits of the byte-by-byte form, on
// blocks of plain text with bytes of every value here and there.
TEST(OctetsHors, EveryFormMarksTheBytesOutsidePrintableAscii) {
    std::mt19937 random(5);
    std::array<unsigned char, 64> bloc;
    int formes = 0;
    for (const auto forme : {octets_hors::Sse2(), octets_hors::Avx2()}) {
        if (forme == nullptr) continue;
        ++formes;
        for (int trial = 0; trial < 5000; ++trial) {
            for (unsigned char& octet : bloc)
                octet = static_cast<unsigned char>(0x20 + random() % 0x60);
            for (unsigned n = random() % 6; n > 0; --n)
                bloc[random() % bloc.size()] = static_cast<unsigned char>(random() % 256);
            ASSERT_EQ(forme(bloc.data()), octets_hors::Simple(bloc.data())) << trial;
            ASSERT_EQ(OctetsHors64(bloc.data()), octets_hors::Simple(bloc.data())) << trial;
        }
    }
    // The limits themselves.
    for (int value = 0; value < 256; ++value) {
        bloc.fill(static_cast<unsigned char>(value));
        const std::uint64_t expected = value < 0x20 || value >= 0x80 ? ~std::uint64_t{0} : 0;
        EXPECT_EQ(octets_hors::Simple(bloc.data()), expected) << value;
        EXPECT_EQ(OctetsHors64(bloc.data()), expected) << value;
    }
#if defined(__x86_64__)
    EXPECT_GE(formes, 1);
#endif
}

}  // namespace
