#include "records/EnregistrementBase.h"

#include <algorithm>
#include <cstring>

void EnregistrementBase::Commence(const TableBase& base, int slot) {
    base_ = &base;
    slot_ = slot;
    const int longueur =
        slot >= 0 && slot < NombreSlotsBase ? std::max(base.LongueurEnregistrement[slot], 0) : 0;
    longueur_ = static_cast<std::size_t>(longueur);
    if (tampon_.size() < longueur_ + 1) tampon_.resize(longueur_ + 1, ' ');
    std::memset(tampon_.data(), ' ', longueur_);
}

int EnregistrementBase::DebutChamp(int champ) const {
    if (base_ == nullptr || !base_->ChampDefini(slot_, champ)) return -1;
    return base_->PositionChamp[slot_][champ];
}

char* EnregistrementBase::Cible(int position, std::size_t& place) {
    if (position < 0 || static_cast<std::size_t>(position) >= tampon_.size()) {
        place = 0;
        return nullptr;
    }
    place = tampon_.size() - static_cast<std::size_t>(position);
    return tampon_.data() + position;
}

void EnregistrementBase::Position(int position, std::string_view texte) {
    std::size_t place = 0;
    char* cible = Cible(position, place);
    const std::size_t n = std::min(place, texte.size());
    if (n > 0) std::memcpy(cible, texte.data(), n);
}

void EnregistrementBase::Champ(int champ, std::string_view texte) {
    const int debut = DebutChamp(champ);
    if (debut >= 0) Position(debut, texte);
}

void EnregistrementBase::ChampFournisseur(int champ, std::string_view enregistrement,
                                          const TypeChamp& source) {
    const int debut = DebutChamp(champ);
    if (debut >= 0) PositionFournisseur(debut, enregistrement, source);
}

void EnregistrementBase::PositionFournisseur(int position, std::string_view enregistrement,
                                             const TypeChamp& source) {
    if (source.Longueur <= 0) return;
    std::size_t place = 0;
    char* cible = Cible(position, place);
    if (cible == nullptr) return;
    const std::size_t largeur = std::min(place, static_cast<std::size_t>(source.Longueur));
    std::string_view texte;
    if (source.Position >= 0 && static_cast<std::size_t>(source.Position) < enregistrement.size()) {
        texte = enregistrement.substr(static_cast<std::size_t>(source.Position), largeur);
        texte = texte.substr(0, texte.find('\0'));
    }
    if (!texte.empty()) std::memcpy(cible, texte.data(), texte.size());
    if (largeur > texte.size()) std::memset(cible + texte.size(), 0, largeur - texte.size());
}

namespace {

// valeur as "%0*ld" with a width of at most 40 (a sign, then the digits
// zero-padded to the width): formatted by hand because this runs for every
// subscriber and bundle, where a printf costs more than the rest of the record.
std::size_t FormaterNombre(char (&texte)[64], long valeur, int largeur) {
    char chiffres[24];
    std::size_t n = 0;
    auto reste =
        valeur < 0 ? 0UL - static_cast<unsigned long>(valeur) : static_cast<unsigned long>(valeur);
    do {
        chiffres[n++] = static_cast<char>('0' + reste % 10);
        reste /= 10;
    } while (reste != 0);
    std::size_t taille = 0;
    if (valeur < 0) texte[taille++] = '-';
    const auto voulus = static_cast<std::size_t>(std::clamp(largeur, 0, 40));
    while (taille + n < voulus) texte[taille++] = '0';
    while (n > 0) texte[taille++] = chiffres[--n];
    return taille;
}

}  // namespace

void EnregistrementBase::Nombre(int champ, long valeur, int chiffres) {
    const int debut = DebutChamp(champ);
    if (debut >= 0) NombreA(debut, valeur, chiffres);
}

void EnregistrementBase::NombreA(int position, long valeur, int chiffres) {
    if (chiffres <= 0) return;
    // A width that the buffer holds: the digits are written in place.
    std::size_t place = 0;
    char* cible = Cible(position, place);
    if (chiffres <= 40 && place >= static_cast<std::size_t>(chiffres)) {
        TexteNombre(std::span<char>(cible, static_cast<std::size_t>(chiffres)), valeur);
        return;
    }
    char texte[64];
    const std::size_t n = FormaterNombre(texte, valeur, chiffres);
    Position(position, std::string_view(texte, std::min(n, static_cast<std::size_t>(chiffres))));
}

void EnregistrementBase::TexteNombre(std::span<char> cible, long valeur) {
    // Most numbers are positive and fit their width: their digits are
    // written from the right, without a text to cut.
    if (valeur >= 0 && cible.size() <= 40) {
        long reste = valeur;
        for (std::size_t i = cible.size(); i-- > 0; reste /= 10)
            cible[i] = static_cast<char>('0' + reste % 10);
        if (reste == 0) return;
    }
    char texte[64];
    const std::size_t n = FormaterNombre(texte, valeur, static_cast<int>(cible.size()));
    std::memcpy(cible.data(), texte, std::min(n, cible.size()));
}

std::string_view EnregistrementBase::Texte() {
    tampon_[longueur_] = '\n';
    return std::string_view(tampon_).substr(0, longueur_ + 1);
}

bool EnregistrementBase::EcritLigne(plat::File& fp) {
    const std::string_view texte = Texte();
    return fp.IsOpen() && fp.WriteLine(texte.substr(0, texte.size() - 1));
}

bool EnregistrementBase::Ecrit(plat::File& fp) {
    return EcritTexte(fp, Texte());
}

bool EnregistrementBase::EcritTexte(plat::File& fp, std::string_view texte) {
    if (!fp.IsOpen() || texte.empty()) return false;
    // Most records hold no line feed of their own: written as a line.
    const std::size_t longueur = texte.size() - 1;
    if (std::memchr(texte.data(), '\n', longueur) == nullptr)
        return fp.WriteLine(texte.substr(0, longueur));
    return fp.Write(texte.data(), 1, texte.size()) == texte.size();
}
