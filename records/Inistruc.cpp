#include "records/Inistruc.h"
#include "util/JusquAuZero.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace {

// Lines are read 254 characters at a time; a longer line goes on as a
// further line.
constexpr std::size_t TailleLigne = 255;

enum class Genre { Entier, EntierLong, Octet, OctetHexa, MotHexa, LongHexa, Reel, ReelLong, Texte };

struct MotCle {
    std::string_view Majuscules;
    std::string_view Minuscules;
    Genre genre;
};

// In the order they are tried.
constexpr MotCle MotsCles[] = {
    {"D ", "d ", Genre::Entier},    {"DL ", "dl ", Genre::EntierLong},
    {"DC ", "dc ", Genre::Octet},   {"HB ", "hb ", Genre::OctetHexa},
    {"HW ", "hw ", Genre::MotHexa}, {"HL ", "hl ", Genre::LongHexa},
    {"R ", "r ", Genre::Reel},      {"RL ", "rl ", Genre::ReelLong},
    {"A", "a", Genre::Texte},
};

bool EstBlanc(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int ChiffreHexa(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view SansBlancs(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && EstBlanc(s[i])) ++i;
    return s.substr(i);
}

// "%d" and "%x": blanks, an optional sign, digits (for radix 16 after an
// optional "0x"). The value is kept modulo 2^64, as the platform's
// conversion does before it is stored into 32 bits.
bool LitEntier(std::string_view s, int base, std::uint64_t& valeur) {
    s = SansBlancs(s);
    bool negatif = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negatif = s[0] == '-';
        s.remove_prefix(1);
    }
    if (base == 16 && s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X') &&
        ChiffreHexa(s[2]) >= 0) {
        s.remove_prefix(2);
    }
    std::uint64_t v = 0;
    std::size_t n = 0;
    for (; n < s.size(); ++n) {
        const int chiffre =
            base == 16 ? ChiffreHexa(s[n]) : (s[n] >= '0' && s[n] <= '9' ? s[n] - '0' : -1);
        if (chiffre < 0) break;
        v = v * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(chiffre);
    }
    if (n == 0) return false;
    valeur = negatif ? ~v + 1 : v;
    return true;
}

// A number beyond the range of Reel, as the decimal conversion stores it:
// infinity of its sign when it is too large, the nearest value (down to
// zero) when it is too small. s: the digits after any sign and "0x".
template <typename Reel>
Reel HorsEtendue(std::string_view s, std::chars_format forme, bool negatif) {
    long double large = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), large, forme);
    bool tropGrand;
    if (r.ec == std::errc()) {
        tropGrand = std::fabs(large) > std::numeric_limits<Reel>::max();
    } else {
        // Beyond even the widest type: the sign of the exponent tells.
        const std::size_t e = s.find_first_of(forme == std::chars_format::hex ? "pP" : "eE");
        tropGrand = e == std::string_view::npos || e + 1 >= s.size() || s[e + 1] != '-';
        large = 0;
    }
    if (tropGrand)
        return negatif ? -std::numeric_limits<Reel>::infinity()
                       : std::numeric_limits<Reel>::infinity();
    const Reel proche = static_cast<Reel>(std::fabs(large));
    return negatif ? -proche : proche;
}

// "%f" and "%lf" in the "C" locale whatever the process's locale: an optional
// sign, then a decimal number or "0x" and a hexadecimal one.
template <typename Reel>
bool LitReel(std::string_view s, Reel& valeur) {
    s = SansBlancs(s);
    bool negatif = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negatif = s[0] == '-';
        s.remove_prefix(1);
    }
    std::chars_format forme = std::chars_format::general;
    if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        forme = std::chars_format::hex;
        s.remove_prefix(2);
    }
    // A second sign is no number, nor is a sign inside "0x".
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) return false;
    Reel lu = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), lu, forme);
    if (r.ec == std::errc::result_out_of_range) {
        valeur = HorsEtendue<Reel>(s, forme, negatif);
        return true;
    }
    if (r.ec != std::errc()) return false;
    valeur = negatif ? -lu : lu;
    return true;
}

void Range(void* structure, int offset, const void* valeur, std::size_t taille) {
    std::memcpy(static_cast<unsigned char*>(structure) + offset, valeur, taille);
}

// A value of 4 or 8 bytes: aligned first, then converted.
int RangeMot(std::string_view valeur, Genre genre, void* tabstruct, int& psizcur, int sizstruct) {
    if (!frontmot(psizcur, sizstruct)) return -2;
    const int largeur = genre == Genre::ReelLong ? 8 : 4;
    if (psizcur > sizstruct - largeur) return -2;
    switch (genre) {
        case Genre::Reel: {
            float f = 0;
            if (!LitReel(valeur, f)) return -1;
            Range(tabstruct, psizcur, &f, sizeof f);
            break;
        }
        case Genre::ReelLong: {
            double d = 0;
            if (!LitReel(valeur, d)) return -1;
            Range(tabstruct, psizcur, &d, sizeof d);
            break;
        }
        default: {
            int base = 10;
            if (genre == Genre::MotHexa || genre == Genre::LongHexa) base = 16;
            if (genre == Genre::Entier && !valeur.empty() &&
                (valeur[0] == 'x' || valeur[0] == 'X')) {
                base = 16;
                valeur.remove_prefix(1);
            }
            std::uint64_t v = 0;
            if (!LitEntier(valeur, base, v)) return -1;
            const std::uint32_t mot = static_cast<std::uint32_t>(v);
            Range(tabstruct, psizcur, &mot, sizeof mot);
            break;
        }
    }
    psizcur += largeur;
    return 0;
}

