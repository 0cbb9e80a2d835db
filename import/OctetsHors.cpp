#include "import/OctetsHors.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define QUERVANE_AVX2 1
#endif

namespace {

#if defined(__SSE2__)
std::uint64_t HorsSse2(const unsigned char* octets) {
    // As signed bytes, those from 0x80 are negative: one comparison with the
    // blank finds them and those below it.
    const __m128i blanc = _mm_set1_epi8(0x20);
    std::uint64_t hors = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i bloc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(octets + 16 * k));
        const auto masque = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(bloc, blanc)));
        hors |= std::uint64_t{masque} << (16 * k);
    }
    return hors;
}
#endif

#if defined(QUERVANE_AVX2)
__attribute__((target("avx2"))) std::uint64_t HorsAvx2(const unsigned char* octets) {
    const __m256i blanc = _mm256_set1_epi8(0x20);
    const __m256i bas = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(octets));
    const __m256i haut = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(octets + 32));
    const auto masqueBas =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpgt_epi8(blanc, bas)));
    const auto masqueHaut =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpgt_epi8(blanc, haut)));
    return masqueBas | (std::uint64_t{masqueHaut} << 32);
}

__attribute__((target("avx2"))) std::size_t SuivantAvx2(const unsigned char* octets, std::size_t i,
                                                        std::size_t taille, std::uint64_t& hors) {
    for (; i + 64 <= taille; i += 64) {
        hors = HorsAvx2(octets + i);
        if (hors != 0) return i;
    }
    hors = 0;
    return i;
}

__attribute__((target("avx2"))) std::size_t FinDeLigneAvx2(const unsigned char* octets,
                                                           std::size_t taille,
                                                           std::size_t& premierZero) {
    constexpr auto kAucun = static_cast<std::size_t>(-1);
    premierZero = kAucun;
    const __m256i sautDeLigne = _mm256_set1_epi8('\n');
    const __m256i zero = _mm256_setzero_si256();
    std::size_t i = 0;
    for (; i + 32 <= taille; i += 32) {
        const __m256i bloc = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(octets + i));
        const auto fins =
            static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bloc, sautDeLigne)));
        const auto zeros =
            static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bloc, zero)));
        if ((fins | zeros) == 0) continue;
        if (zeros != 0 && (fins == 0 || std::countr_zero(zeros) < std::countr_zero(fins))) {
            // A zero byte first: the text ends there, the line goes on.
            if (premierZero == kAucun)
                premierZero = i + static_cast<std::size_t>(std::countr_zero(zeros));
            if (fins == 0) continue;
        }
        const std::size_t fin = i + static_cast<std::size_t>(std::countr_zero(fins));
        if (premierZero == kAucun) premierZero = fin;
        return fin;
    }
    for (; i < taille && octets[i] != '\n'; ++i)
        if (octets[i] == 0 && premierZero == kAucun) premierZero = i;
    if (premierZero == kAucun) premierZero = i;
    return i;
}
#endif

std::size_t FinDeLigneSimple(const unsigned char* octets, std::size_t taille,
                             std::size_t& premierZero) {
    const auto* fin = static_cast<const unsigned char*>(std::memchr(octets, '\n', taille));
    const std::size_t ligne = fin ? static_cast<std::size_t>(fin - octets) : taille;
    const auto* zero = static_cast<const unsigned char*>(std::memchr(octets, 0, ligne));
    premierZero = zero ? static_cast<std::size_t>(zero - octets) : ligne;
    return ligne;
}

// The same loop around a form of the block: the form is called, not inlined.
template <std::uint64_t (*Bloc)(const unsigned char*)>
std::size_t Suivant(const unsigned char* octets, std::size_t i, std::size_t taille,
                    std::uint64_t& hors) {
    for (; i + 64 <= taille; i += 64) {
        hors = Bloc(octets + i);
        if (hors != 0) return i;
    }
    hors = 0;
    return i;
}

using Forme = std::uint64_t (*)(const unsigned char*);
using FormeSuivant = std::size_t (*)(const unsigned char*, std::size_t, std::size_t,
                                     std::uint64_t&);

// Chosen once, for the whole program.
const Forme kForme = [] {
    if (const Forme avx2 = octets_hors::Avx2()) return avx2;
    if (const Forme sse2 = octets_hors::Sse2()) return sse2;
    return &octets_hors::Simple;
}();

// The loop of the same form, chosen with it.
const FormeSuivant kSuivant = [] {
#if defined(QUERVANE_AVX2)
    if (kForme == octets_hors::Avx2()) return &SuivantAvx2;
#endif
#if defined(__SSE2__)
    if (kForme == octets_hors::Sse2()) return &Suivant<HorsSse2>;
#endif
    return &Suivant<octets_hors::Simple>;
}();

using FormeFinDeLigne = std::size_t (*)(const unsigned char*, std::size_t, std::size_t&);
const FormeFinDeLigne kFinDeLigne = [] {
#if defined(QUERVANE_AVX2)
    if (octets_hors::Avx2() != nullptr) return &FinDeLigneAvx2;
#endif
    return &FinDeLigneSimple;
}();

}  // namespace

std::uint64_t OctetsHors64(const unsigned char* octets) {
    return kForme(octets);
}

std::size_t BlocHorsSuivant(const unsigned char* octets, std::size_t i, std::size_t taille,
                            std::uint64_t& hors) {
    return kSuivant(octets, i, taille, hors);
}

std::size_t FinDeLigne(const unsigned char* octets, std::size_t taille, std::size_t& premierZero) {
    return kFinDeLigne(octets, taille, premierZero);
}

namespace octets_hors {

std::uint64_t Simple(const unsigned char* octets) {
    std::uint64_t hors = 0;
    for (int k = 0; k < 64; ++k)
        if (octets[k] < 0x20 || octets[k] >= 0x80) hors |= std::uint64_t{1} << k;
    return hors;
}

std::uint64_t (*Sse2())(const unsigned char*) {
#if defined(__SSE2__)
    return &HorsSse2;
#else
    return nullptr;
#endif
}

std::uint64_t (*Avx2())(const unsigned char*) {
#if defined(QUERVANE_AVX2)
    if (__builtin_cpu_supports("avx2")) return &HorsAvx2;
#endif
    return nullptr;
}

}  // namespace octets_hors
