#include "records/OutilsEnregistrement.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace {

// Plain capital of each accented capital, 0 for every other byte.
constexpr std::array<char, 256> MajusculesSansAccent = [] {
    std::array<char, 256> table{};
    for (int c = 192; c <= 198; ++c) table[c] = 'A';
    table[199] = 'C';
    for (int c = 200; c <= 203; ++c) table[c] = 'E';
    for (int c = 204; c <= 207; ++c) table[c] = 'I';
    for (int c = 210; c <= 214; ++c) table[c] = 'O';
    for (int c = 217; c <= 220; ++c) table[c] = 'U';
    table[221] = 'Y';
    return table;
}();

constexpr std::array<bool, 256> CaracteresWindows = [] {
    std::array<bool, 256> table{};
    for (int c : {233, 232, 234, 224, 231, 249, 226, 238, 244, 251, 228, 235, 239, 246, 252, 201,
                  230, 167, 176}) {
        table[c] = true;
    }
    return table;
}();

}  // namespace

void pad_chaine(std::span<char> chaine, int lgchaine) {
    if (lgchaine < 0 || chaine.empty()) return;
    const std::size_t fin = std::min(static_cast<std::size_t>(lgchaine), chaine.size() - 1);
    const std::size_t texte = strnlen(chaine.data(), fin);
    std::memset(chaine.data() + texte, ' ', fin - texte);
    chaine[fin] = '\0';
}

void pad_chaine(std::string& chaine, int lgchaine) {
    const std::size_t zero = chaine.find('\0');
    if (zero != std::string::npos) chaine.resize(zero);
    chaine.resize(static_cast<std::size_t>(std::max(lgchaine, 0)), ' ');
}

int lect(plat::File& fp, int longueur, long indice, std::span<char> buf) {
    if (longueur < 0 || static_cast<std::size_t>(longueur) >= buf.size()) return 0;
    buf[static_cast<std::size_t>(longueur)] = '\0';
    if (!fp.Seek(indice, SEEK_SET)) return 0;
    return static_cast<int>(fp.Read(buf.data(), static_cast<std::size_t>(longueur), 1));
}

long longueur(plat::File& fp, int lenchamp) {
    if (!fp.Seek(0, SEEK_END)) return 0;
    const std::int64_t taille = fp.Tell();
    fp.Seek(0, SEEK_SET);
    if (lenchamp <= 0 || taille <= 0) return 0;
    return static_cast<long>(taille / lenchamp);
}

bool ConvertUpperAccented(std::span<char> pInfo) {
    bool remplace = false;
    for (char& c : pInfo) {
        if (c == '\0') break;
        const char simple = MajusculesSansAccent[static_cast<unsigned char>(c)];
        if (simple != 0) {
            c = simple;
            remplace = true;
        }
    }
    return remplace;
}

bool IsMessageWindows(std::string_view Info) {
    for (char c : Info) {
        if (c == '\0') break;
        if (CaracteresWindows[static_cast<unsigned char>(c)]) return true;
    }
    return false;
}
