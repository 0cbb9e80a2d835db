#include "import/RunHelpers.h"

#include "platform/codepage.h"

std::string Texte(std::string_view utf8) {
    return plat::Cp1252FromUtf8(utf8);
}

std::string Remplacer(std::string texte, std::string_view motif, std::string_view valeur) {
    if (motif.empty()) return texte;
    for (std::size_t position = texte.find(motif); position != std::string::npos;
         position = texte.find(motif, position + valeur.size())) {
        texte.replace(position, motif.size(), valeur);
    }
    return texte;
}

namespace {

// Length of the printf conversion that starts at text[0] == '%': flags,
// width, precision and length modifiers, then the conversion letter.
std::size_t LongueurConversion(std::string_view text) {
    std::size_t i = 1;
    while (i < text.size() &&
           std::string_view("-+ #0123456789.hlLqjzt").find(text[i]) != std::string_view::npos) {
        ++i;
    }
    return i < text.size() ? i + 1 : i;
}

}  // namespace

std::string FormaterMessage(std::string_view modele,
                            std::initializer_list<std::string_view> valeurs) {
    std::string resultat;
    resultat.reserve(modele.size() + 64);
    auto valeur = valeurs.begin();
    for (std::size_t i = 0; i < modele.size();) {
        if (modele[i] != '%') {
            resultat += modele[i++];
            continue;
        }
        if (i + 1 < modele.size() && modele[i + 1] == '%') {
            resultat += '%';
            i += 2;
            continue;
        }
        if (valeur != valeurs.end()) resultat += *valeur++;
        i += LongueurConversion(modele.substr(i));
    }
    return resultat;
}
