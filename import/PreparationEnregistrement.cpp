#include "import/PreparationEnregistrement.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "import/LignesFournisseur.h"
#include "import/OctetsHors.h"
#include "platform/codepage.h"
#include "records/OutilsEnregistrement.h"
#include "util/CopieCourte.h"
#include "util/utilit.h"

namespace {

constexpr std::uint64_t kBitsHauts = 0x8080808080808080ULL;
constexpr std::uint64_t kUns = 0x0101010101010101ULL;

std::uint64_t Mot(const unsigned char* octets) {
    std::uint64_t mot;
    std::memcpy(&mot, octets, sizeof mot);
    return mot;
}

// Eight bytes from 0x20 to 0x7F.
bool AsciiImprimable(std::uint64_t mot) {
    const std::uint64_t sousEspace = (mot - kUns * 0x20) & ~mot & kBitsHauts;
    return ((mot & kBitsHauts) | sousEspace) == 0;
}

// Puts the bytes outside 0x20..0x7F through the table, in place: when the
// tables leave printable ASCII as it is, a copy of the line followed by this
// pass does the whole translation, and most of the line is only looked at.
void TraduireHorsAscii(char* texte, std::size_t taille, const char* table) {
    auto traduire = [&](std::size_t j) { texte[j] = table[static_cast<unsigned char>(texte[j])]; };
    std::size_t i = 0;
#if defined(__SSE2__)
    // As signed bytes, those from 0x80 are negative: one comparison with the
    // blank finds the bytes below it and those from 0x80.
    const __m128i blanc = _mm_set1_epi8(0x20);
    for (; i + 16 <= taille; i += 16) {
        const __m128i bloc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(texte + i));
        auto hors = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(bloc, blanc)));
        for (; hors != 0; hors &= hors - 1)
            traduire(i + static_cast<std::size_t>(std::countr_zero(hors)));
    }
#endif
    for (; i + 8 <= taille; i += 8) {
        if (AsciiImprimable(Mot(reinterpret_cast<const unsigned char*>(texte + i)))) continue;
        for (std::size_t j = i; j < i + 8; ++j) traduire(j);
    }
    for (; i < taille; ++i) traduire(i);
}

char Plie(char c) {
    char texte[2] = {c, '\0'};
    ConvertUpperAccented(std::span<char>(texte, 1));
    return texte[0];
}

char Nettoye(char c) {
    char texte[1] = {c};
    controle_caractere(std::span<char>(texte, 1), 1);
    return texte[0];
}

}  // namespace

PreparateurEnregistrement::PreparateurEnregistrement(const TypeEnregistrementJournal& structure)
    : structure_(structure) {
    for (int b = 1; b < 256; ++b) {
        const char plie = Plie(static_cast<char>(b));
        windows_[b] = IsMessageWindows(std::string_view(&plie, 1)) ? 1 : 0;
        simple_[b] = Nettoye(plie);
        char oem = plie;
        plat::CharToOem(&oem, 1);
        oem_[b] = Nettoye(oem);
    }
    // A record holds no zero byte (its text ends at the first one).
    simple_[0] = oem_[0] = ' ';
    auto Controle = [](char c) { return static_cast<unsigned char>(c) < 0x20; };
    sansControle_ = std::none_of(simple_.begin(), simple_.end(), Controle) &&
                    std::none_of(oem_.begin(), oem_.end(), Controle);
    asciiIntact_ = true;
    for (int b = 0x20; b < 0x80; ++b) {
        if (simple_[b] != static_cast<char>(b) || oem_[b] != static_cast<char>(b) || windows_[b])
            asciiIntact_ = false;
    }

    // The supplier's vehicle and route codes lack their last two characters:
    // "00" goes at the end of each, the route's place counting the vehicle's,
    // and the second insertion pushes the first one on when it lands before it.
    const TypeEnregistrementJournal& s = structure_;
    longueur_ = static_cast<std::size_t>(std::max(s.LongueurEnregistrement, 0));
    const int voiture = s.Voiture.Position + s.Voiture.Longueur - 2;
    const int routage = s.Routage.Position + s.Routage.Longueur - 2;
    std::array<int, 4> zeros = {voiture, voiture + 1, routage, routage + 1};
    for (int k = 0; k < 2; ++k)
        if (zeros[k] >= routage) zeros[k] += 2;
    std::sort(zeros.begin(), zeros.end());
    std::size_t debut = 0;
    for (const int zero : zeros) {
        const auto place = static_cast<std::size_t>(zero);
        if (place >= longueur_) break;
        morceaux_[nombreMorceaux_] = {debut, place, nombreMorceaux_};
        ++nombreMorceaux_;
        debut = place + 1;
    }
    morceaux_[nombreMorceaux_] = {debut, longueur_, nombreMorceaux_};
    ++nombreMorceaux_;
}

