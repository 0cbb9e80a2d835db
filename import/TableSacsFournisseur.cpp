#include "import/TableSacsFournisseur.h"

#include <algorithm>

void TableSacsFournisseur::Ouvrir(int LongueurEnregistrementSac, int longueurCode) {
    Liberer();
    existe_ = true;
    longueur_ = std::max(LongueurEnregistrementSac, 0);
    longueurCode_ = std::max(longueurCode, 0);
}

void TableSacsFournisseur::Liberer() {
    existe_ = false;
    nombre_ = 0;
    std::vector<char>().swap(pSacs_);
    TableTexte<int>().swap(premier_);
}

std::string TableSacsFournisseur::Cle(std::string_view code) const {
    std::string cle(code.substr(0, static_cast<std::size_t>(longueurCode_)));
    cle.resize(static_cast<std::size_t>(longueurCode_), ' ');
    return cle;
}

void TableSacsFournisseur::Ajouter(std::string_view ligne) {
    std::string enregistrement(ligne.substr(0, static_cast<std::size_t>(longueur_)));
    enregistrement.resize(static_cast<std::size_t>(longueur_), ' ');
    premier_.try_emplace(Cle(enregistrement), nombre_);
    pSacs_.insert(pSacs_.end(), enregistrement.begin(), enregistrement.end());
    pSacs_.insert(pSacs_.end(), kLongueurSuite, '0');
    ++nombre_;
}

int TableSacsFournisseur::Chercher(std::string_view sac) const {
    // A code of the full width is looked up as it is.
    const auto largeur = static_cast<std::size_t>(longueurCode_);
    const auto found =
        sac.size() >= largeur ? premier_.find(sac.substr(0, largeur)) : premier_.find(Cle(sac));
    return found == premier_.end() ? -1 : found->second;
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
