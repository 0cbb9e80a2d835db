// The supplier conversion: a supplier set described by the run's layout
// becomes the base files of its titles. Phases: reference tables, the
// subscriber pass, the route, network, edition and title files, then the bag
// files and the end of the run.
#include "app/QuervaneDlg.h"
#include "import/ControleStructures.h"
#include "import/RunContext.h"
#include "import/RunHelpers.h"
#include "platform/fs/fs.h"
#include "resources/resource.h"

namespace {

// Releases what the conversion allocated for the run, on every way out.
class LiberationConversion {
public:
    explicit LiberationConversion(CQuervaneDlg& dlg) : dlg_(dlg) {}
    ~LiberationConversion() { dlg_.LibererConversion(); }
    LiberationConversion(const LiberationConversion&) = delete;
    LiberationConversion& operator=(const LiberationConversion&) = delete;

private:
    CQuervaneDlg& dlg_;
};

}  // namespace

bool CQuervaneDlg::ConversionFournisseur(RunContext& run) {
    LiberationConversion liberation(*this);
    // A layout that would read or write outside a record is refused before
    // any file is written.
    if (!StructureJournalValide(EnregistrementJournal)) {
        CWnd::EndWaitCursor();
        AfxMessageBox(IDS_ERREUR_STRUCTURE_JOURNAL);
        return false;
    }
    // A cancel is heard between the phases, and inside the subscriber pass
    // at every record.
    return !InterruptionDemandee() && LectureTablesReference(run) && PasseAbonnes(run) &&
           !InterruptionDemandee() && EcritureFichiersBase() && !InterruptionDemandee() &&
           LibellesSacs(run);
}

void CQuervaneDlg::LibererConversion() {
    FpAbonnes.Close();
    FpJournal.Close();
    fpliasse.Close();
    FpSacsLis.Close();
    pSacs.Liberer();
    std::vector<std::uint8_t>().swap(pChangeRecord);
    Preparateur.reset();
    // The run log counts the subscribers of every title of the run.
    for (const auto& [titre, numero] : NumerosParTitre) AbonnesConvertis += numero;
    NumerosParTitre.clear();
}

bool CQuervaneDlg::EchecImportation(const std::string& message) {
    CWnd::EndWaitCursor();
    AfxMessageBox(message);
    Afficher(Texte("Echec de l'importation"));
    return false;
}

bool CQuervaneDlg::ErreurFichier(const std::string& nom) {
    return EchecImportation(FormaterMessage(Texte("Impossible d'écrire le fichier %s"), {nom}));
}

bool CQuervaneDlg::ErreurLectureSacs() {
    Afficher("ERREUR LECTURE SACS");
    CWnd::EndWaitCursor();
    pSacs.Liberer();
    return false;
}

bool CQuervaneDlg::ErreurCodage(std::string_view modele, const std::string& code) {
    return EchecImportation(FormaterMessage(modele, {code}));
}

bool CQuervaneDlg::NomFichierBaseValide(const std::string& titre) {
    if (titre.find_first_of("\\/:*?\"<>|") == std::string::npos) return true;
    return ErreurCodage(Texte("Le code titre \"%s\" ne peut pas nommer les fichiers de la base"),
                        titre);
}

bool CQuervaneDlg::TitreSansHomonyme(const std::string& titre) {
    // File names are found without regard to case: a title whose code
    // differs from an earlier one's only by case would write over its base.
    for (const auto& [autre, numero] : NumerosParTitre) {
        if (autre == titre || plat::CompareNames(autre, titre) != 0) continue;
        return EchecImportation(FormaterMessage(
            Texte("Les codes titre \"%s\" et \"%s\" nomment les mêmes fichiers de la base"),
            {autre, titre}));
    }
    return true;
}
