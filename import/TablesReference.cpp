// First phase of a supplier conversion: the bag layout, the two dates of the
// run, the "DATE" file, and the supplier's label files (titles, editions,
// vehicles, routes) and bag file read into memory.
#include <algorithm>
#include <cstdio>

#include "app/QuervaneDlg.h"
#include "import/ControleStructures.h"
#include "import/FichiersFournisseur.h"
#include "import/LignesFournisseur.h"
#include "import/RunContext.h"
#include "import/RunHelpers.h"
#include "platform/clock.h"
#include "records/DescriptionSacs.h"
#include "records/Inistruc.h"
#include "resources/resource.h"

namespace {

std::string DeuxChiffres(int jour, int mois, int annee) {
    char texte[16];
    std::snprintf(texte, sizeof texte, "%02d%02d%02d", jour % 100, mois % 100, annee % 100);
    return texte;
}

}  // namespace

bool CQuervaneDlg::LectureTablesReference(RunContext& run) {
    if (TablesBase.bDefined[SlotSac] && !ChargerStructureSac()) {
        CWnd::EndWaitCursor();
        AfxMessageBox(IDS_ERREUR_STRUCTURE_SAC);
        return false;
    }
    if (EnregistrementJournal.Date.Longueur == 0) {
        const plat::CalendarTime maintenant = plat::NowUniversal();
        Date = DeuxChiffres(maintenant.day, maintenant.month, maintenant.year);
    }
    if (!LectureTitres(run)) return false;
    Afficher("lecture des titres");

    const plat::CalendarTime local = plat::NowLocal();
    date = DeuxChiffres(local.day, local.month, local.year);
    LectureDateDonnees(run);
    if (!EcritureFichierDate()) return false;
    date = date.substr(0, 4);

    const TypeEnregistrementJournal& s = EnregistrementJournal;
    Afficher("lecture des editions");
    if (!LectureCodes(run, FichierFournisseur::Edition, M_edition, s.Edition.Longueur, false)) {
        Afficher("ERREUR LECTURE EDITIONS");
        CWnd::EndWaitCursor();
        return false;
    }
    Afficher("lecture des voitures  ");
    if (!LectureCodes(run, FichierFournisseur::Voiture, M_groupe, s.Voiture.Longueur, true)) {
        Afficher("ERREUR LECTURE VOITURES");
        CWnd::EndWaitCursor();
        return false;
    }
    Afficher("lecture des lots");
    if (!LectureCodes(run, FichierFournisseur::Routage, M_lot, s.Routage.Longueur, true)) {
        Afficher("ERREUR LECTURE ROUTAGES");
        CWnd::EndWaitCursor();
        return false;
    }
    return LectureSacs(run);
}

bool CQuervaneDlg::ChargerStructureSac() {
    if (init_struct("..\\config\\SAC.DEF", EnregistrementSac) != 0) return false;
    if (!StructureSacValide(EnregistrementSac)) return false;
    LongueurEnregistrementSac = longueur_enregistrement_sac(EnregistrementSac);
    return true;
}

bool CQuervaneDlg::LectureTitres(const RunContext& run) {
    const std::string nom = NomFichierFournisseur(run, FichierFournisseur::Titre);
    plat::File titres = plat::File::Open(nom, "r");
    if (titres) {
        M_titre.Ouvrir(EnregistrementJournal.Titre.Longueur);
        while (titres.GetLine(ligne, kLigneReference + 1)) {
            const CodeEtLibelle lu = LireLigneReference(ligne, M_titre.Largeur(), false);
            M_titre.Ajouter(lu.code, lu.libelle);
        }
    }
    // A read that fails would leave the titles after it out of the base.
    if (!titres || titres.Error()) {
        CWnd::EndWaitCursor();
        return ErreurLectureTitre(nom);
    }
    nomjournal = M_titre.Nombre() > 0 ? std::string(M_titre.Code(M_titre.Nombre() - 1)) : "";
    return true;
}

void CQuervaneDlg::LectureDateDonnees(const RunContext& run) {
    // A layout without a date field keeps the local date.
    const TypeChamp& champ = EnregistrementJournal.Date;
    if (champ.Longueur <= 0) return;
    plat::File journaux =
        plat::File::Open(NomFichierFournisseur(run, FichierFournisseur::Journal), "r");
    if (!journaux || !journaux.GetLine(ligne, kLigneEnregistrement + 1)) return;
    // The supplier line lacks the four characters that the conversion inserts
    // into the vehicle and route codes.
    const int position = champ.Position >= 4 ? champ.Position - 4 : 0;
    date = std::string(Champ(TexteLigne(ligne), position, std::min(champ.Longueur, 6)));
}

bool CQuervaneDlg::EcritureFichierDate() {
    const std::string nom = RepertoireData + "DATE";
    plat::File fichier = Donnees.Open(nom, "w");
    if (!fichier) return ErreurFichier(nom);
    // The title identifier stays at its place after a date shorter than
    // six characters, which blanks complete.
    std::string six = date.substr(0, 6);
    six.resize(6, ' ');
    fichier.Puts(six);
    fichier.Puts(nomjournal);
    if (!fichier.Close()) return ErreurFichier(nom);
    return true;
}

bool CQuervaneDlg::LectureCodes(const RunContext& run, FichierFournisseur fichier,
                                ListeCodes& table, int largeur, bool inserer00) {
    plat::File codes = plat::File::Open(NomFichierFournisseur(run, fichier), "r");
    if (!codes) return false;
    table.Ouvrir(largeur);
    while (codes.GetLine(ligne, kLigneReference + 1)) {
        const CodeEtLibelle lu = LireLigneReference(ligne, largeur, inserer00);
        table.Ajouter(lu.code, lu.libelle);
    }
    // A file that fails to read part way is as unreadable as a missing one:
    // the codes after the failure would get no label.
    return !codes.Error();
}

bool CQuervaneDlg::LectureSacs(const RunContext& run) {
    pSacs.Liberer();
    NombreEnregistrementsSac = 0;
    if (LongueurEnregistrementSac == 0) return true;
    plat::File sacs = plat::File::Open(NomFichierFournisseur(run, FichierFournisseur::Sac), "r");
    if (!sacs) return ErreurLectureSacs();
    // About one entry per record and its line end: room for them at once.
    const std::int64_t taille = plat::FileSize(NomFichierFournisseur(run, FichierFournisseur::Sac));
    const auto attendus =
        taille > 0 ? static_cast<std::size_t>(taille) /
                         static_cast<std::size_t>(std::max(LongueurEnregistrementSac, 0) + 2)
                   : 0;
    pSacs.Ouvrir(LongueurEnregistrementSac, EnregistrementJournal.NumeroSac.Longueur, attendus);
    // Each line is taken where the stream holds it: the table copies it,
    // blank-padded to the record length.
    std::string_view vue;
    while (sacs.ReadLineView(vue, kLigneEnregistrement + 1)) {
        if (EstEnregistrement(vue)) pSacs.Ajouter(TexteLigne(vue));
    }
    if (sacs.Error()) return ErreurLectureSacs();
    NombreEnregistrementsSac = pSacs.NombreEnregistrementsSac();
    // A bag file without records: the run goes on without bags.
    if (NombreEnregistrementsSac == 0) {
        LongueurEnregistrementSac = 0;
        pSacs.Liberer();
    }
    return true;
}
