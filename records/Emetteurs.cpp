#include "records/Emetteurs.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "util/CopieCourte.h"
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

// The subscriber record's fields in the order they are written, each with
// where it comes from; fields that the base descriptor does not declare are
// left out.
void Emetteurs::PlanifieJournal() {
    const TypeEnregistrementJournal& ej = EnregistrementJournal_;
    std::vector<OperationJournal>& plan = PlanJournal_;
    plan.clear();
    auto Ajoute = [&](int champ, OperationJournal::Source source, TypeChamp copie = {0, 0}) {
        if (!Base_.ChampDefini(SlotJournal, champ)) return;
        plan.push_back({source, Base_.PositionChamp[SlotJournal][champ], copie});
    };
    using Source = OperationJournal::Source;
    plan.push_back({Source::Enregistrement, 0, ej.Titre});
    Ajoute(ChampEdition, Source::Enregistrement, ej.Edition);
    Ajoute(ChampVoiture, Source::Enregistrement, ej.Voiture);
    Ajoute(ChampRoutage, Source::Enregistrement, ej.Routage);
    Ajoute(ChampSac, Source::Enregistrement, ej.SacUtilisateur == 0 ? ej.Routage : ej.NumeroSac);
    Ajoute(ChampLiasse, Source::IndiceLiasse);
    Ajoute(ChampAbonne, Source::NumeroAbonne);
    Ajoute(ChampEtat, Source::Enregistrement, ej.Etat);
    Ajoute(ChampFinLiasse, Source::Enregistrement, UnCaractere(ej.FinLiasse.Position));
    Ajoute(ChampFinSac, Source::Enregistrement, UnCaractere(ej.FinSac.Position));
    // Flags beyond the slot's last field have nowhere to go.
    const int margeurs = std::min(ej.Margeurs.Longueur, NombreMaxChampsBase - ChampPremierMargeur);
    for (int i = 0; i < margeurs && ej.Margeurs.Position <= INT32_MAX - i; ++i) {
        Ajoute(ChampPremierMargeur + i, Source::Enregistrement,
               UnCaractere(ej.Margeurs.Position + i));
    }
    if (ej.Date.Longueur != 0) {
        Ajoute(ChampDate, Source::Enregistrement, ej.Date);
    } else {
        Ajoute(ChampDate, Source::Date, TypeChamp{0, 6});
    }
    Ajoute(ChampNumeroSac, Source::Enregistrement, ej.NumeroSac);
    Ajoute(ChampIdentification, Source::Enregistrement, ej.Abonne);
    Ajoute(ChampReserve, Source::Enregistrement, ej.Reserve);
    if (ej.ChampSpecial[0].Longueur != 0) {
        Ajoute(ChampSpecial0, Source::Enregistrement, ej.ChampSpecial[0]);
    }
    for (int i = 1; i < 7; ++i) {
        if (ej.ChampSpecial[i].Longueur != 0) {
            Ajoute(ChampReserve + i, Source::Enregistrement, ej.ChampSpecial[i]);
        }
    }
    for (int i = 0; i < 16; ++i) {
        if (ej.Lignes[i].Longueur != 0) {
            Ajoute(ChampPremiereLigne + i, Source::Enregistrement, ej.Lignes[i]);
        }
    }
}

// Two copies from the supplier record that follow each other in the record
// and in the base record make one: for a record without a zero byte the
// result is the same (a short record's missing bytes become zero bytes
// either way), in one copy instead of several (the text lines, the flags).
std::vector<Emetteurs::OperationJournal> Emetteurs::Fusionne(
    const std::vector<OperationJournal>& plan) {
    std::vector<OperationJournal> fusion;
    for (const OperationJournal& op : plan) {
        const bool copie = op.source == OperationJournal::Source::Enregistrement &&
                           op.position >= 0 && op.copie.Position >= 0 && op.copie.Longueur > 0;
        if (copie && !fusion.empty()) {
            OperationJournal& avant = fusion.back();
            const std::int64_t fin = std::int64_t{avant.position} + avant.copie.Longueur;
            const std::int64_t finSource =
                std::int64_t{avant.copie.Position} + avant.copie.Longueur;
            const std::int64_t longueur = std::int64_t{avant.copie.Longueur} + op.copie.Longueur;
            const bool suite = avant.source == OperationJournal::Source::Enregistrement &&
                               avant.position >= 0 && avant.copie.Position >= 0 &&
                               avant.copie.Longueur > 0 && fin == op.position &&
                               finSource == op.copie.Position && longueur <= INT32_MAX;
            if (suite) {
                avant.copie.Longueur = static_cast<std::int32_t>(longueur);
                continue;
            }
        }
        fusion.push_back(op);
    }
    return fusion;
}

