// The subscriber pass, reading side: the optional pre-sort, then each line of
// the subscriber file made into a converted record whose codes are compared
// with those of the record before it. A record of the current route is
// written at once; a change of code closes what changed (writing side).
#include "app/QuervaneDlg.h"
#include "import/LignesFournisseur.h"
#include "import/PreTriFichier.h"
#include "import/PreparationEnregistrement.h"
#include "import/RunContext.h"
#include "import/RunHelpers.h"
#include "resources/resource.h"

bool CQuervaneDlg::PasseAbonnes(RunContext& run) {
    Afficher("lecture des journaux");
    const std::string fichier = NomFichierFournisseur(run, FichierFournisseur::Journal);
    pChangeRecord.clear();
    if (EnregistrementJournal.PreTri != 0 && !PreTriJournaux(run, fichier)) return false;
    // Every line of the regrouped copy is a record, a piece of 9999
    // characters of a longer line included: it is read whole, line end and
    // all, so that its line end does not make a record of its own.
    LongueurLecture =
        EnregistrementJournal.PreTri != 0 ? kLigneEnregistrement + 1 : kLigneEnregistrement;
    FpAbonnes = plat::File::Open(fichier, "r");
    // A subscriber file without any record is as unreadable as a missing one.
    std::string_view premiere;
    if (!FpAbonnes || !FpAbonnes.ReadLineView(premiere, LongueurLecture + 1)) {
        FpAbonnes.Close();
        return ErreurLectureJournaux();
    }
    TailleJournaux = plat::FileSize(fichier);
    PourcentageJournaux = 0;
    SeuilJournaux = 0;
    Preparateur.emplace(EnregistrementJournal);
    Preparateur->Preparer(premiere, buf);
    // The codes that the pass writes over the record's own are made of its
    // characters and of suffix letters and digits: no control character
    // either.
    const Emetteurs::PlanFige plan(Emetteur, Preparateur->SansControle());
    if (!DebutPasse()) return false;

    while (!fin_journaux) {
        if (InterruptionDemandee() || !EnregistrementSuivant()) return false;
    }
    return FinPasse();
}

// The file is regrouped through a copy in its folder, which takes its name
// before the pass reads it.
bool CQuervaneDlg::PreTriJournaux(const RunContext& run, const std::string& fichier) {
    const TypeEnregistrementJournal& s = EnregistrementJournal;
    PreTriFichier options;
    options.preTri = s.PreTri;
    const int niveau0 = s.Titre.Longueur + s.Edition.Longueur;
    const int niveau1 = niveau0 + s.Voiture.Longueur - 2;
    options.keyLengths = {niveau0, niveau1, niveau1 + s.Routage.Longueur - 2};
    options.progression = [this](int pourcentage) {
        PositionnerProgres(IDC_PROGRESS, pourcentage);
    };
    ValiderProgres(IDC_PROGRESS, SW_SHOW, 100, 0);
    const std::string temporaire = run.CheminAbonnes + "TEMP";
    switch (PreTrierFichier(fichier, temporaire, options, pChangeRecord)) {
        case ResultatPreTri::Fait:
            return true;
        case ResultatPreTri::FichierIllisible:
            return ErreurLectureJournaux();
        case ResultatPreTri::TemporaireImpossible:
            return ErreurFichier(temporaire);
        case ResultatPreTri::RemplacementImpossible:
            return ErreurFichier(fichier);
    }
    return false;
}

// The subscriber file could not be read, whole or in part: the run stops.
bool CQuervaneDlg::ErreurLectureJournaux() {
    Afficher("ERREUR LECTURE JOURNAUX");
    CWnd::EndWaitCursor();
    pSacs.Liberer();
    return false;
}

