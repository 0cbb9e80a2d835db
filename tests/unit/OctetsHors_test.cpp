#include "import/OctetsHors.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

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

// Going from block to block finds the same blocks as looking at each one,
// whatever the length left after the last whole block.
TEST(OctetsHors, NextBlockSkipsOnlyPlainBlocks) {
    std::mt19937 random(11);
    for (int trial = 0; trial < 2000; ++trial) {
        std::vector<unsigned char> octets(random() % 1200);
        for (unsigned char& octet : octets)
            octet = static_cast<unsigned char>(0x20 + random() % 0x60);
        for (unsigned n = random() % 4; n > 0 && !octets.empty(); --n)
            octets[random() % octets.size()] = static_cast<unsigned char>(random() % 256);
        const std::size_t taille = octets.size();
        std::size_t attendu = 0;
        std::uint64_t bitsAttendus = 0;
        for (std::size_t i = 0;; i = attendu + 64) {
            for (attendu = i; attendu + 64 <= taille; attendu += 64) {
                bitsAttendus = octets_hors::Simple(octets.data() + attendu);
                if (bitsAttendus != 0) break;
            }
            if (attendu + 64 > taille) bitsAttendus = 0;
            std::uint64_t bits = 1;
            ASSERT_EQ(BlocHorsSuivant(octets.data(), i, taille, bits), attendu) << trial;
            ASSERT_EQ(bits, bitsAttendus) << trial;
            if (bits == 0) break;
        }
    }
}

}  // namespace
