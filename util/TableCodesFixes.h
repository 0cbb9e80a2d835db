// Codes of one length, each with the number it was given when first added:
// an open-addressing table over the codes stored end to end, so that a
// lookup neither builds a string nor follows a chain of nodes. Used where
// every record of a large file looks up its code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TableCodesFixes {
public:
    explicit TableCodesFixes(std::size_t longueur = 0) : longueur_(longueur) {}

    // Empties the table for codes of that length.
    void Vider(std::size_t longueur);
    std::size_t Longueur() const { return longueur_; }
    std::size_t Nombre() const { return numeros_.size(); }

    // The number of code; -1 when absent. A code of another length than
    // the table's is never found nor added.
    int Chercher(std::string_view code) const;
    // Gives code the number (from 0) unless it has one already; returns the
    // number it has, or -1 for a code of another length.
    int Ajouter(std::string_view code, int numero);
    // Room for nombre codes, so that adding them moves nothing.
    void Reserver(std::size_t nombre);

private:
    std::size_t Case(std::string_view code) const;
    std::size_t CaseLibre(std::string_view code) const;
    void Agrandir();
    void Redimensionner(std::size_t cases);

    std::size_t longueur_;
    std::string codes_;                 // entry i at i * longueur_
    std::vector<int> numeros_;          // by entry
    std::vector<std::uint32_t> cases_;  // entry + 1, or 0 for a free slot
};