bool CQuervaneDlg::DebutPasse() {
    const TypeEnregistrementJournal& s = EnregistrementJournal;
    IndexPasse.Configure(s.Titre.Longueur, s.Edition.Longueur, s.Voiture.Longueur,
                         s.Routage.Longueur);
    nb_sacs_lot.assign(1, 0);
    nb_sacs_edition.assign(1, 0);
    nb_liasses_edition.assign(1, 0);
    CompteLiasses = 0;
    IndiceLiasse = 1;
    IndiceJournal = 0;
    indice_courant_lot = 0;
    indice_courant_edition = 0;
    IndiceEditionCourante = 0;
    fin_journaux = false;
    bRetourTitreEdition = false;
    NumerosParTitre.clear();
    FpJournal.Close();
    fpliasse.Close();

    if (LongueurEnregistrementSac != 0) pSacs.Marquer(SacEnregistrement());
    LireCodes();
    old_tr = new_tr;
    old_ed = new_ed;
    old_gr = new_gr;
    old_lt = new_lt;
    cur_lt = new_lt;
    cur_gr = old_cur_gr = new_gr;
    deja_lu = true;

    ValiderProgres(IDC_PROGRESS, SW_SHOW, 100, 0);
    NumeroAbonne = 0;
    bErreurSequencement = false;

    FpSacsLis = plat::File::Open("SACS.LIS", "w");
    if (!FpSacsLis) return ErreurFichier("SACS.LIS");
    SacCourant = SacEnregistrement();
    return EcrireSacsLis(SacCourant, 0);
}

std::string_view CQuervaneDlg::SacEnregistrement() const {
    const TypeChamp& sac = EnregistrementJournal.NumeroSac;
    return Champ(buf, sac.Position, sac.Longueur);
}

bool CQuervaneDlg::LireCodes() {
    const TypeEnregistrementJournal& s = EnregistrementJournal;
    // Most records repeat the codes of the one before: a code is copied only
    // when it changed.
    bool change = false;
    auto Lire = [this, &change](std::string& code, const TypeChamp& champ) {
        const std::string_view valeur = Champ(buf, champ.Position, champ.Longueur);
        if (MemeCode(valeur, code)) return;
        code.assign(valeur);
        change = true;
    };
    Lire(new_tr, s.Titre);
    Lire(new_ed, s.Edition);
    Lire(new_gr, s.Voiture);
    Lire(new_lt, s.Routage);
    return change;
}

bool CQuervaneDlg::EnregistrementSuivant() {
    const std::int64_t lu = FpAbonnes.Tell();
    // Most records do not change the percentage read: no division for them.
    const int avant = PourcentageJournaux;
    AvancerPourcentage(lu, TailleJournaux, SeuilJournaux, PourcentageJournaux);
    if (PourcentageJournaux != avant) PositionnerProgres(IDC_PROGRESS, PourcentageJournaux);
    // The line is read in place: the preparer copies what it keeps.
    std::string_view suivante;
    std::size_t lus = 0;
    if (deja_lu) {
        deja_lu = false;
    } else if ((lus = Preparateur->PreparerLigneSuivante(FpAbonnes.Buffered(LongueurLecture + 1),
                                                         LongueurLecture, buf)) > 0) {
        // Found and prepared in the stream's bytes: a line is looked at once.
        FpAbonnes.Skip(lus);
    } else if (FpAbonnes.ReadLineView(suivante, LongueurLecture + 1)) {
        Preparateur->Preparer(suivante, buf);
    } else {
        // The last record is handed once more, with codes that differ from
        // every code, so that its route, vehicle, edition and title close.
        fin_journaux = true;
        old_cur_gr = cur_gr;
        return ChangerRoutage();
    }
    // The new codes are still those of the record before, which the old
    // ones took after it: the route goes on when no code changed.
    const bool change = LireCodes();
    buf[static_cast<std::size_t>(EnregistrementJournal.Etat.Position)] = 'A';
    return change ? ChangerRoutage() : ContinuerRoutage();
}

bool CQuervaneDlg::FinPasse() {
    pChangeRecord.clear();
    pChangeRecord.shrink_to_fit();
    const bool sacsLis = FpSacsLis.Close();
    // A read that failed ended the pass as the end of the file would have:
    // the subscribers after it are missing.
    const bool lu = !FpAbonnes.Error();
    FpAbonnes.Close();
    const bool journal = FpJournal.Close();
    const bool liasses = fpliasse.Close();
    ValiderProgres(IDC_PROGRESS, SW_HIDE, 100, 0);
    if (!lu) return ErreurLectureJournaux();
    if (!sacsLis) return ErreurFichier("SACS.LIS");
    if (!journal) return ErreurFichier(NomJournal);
    if (!liasses) return ErreurFichier(NomLiasse);
    return true;
}
