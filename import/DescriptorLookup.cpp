#include "import/DescriptorLookup.h"

#include "import/LignesFournisseur.h"
#include "import/RunHelpers.h"
#include "platform/fs/fs.h"

namespace {

enum class Passe { CleComplete, DeuxCaracteres };

bool Correspond(std::string_view ligne, std::string_view NomTitre, Passe passe) {
    if (passe == Passe::CleComplete) return ligne.substr(0, NomTitre.size()) == NomTitre;
    return ligne.substr(0, 2) == NomTitre.substr(0, 2);
}

RechercheDescriptif ParcourirListe(std::string_view CheminListe, std::string_view NomTitre,
                                   Passe passe, std::size_t DebutNom, std::string& sDescriptif) {
    plat::File liste = plat::File::Open(CheminListe, "r");
    if (!liste) return RechercheDescriptif::NonTrouve;
    std::string ligne;
    while (liste.GetLine(ligne, 256)) {
        if (!EstEnregistrement(ligne)) continue;
        if (!Correspond(ligne, NomTitre, passe)) continue;
        // The name is a text: it ends at a zero byte.
        const std::string_view entree = TexteLigne(ligne);
        sDescriptif =
            DebutNom < entree.size() ? std::string(entree.substr(DebutNom)) : std::string();
        return RechercheDescriptif::Trouve;
    }
    // The entry may lie after the failure: not finding it says nothing.
    return liste.Error() ? RechercheDescriptif::Illisible : RechercheDescriptif::NonTrouve;
}

}  // namespace

RechercheDescriptif ChercherDescriptif(std::string_view CheminListe, std::string_view NomTitre,
                                       std::size_t DebutNom, std::string& sDescriptif) {
    if (NomTitre.empty()) return RechercheDescriptif::NonTrouve;
    const RechercheDescriptif complete =
        ParcourirListe(CheminListe, NomTitre, Passe::CleComplete, DebutNom, sDescriptif);
    if (complete != RechercheDescriptif::NonTrouve) return complete;
    return ParcourirListe(CheminListe, NomTitre, Passe::DeuxCaracteres, 3, sDescriptif);
}
