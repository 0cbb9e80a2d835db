#include "import/ListeCodes.h"

void ListeCodes::Ouvrir(int largeur) {
    largeur_ = largeur;
    codes_.clear();
    libelles_.clear();
    premier_.clear();
}

std::string ListeCodes::Cle(std::string_view code) const {
    std::string key(code.substr(0, static_cast<std::size_t>(largeur_)));
    key.resize(static_cast<std::size_t>(largeur_), ' ');
    return key;
}

int ListeCodes::Ajouter(std::string_view code, std::string_view libelle) {
    const int index = Nombre();
    std::string key = Cle(code);
    premier_.try_emplace(key, index);
    codes_.push_back(std::move(key));
    std::string label(libelle.substr(0, kLongueurLibelle));
    label.resize(kLongueurLibelle, ' ');
    libelles_.push_back(std::move(label));
    return index;
}

int ListeCodes::Chercher(std::string_view code) const {
    const auto found = premier_.find(Cle(code));
    return found == premier_.end() ? -1 : found->second;
}

std::string_view ListeCodes::Code(int index) const {
    return codes_.at(index);
}

std::string_view ListeCodes::Libelle(int index) const {
    return libelles_.at(index);
}

std::string_view ListeCodes::LibelleDe(std::string_view code, std::string_view fallback) const {
    const int index = Chercher(code);
    return index < 0 ? fallback : Libelle(index);
}
