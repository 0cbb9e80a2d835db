#include "import/PreparationEnregistrement.h"

#include <algorithm>
#include <span>

#include "import/LignesFournisseur.h"
#include "platform/codepage.h"
#include "records/OutilsEnregistrement.h"
#include "util/utilit.h"

namespace {

// Inserts text at position, or appends it when the record is shorter.
void Inserer(std::string& enreg, int position, std::string_view text) {
    const auto place = std::min(static_cast<std::size_t>(std::max(position, 0)), enreg.size());
    enreg.insert(place, text);
}

}  // namespace

void PreparerEnregistrement(std::string_view ligne, const TypeEnregistrementJournal& s,
                            bool premier, std::string& enreg) {
    const auto longueur = static_cast<std::size_t>(s.LongueurEnregistrement);
    enreg.assign(TexteLigne(ligne));
    if (!premier && enreg.size() > longueur) enreg.resize(longueur);
    if (enreg.size() < longueur) enreg.resize(longueur, ' ');

    ConvertUpperAccented(std::span<char>(enreg.data(), enreg.size()));
    if (IsMessageWindows(enreg)) plat::CharToOem(enreg.data(), enreg.size());

    // The supplier's vehicle and route codes lack their last two characters;
    // the route's position already counts the vehicle's insertion.
    Inserer(enreg, s.Voiture.Position + s.Voiture.Longueur - 2, "00");
    Inserer(enreg, s.Routage.Position + s.Routage.Longueur - 2, "00");
    enreg.resize(longueur);

    controle_caractere(std::span<char>(enreg.data(), enreg.size()), s.LongueurEnregistrement);
    enreg[static_cast<std::size_t>(s.ChaineProduction.Position)] = '1';
    enreg[static_cast<std::size_t>(s.Etat.Position)] = 'A';

    char& finLiasse = enreg[static_cast<std::size_t>(s.FinLiasse.Position)];
    char& finSac = enreg[static_cast<std::size_t>(s.FinSac.Position)];
    if (finSac == '1') finLiasse = '1';
    if (finLiasse == ' ') finLiasse = '0';
    if (finSac == ' ') finSac = '0';
}