bool PreparateurEnregistrement::ContientWindows(const unsigned char* octets,
                                                std::size_t taille) const {
    std::size_t i = 0;
    // Eight plain ASCII characters at a time can hold none of the marks.
    for (; i + 8 <= taille; i += 8) {
        if ((Mot(octets + i) & kBitsHauts) == 0) continue;
        for (std::size_t j = i; j < i + 8; ++j)
            if (windows_[octets[j]] != 0) return true;
    }
    for (; i < taille; ++i)
        if (windows_[octets[i]] != 0) return true;
    return false;
}

void PreparateurEnregistrement::Preparer(std::string_view ligne, std::string& enreg) const {
    if (!asciiIntact_ || !PreparerParSpeciaux(ligne, enreg)) PreparerOctetParOctet(ligne, enreg);
    FixerDrapeaux(enreg);
}

namespace {

// The bytes of a line outside printable ASCII, up to its first zero byte
// (which ends its text), at most kMax of them. Looking for the line end
// (jusquAuSautDeLigne), the scan goes through bytes that run on beyond the
// line and stops at its line feed, itself such a byte: finLigne is then its
// place, or npos when there is none.
template <std::size_t kMax>
struct Speciaux {
    std::array<std::uint32_t, kMax> positions;
    std::size_t nombre = 0;
    std::size_t texte = 0;  // characters before the first zero byte
    bool complet = true;    // false when there were more than kMax
    std::size_t finLigne = std::string_view::npos;

    Speciaux(std::string_view octets, bool jusquAuSautDeLigne)
        : texte(octets.size()), ligne_(jusquAuSautDeLigne) {
        const auto* o = reinterpret_cast<const unsigned char*>(octets.data());
        const std::size_t taille = octets.size();
        std::size_t i = 0;
        // Blocks of 64 bytes, most of them plain text, skipped together.
        for (std::uint64_t hors;; i += 64) {
            i = BlocHorsSuivant(o, i, taille, hors);
            if (hors == 0) break;
            for (; hors != 0; hors &= hors - 1)
                if (!Noter(o, i + static_cast<std::size_t>(std::countr_zero(hors)))) return;
        }
        if (i < taille && taille >= 64) {
            // The end: the last 64 bytes, without those already seen.
            const std::size_t debut = taille - 64;
            for (std::uint64_t hors = OctetsHors64(o + debut) >> (i - debut); hors != 0;
                 hors &= hors - 1)
                if (!Noter(o, i + static_cast<std::size_t>(std::countr_zero(hors)))) return;
            return;
        }
        for (; i < taille; ++i) {
            if ((o[i] < 0x20 || o[i] >= 0x80) && !Noter(o, i)) return;
        }
    }

private:
    // False when the scan is over.
    bool Noter(const unsigned char* octets, std::size_t i) {
        if (ligne_ && octets[i] == '\n') {
            finLigne = i;
            texte = std::min(texte, i);
            return false;
        }
        if (i >= texte) return true;  // after a zero byte: only the line end counts
        if (octets[i] == 0) {
            texte = i;
            return ligne_;
        }
        if (nombre == kMax) {
            complet = false;
            return false;
        }
        positions[nombre++] = static_cast<std::uint32_t>(i);
        return true;
    }

    bool ligne_;
};

}  // namespace

// Most lines are plain text but for a few accented letters: one scan finds
// the bytes that matter, the record is copied in pieces, and only those
// bytes go through the table. False, with nothing done, for a line with too
// many of them.
bool PreparateurEnregistrement::PreparerParSpeciaux(std::string_view ligne,
                                                    std::string& enreg) const {
    Speciaux<kSpeciauxMax> speciaux(ligne, false);
    if (!speciaux.complet) return false;
    std::size_t taille = speciaux.texte;
    if (taille > 0 && ligne[taille - 1] == '\n') --taille;
    Assembler(ligne.data(), taille, speciaux.positions.data(), speciaux.nombre, enreg);
    return true;
}

