#include "util/TableCodesFixes.h"

#include "util/MemeCode.h"

#include <algorithm>
#include <cstring>

void TableCodesFixes::Vider(std::size_t longueur) {
    longueur_ = longueur;
    std::string().swap(codes_);
    std::vector<int>().swap(numeros_);
    std::vector<std::uint32_t>().swap(cases_);
}

std::size_t TableCodesFixes::Case(std::string_view code) const {
    // FNV-1a, eight characters at a time: codes are short and often differ
    // in their last characters only.
    std::uint64_t h = 0xcbf29ce484222325ULL;
    std::size_t i = 0;
    for (; i + 8 <= code.size(); i += 8) {
        std::uint64_t mot;
        std::memcpy(&mot, code.data() + i, sizeof mot);
        h = (h ^ mot) * 0x100000001b3ULL;
        h ^= h >> 29;
    }
    for (; i < code.size(); ++i) h = (h ^ static_cast<unsigned char>(code[i])) * 0x100000001b3ULL;
    // The slot takes the low bits: every bit of the code must reach them.
    h ^= h >> 32;
    h *= 0x9e3779b97f4a7c15ULL;
    h ^= h >> 29;
    return static_cast<std::size_t>(h) & (cases_.size() - 1);
}

int TableCodesFixes::Chercher(std::string_view code) const {
    if (cases_.empty() || code.size() != longueur_) return -1;
    for (std::size_t c = Case(code);; c = (c + 1) & (cases_.size() - 1)) {
        const std::uint32_t occupant = cases_[c];
        if (occupant == 0) return -1;
        const std::size_t entree = occupant - 1;
        if (MemeCode(std::string_view(codes_.data() + entree * longueur_, longueur_), code))
            return numeros_[entree];
    }
}

std::size_t TableCodesFixes::CaseLibre(std::string_view code) const {
    std::size_t c = Case(code);
    while (cases_[c] != 0) c = (c + 1) & (cases_.size() - 1);
    return c;
}

int TableCodesFixes::Ajouter(std::string_view code, int numero) {
    if (code.size() != longueur_) return -1;
    if (const int present = Chercher(code); present >= 0) return present;
    // At most half full, so that a search soon meets a free slot.
    if (2 * (numeros_.size() + 1) > cases_.size()) Agrandir();
    codes_.append(code);
    numeros_.push_back(numero);
    cases_[CaseLibre(code)] = static_cast<std::uint32_t>(numeros_.size());
    return numero;
}

void TableCodesFixes::Reserver(std::size_t nombre) {
    codes_.reserve(nombre * longueur_);
    numeros_.reserve(nombre);
    std::size_t cases = 64;
    while (cases < 2 * nombre) cases *= 2;
    if (cases > cases_.size()) Redimensionner(cases);
}

void TableCodesFixes::Agrandir() {
    Redimensionner(std::max<std::size_t>(64, cases_.size() * 2));
}

void TableCodesFixes::Redimensionner(std::size_t cases) {
    cases_.assign(cases, 0);
    for (std::size_t entree = 0; entree < numeros_.size(); ++entree) {
        const std::string_view code(codes_.data() + entree * longueur_, longueur_);
        cases_[CaseLibre(code)] = static_cast<std::uint32_t>(entree + 1);
    }
}
