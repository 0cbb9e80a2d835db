// Copy of the subscriber file with completion: every subscriber record that
// closes a bag receives, in its bag-information field, "%02d/%02d": the rank
// of its bag among the bags of the same user bag code, and their number.
// The user bag code of a bag comes from the first record of the source bag
// file with that bag number. Lines of one character or less are not copied.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/QuervaneDlg.h"
#include "import/LignesFournisseur.h"
#include "import/RunContext.h"
#include "import/RunHelpers.h"
#include "import/SubscriberSurvey.h"
#include "platform/fs/fs.h"
#include "resources/resource.h"

namespace {

constexpr std::size_t kLigneMax = 10000;

// Writes texte into the record at position, without passing the record's
// end (its line feed excluded).
void Inscrire(std::string& ligne, int position, std::string_view texte) {
    const std::size_t fin = SansFinDeLigne(ligne).size();
    if (position < 0 || static_cast<std::size_t>(position) >= fin) return;
    const std::size_t debut = static_cast<std::size_t>(position);
    const std::size_t longueur = std::min(texte.size(), fin - debut);
    ligne.replace(debut, longueur, texte.substr(0, longueur));
}

// A number as "%02d" writes it, at p; returns the end.
char* EcrireDeuxChiffres(char* p, char* fin, int nombre) {
    const auto [suite, erreur] = std::to_chars(p, fin, nombre);
    if (erreur != std::errc() || suite - p >= 2) return suite;
    p[1] = p[0];
    p[0] = '0';
    return p + 2;
}

// The bag information "%02d/%02d", without the cost of a formatted print
// for every bag.
class InfoSac {
public:
    std::string_view Formater(int rang, int nombre) {
        char* const fin = texte_ + sizeof texte_;
        char* p = EcrireDeuxChiffres(texte_, fin, rang);
        *p++ = '/';
        p = EcrireDeuxChiffres(p, fin, nombre);
        return std::string_view(texte_, static_cast<std::size_t>(p - texte_));
    }

private:
    char texte_[32];
};

// The completed file as a copy of the source with the bag information
// written in place: the same bytes as the line-by-line rewrite when every
// line of the source ends with a carriage return and a line feed.
enum class Resultat { Fait, SourceIllisible, EcritureImpossible };

Resultat CompleterEnPlace(plat::StagedFolder& donnees, const std::string& source,
                          const std::string& destination, const ComptageSacs& comptage,
                          std::vector<CQuervaneDlg::TypeSac>& TableSacs) {
    if (!plat::File::Open(source, "rb")) return Resultat::SourceIllisible;
    if (!donnees.CopyFile(source, destination)) return Resultat::EcritureImpossible;
    plat::File copie = donnees.Open(destination, "r+b");
    if (!copie) return Resultat::EcritureImpossible;
    InfoSac info;
    bool ecrit = true;
    for (const ComptageSacs::Inscription& inscription : comptage.Inscriptions()) {
        const std::string_view texte =
            info.Formater(inscription.Rang, TableSacs[inscription.Entree].NombreSacs);
        const std::size_t longueur = std::min<std::size_t>(texte.size(), inscription.Place);
        ecrit = ecrit && copie.Seek(inscription.Position, SEEK_SET) &&
                copie.Write(texte.data(), 1, longueur) == longueur;
    }
    for (CQuervaneDlg::TypeSac& sac : TableSacs) sac.CompteSac = sac.NombreSacs;
    return copie.Close() && ecrit ? Resultat::Fait : Resultat::EcritureImpossible;
}

}  // namespace

std::optional<PositionsCompletion> CQuervaneDlg::PositionsDeCompletion(int ChampInfoSac,
                                                                       int ChampSacUtilisateur) {
    const TableBase& base = TablesBase;
    if (!base.ChampDefini(SlotJournal, 4) || !base.ChampDefini(SlotJournal, 8) ||
        !base.ChampDefini(SlotJournal, ChampInfoSac - 1) ||
        !base.ChampDefini(SlotSac, ChampSacUtilisateur - 1)) {
        return std::nullopt;
    }
    return PositionsCompletion{
        base.PositionChamp[SlotJournal][4], base.LongueurChamp[SlotJournal][4],
        base.PositionChamp[SlotJournal][8], base.PositionChamp[SlotSac][ChampSacUtilisateur - 1],
        base.PositionChamp[SlotJournal][ChampInfoSac - 1]};
}

