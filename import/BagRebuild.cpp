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

#include "app/QuervaneDlg.h"
#include "import/LignesFournisseur.h"
#include "import/RunContext.h"
#include "import/RunHelpers.h"
#include "import/SubscriberSurvey.h"
#include "platform/fs/fs.h"
#include "resources/resource.h"

namespace {

constexpr std::size_t kLigneMax = 10000;

// Where the last record of each bag number lies in the source bag file.
class PositionsSacs {
public:
    PositionsSacs(int PositionNumero, int LongueurNumero)
        : position_(PositionNumero),
          longueur_(LongueurNumero),
          positions_(static_cast<std::size_t>(std::max(LongueurNumero, 0))) {}

    void Lire(plat::File& sacs) {
        std::string ligne;
        for (std::int64_t debut = sacs.Tell(); sacs.GetLine(ligne, kLigneMax);
             debut = sacs.Tell()) {
            // A line whose text (up to a zero byte) stops before the end of
            // the bag number holds no bag number: blanks would otherwise
            // stand in for what it lacks.
            const std::string_view numero = Champ(TexteLigne(ligne), position_, longueur_);
            if (numero.size() == static_cast<std::size_t>(std::max(longueur_, 0)))
                positions_.Ajouter(numero, debut);
        }
        positions_.Fixer(true);
    }
    // -1 when no record has that bag number.
    std::int64_t Chercher(std::string_view numero) {
        const std::int64_t* position = positions_.Chercher(numero);
        return position ? *position : -1;
    }

private:
    int position_, longueur_;
    TableParCle<std::int64_t> positions_;
};

}  // namespace

int CQuervaneDlg::LongueurCleSac() const {
    // The key ends where the bag field ends: fields 0 to 4 of the bag layout.
    return TablesBase.ChampDefini(SlotSac, 5) ? TablesBase.PositionChamp[SlotSac][5]
                                              : TablesBase.LongueurEnregistrement[SlotSac];
}

bool CQuervaneDlg::RefabricationSacs(RunContext& run, ReleveAbonnes& releve) {
    Afficher("refabrication du fichier des sacs");
    NombreSacs = 0;
    const TableBase& base = TablesBase;
    const std::string source = run.CheminAbonnes + run.FichierAbonnes;
    const std::string destination = RepertoireData + run.FichierAbonnes + ".sa";

    if (!releve.Index) releve.Index.emplace(LongueurCleSac());
    if (!releve.IndexFait && !ParcourirAbonnes(source + ".jo", releve, [](int) {})) {
        Afficher("ERREUR LECTURE JOURNAUX");
        return false;
    }
    const IndexSacs& index = *releve.Index;
    NombreSacs = static_cast<int>(index.Nombre());

    const bool numeroDefini = base.ChampDefini(SlotSac, 4);
    const int PositionNumero = numeroDefini ? base.PositionChamp[SlotSac][4] : 0;
    const int LongueurNumero = numeroDefini ? base.LongueurChamp[SlotSac][4] : 0;
    PositionsSacs positions(PositionNumero, LongueurNumero);
    plat::File sacs = plat::File::Open(source + ".sa", "r");
    if (sacs) positions.Lire(sacs);
    // The bags after a failed read would all be missing: the base's bag
    // file is left as it was.
    if (!sacs || sacs.Error()) {
        Afficher("ERREUR LECTURE SACS");
        return false;
    }

    plat::File copie = Donnees.Open(destination, "w");
    if (!copie) {
        SignalerEcritureImpossible(destination);
        return false;
    }
    const std::size_t LongueurSac = static_cast<std::size_t>(base.LongueurEnregistrement[SlotSac]);
    bool bErreurSac = false;
    bool ecrit = true;
    std::string enregistrement;
    for (std::size_t i = 0; ecrit && i < index.Nombre(); ++i) {
        const std::string_view cle = index.Cle(i);
        const std::string_view numero = Champ(cle, PositionNumero, LongueurNumero);
        const std::int64_t position = positions.Chercher(numero);
        enregistrement.clear();
        if (position >= 0 && sacs.Seek(position, SEEK_SET) &&
            sacs.GetLine(enregistrement, kLigneMax)) {
            // The record is a text: it ends at a zero byte.
            enregistrement.resize(TexteLigne(enregistrement).size());
        } else {
            bErreurSac = true;
            run.DlgErreursSac.AddInfo(std::string(numero));
        }
        // Short records are padded with blanks, long ones cut.
        enregistrement.resize(LongueurSac, ' ');
        const std::size_t recouvert = std::min(cle.size(), enregistrement.size());
        enregistrement.replace(0, recouvert, cle.substr(0, recouvert));
        enregistrement += '\n';
        ecrit =
            copie.Write(enregistrement.data(), 1, enregistrement.size()) == enregistrement.size();
    }
    if (!copie.Close() || !ecrit) {
        SignalerEcritureImpossible(destination);
        return false;
    }
    // A bag record that fails to read is not a missing bag.
    if (sacs.Error()) {
        Afficher("ERREUR LECTURE SACS");
        return false;
    }
    sacs.Close();

    if (bErreurSac) run.DlgErreursSac.DoModal();
    return true;
}
