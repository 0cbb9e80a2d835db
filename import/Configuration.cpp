#include "import/Configuration.h"

#include <cctype>
#include <climits>
#include <cstdio>

#include "import/RunHelpers.h"

bool LireEntier(plat::File& fichier, int& valeur) {
    int c = fichier.Getc();
    while (c != EOF && std::isspace(static_cast<unsigned char>(c))) c = fichier.Getc();
    bool negatif = false;
    if (c == '+' || c == '-') {
        negatif = c == '-';
        c = fichier.Getc();
    }
    if (c == EOF || !std::isdigit(static_cast<unsigned char>(c))) return false;
    long long lu = 0;
    while (c != EOF && std::isdigit(static_cast<unsigned char>(c))) {
        if (lu <= INT_MAX) lu = lu * 10 + (c - '0');
        c = fichier.Getc();
    }
    if (negatif) lu = -lu;
    if (lu > INT_MAX) lu = INT_MAX;
    if (lu < INT_MIN) lu = INT_MIN;
    valeur = static_cast<int>(lu);
    return true;
}

bool LireRepertoireData(plat::File& fichier, std::string& RepertoireData) {
    std::string ligne;
    std::string seconde;
    fichier.GetLine(ligne, 256);
    if (fichier.GetLine(seconde, 256)) ligne = std::move(seconde);
    const std::string_view valeur = SansFinDeLigne(ligne);
    const std::size_t egal = valeur.find('=');
    if (egal == std::string_view::npos) return false;
    RepertoireData = valeur.substr(egal + 1);
    return true;
}

std::string CodeTitre(std::string_view PremiereLigne) {
    std::size_t longueur = PremiereLigne.size() > 32 ? PremiereLigne.size() - 32 : 0;
    if (longueur < 2) longueur = 2;
    return std::string(PremiereLigne.substr(0, longueur));
}

bool LirePremiereLigne(std::string_view chemin, std::size_t maxLongueur, std::string& ligne) {
    plat::File fichier = plat::File::Open(chemin, "r");
    if (!fichier) return false;
    if (!fichier.GetLine(ligne, maxLongueur)) return false;
    ligne = std::string(SansFinDeLigne(ligne));
    return true;
}
