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

#include "util/MemeCode.h"

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

// SuiviProgression for a pass over many lines: the percentage is worked out
// only from the offset where it can change (a division for every line cost
// a third of a record's control). For positions that only move forward,
// the bar moves exactly as with SuiviProgression.
class ProgressionParLignes {
public:
    ProgressionParLignes(std::int64_t LongueurFichier, std::function<void(int)> deplacer)
        : suivi_(LongueurFichier, std::move(deplacer)), longueur_(LongueurFichier) {}

    void Avancer(std::int64_t position) {
        if (position < seuil_) return;
        suivi_.Avancer(position);
        seuil_ = ProchainSeuil(position);
    }

private:
    // Below the offset returned, the percentage is that of position: the
    // exact next percentage starts at the ceiling of (p + 1) * length / 100,
    // and two bytes of margin cover the rounding of the floating division.
    std::int64_t ProchainSeuil(std::int64_t position) const {
        if (longueur_ <= 0 || position < 0 || position > longueur_) return position + 1;
        const std::int64_t pourcentage = position * 100 / longueur_;
        return ((pourcentage + 1) * longueur_ + 99) / 100 - 2;
    }

    SuiviProgression suivi_;
    std::int64_t longueur_;
    std::int64_t seuil_ = 0;
};
