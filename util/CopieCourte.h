// Short copies made where they are needed, without a call: the pass copies
// a dozen fields of a few characters into every record, and a call of
// memcpy, with its choice of a way to copy, costs more than those copies.
#pragma once

#include <cstddef>
#include <cstring>

namespace copie_courte {

// n bytes, from Taille to 2 * Taille of them, in two moves of Taille bytes
// that overlap in the middle; both are read before either is written.
template <std::size_t Taille>
inline void DeuxMoves(char* cible, const char* source, std::size_t n) {
    char debut[Taille];
    char fin[Taille];
    std::memcpy(debut, source, Taille);
    std::memcpy(fin, source + n - Taille, Taille);
    std::memcpy(cible, debut, Taille);
    std::memcpy(cible + n - Taille, fin, Taille);
}

}  // namespace copie_courte

// Copies n bytes as memcpy does; up to 64 bytes without a call.
inline void CopieCourte(char* cible, const char* source, std::size_t n) {
    using copie_courte::DeuxMoves;
    if (n > 64) {
        std::memcpy(cible, source, n);
    } else if (n >= 32) {
        DeuxMoves<32>(cible, source, n);
    } else if (n >= 16) {
        DeuxMoves<16>(cible, source, n);
    } else if (n >= 8) {
        DeuxMoves<8>(cible, source, n);
    } else if (n >= 4) {
        DeuxMoves<4>(cible, source, n);
    } else if (n > 0) {
        // One, two or three bytes: the first, the middle and the last.
        const char a = source[0], b = source[n / 2], c = source[n - 1];
        cible[0] = a;
        cible[n / 2] = b;
        cible[n - 1] = c;
    }
}
