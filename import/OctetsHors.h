// The bytes of a text outside printable ASCII (below 0x20 or from 0x80), 64
// at a time: the record preparation looks for them in every line, and most
// lines hold only a few.
#pragma once

#include <cstddef>
#include <cstdint>

// Bit k set when byte k of the 64 at octets is outside 0x20..0x7F, with the
// widest instructions the processor has.
std::uint64_t OctetsHors64(const unsigned char* octets);

// From i on, by steps of 64 while a whole block of 64 bytes is left before
// taille: the place of the first block that holds such a byte, with its bits
// in hors; or, when none does, the place where no whole block is left, with
// hors 0. Plain blocks cost no call each.
std::size_t BlocHorsSuivant(const unsigned char* octets, std::size_t i, std::size_t taille,
                            std::uint64_t& hors);

// The place of the first line feed among the taille bytes at octets (taille
// when there is none), and in premierZero that of the first zero byte before
// it (the line feed's place when there is none): where a line and its text
// end, in one look at its bytes.
std::size_t FinDeLigne(const unsigned char* octets, std::size_t taille, std::size_t& premierZero);

// The forms it chooses from (each gives the same bits); nullptr when the
// processor or the build lacks one.
namespace octets_hors {
std::uint64_t Simple(const unsigned char* octets);
std::uint64_t (*Sse2())(const unsigned char*);
std::uint64_t (*Avx2())(const unsigned char*);
}  // namespace octets_hors
