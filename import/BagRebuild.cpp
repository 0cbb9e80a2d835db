// Bag rebuild: the destination bag file gets one record per run of equal
// bag keys (title, edition, network, route and bag codes) in the subscriber
// file, in subscriber order. Each record takes the key of its subscribers and
// the other fields of the source bag record with the same bag number, the
// last such record of the source file winning; a bag that the source lacks
// gets a blank record and is listed to the operator once the file is
// written.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "app/QuervaneDlg.h"
#include "import/RunContext.h"
#include "import/RunHelpers.h"
#include "platform/fs/fs.h"
#include "resources/resource.h"

namespace {

constexpr std::size_t kLigneMax = 10000;

// Where the last record of each bag number lies in the source bag file.
class PositionsSacs {
public:
    PositionsSacs(int PositionNumero, int LongueurNumero)
        : position_(PositionNumero), longueur_(LongueurNumero) {}

    void Lire(plat::File& sacs) {
        std::string ligne;
        std::string numero;
        for (std::int64_t debut = sacs.Tell(); sacs.GetLine(ligne, kLigneMax);
             debut = sacs.Tell()) {
            numero.assign(Champ(SansFinDeLigne(ligne), position_, longueur_));
            positions_.insert_or_assign(numero, debut);
        }
    }
    // -1 when no record has that bag number.
    std::int64_t Chercher(std::string_view numero) {
        cle_.assign(numero);
        const auto trouve = positions_.find(cle_);
        return trouve == positions_.end() ? -1 : trouve->second;
    }

private:
    int position_, longueur_;
    std::unordered_map<std::string, std::int64_t> positions_;
    std::string cle_;
};

}  // namespace

bool CQuervaneDlg::RefabricationSacs(RunContext& run) {
    Afficher("refabrication du fichier des sacs");
    NombreSacs = 0;
    const TableBase& base = TablesBase;
    const int LongueurSac = base.LongueurEnregistrement[SlotSac];
    // The key ends where the bag field ends: fields 0 to 4 of the bag layout.
    const int LongueurCle =
        base.ChampDefini(SlotSac, 5) ? base.PositionChamp[SlotSac][5] : LongueurSac;
    const int PositionNumero = base.ChampDefini(SlotSac, 4) ? base.PositionChamp[SlotSac][4] : 0;
    const int LongueurNumero = base.ChampDefini(SlotSac, 4) ? base.LongueurChamp[SlotSac][4] : 0;
    const std::string source = run.CheminAbonnes + run.FichierAbonnes;
    const std::string destination = RepertoireData + run.FichierAbonnes + ".sa";

    plat::File sacs = plat::File::Open(source + ".sa", "r");
    if (!sacs) {
        Afficher("ERREUR LECTURE SACS");
        return false;
    }
    PositionsSacs positions(PositionNumero, LongueurNumero);
    positions.Lire(sacs);

    plat::File journal = plat::File::Open(source + ".jo", "r");
    if (!journal) {
        Afficher("ERREUR LECTURE JOURNAUX");
        return false;
    }
    plat::File copie = plat::File::Open(destination, "w");
    if (!copie) {
        SignalerEcritureImpossible(destination);
        return false;
    }

    bool bErreurSac = false;
    bool ecrit = true;
    std::string ligne, cle, nouvelleCle, enregistrement;
    bool premier = true;
    while (ecrit && journal.GetLine(ligne, kLigneMax)) {
        if (ligne.size() <= 1) continue;
        nouvelleCle.assign(SansFinDeLigne(ligne).substr(0, static_cast<std::size_t>(LongueurCle)));
        nouvelleCle.resize(static_cast<std::size_t>(LongueurCle), ' ');
        if (!premier && nouvelleCle == cle) continue;
        premier = false;
        cle.swap(nouvelleCle);
        ++NombreSacs;

        const std::string_view numero = Champ(cle, PositionNumero, LongueurNumero);
        const std::int64_t position = positions.Chercher(numero);
        enregistrement.clear();
        if (position >= 0 && sacs.Seek(position, SEEK_SET) &&
            sacs.GetLine(enregistrement, kLigneMax)) {
            enregistrement.resize(SansFinDeLigne(enregistrement).size());
        } else {
            bErreurSac = true;
            run.DlgErreursSac.AddInfo(std::string(numero));
        }
        // Short records are padded with blanks, long ones cut.
        enregistrement.resize(static_cast<std::size_t>(LongueurSac), ' ');
        enregistrement.replace(0, std::min(cle.size(), enregistrement.size()), cle, 0,
                               std::min(cle.size(), enregistrement.size()));
        enregistrement += '\n';
        ecrit =
            copie.Write(enregistrement.data(), 1, enregistrement.size()) == enregistrement.size();
    }
    if (!copie.Close() || !ecrit) {
        SignalerEcritureImpossible(destination);
        return false;
    }
    journal.Close();
    sacs.Close();

    if (bErreurSac) run.DlgErreursSac.DoModal();
    return true;
}
