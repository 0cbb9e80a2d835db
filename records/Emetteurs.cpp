#include "records/Emetteurs.h"

#include <algorithm>
#include <cstdint>

#include "util/utilit.h"

namespace {

// Base fields of the subscriber record.
enum : int {
    ChampEdition = 1,
    ChampVoiture = 2,
    ChampRoutage = 3,
    ChampSac = 4,
    ChampLiasse = 5,
    ChampAbonne = 6,
    ChampFinLiasse = 7,
    ChampFinSac = 8,
    ChampEtat = 10,
    ChampPremierMargeur = 11,
    ChampSpecial0 = 19,
    ChampNumeroSac = 20,
    ChampIdentification = 21,
    ChampReserve = 22,
    ChampDate = 23,
    ChampPremiereLigne = 31,
};

// Base fields of the bag record.
enum : int {
    ChampSacEdition = 1,
    ChampSacVoiture = 2,
    ChampSacRoutage = 3,
    ChampSacNumero = 4,
    ChampSacPremier = 7,
};

TypeChamp UnCaractere(std::int32_t Position) {
    return TypeChamp{Position, 1};
}

// A work code of the given width, blank.
void Blanc(std::string& code, int largeur) {
    code.assign(static_cast<std::size_t>(std::max(largeur, 0)), ' ');
}

// Copies a table field into a work code, within the code's width.
void Copie(std::string& code, std::string_view valeur) {
    std::copy_n(valeur.begin(), std::min(code.size(), valeur.size()), code.begin());
}

}  // namespace

bool Emetteurs::EnvoieEnregistrementJournal(plat::File& fp, std::string_view buf, int& NumeroAbonne,
                                            int IndiceLiasse, std::string_view Date) {
    const TypeEnregistrementJournal& ej = EnregistrementJournal_;
    EnregistrementBase& rec = BufJournal_;
    ++NumeroAbonne;
    rec.Commence(Base_, SlotJournal);

    rec.PositionFournisseur(0, buf, ej.Titre);
    rec.ChampFournisseur(ChampEdition, buf, ej.Edition);
    rec.ChampFournisseur(ChampVoiture, buf, ej.Voiture);
    rec.ChampFournisseur(ChampRoutage, buf, ej.Routage);
    rec.ChampFournisseur(ChampSac, buf, ej.SacUtilisateur == 0 ? ej.Routage : ej.NumeroSac);
    rec.Nombre(ChampLiasse, IndiceLiasse, 10);
    char numero[8];
    sndlong(numero, NumeroAbonne, sizeof numero);
    rec.Champ(ChampAbonne, std::string_view(numero, sizeof numero));
    rec.ChampFournisseur(ChampEtat, buf, ej.Etat);
    rec.ChampFournisseur(ChampFinLiasse, buf, UnCaractere(ej.FinLiasse.Position));
    rec.ChampFournisseur(ChampFinSac, buf, UnCaractere(ej.FinSac.Position));
    // Flags beyond the slot's last field have nowhere to go.
    const int margeurs = std::min(ej.Margeurs.Longueur, NombreMaxChampsBase - ChampPremierMargeur);
    for (int i = 0; i < margeurs && ej.Margeurs.Position <= INT32_MAX - i; ++i) {
        rec.ChampFournisseur(ChampPremierMargeur + i, buf, UnCaractere(ej.Margeurs.Position + i));
    }
    if (ej.Date.Longueur != 0) {
        rec.ChampFournisseur(ChampDate, buf, ej.Date);
    } else {
        rec.ChampFournisseur(ChampDate, Date, TypeChamp{0, 6});
    }
    rec.ChampFournisseur(ChampNumeroSac, buf, ej.NumeroSac);
    rec.ChampFournisseur(ChampIdentification, buf, ej.Abonne);
    rec.ChampFournisseur(ChampReserve, buf, ej.Reserve);
    if (ej.ChampSpecial[0].Longueur != 0) {
        rec.ChampFournisseur(ChampSpecial0, buf, ej.ChampSpecial[0]);
    }
    for (int i = 1; i < 7; ++i) {
        if (ej.ChampSpecial[i].Longueur != 0) {
            rec.ChampFournisseur(ChampReserve + i, buf, ej.ChampSpecial[i]);
        }
    }
    for (int i = 0; i < 16; ++i) {
        if (ej.Lignes[i].Longueur != 0) {
            rec.ChampFournisseur(ChampPremiereLigne + i, buf, ej.Lignes[i]);
        }
    }
    return rec.Ecrit(fp);
}

void Emetteurs::ResoutEditionEtTitre() {
    const int reseau = Index_.M_igroupe.Cherche(0, Voiture_);
    if (reseau < 0) return;
    Copie(Edition_, Index_.M_igroupe.Champ(reseau, 1));
    const int edition = Index_.M_iedition.Cherche(0, Edition_);
    if (edition < 0) return;
    Copie(Titre_, Index_.M_iedition.Champ(edition, 1));
}

bool Emetteurs::EcritSac(plat::File& fp, std::string_view buf) {
    EnregistrementBase& rec = BufSac_;
    rec.Commence(Base_, SlotSac);
    rec.Position(0, Titre_);
    rec.Champ(ChampSacEdition, Edition_);
    rec.Champ(ChampSacVoiture, Voiture_);
    rec.Champ(ChampSacRoutage, Routage_);
    rec.ChampFournisseur(ChampSacNumero, buf, EnregistrementSac_.NumeroSac);
    for (int i = 0; i < 10; ++i) {
        if (EnregistrementSac_.Champ[i].Longueur != 0) {
            rec.ChampFournisseur(ChampSacPremier + i, buf, EnregistrementSac_.Champ[i]);
        }
    }
    return rec.Ecrit(fp);
}

bool Emetteurs::EnvoieEnregistrementSac(plat::File& fp, std::string_view buf) {
    const TypeEnregistrementJournal& ej = EnregistrementJournal_;
    Blanc(Routage_, ej.Routage.Longueur);
    Blanc(Voiture_, ej.Voiture.Longueur);
    Blanc(Edition_, ej.Edition.Longueur);
    Blanc(Titre_, ej.Titre.Longueur);

    // The supplier vehicle code lacks the two characters that the conversion
    // appends to the codes of the route table.
    const std::size_t compares = static_cast<std::size_t>(std::max(ej.Voiture.Longueur - 2, 0));
    const std::int32_t debut = EnregistrementSac_.CodeVoiture.Position;
    int lot = -1;
    if (debut >= 0 && static_cast<std::size_t>(debut) + compares <= buf.size()) {
        lot = Index_.M_ilot.Cherche(1, buf.substr(static_cast<std::size_t>(debut), compares));
    }
    if (lot >= 0) {
        Copie(Routage_, Index_.M_ilot.Champ(lot, 0));
        Copie(Voiture_, Index_.M_ilot.Champ(lot, 1));
        ResoutEditionEtTitre();
    }
    return EcritSac(fp, buf);
}

bool Emetteurs::EnvoieEnregistrementSacDirect(plat::File& fp, std::string_view buf, int IndiceLot) {
    const TypeEnregistrementJournal& ej = EnregistrementJournal_;
    Blanc(Routage_, ej.Routage.Longueur);
    Blanc(Voiture_, ej.Voiture.Longueur);
    Blanc(Edition_, ej.Edition.Longueur);
    Blanc(Titre_, ej.Titre.Longueur);
    Copie(Routage_, Index_.M_ilot.Champ(IndiceLot, 0));
    Copie(Voiture_, Index_.M_ilot.Champ(IndiceLot, 1));
    ResoutEditionEtTitre();
    return EcritSac(fp, buf);
}
