#include "import/LignesFournisseur.h"

#include <algorithm>

#include "import/ListeCodes.h"
#include "util/JusquAuZero.h"

std::string_view TexteLigne(std::string_view ligne) {
    ligne = JusquAuZero(ligne);
    if (!ligne.empty() && ligne.back() == '\n') ligne.remove_suffix(1);
    return ligne;
}

CodeEtLibelle LireLigneReference(std::string_view ligne, int largeur, bool inserer00) {
    const auto width = static_cast<std::size_t>(std::max(largeur, 0));
    const std::size_t total = width + ListeCodes::kLongueurLibelle;
    std::string texte(TexteLigne(ligne));
    if (inserer00 && width >= 2 && texte.size() >= width - 2) texte.insert(width - 2, "00");
    texte.resize(total, ' ');
    return {texte.substr(0, width), texte.substr(width)};
}

std::string LireLigneSac(std::string_view ligne, int LongueurEnregistrementSac) {
    std::string texte(TexteLigne(ligne));
    texte.resize(static_cast<std::size_t>(std::max(LongueurEnregistrementSac, 0)), ' ');
    return texte;
}

bool EstEnregistrement(std::string_view ligne) {
    return JusquAuZero(ligne).size() > 1;
}
