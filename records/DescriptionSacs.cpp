#include "records/DescriptionSacs.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/fs/fs.h"

namespace {

constexpr std::size_t TailleLigne = 256;

// strtol over a line: false when no number starts it (blanks skipped).
bool Nombre(const char*& p, long& valeur) {
    char* fin = nullptr;
    valeur = std::strtol(p, &fin, 10);
    if (fin == p) return false;
    p = fin;
    return true;
}

int Largeur(long valeur) {
    return static_cast<int>(std::clamp<long>(valeur, 0, LargeurMaxChampSac));
}

}  // namespace

int lecture_sacs_def(std::string_view nomfic, int& NombreChampsSac, int& ChampTest,
                     std::span<TypeChamp, NombreMaxChampsSac> ChampsSac,
                     int& LongueurEnregistrementSac) {
    plat::File fichier = plat::File::Open(nomfic, "r");
    if (!fichier) return -1;
    std::string ligne;
    if (!fichier.GetLine(ligne, TailleLigne)) return 1;
    const char* p = ligne.c_str();
    long nombre = 0, test = 0;
    if (!Nombre(p, nombre)) return 1;
    // The test number has no effect on the run: a first line that gives
    // only the field count keeps the bag layout rather than losing it.
    if (!Nombre(p, test)) test = 0;

    NombreChampsSac = static_cast<int>(std::clamp<long>(nombre, 0, NombreMaxChampsSac));
    ChampTest = static_cast<int>(std::clamp<long>(test, INT_MIN, INT_MAX));
    int position = 0;
    for (int i = 0; i < NombreChampsSac; ++i) {
        long largeur = 0;
        if (fichier.GetLine(ligne, TailleLigne)) {
            const char* q = ligne.c_str();
            if (!Nombre(q, largeur)) largeur = 0;
        }
        ChampsSac[i].Position = position;
        ChampsSac[i].Longueur = Largeur(largeur);
        position += ChampsSac[i].Longueur;
    }
    LongueurEnregistrementSac = position;
    return 0;
}

int longueur_enregistrement_sac(const TypeEnregistrementSac& EnregistrementSac) {
    auto fin = [](const TypeChamp& champ) {
        return static_cast<std::int64_t>(champ.Position) + champ.Longueur;
    };
    std::int64_t longueur = fin(EnregistrementSac.CodeVoiture);
    for (const TypeChamp& champ : EnregistrementSac.Champ) {
        if (champ.Longueur != 0) longueur = std::max(longueur, fin(champ));
    }
    return static_cast<int>(std::clamp<std::int64_t>(longueur, 0, INT_MAX));
}
