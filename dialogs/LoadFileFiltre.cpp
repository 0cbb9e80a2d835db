#include "dialogs/LoadFileFiltre.h"

#include "platform/fs/fs.h"

namespace {

bool ContientJoker(std::string_view texte) {
    return texte.find_first_of("*?") != std::string_view::npos;
}

// The length of the shortest start of nom that the pattern avant matches.
std::size_t LongueurDebut(std::string_view nom, std::string_view avant) {
    if (!ContientJoker(avant)) return std::min(avant.size(), nom.size());
    for (std::size_t n = 0; n <= nom.size(); ++n)
        if (plat::MatchesWildcards(nom.substr(0, n), avant)) return n;
    return 0;
}

// The length of the shortest end of nom that the pattern apres matches.
std::size_t LongueurFin(std::string_view nom, std::string_view apres) {
    if (!ContientJoker(apres)) return std::min(apres.size(), nom.size());
    for (std::size_t n = 0; n <= nom.size(); ++n)
        if (plat::MatchesWildcards(nom.substr(nom.size() - n), apres)) return n;
    return 0;
}

}  // namespace

std::string RemplacerTout(std::string texte, std::string_view motif, std::string_view valeur) {
    if (motif.empty()) return texte;
    for (std::size_t position = texte.find(motif); position != std::string::npos;
         position = texte.find(motif, position + valeur.size())) {
        texte.replace(position, motif.size(), valeur);
    }
    return texte;
}

FiltreFichiers::FiltreFichiers(std::string_view sExtension)
    : modele_(sExtension.find('.') != std::string_view::npos) {
    if (!modele_) {
        motif_ = "*." + std::string(sExtension);
        return;
    }
    const std::string premier = RemplacerTout(std::string(sExtension), "{n}", "1");
    motif_ = RemplacerTout(premier, "{id}", "*");
    const std::size_t id = premier.find("{id}");
    identifiant_ = id != std::string::npos;
    if (identifiant_) {
        avant_ = premier.substr(0, id);
        apres_ = RemplacerTout(premier.substr(id + 4), "{id}", "*");
    } else {
        // A plain pattern: the names are shown without their extension.
        apres_ = premier.substr(premier.find('.'));
    }
}

std::string FiltreFichiers::NomAffiche(std::string_view nom) const {
    if (!modele_) return std::string(nom);
    const std::size_t debut = LongueurDebut(nom, avant_);
    const std::size_t fin = LongueurFin(nom.substr(debut), apres_);
    return std::string(nom.substr(debut, nom.size() - debut - fin));
}

std::string FiltreFichiers::NomAfficheLocal(std::string_view nom) const {
    // An identifier may hold "." itself: only a plain pattern's names are cut.
    if (modele_ && !identifiant_) return std::string(nom.substr(0, nom.find('.')));
    return NomAffiche(nom);
}
