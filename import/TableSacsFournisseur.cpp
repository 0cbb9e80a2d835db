#include "import/TableSacsFournisseur.h"

#include <algorithm>

#include "util/MemeCode.h"

void TableSacsFournisseur::Ouvrir(int LongueurEnregistrementSac, int longueurCode,
                                  std::size_t attendus) {
    Liberer();
    existe_ = true;
    longueur_ = std::max(LongueurEnregistrementSac, 0);
    longueurCode_ = std::max(longueurCode, 0);
    premier_.Vider(static_cast<std::size_t>(longueurCode_));
    premier_.Reserver(attendus);
    pSacs_.reserve(attendus * static_cast<std::size_t>(longueur_ + kLongueurSuite));
    premiere_.reserve(attendus);
}

void TableSacsFournisseur::Liberer() {
    existe_ = false;
    nombre_ = 0;
    std::vector<char>().swap(pSacs_);
    std::vector<std::uint8_t>().swap(premiere_);
    premier_.Vider(0);
}

std::string TableSacsFournisseur::Cle(std::string_view code) const {
    std::string cle(code.substr(0, static_cast<std::size_t>(longueurCode_)));
    cle.resize(static_cast<std::size_t>(longueurCode_), ' ');
    return cle;
}

void TableSacsFournisseur::Ajouter(std::string_view ligne) {
    const auto longueur = static_cast<std::size_t>(longueur_);
    const std::size_t debut = pSacs_.size();
    const std::string_view texte = ligne.substr(0, longueur);
    pSacs_.insert(pSacs_.end(), texte.begin(), texte.end());
    pSacs_.insert(pSacs_.end(), longueur - texte.size(), ' ');
    const std::string_view enregistrement(pSacs_.data() + debut, longueur);
    const auto largeur = static_cast<std::size_t>(longueurCode_);
    const int premier = largeur <= longueur
                            ? premier_.Ajouter(enregistrement.substr(0, largeur), nombre_)
                            : premier_.Ajouter(Cle(enregistrement), nombre_);
    premiere_.push_back(premier == nombre_ ? 1 : 0);
    pSacs_.insert(pSacs_.end(), kLongueurSuite, '0');
    ++nombre_;
}

int TableSacsFournisseur::Chercher(std::string_view sac) const {
    // A code of the full width is looked up as it is.
    const auto largeur = static_cast<std::size_t>(longueurCode_);
    return sac.size() >= largeur ? premier_.Chercher(sac.substr(0, largeur))
                                 : premier_.Chercher(Cle(sac));
}

int TableSacsFournisseur::Chercher(std::string_view sac, int precedent) const {
    const auto largeur = static_cast<std::size_t>(longueurCode_);
    const int suivant = precedent + 1;
    if (precedent >= -1 && suivant < nombre_ && premiere_[static_cast<std::size_t>(suivant)] &&
        largeur <= static_cast<std::size_t>(longueur_) && sac.size() >= largeur &&
        MemeCode(Enregistrement(suivant).substr(0, largeur), sac.substr(0, largeur))) {
        return suivant;
    }
    return Chercher(sac);
}

std::string_view TableSacsFournisseur::Enregistrement(int index) const {
    const auto debut =
        static_cast<std::size_t>(index) * static_cast<std::size_t>(longueur_ + kLongueurSuite);
    return {pSacs_.data() + debut, static_cast<std::size_t>(longueur_)};
}

bool TableSacsFournisseur::Marquer(std::string_view sac) {
    const int index = Chercher(sac);
    if (index < 0) return false;
    const auto debut =
        static_cast<std::size_t>(index) * static_cast<std::size_t>(longueur_ + kLongueurSuite);
    pSacs_[debut + static_cast<std::size_t>(longueur_)] = '0';
    pSacs_[debut + static_cast<std::size_t>(longueur_) + 1] = '1';
    return true;
}