std::size_t PreparateurEnregistrement::PreparerLigneSuivante(std::string_view tampon,
                                                             std::size_t longueurLue,
                                                             std::string& enreg) const {
    if (!asciiIntact_) return 0;
    Speciaux<kSpeciauxMax> speciaux(tampon, true);
    if (!speciaux.complet || speciaux.finLigne == std::string_view::npos) return 0;
    // A read takes at most longueurLue characters of a line, its line feed
    // included.
    const std::size_t avant = AvantFinDeLigne(tampon, speciaux.finLigne);
    if (avant + 1 > longueurLue) return 0;
    const std::size_t taille = std::min(speciaux.texte, avant);
    Assembler(tampon.data(), taille, speciaux.positions.data(), speciaux.nombre, enreg);
    FixerDrapeaux(enreg);
    return speciaux.finLigne + 1;
}

// The record from the taille characters of a line's text, whose bytes
// outside printable ASCII are at positions (in order; those from taille on
// are not the text's).
void PreparateurEnregistrement::Assembler(const char* ligne, std::size_t taille,
                                          const std::uint32_t* positions, std::size_t nombre,
                                          std::string& enreg) const {
    while (nombre > 0 && positions[nombre - 1] >= taille) --nombre;

    // Windows text is looked for in the whole line, also beyond the record's
    // length: a record is only cut once converted. The blanks that pad a
    // short record are not looked at.
    const auto* octets = reinterpret_cast<const unsigned char*>(ligne);
    const char* table = simple_.data();
    for (std::size_t j = 0; j < nombre; ++j) {
        if (windows_[octets[positions[j]]] != 0) {
            table = oem_.data();
            break;
        }
    }

    enreg.resize(longueur_);
    char* cible = enreg.data();
    for (std::size_t k = 0; k < nombreMorceaux_; ++k) {
        const Morceau& m = morceaux_[k];
        const std::size_t source = m.debut - m.decalage;
        const std::size_t n = m.fin - m.debut;
        const std::size_t copies = source < taille ? std::min(n, taille - source) : 0;
        CopieCourte(cible + m.debut, ligne + source, copies);
        if (copies < n) std::memset(cible + m.debut + copies, ' ', n - copies);
        if (m.fin < longueur_) cible[m.fin] = '0';
    }
    // The pieces follow each other in the line: a byte lies in the first
    // piece whose end in the line is beyond it.
    std::size_t k = 0;
    for (std::size_t j = 0; j < nombre; ++j) {
        const std::size_t p = positions[j];
        while (k < nombreMorceaux_ && p >= morceaux_[k].fin - morceaux_[k].decalage) ++k;
        if (k == nombreMorceaux_) break;
        cible[p + morceaux_[k].decalage] = table[octets[p]];
    }
}

void PreparateurEnregistrement::PreparerOctetParOctet(std::string_view ligne,
                                                      std::string& enreg) const {
    const std::string_view texte = TexteLigne(ligne);
    const auto* octets = reinterpret_cast<const unsigned char*>(texte.data());
    const char* table = ContientWindows(octets, texte.size()) ? oem_.data() : simple_.data();

    enreg.resize(longueur_);
    char* cible = enreg.data();
    const auto* source = reinterpret_cast<const unsigned char*>(texte.data());
    for (std::size_t k = 0; k < nombreMorceaux_; ++k) {
        const Morceau& m = morceaux_[k];
        const std::size_t lu = m.debut - m.decalage;
        const std::size_t n = m.fin - m.debut;
        const std::size_t disponibles = lu < texte.size() ? std::min(n, texte.size() - lu) : 0;
        if (asciiIntact_ && disponibles > 0) {
            std::memcpy(cible + m.debut, source + lu, disponibles);
            TraduireHorsAscii(cible + m.debut, disponibles, table);
        } else {
            for (std::size_t i = 0; i < disponibles; ++i)
                cible[m.debut + i] = table[source[lu + i]];
        }
        std::memset(cible + m.debut + disponibles, ' ', n - disponibles);
        if (m.fin < longueur_) cible[m.fin] = '0';
    }
}

void PreparateurEnregistrement::FixerDrapeaux(std::string& enreg) const {
    const TypeEnregistrementJournal& s = structure_;
    enreg[static_cast<std::size_t>(s.ChaineProduction.Position)] = '1';
    enreg[static_cast<std::size_t>(s.Etat.Position)] = 'A';
    char& finLiasse = enreg[static_cast<std::size_t>(s.FinLiasse.Position)];
    char& finSac = enreg[static_cast<std::size_t>(s.FinSac.Position)];
    if (finSac == '1') finLiasse = '1';
    if (finLiasse == ' ') finLiasse = '0';
    if (finSac == ' ') finSac = '0';
}

void PreparerEnregistrement(std::string_view ligne, const TypeEnregistrementJournal& structure,
                            std::string& enreg) {
    PreparateurEnregistrement(structure).Preparer(ligne, enreg);
}