bool CQuervaneDlg::PreparerComptage(RunContext& run, ReleveAbonnes& releve,
                                    const PositionsCompletion& positions) {
    plat::File sacs = plat::File::Open(run.CheminAbonnes + run.FichierAbonnes + ".sa", "r");
    if (!sacs) return false;
    releve.Comptage.emplace(positions, TableSacs);
    run.NombreSacsLogiques =
        releve.Comptage->Logiques.Lire(sacs, positions.PositionCodeSac, positions.LongueurCodeSac,
                                       positions.PositionCodeUtilisateur);
    // Codes cut short by a failed read would count the bags wrong: the
    // count is dropped, as if the file had not opened.
    if (sacs.Error()) {
        releve.Comptage.reset();
        return false;
    }
    return true;
}

bool CQuervaneDlg::CopieCompletion(RunContext& run, ReleveAbonnes& releve, int ChampInfoSac,
                                   int ChampSacUtilisateur) {
    const std::optional<PositionsCompletion> positions =
        PositionsDeCompletion(ChampInfoSac, ChampSacUtilisateur);
    if (!positions) {
        const TableBase& base = TablesBase;
        const bool champsAbonnes = base.ChampDefini(SlotJournal, 4) &&
                                   base.ChampDefini(SlotJournal, 8) &&
                                   base.ChampDefini(SlotJournal, ChampInfoSac - 1);
        ArreterImport(champsAbonnes
                          ? Texte("Le champ du code sac utilisateur (..\\CONFIG\\CHAMP.SAC) "
                                  "n'existe pas dans la description des sacs.")
                          : Texte("Le champ d'information sac (..\\CONFIG\\INFOSAC) n'existe "
                                  "pas dans la description des abonnés."));
        return false;
    }
    const std::string source = run.CheminAbonnes + run.FichierAbonnes + ".jo";
    const std::string destination = RepertoireData + run.FichierAbonnes + ".jo";
    const auto deplacer = [this](int position) { PositionnerProgres(IDC_PROGRESS, position); };

    // Counting pass, unless the base control's pass has counted already.
    if (!releve.ComptageFait) {
        if (!PreparerComptage(run, releve, *positions)) {
            Afficher("ERREUR LECTURE SACS");
            return false;
        }
        ValiderProgres(IDC_PROGRESS, 1, 100, 0);
        const bool lu = ParcourirAbonnes(source, releve, deplacer);
        ValiderProgres(IDC_PROGRESS, 0, 100, 0);
        if (!lu) {
            Afficher("ERREUR LECTURE JOURNAUX");
            return false;
        }
    }
    NombreSacs = static_cast<int>(TableSacs.size());
    ComptageSacs& comptage = *releve.Comptage;

    Afficher(Texte("Copie et complétion du fichier des abonnés"));
    if (releve.CompletionEnPlace) {
        switch (CompleterEnPlace(Donnees, source, destination, comptage, TableSacs)) {
            case Resultat::Fait:
                return true;
            case Resultat::SourceIllisible:
                Afficher("ERREUR LECTURE JOURNAUX");
                return false;
            case Resultat::EcritureImpossible:
                SignalerEcritureImpossible(destination);
                return false;
        }
    }

    // Writing pass, line by line.
    plat::File journal = plat::File::Open(source, "r");
    if (!journal) {
        Afficher("ERREUR LECTURE JOURNAUX");
        return false;
    }
    plat::File copie = Donnees.Open(destination, "w");
    if (!copie) {
        SignalerEcritureImpossible(destination);
        return false;
    }
    journal.Seek(0, SEEK_END);
    ProgressionParLignes progression(journal.Tell(), deplacer);
    journal.Seek(0, SEEK_SET);
    ValiderProgres(IDC_PROGRESS, 1, 100, 0);
    std::string ligne;
    InfoSac info;
    bool ecrit = true;
    while (ecrit) {
        progression.Avancer(journal.Tell());
        if (!journal.GetLine(ligne, kLigneMax)) break;
        if (!EstEnregistrement(ligne)) continue;
        if (TypeSac* sac = comptage.SacFerme(SansFinDeLigne(ligne))) {
            ++sac->CompteSac;
            Inscrire(ligne, comptage.Positions.PositionInfoSac,
                     info.Formater(sac->CompteSac, sac->NombreSacs));
        }
        ecrit = copie.Write(ligne.data(), 1, ligne.size()) == ligne.size();
    }
    ValiderProgres(IDC_PROGRESS, 0, 100, 0);
    const bool erreurLecture = journal.Error();
    if (!copie.Close() || !ecrit) {
        SignalerEcritureImpossible(destination);
        return false;
    }
    if (erreurLecture) {
        Afficher("ERREUR LECTURE JOURNAUX");
        return false;
    }
    return true;
}
