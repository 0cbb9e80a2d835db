#include "records/RunTables.h"

#include <algorithm>

void TableCodes::Configure(std::initializer_list<int> Largeurs) {
    largeurs_.clear();
    debuts_.clear();
    largeurEntree_ = 0;
    for (int largeur : Largeurs) {
        largeurs_.push_back(std::max(largeur, 0));
        debuts_.push_back(static_cast<int>(largeurEntree_));
        largeurEntree_ += static_cast<std::size_t>(largeurs_.back());
    }
    Vide();
}

void TableCodes::Vide() {
    ++version_;
    entrees_.clear();
    nombre_ = 0;
    index_.clear();
}

int TableCodes::Largeur(int champ) const {
    if (champ < 0 || champ >= static_cast<int>(largeurs_.size())) return 0;
    return largeurs_[static_cast<std::size_t>(champ)];
}

int TableCodes::Ajoute(std::initializer_list<std::string_view> Champs) {
    ++version_;
    const std::size_t debut = entrees_.size();
    entrees_.append(largeurEntree_, ' ');
    std::size_t champ = 0;
    for (std::string_view valeur : Champs) {
        if (champ == largeurs_.size()) break;
        const std::size_t n = std::min(valeur.size(), static_cast<std::size_t>(largeurs_[champ]));
        entrees_.replace(debut + static_cast<std::size_t>(debuts_[champ]), n, valeur.substr(0, n));
        ++champ;
    }
    return nombre_++;
}

std::string_view TableCodes::Champ(int indice, int champ) const {
    if (indice < 0 || indice >= nombre_ || champ < 0 ||
        champ >= static_cast<int>(largeurs_.size())) {
        return {};
    }
    const std::size_t debut = static_cast<std::size_t>(indice) * largeurEntree_ +
                              static_cast<std::size_t>(debuts_[static_cast<std::size_t>(champ)]);
    return std::string_view(entrees_).substr(debut, static_cast<std::size_t>(largeurs_[champ]));
}

TableCodes::Index& TableCodes::IndexDe(int champ, std::size_t longueur) const {
    for (Index& index : index_) {
        if (index.champ == champ && index.longueur == longueur) return index;
    }
    index_.push_back(Index{champ, longueur, 0, {}});
    return index_.back();
}

int TableCodes::Cherche(int champ, std::string_view code) const {
    if (champ < 0 || champ >= static_cast<int>(largeurs_.size()) ||
        code.size() > static_cast<std::size_t>(largeurs_[champ])) {
        return -1;
    }
    Index& index = IndexDe(champ, code.size());
    // Entries are never changed once registered, so the first index of a
    // prefix, once known, stays right.
    for (; index.couverts < nombre_; ++index.couverts) {
        const std::string_view prefixe = Champ(index.couverts, champ).substr(0, code.size());
        index.premier.try_emplace(std::string(prefixe), index.couverts);
    }
    const auto trouve = index.premier.find(code);
    return trouve == index.premier.end() ? -1 : trouve->second;
}

void TablesIndex::Configure(int TL, int EL, int VL, int RL) {
    M_ilot.Configure({RL, VL});
    M_ilot_sup.Configure({EL});
    M_igroupe.Configure({VL, EL});
    M_iedition.Configure({EL, TL});
    M_ititre.Configure({TL});
}