// The plan holds as long as the layout and the subscriber slot it was made
// from: both are compared with their copies at every record, because a run
// may load others between two records of a test or two runs.
bool Emetteurs::PlanAJour() const {
    const int champs = std::clamp(Base_.NbChamps[SlotJournal], 0, NombreMaxChampsBase);
    return PlanFait_ &&
           std::memcmp(&PlanStructure_, &EnregistrementJournal_, sizeof PlanStructure_) == 0 &&
           PlanChamps_ == Base_.NbChamps[SlotJournal] &&
           std::equal(PlanPositions_.begin(), PlanPositions_.begin() + champs,
                      Base_.PositionChamp[SlotJournal]);
}

void Emetteurs::MetPlanAJour() {
    if (PlanAJour()) return;
    PlanifieJournal();
    PlanSansZero_ = Fusionne(PlanJournal_);
    PlanStructure_ = EnregistrementJournal_;
    PlanChamps_ = Base_.NbChamps[SlotJournal];
    std::copy(std::begin(Base_.PositionChamp[SlotJournal]),
              std::end(Base_.PositionChamp[SlotJournal]), PlanPositions_.begin());
    PlanFait_ = true;
}

namespace {

// The text of valeur, one more than the value of texte, made by adding one
// to texte in place; false, with the text unchanged, when that would not give
// the number's text (a text that is not all digits, a value that has more
// digits than the text).
template <std::size_t N>
bool Incremente(char (&texte)[N], long valeur) {
    // Wider than long, which has 32 bits on Windows: ten digits exceed it.
    constexpr long long kLimite = [] {
        long long limite = 1;
        for (std::size_t i = 0; i < N; ++i) limite *= 10;
        return limite;
    }();
    if (valeur < 0 || valeur >= kLimite) return false;
    for (const char c : texte)
        if (c < '0' || c > '9') return false;
    for (std::size_t i = N; i-- > 0;) {
        if (texte[i] != '9') {
            ++texte[i];
            std::fill(texte + i + 1, texte + N, '0');
            return true;
        }
    }
    return false;
}

}  // namespace

std::string_view Emetteurs::TexteLiasse(int IndiceLiasse) {
    if (IndiceLiasse != DerniereLiasse_) {
        if (IndiceLiasse != DerniereLiasse_ + 1 || !Incremente(TexteLiasse_, IndiceLiasse))
            EnregistrementBase::TexteNombre(TexteLiasse_, IndiceLiasse);
        DerniereLiasse_ = IndiceLiasse;
    }
    return {TexteLiasse_, sizeof TexteLiasse_};
}

std::string_view Emetteurs::TexteAbonne(int NumeroAbonne) {
    if (NumeroAbonne != DernierAbonne_) {
        if (NumeroAbonne != DernierAbonne_ + 1 || !Incremente(TexteAbonne_, NumeroAbonne))
            sndlong(TexteAbonne_, NumeroAbonne, sizeof TexteAbonne_);
        DernierAbonne_ = NumeroAbonne;
    }
    return {TexteAbonne_, sizeof TexteAbonne_};
}

// The places of PositionFournisseurSansZero and Position, worked out for
// records of that length in the work buffer as it is.
void Emetteurs::ResoutEcritures(std::size_t longueur) {
    using Source = OperationJournal::Source;
    const std::size_t tampon = BufJournal_.Tampon().size();
    Ecritures_.clear();
    for (const OperationJournal& op : PlanSansZero_) {
        if (op.position < 0 || static_cast<std::size_t>(op.position) >= tampon) continue;
        const auto cible = static_cast<std::size_t>(op.position);
        Ecriture e{op.source, static_cast<std::uint32_t>(cible), 0, 0, 0, op.copie};
        switch (op.source) {
            case Source::Enregistrement: {
                if (op.copie.Longueur <= 0) continue;
                const std::size_t largeur =
                    std::min(tampon - cible, static_cast<std::size_t>(op.copie.Longueur));
                const auto depuis = static_cast<std::size_t>(op.copie.Position);
                const std::size_t copies = op.copie.Position >= 0 && depuis < longueur
                                               ? std::min(largeur, longueur - depuis)
                                               : 0;
                e.depuis = copies > 0 ? static_cast<std::uint32_t>(depuis) : 0;
                e.copies = static_cast<std::uint32_t>(copies);
                e.zeros = static_cast<std::uint32_t>(largeur - copies);
                break;
            }
            case Source::Date:
                break;
            case Source::IndiceLiasse:
                e.copies =
                    static_cast<std::uint32_t>(std::min(tampon - cible, sizeof TexteLiasse_));
                break;
            case Source::NumeroAbonne:
                e.copies =
                    static_cast<std::uint32_t>(std::min(tampon - cible, sizeof TexteAbonne_));
                break;
        }
        Ecritures_.push_back(e);
    }
    LongueurEcritures_ = longueur;
}

