// A code list of the supplier conversion (titles, editions, vehicles, routes)
// with the 32-character label of each code: entries in the order of the
// supplier's label file, then the codes that the subscriber pass appends.
// Codes are fixed-width and compared over their whole width, blanks included;
// a lookup gives the first entry with the code, as a scan from the start
// would. The list grows with the input.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class ListeCodes {
public:
    static constexpr int kLongueurLibelle = 32;

    ListeCodes() = default;
    explicit ListeCodes(int largeur) : largeur_(largeur) {}

    // Empties the list and sets the code width.
    void Ouvrir(int largeur);

    int Largeur() const { return largeur_; }
    int Nombre() const { return static_cast<int>(libelles_.size()); }

    // Appends a code (cut or blank-padded to the width) and its label (cut or
    // blank-padded to 32 characters); returns its index.
    int Ajouter(std::string_view code, std::string_view libelle);

    // Index of the first entry whose code equals code over the width; -1 when
    // there is none.
    int Chercher(std::string_view code) const;
    bool Contient(std::string_view code) const { return Chercher(code) >= 0; }

    std::string_view Code(int index) const;
    std::string_view Libelle(int index) const;

    // The label of code, or fallback when the code is not in the list.
    std::string_view LibelleDe(std::string_view code, std::string_view fallback) const;

private:
    std::string Cle(std::string_view code) const;

    int largeur_ = 0;
    std::vector<std::string> codes_;
    std::vector<std::string> libelles_;
    std::unordered_map<std::string, int> premier_;  // code -> first index
};
