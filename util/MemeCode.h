// Short codes compared where they lie, without a call: the pass compares
// its codes record by record, and the code tables compare keys of a few
// characters.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

// Two short codes compared where they lie, a word at a time, where a call of
// memcmp would cost more than the comparison itself: up to 16 characters,
// the first and the last word of the code (they overlap when it is short).
inline bool MemeCode(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const std::size_t n = a.size();
    auto Mot = [](const char* p, auto mot) {
        std::memcpy(&mot, p, sizeof mot);
        return mot;
    };
    if (n >= 8 && n <= 16) {
        return Mot(a.data(), std::uint64_t{}) == Mot(b.data(), std::uint64_t{}) &&
               Mot(a.data() + n - 8, std::uint64_t{}) == Mot(b.data() + n - 8, std::uint64_t{});
    }
    if (n >= 4 && n < 8) {
        return Mot(a.data(), std::uint32_t{}) == Mot(b.data(), std::uint32_t{}) &&
               Mot(a.data() + n - 4, std::uint32_t{}) == Mot(b.data() + n - 4, std::uint32_t{});
    }
    if (n > 16) return a == b;
    for (std::size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return false;
    return true;
}
