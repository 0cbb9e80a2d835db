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

// The line end and the text end, wherever the line feeds and zero bytes
// fall among the blocks the bytes are looked at in.
TEST(OctetsHors, EndOfLineAndOfItsText) {
    std::mt19937 random(17);
    for (int trial = 0; trial < 20000; ++trial) {
        std::vector<unsigned char> octets(random() % 200);
        for (unsigned char& octet : octets) octet = static_cast<unsigned char>(1 + random() % 255);
        for (unsigned n = random() % 3; n > 0 && !octets.empty(); --n)
            octets[random() % octets.size()] = random() % 2 ? '\n' : 0;
        std::size_t fin = 0;
        while (fin < octets.size() && octets[fin] != '\n') ++fin;
        std::size_t zero = 0;
        while (zero < fin && octets[zero] != 0) ++zero;
        std::size_t premierZero = 12345;
        ASSERT_EQ(FinDeLigne(octets.data(), octets.size(), premierZero), fin) << trial;
        ASSERT_EQ(premierZero, zero) << trial;
    }
}

}  // namespace
