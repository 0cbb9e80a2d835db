#include "dialogs/LoadFileTri.h"

#include <cstdio>
#include <string_view>
#include <utility>

#include "platform/fs/fs.h"

namespace {

int Comparer(long long a, long long b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

// A decimal number as "%d" reads it: blanks, an optional sign, digits; 0
// when there are none.
long long LireNombre(std::string_view texte) {
    std::size_t i = 0;
    while (i < texte.size() && (texte[i] == ' ' || texte[i] == '\t')) ++i;
    bool negatif = false;
    if (i < texte.size() && (texte[i] == '-' || texte[i] == '+')) negatif = texte[i++] == '-';
    long long valeur = 0;
    for (; i < texte.size() && texte[i] >= '0' && texte[i] <= '9'; ++i) {
        if (valeur < 1'000'000'000'000'000LL) valeur = valeur * 10 + (texte[i] - '0');
    }
    return negatif ? -valeur : valeur;
}

// The field of width largeur at position of a date text.
long long ChampDate(std::string_view date, std::size_t position, std::size_t largeur) {
    if (position >= date.size()) return 0;
    return LireNombre(date.substr(position, largeur));
}

int ComparerDates(std::string_view a, std::string_view b) {
    struct Champ {
        std::size_t position, largeur;
    };
    // Year, month, day, hour, minute, second.
    for (const Champ champ :
         {Champ{6, 4}, Champ{3, 2}, Champ{0, 2}, Champ{11, 2}, Champ{14, 2}, Champ{17, 2}}) {
        const int ordre = Comparer(ChampDate(a, champ.position, champ.largeur),
                                   ChampDate(b, champ.position, champ.largeur));
        if (ordre != 0) return ordre;
    }
    return 0;
}

int ComparerNoms(std::string_view a, std::string_view b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return Comparer(static_cast<long long>(a.size()), static_cast<long long>(b.size()));
}

}  // namespace

int ComparerLignes(const LigneGrille& a, const LigneGrille& b, int colonne) {
    switch (colonne) {
        case 1:
            return Comparer(LireNombre(a[1]), LireNombre(b[1]));
        case 2:
            return ComparerDates(a[2], b[2]);
        default:
            return ComparerNoms(a[0], b[0]);
    }
}

void TriShell(std::span<LigneGrille> lignes, int colonne) {
    const std::size_t nombre = lignes.size();
    std::size_t ecart = nombre;
    if (nombre < 2) return;
    do {
        ecart = (ecart + 1) / 2;
        for (std::size_t k = ecart; k < nombre; ++k) {
            for (std::size_t j = k;
                 j >= ecart && ComparerLignes(lignes[j - ecart], lignes[j], colonne) > 0;
                 j -= ecart) {
                std::swap(lignes[j - ecart], lignes[j]);
            }
        }
    } while (ecart > 1);
}

std::string TexteDate(long long secondes) {
    const plat::CalendarTime t = plat::ToUniversalTime(secondes);
    char texte[48];
    std::snprintf(texte, sizeof texte, "%02d/%02d/%04d %02d:%02d:%02d", t.day, t.month, t.year,
                  t.hour, t.minute, t.second);
    return texte;
}