void Emetteurs::EcritResolues(std::string_view buf, int NumeroAbonne, int IndiceLiasse,
                              std::string_view Date) {
    using Source = OperationJournal::Source;
    char* zone = BufJournal_.Zone();
    for (const Ecriture& e : Ecritures_) {
        switch (e.source) {
            case Source::Enregistrement:
                CopieCourte(zone + e.cible, buf.data() + e.depuis, e.copies);
                if (e.zeros > 0) std::memset(zone + e.cible + e.copies, 0, e.zeros);
                break;
            case Source::Date:
                BufJournal_.PositionFournisseur(static_cast<int>(e.cible), Date, e.copie);
                break;
            case Source::IndiceLiasse:
                CopieCourte(zone + e.cible, TexteLiasse(IndiceLiasse).data(), e.copies);
                break;
            case Source::NumeroAbonne:
                CopieCourte(zone + e.cible, TexteAbonne(NumeroAbonne).data(), e.copies);
                break;
        }
    }
}

bool Emetteurs::EnvoieEnregistrementJournal(plat::File& fp, std::string_view buf, int& NumeroAbonne,
                                            int IndiceLiasse, std::string_view Date) {
    EnregistrementBase& rec = BufJournal_;
    ++NumeroAbonne;
    // Under a fixed plan every record writes the same bytes: the blanks
    // between them stay from the first one.
    if (!PlanFige_) MetPlanAJour();
    if (!BlancsPoses_) {
        rec.Commence(Base_, SlotJournal);
        BlancsPoses_ = PlanFige_;
        LongueurEcritures_ = kPasResolues;
    }
    if (PlanFige_ && Propres_) {
        // The pass's records: the places of the writes are worked out once.
        if (buf.size() != LongueurEcritures_) ResoutEcritures(buf.size());
        EcritResolues(buf, NumeroAbonne, IndiceLiasse, Date);
    } else {
        // A converted record holds no zero byte: its fields are then copied
        // without looking for one.
        const bool sansZero = std::memchr(buf.data(), '\0', buf.size()) == nullptr;
        for (const OperationJournal& op : sansZero ? PlanSansZero_ : PlanJournal_) {
            switch (op.source) {
                case OperationJournal::Source::Enregistrement:
                    if (sansZero) {
                        rec.PositionFournisseurSansZero(op.position, buf, op.copie);
                    } else {
                        rec.PositionFournisseur(op.position, buf, op.copie);
                    }
                    break;
                case OperationJournal::Source::Date:
                    rec.PositionFournisseur(op.position, Date, op.copie);
                    break;
                case OperationJournal::Source::IndiceLiasse:
                    rec.Position(op.position, TexteLiasse(IndiceLiasse));
                    break;
                case OperationJournal::Source::NumeroAbonne:
                    rec.Position(op.position, TexteAbonne(NumeroAbonne));
                    break;
            }
        }
    }
    // Fields of clean records, digits and blanks: no line feed but the last.
    const bool ligne = Propres_ && std::all_of(Date.begin(), Date.end(), [](char c) {
                           return static_cast<unsigned char>(c) >= 0x20;
                       });
    return ligne ? rec.EcritLigne(fp) : rec.Ecrit(fp);
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
    DerniereDirecte_.reset();  // the work codes change here
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
    // Bags of one route follow each other in the bag list: its codes are
    // resolved again only when the route, a table or a code width changed.
    const TypeEnregistrementJournal& ej = EnregistrementJournal_;
    const ResolutionDirecte resolution{
        IndiceLot,
        Index_.M_ilot.Version(),
        Index_.M_igroupe.Version(),
        Index_.M_iedition.Version(),
        {ej.Routage.Longueur, ej.Voiture.Longueur, ej.Edition.Longueur, ej.Titre.Longueur}};
    if (!DerniereDirecte_ || !(*DerniereDirecte_ == resolution)) {
        Blanc(Routage_, ej.Routage.Longueur);
        Blanc(Voiture_, ej.Voiture.Longueur);
        Blanc(Edition_, ej.Edition.Longueur);
        Blanc(Titre_, ej.Titre.Longueur);
        Copie(Routage_, Index_.M_ilot.Champ(IndiceLot, 0));
        Copie(Voiture_, Index_.M_ilot.Champ(IndiceLot, 1));
        ResoutEditionEtTitre();
        DerniereDirecte_ = resolution;
    }
    return EcritSac(fp, buf);
}
