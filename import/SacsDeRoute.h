// The bag list's records of one route at a time.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "util/MemeCode.h"

// The records of a route's bags, built once and written again as they are:
// in a file in no bag order the list names the few bags of a route again
// and again. A bag is looked for first among those the route named already,
// by its code (the bag table would find it only at places spread through
// memory): slots by a hash of the code, for codes of at most 16 characters.
class SacsDeRoute {
public:
    struct Sac {
        int trouve = -1;                      // index in the bag table, -1 when absent
        std::uint32_t debut = 0, taille = 0;  // its record in the route's records
    };

    explicit SacsDeRoute(int nombreSacs)
        : place_(static_cast<std::size_t>(std::max(nombreSacs, 0))) {}

    void NouvelleRoute() {
        for (const int connu : connus_) place_[static_cast<std::size_t>(connu)] = {};
        connus_.clear();
        construits_.clear();
        ++generation_;
    }

    // The route's entry for the bag code: recherche() gives its table index
    // when the route has not named the code yet.
    template <class Recherche>
    Sac& Trouver(std::string_view code, Recherche recherche) {
        if (code.size() > kCode) return autre_ = Connu(recherche());
        Vu& vu = vus_[Case(code)];
        if (vu.generation != generation_ ||
            !MemeCode(std::string_view(vu.code, code.size()), code)) {
            vu.sac = Connu(recherche());
            std::memcpy(vu.code, code.data(), code.size());
            vu.generation = generation_;
        }
        return vu.sac;
    }

    std::string_view Enregistrement(const Sac& sac) const {
        return std::string_view(construits_).substr(sac.debut, sac.taille);
    }

    // Keeps the record just built for a bag of the table.
    void Garder(Sac& sac, std::string_view enregistrement) {
        if (sac.trouve < 0 || enregistrement.empty()) return;
        sac.debut = static_cast<std::uint32_t>(construits_.size());
        sac.taille = static_cast<std::uint32_t>(enregistrement.size());
        construits_.append(enregistrement);
        place_[static_cast<std::size_t>(sac.trouve)] = sac;
        connus_.push_back(sac.trouve);
    }

private:
    static constexpr std::size_t kCode = 16;
    struct Vu {
        char code[kCode] = {};
        std::uint32_t generation = 0;
        Sac sac;
    };

    Sac Connu(int trouve) const {
        Sac sac = trouve >= 0 ? place_[static_cast<std::size_t>(trouve)] : Sac{};
        sac.trouve = trouve;
        return sac;
    }

    // The code's first and last words (they overlap in a short code), read
    // where the code lies: no copy to read back.
    static std::size_t Case(std::string_view code) {
        const char* p = code.data();
        const std::size_t n = code.size();
        std::uint64_t debut = 0, fin = 0;
        if (n >= 8) {
            std::memcpy(&debut, p, 8);
            std::memcpy(&fin, p + n - 8, 8);
        } else if (n >= 4) {
            std::uint32_t a, b;
            std::memcpy(&a, p, 4);
            std::memcpy(&b, p + n - 4, 4);
            debut = a;
            fin = b;
        } else {
            for (std::size_t i = 0; i < n; ++i)
                debut = debut << 8 | static_cast<unsigned char>(p[i]);
        }
        const std::uint64_t h = debut * 0x9e3779b97f4a7c15ULL ^ fin * 0xc2b2ae3d27d4eb4fULL;
        return static_cast<std::size_t>((h ^ (h >> 29)) >> 58);
    }

    std::vector<Sac> place_;  // by table index: the bags built for the route
    std::vector<int> connus_;
    std::string construits_;
    std::array<Vu, 64> vus_{};
    std::uint32_t generation_ = 1;
    Sac autre_;  // the entry of a code too long for a slot
};