int RangeOctet(std::string_view valeur, Genre genre, void* tabstruct, int& psizcur, int sizstruct) {
    if (psizcur > sizstruct - 1) return -2;
    std::uint64_t v = 0;
    if (!LitEntier(valeur, genre == Genre::OctetHexa ? 16 : 10, v)) return -1;
    const unsigned char octet = static_cast<unsigned char>(v);
    Range(tabstruct, psizcur, &octet, 1);
    psizcur += 1;
    if (genre == Genre::OctetHexa && psizcur % 2 == 1 && psizcur < sizstruct) {
        const unsigned char zero = 0;
        Range(tabstruct, psizcur, &zero, 1);
    }
    return 0;
}

// "A": the length directly after the letter, the text after the first blank
// that follows it. Without such a blank the text is empty.
int RangeTexte(std::string_view valeur, void* tabstruct, int& psizcur, int sizstruct) {
    std::size_t n = 0;
    std::int64_t longueur = 0;
    while (n < valeur.size() && valeur[n] >= '0' && valeur[n] <= '9') {
        longueur = std::min<std::int64_t>(longueur * 10 + (valeur[n] - '0'), INT_MAX);
        ++n;
    }
    if (n == 0) return -1;
    if (longueur > static_cast<std::int64_t>(sizstruct) - psizcur) return -2;

    const std::size_t blanc = valeur.find(' ', n);
    std::string_view texte =
        blanc == std::string_view::npos ? std::string_view{} : valeur.substr(blanc + 1);
    unsigned char* cible = static_cast<unsigned char*>(tabstruct) + psizcur;
    std::int64_t ranges = 0;
    for (std::size_t i = 0; i < texte.size() && ranges < longueur; ++i) {
        const char c = texte[i];
        if (c == ';' || c == '\n') break;
        if (c != '\\') {
            cible[ranges++] = static_cast<unsigned char>(c);
            continue;
        }
        const char suivant = i + 1 < texte.size() ? texte[i + 1] : '\0';
        if (suivant == '0') {
            cible[ranges++] = 0;
        } else if (suivant == 'n') {
            cible[ranges++] = '\n';
        } else {
            cible[ranges++] = '\\';
        }
        ++i;  // the character after the backslash is used up
    }
    std::memset(cible + ranges, ' ', static_cast<std::size_t>(longueur - ranges));
    psizcur += static_cast<int>(longueur);
    return 0;
}

}  // namespace

int frontmot(int& sizcur, int sizstruct) {
    if (sizcur % 4 == 0) return 1;
    sizcur += 4 - sizcur % 4;
    return sizcur <= sizstruct ? 1 : 0;
}

int LineStruct(std::string_view StringInput, void* tabstruct, int& psizcur, int sizstruct) {
    const std::string_view ligne = JusquAuZero(StringInput);
    const std::size_t deux_points = ligne.find(':');
    if (deux_points == std::string_view::npos) return -1;
    const std::string_view suite = ligne.substr(deux_points + 1);
    for (const MotCle& mot : MotsCles) {
        const std::size_t taille = mot.Majuscules.size();
        const std::string_view debut = suite.substr(0, taille);
        if (debut != mot.Majuscules && debut != mot.Minuscules) continue;
        const std::string_view valeur = suite.substr(taille);
        switch (mot.genre) {
            case Genre::Octet:
            case Genre::OctetHexa:
                return RangeOctet(valeur, mot.genre, tabstruct, psizcur, sizstruct);
            case Genre::Texte:
                return RangeTexte(valeur, tabstruct, psizcur, sizstruct);
            default:
                return RangeMot(valeur, mot.genre, tabstruct, psizcur, sizstruct);
        }
    }
    return -1;
}

int init_struct(std::string_view nomstruct, void* tabstruct, int sizstruct) {
    plat::File fichier = plat::File::Open(nomstruct, "r");
    if (!fichier) return -1;
    int offset = 0;
    int lignes = 0;
    std::string ligne;
    while (fichier.GetLine(ligne, TailleLigne)) {
        if (ligne[0] == '\n') continue;
        ++lignes;
        const int resultat = LineStruct(ligne, tabstruct, offset, sizstruct);
        if (resultat == -1) return lignes;
        if (resultat == -2) return -2;
    }
    if (offset % 4 != 0) offset += 4 - offset % 4;
    return offset == sizstruct ? 0 : -3;
}

int ReadStruct(plat::File* FpStruct, int NbLignes, void* tabstruct, int sizstruct) {
    if (FpStruct == nullptr || !FpStruct->IsOpen()) return -1;
    int offset = 0;
    std::string ligne;
    for (int k = 1; k <= NbLignes; ++k) {
        if (!FpStruct->GetLine(ligne, TailleLigne) || ligne[0] == '\n') return -3;
        const int resultat = LineStruct(ligne, tabstruct, offset, sizstruct);
        if (resultat == -1) return k;
        if (resultat == -2) return -2;
    }
    return 0;
}

int Copie_De_Fichier(std::string_view nomfic1, std::string_view nomfic2) {
    plat::File source = plat::File::Open(nomfic1, "rb");
    if (!source) return 1;
    plat::File destination = plat::File::Open(nomfic2, "wb");
    if (!destination) return 2;
    char bloc[1000];
    std::size_t lus;
    while ((lus = source.Read(bloc, 1, sizeof bloc)) > 0) {
        if (destination.Write(bloc, 1, lus) != lus) return 3;
    }
    // A read that fails is no end of file: the copy would be cut short.
    if (source.Error()) return 1;
    return destination.Close() ? 0 : 3;
}
