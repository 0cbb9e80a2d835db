#include "import/DescriptorLookup.h"

#include "import/RunHelpers.h"
#include "platform/fs/fs.h"

namespace {

enum class Passe { CleComplete, DeuxCaracteres };

bool Correspond(std::string_view ligne, std::string_view NomTitre, Passe passe) {
    if (passe == Passe::CleComplete) return ligne.substr(0, NomTitre.size()) == NomTitre;
    return ligne.substr(0, 2) == NomTitre.substr(0, 2);
}

bool ParcourirListe(std::string_view CheminListe, std::string_view NomTitre, Passe passe,
                    std::size_t DebutNom, std::string& sDescriptif) {
    plat::File liste = plat::File::Open(CheminListe, "r");
    if (!liste) return false;
    std::string ligne;
    while (liste.GetLine(ligne, 256)) {
        if (ligne.size() <= 1) continue;
        if (!Correspond(ligne, NomTitre, passe)) continue;
        const std::string_view entree = SansFinDeLigne(ligne);
        sDescriptif =
            DebutNom < entree.size() ? std::string(entree.substr(DebutNom)) : std::string();
        return true;
    }
    return false;
}

}  // namespace

bool ChercherDescriptif(std::string_view CheminListe, std::string_view NomTitre,
                        std::size_t DebutNom, std::string& sDescriptif) {
    if (NomTitre.empty()) return false;
    if (ParcourirListe(CheminListe, NomTitre, Passe::CleComplete, DebutNom, sDescriptif)) {
        return true;
    }
    return ParcourirListe(CheminListe, NomTitre, Passe::DeuxCaracteres, 3, sDescriptif);
}
