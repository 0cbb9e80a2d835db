#include "records/TableBase.h"

#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::size_t TailleLigne = 256;

// The reader walks the descriptor line by line; reaching the end of the
// file is not an error for the lines that a section may omit.
class Lecteur {
public:
    explicit Lecteur(plat::File& fichier) : fichier_(fichier) {}
    bool Suivante() { return fichier_.GetLine(ligne_, TailleLigne); }
    // The line up to its first zero byte, as text.
    std::string_view Ligne() const {
        const std::string_view l(ligne_);
        return l.substr(0, l.find('\0'));
    }

private:
    plat::File& fichier_;
    std::string ligne_;
};

// A decimal number as "%d" reads it: blanks, a sign, digits; the rest of
// the text is ignored.
bool Decimal(std::string_view texte, std::int64_t& valeur) {
    std::size_t i = 0;
    while (i < texte.size() && (texte[i] == ' ' || texte[i] == '\t' || texte[i] == '\r' ||
                                texte[i] == '\n' || texte[i] == '\v' || texte[i] == '\f')) {
        ++i;
    }
    bool negatif = false;
    if (i < texte.size() && (texte[i] == '+' || texte[i] == '-')) negatif = texte[i++] == '-';
    const std::size_t debut = i;
    std::int64_t v = 0;
    for (; i < texte.size() && texte[i] >= '0' && texte[i] <= '9'; ++i) {
        if (v < INT64_MAX / 100) v = v * 10 + (texte[i] - '0');
    }
    if (i == debut) return false;
    valeur = negatif ? -v : v;
    return true;
}

// The first word after the first ":", as "%s" reads it, cut to 9
// characters. False when the line has no ":".
bool MotApresDeuxPoints(std::string_view ligne, std::string& mot) {
    const std::size_t deux_points = ligne.find(':');
    if (deux_points == std::string_view::npos) return false;
    std::string_view suite = ligne.substr(deux_points + 1);
    const std::size_t debut = suite.find_first_not_of(" \t\r\n\v\f");
    suite = debut == std::string_view::npos ? std::string_view{} : suite.substr(debut);
    mot =
        std::string(suite.substr(0, std::min(suite.find_first_of(" \t\r\n\v\f"), std::size_t{9})));
    return true;
}

// The section header "[d" with a digit d; -1 for any other line.
int ChiffreSection(std::string_view ligne) {
    if (ligne.size() < 2 || ligne[0] != '[' || ligne[1] < '0' || ligne[1] > '9') return -1;
    return ligne[1] - '0';
}

// Reads the section of one slot, the header already read.
int LectureSection(Lecteur& lecteur, TableBase& base, int slot) {
    if (!lecteur.Suivante() || !MotApresDeuxPoints(lecteur.Ligne(), base.Extension[slot])) {
        return ExtensionIllisible;
    }
    lecteur.Suivante();
    if (!lecteur.Suivante()) return NombreChampsIllisible;
    const std::string_view ligne_nombre = lecteur.Ligne();
    const std::size_t deux_points = ligne_nombre.find(':');
    std::int64_t nombre = 0;
    if (deux_points == std::string_view::npos ||
        !Decimal(ligne_nombre.substr(deux_points + 1), nombre)) {
        return NombreChampsIllisible;
    }
    if (nombre < 0 || nombre > NombreMaxChampsBase) return NombreChampsHorsLimites;
    base.NbChamps[slot] = static_cast<int>(nombre);
    lecteur.Suivante();
    lecteur.Suivante();

    std::int64_t position = 0;
    for (int k = 0; k < base.NbChamps[slot]; ++k) {
        if (!lecteur.Suivante()) return ListeChampsCourte;
        std::string_view ligne = lecteur.Ligne();
        for (int n = 0; n < 3; ++n) {
            const std::size_t deux_points_champ = ligne.find(':');
            if (deux_points_champ == std::string_view::npos) return ListeChampsCourte;
            ligne.remove_prefix(deux_points_champ + 1);
        }
        std::int64_t largeur = 0;
        if (!Decimal(ligne, largeur) || largeur < 0) return LargeurChampInvalide;
        if (position + largeur > LongueurMaxEnregistrementBase) return EnregistrementTropLong;
        base.LongueurChamp[slot][k] = static_cast<int>(largeur);
        base.PositionChamp[slot][k] = static_cast<int>(position);
        position += largeur;
    }
    base.LongueurEnregistrement[slot] = static_cast<int>(position);
    base.bDefined[slot] = true;
    return DescriptifLu;
}

void Efface(TableBase& base) {
    for (int slot = 0; slot < NombreSlotsBase; ++slot) {
        base.Extension[slot].clear();
        base.NbChamps[slot] = 0;
        base.LongueurEnregistrement[slot] = 0;
        for (int k = 0; k < NombreMaxChampsBase; ++k) {
            base.LongueurChamp[slot][k] = 0;
            base.PositionChamp[slot][k] = 0;
        }
    }
    for (bool& defini : base.bDefined) defini = false;
}

}  // namespace

std::string NomFichierBase(std::string_view RepertoireData, std::string_view NomBase,
                           std::string_view Extension) {
    std::string nom;
    nom.reserve(RepertoireData.size() + NomBase.size() + Extension.size());
    nom.append(RepertoireData).append(NomBase).append(Extension);
    return nom;
}

int TableBase::LectureDescriptif(plat::File& fichier) {
    Efface(*this);
    Lecteur lecteur(fichier);
    while (lecteur.Suivante()) {
        const int chiffre = ChiffreSection(lecteur.Ligne());
        if (chiffre < 0 || chiffre >= NombreSlotsDecrits) continue;
        const int resultat = LectureSection(lecteur, *this, NombreSlotsDecrits - 1 - chiffre);
        if (resultat != DescriptifLu) return resultat;
    }
    // The sections after a failed read would be missing from the layout.
    return fichier.Error() ? DescriptifIllisible : DescriptifLu;
}

int TableBase::LectureDescriptif(std::string_view nom) {
    plat::File fichier = plat::File::Open(nom, "r");
    if (!fichier) return DescriptifAbsent;
    return LectureDescriptif(fichier);
}
