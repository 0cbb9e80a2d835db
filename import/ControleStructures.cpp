#include "import/ControleStructures.h"

#include <cstdint>
#include <initializer_list>

namespace {

bool DansEnregistrement(const TypeChamp& champ, int longueur) {
    if (champ.Longueur < 0) return false;
    if (champ.Longueur == 0) return true;
    return champ.Position >= 0 &&
           static_cast<std::int64_t>(champ.Position) + champ.Longueur <= longueur;
}

// Flags of one character: only the position counts.
bool CaractereDansEnregistrement(const TypeChamp& champ, int longueur) {
    return champ.Position >= 0 && champ.Position < longueur;
}

bool LargeurCode(const TypeChamp& champ, int minimum) {
    return champ.Longueur >= minimum && champ.Longueur <= kLargeurMaxCode;
}

}  // namespace

bool StructureJournalValide(const TypeEnregistrementJournal& s) {
    const int longueur = s.LongueurEnregistrement;
    if (longueur <= 0 || longueur > kLongueurMaxEnregistrement) return false;
    if (!LargeurCode(s.Titre, 0) || !LargeurCode(s.Edition, 0) || !LargeurCode(s.Voiture, 2) ||
        !LargeurCode(s.Routage, 2))
        return false;
    for (const TypeChamp* champ : {&s.Titre, &s.Edition, &s.Voiture, &s.Routage, &s.NumeroSac,
                                   &s.Etat, &s.Margeurs, &s.Date, &s.Abonne, &s.Reserve}) {
        if (!DansEnregistrement(*champ, longueur)) return false;
    }
    for (const TypeChamp& champ : s.ChampSpecial)
        if (!DansEnregistrement(champ, longueur)) return false;
    for (const TypeChamp& champ : s.Lignes)
        if (!DansEnregistrement(champ, longueur)) return false;
    for (const TypeChamp* champ : {&s.FinLiasse, &s.FinSac, &s.ChaineProduction, &s.Etat}) {
        if (!CaractereDansEnregistrement(*champ, longueur)) return false;
    }
    return true;
}

bool StructureSacValide(const TypeEnregistrementSac& s) {
    for (const TypeChamp* champ : {&s.NumeroSac, &s.CodeVoiture})
        if (!DansEnregistrement(*champ, kLongueurMaxEnregistrement)) return false;
    for (const TypeChamp& champ : s.Champ)
        if (!DansEnregistrement(champ, kLongueurMaxEnregistrement)) return false;
    return true;
}
