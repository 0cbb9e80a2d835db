#include "import/PreparationEnregistrement.h"

#include <algorithm>
#include <span>

#include "import/LignesFournisseur.h"
#include "platform/codepage.h"
#include "records/OutilsEnregistrement.h"
#include "util/utilit.h"

namespace {

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
}

void PreparateurEnregistrement::Preparer(std::string_view ligne, bool premier,
                                         std::string& enreg) const {
    const TypeEnregistrementJournal& s = structure_;
    const auto longueur = static_cast<std::size_t>(s.LongueurEnregistrement);
    const std::string_view texte = TexteLigne(ligne);

    // Windows text is looked for in the record's length, or in the whole
    // line of the first record; the blanks that pad the record are not.
    const std::string_view examine = premier ? texte : texte.substr(0, longueur);
    const auto* octets = reinterpret_cast<const unsigned char*>(examine.data());
    unsigned windows = 0;
    constexpr std::size_t kBloc = 64;
    for (std::size_t debut = 0; debut < examine.size() && windows == 0; debut += kBloc) {
        const std::size_t fin = std::min(examine.size(), debut + kBloc);
        for (std::size_t i = debut; i < fin; ++i) windows |= windows_[octets[i]];
    }
    const char* table = windows != 0 ? oem_.data() : simple_.data();

    // The supplier's vehicle and route codes lack their last two characters:
    // "00" goes at the end of each, the route's place counting the vehicle's,
    // and the second insertion pushes the first one on when it lands before it.
    const int voiture = s.Voiture.Position + s.Voiture.Longueur - 2;
    const int routage = s.Routage.Position + s.Routage.Longueur - 2;
    std::array<int, 4> zeros = {voiture, voiture + 1, routage, routage + 1};
    for (int k = 0; k < 2; ++k)
        if (zeros[k] >= routage) zeros[k] += 2;
    std::sort(zeros.begin(), zeros.end());

    enreg.resize(longueur);
    char* cible = enreg.data();
    const auto* source = reinterpret_cast<const unsigned char*>(texte.data());
    std::size_t ecrit = 0;  // characters of the record done
    std::size_t lu = 0;     // characters of the line taken (blanks beyond its end)
    auto Traduire = [&](std::size_t jusque) {
        const std::size_t n = jusque - ecrit;
        const std::size_t disponibles = lu < texte.size() ? std::min(n, texte.size() - lu) : 0;
        for (std::size_t i = 0; i < disponibles; ++i) cible[ecrit + i] = table[source[lu + i]];
        std::fill(cible + ecrit + disponibles, cible + jusque, ' ');
        ecrit = jusque;
        lu += n;
    };
    for (const int zero : zeros) {
        const auto place = static_cast<std::size_t>(zero);
        if (place >= longueur) break;
        Traduire(place);
        cible[ecrit++] = '0';
    }
    Traduire(longueur);

    enreg[static_cast<std::size_t>(s.ChaineProduction.Position)] = '1';
    enreg[static_cast<std::size_t>(s.Etat.Position)] = 'A';
    char& finLiasse = enreg[static_cast<std::size_t>(s.FinLiasse.Position)];
    char& finSac = enreg[static_cast<std::size_t>(s.FinSac.Position)];
    if (finSac == '1') finLiasse = '1';
    if (finLiasse == ' ') finLiasse = '0';
    if (finSac == ' ') finSac = '0';
}

void PreparerEnregistrement(std::string_view ligne, const TypeEnregistrementJournal& structure,
                            bool premier, std::string& enreg) {
    PreparateurEnregistrement(structure).Preparer(ligne, premier, enreg);
}
