// Small helpers shared by the phases of the import run: texts written in
// UTF-8 in the source and shown in 1252, message formatting, bounds-safe
// field access on records read as lines, and the progress bar that moves
// only when the whole percentage changes.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

// A text of the program (UTF-8 in the source) as the 1252 bytes it shows.
std::string Texte(std::string_view utf8);

// The string-table text modele with its conversions ("%s", "%d", "%ld",
// "%02d" ...) replaced, in order, by the given values already written as
// text; "%%" gives "%". A conversion without a value gives nothing.
std::string FormaterMessage(std::string_view modele,
                            std::initializer_list<std::string_view> valeurs);

// texte with every motif replaced by valeur.
std::string Remplacer(std::string texte, std::string_view motif, std::string_view valeur);

// The line without its last character when that character is a line feed.
inline std::string_view SansFinDeLigne(std::string_view ligne) {
    if (!ligne.empty() && ligne.back() == '\n') ligne.remove_suffix(1);
    return ligne;
}

// The longueur characters of enreg that start at position, fewer (or none)
// where enreg is shorter; empty for a negative position or width.
inline std::string_view Champ(std::string_view enreg, int position, int longueur) {
    if (position < 0 || longueur <= 0 || static_cast<std::size_t>(position) >= enreg.size()) {
        return {};
    }
    return enreg.substr(static_cast<std::size_t>(position), static_cast<std::size_t>(longueur));
}

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

// For a position that only moves forward through longueur bytes: once the
// position reaches seuil, pourcentage becomes position * 100 / longueur
// (truncated) and seuil the first position where that value changes again.
// Between thresholds nothing is worked out, so most positions cost no
// division, and the value is always the one the division would give.
inline void AvancerPourcentage(std::int64_t position, std::int64_t longueur, std::int64_t& seuil,
                               int& pourcentage) {
    if (longueur <= 0 || position < seuil) return;
    pourcentage = static_cast<int>(position * 100 / longueur);
    seuil = ((std::int64_t{pourcentage} + 1) * longueur + 99) / 100;
}

// Follows a sequential read of a file of a known size and moves a progress
// bar (through deplacer) only when the whole percentage read changes.
class SuiviProgression {
public:
    SuiviProgression(std::int64_t LongueurFichier, std::function<void(int)> deplacer)
        : LongueurFichier_(LongueurFichier), deplacer_(std::move(deplacer)) {}

    void Avancer(std::int64_t LongueurCourante) {
        int NouveauPourcentage = 0;
        if (LongueurFichier_ > 0) {
            NouveauPourcentage = static_cast<int>(static_cast<double>(LongueurCourante) * 100.0 /
                                                  static_cast<double>(LongueurFichier_));
        }
        if (NouveauPourcentage != Pourcentage_) {
            Pourcentage_ = NouveauPourcentage;
            deplacer_(Pourcentage_);
        }
    }

private:
    std::int64_t LongueurFichier_;
    std::function<void(int)> deplacer_;
    int Pourcentage_ = 0;
};
