// The subscriber pass, writing side: a record of the current route is filed
// under the recoded route and vehicle and written, its bundle closed at an
// end of bundle; a record that changes a code first closes the route, then
// the vehicle, edition and title that changed, and recodes the vehicle and
// route it starts so that no code serves twice.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/QuervaneDlg.h"
#include "import/Recodage.h"
#include "import/RunHelpers.h"
#include "records/EnregistrementBase.h"
#include "util/CopieCourte.h"

namespace {

constexpr std::string_view kRoutageInconnu = "LIBELLE ROUTAGE INCONNU";
constexpr std::string_view kVoitureInconnue = "VOITURE DE LIBELLE INCONNU";
constexpr std::string_view kEditionInconnue = "EDITION DE LIBELLE INCONNU";

// Writes code over the record at the field's place, within the record.
void Ecraser(std::string& enreg, const TypeChamp& champ, std::string_view code) {
    const auto position = static_cast<std::size_t>(champ.Position);
    if (champ.Position < 0 || position >= enreg.size()) return;
    CopieCourte(enreg.data() + position, code.data(),
                std::min(code.size(), enreg.size() - position));
}

}  // namespace

bool CQuervaneDlg::ContinuerRoutage() {
    const TypeEnregistrementJournal& s = EnregistrementJournal;
    Ecraser(buf, s.Voiture, cur_gr);
    Ecraser(buf, s.Routage, cur_lt);
    if (s.PreTri == 2 && IndiceJournal < static_cast<long>(pChangeRecord.size()) &&
        pChangeRecord[static_cast<std::size_t>(IndiceJournal)] != 0) {
        buf[static_cast<std::size_t>(s.FinLiasse.Position)] = '1';
    }
    if (!FpJournal && !OuvrirFichiersTitre(new_tr)) return false;
    if (!Emetteur.EnvoieEnregistrementJournal(FpJournal, buf, NumeroAbonne, IndiceLiasse, Date))
        return ErreurFichier(NomJournal);

    // Bags count under the route and the edition the record is written under.
    if (buf[static_cast<std::size_t>(s.FinSac.Position)] == '1') {
        ++nb_sacs_lot[static_cast<std::size_t>(IndexPasse.M_ilot.Nombre())];
        ++nb_sacs_edition[static_cast<std::size_t>(IndiceEditionCourante)];
    }
    ++IndiceJournal;
    ++CompteLiasses;
    if (!MemeCode(SacEnregistrement(), Dernier.Sac)) Dernier.Sac.assign(SacEnregistrement());
    if (buf[static_cast<std::size_t>(s.FinLiasse.Position)] == '1') {
        NoterDernier();
        if (!EcrireLiasse(Dernier)) return false;
    }
    if (!MemeCode(SacEnregistrement(), SacCourant)) {
        SacCourant.assign(SacEnregistrement());
        // The open route is always new: it will get the next index.
        if (!EcrireSacsLis(SacCourant, IndexPasse.M_ilot.Nombre())) return false;
    }
    // The codes are those of the record before: nothing to copy.
    return true;
}

bool CQuervaneDlg::ChangerRoutage() {
    const bool voitureOuEdition = fin_journaux || new_gr != old_gr || new_ed != old_ed;
    const bool edition = fin_journaux || new_ed != old_ed;
    const bool titre = fin_journaux || new_tr != old_tr;
    deja_lu = !fin_journaux;
    // The codes of the last record written, before the recoding moves on.
    NoterDernier();

    if (LongueurEnregistrementSac != 0) pSacs.Marquer(SacEnregistrement());
    Afficher(FormaterMessage("Lecture du routage: %s     ", {old_lt}));
    FermerRoutage();
    SacCourant.assign(SacEnregistrement());
    // At a change the record starts the next route; at the end of the file it
    // belongs to the route just closed.
    const long indice = fin_journaux ? indice_courant_lot : IndexPasse.M_ilot.Nombre();
    if (!EcrireSacsLis(SacCourant, indice)) return false;

    if (!fin_journaux) {
        if (voitureOuEdition && !RecoderVoiture()) return false;
        if (!RecoderRoutage()) return false;
    }
    if (voitureOuEdition) FermerVoiture();
    if (edition) FermerEdition();
    if (titre && !FermerTitre()) return false;
    CopierCodes();
    return true;
}

void CQuervaneDlg::NoterDernier() {
    Dernier.Titre = old_tr;
    Dernier.Edition = old_ed;
    Dernier.Voiture = cur_gr;
    Dernier.Routage = cur_lt;
    Dernier.IndiceEdition = IndiceEditionCourante;
}

void CQuervaneDlg::CopierCodes() {
    old_tr = new_tr;
    old_ed = new_ed;
    old_gr = new_gr;
    old_lt = new_lt;
}

void CQuervaneDlg::FermerRoutage() {
    TableCodes& routes = IndexPasse.M_ilot;
    int indice = routes.Cherche(0, cur_lt);
    if (indice < 0) {
        indice = routes.Ajoute({cur_lt, cur_gr});
        IndexPasse.M_ilot_sup.Ajoute({old_ed});
        nb_sacs_lot.resize(static_cast<std::size_t>(routes.Nombre()) + 1, 0);
        if (!M_lot.Contient(cur_lt)) M_lot.Ajouter(cur_lt, kRoutageInconnu);
    }
    indice_courant_lot = indice;
}

void CQuervaneDlg::FermerVoiture() {
    if (IndexPasse.M_igroupe.Cherche(0, old_cur_gr) >= 0) return;
    IndexPasse.M_igroupe.Ajoute({old_cur_gr, old_ed});
    if (!M_groupe.Contient(old_cur_gr))
        M_groupe.Ajouter(old_cur_gr, M_groupe.LibelleDe(old_gr, kVoitureInconnue));
}

void CQuervaneDlg::FermerEdition() {
    TableCodes& editions = IndexPasse.M_iedition;
    int indice = editions.Cherche(0, old_ed);
    if (indice < 0) {
        indice = editions.Ajoute({old_ed, old_tr});
        nb_sacs_edition.resize(static_cast<std::size_t>(editions.Nombre()) + 1, 0);
        nb_liasses_edition.resize(static_cast<std::size_t>(editions.Nombre()) + 1, 0);
        if (!M_edition.Contient(old_ed)) M_edition.Ajouter(old_ed, kEditionInconnue);
    }
    indice_courant_edition = indice;
    if (fin_journaux) return;
    // The edition that starts counts into its own entry, also when it comes
    // back after another one.
    const int retour = editions.Cherche(0, new_ed);
    if (retour >= 0) bRetourTitreEdition = true;
    IndiceEditionCourante = retour >= 0 ? retour : editions.Nombre();
}

bool CQuervaneDlg::FermerTitre() {
    // A bundle never spans titles: its last records get their bundle record.
    if (CompteLiasses > 0 && !EcrireLiasse(Dernier)) return false;
    NumerosParTitre[old_tr] = NumeroAbonne;
    NumeroAbonne = 0;
    if (IndexPasse.M_ititre.Cherche(0, old_tr) < 0) IndexPasse.M_ititre.Ajoute({old_tr});
    if (fin_journaux) return true;
    const bool journal = FpJournal.Close();
    const bool liasses = fpliasse.Close();
    if (!journal) return ErreurFichier(NomJournal);
    if (!liasses) return ErreurFichier(NomLiasse);
    return OuvrirFichiersTitre(new_tr);
}

bool CQuervaneDlg::OuvrirFichiersTitre(const std::string& titre) {
    if (!TitreSansHomonyme(titre)) return false;
    // A title that comes back goes on with its files and its numbering.
    const auto retour = NumerosParTitre.find(titre);
    const char* mode = retour == NumerosParTitre.end() ? "w" : "a";
    if (retour != NumerosParTitre.end()) {
        bRetourTitreEdition = true;
        NumeroAbonne = retour->second;
    } else {
        NumeroAbonne = 0;
        NumerosParTitre[titre] = 0;
    }
    if (!NomFichierBaseValide(titre)) return false;
    NomJournal = NomFichierBase(RepertoireData, titre, ExtensionsBase[SlotJournal]);
    NomLiasse = NomFichierBase(RepertoireData, titre, ExtensionsBase[SlotLiasse]);
    FpJournal = Donnees.Open(NomJournal, mode);
    if (!FpJournal) return ErreurFichier(NomJournal);
    fpliasse = Donnees.Open(NomLiasse, mode);
    if (!fpliasse) return ErreurFichier(NomLiasse);
    return true;
}

bool CQuervaneDlg::EcrireLiasse(const DernierAbonne& abonne) {
    const TypeEnregistrementJournal& s = EnregistrementJournal;
    nb_liasses_edition[static_cast<std::size_t>(abonne.IndiceEdition)] += 1;
    EnregistrementBase& liasse = Emetteur.BufLiasse();
    liasse.Commence(TablesBase, SlotLiasse);
    liasse.Position(0, abonne.Titre);
    liasse.Champ(1, abonne.Edition);
    liasse.Champ(2, abonne.Voiture);
    liasse.Champ(3, abonne.Routage);
    if (s.SacUtilisateur == 0) {
        // The 10 characters that start at field 4 of the subscriber record
        // last written.
        const int debut =
            TablesBase.ChampDefini(SlotJournal, 4) ? TablesBase.PositionChamp[SlotJournal][4] : -1;
        if (debut >= 0)
            liasse.Champ(4, Emetteur.BufJournal().substr(static_cast<std::size_t>(debut), 10));
    } else {
        liasse.Champ(4, abonne.Sac);
    }
    liasse.Nombre(5, IndiceLiasse, 10);
    liasse.Champ(6, "1");
    liasse.Nombre(7, CompteLiasses, 8);
    if (!liasse.Ecrit(fpliasse)) return ErreurFichier(NomLiasse);
    CompteLiasses = 0;
    ++IndiceLiasse;
    return true;
}

bool CQuervaneDlg::EcrireSacsLis(std::string_view sac, long indice) {
    // The bag files read the list back with five digits to a route index: a
    // longer index would be read wrong. Without a bag table the list is
    // never read back, and the index is written as long as it is.
    if (indice > 99999 && pSacs.Existe()) {
        return ErreurCodage(Texte("Plus de 99999 routages : le fichier %s ne peut pas les noter"),
                            "SACS.LIS");
    }
    // A bag changes at almost every record of a file in no bag order: the
    // entry is written at once.
    const bool ecrit = FpSacsLis.Puts(SacsLis.Entree(sac, indice));
    if (!ecrit) return ErreurFichier("SACS.LIS");
    return true;
}

namespace {

// A suffix advanced past the letters goes through every byte, control
// characters included.
bool AvecControle(std::string_view code) {
    return std::any_of(code.begin(), code.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

}  // namespace

bool CQuervaneDlg::RecoderVoiture() {
    old_cur_gr = cur_gr;
    cur_gr = new_gr;
    const TableCodes& reseaux = IndexPasse.M_igroupe;
    for (int essais = 0;; ++essais) {
        const int indice = reseaux.Cherche(0, cur_gr);
        if (indice < 0 || reseaux.Champ(indice, 1) == new_ed) break;
        if (essais == kSuffixesVoiture)
            return ErreurCodage(
                Texte("Trop d'éditions pour la voiture %s : aucun code libre pour la recoder"),
                new_gr);
        AvancerSuffixeVoiture(cur_gr);
    }
    // The vehicle just left is not registered yet: it cannot be seen above.
    if (cur_gr == old_cur_gr && new_ed != old_ed) AvancerSuffixeVoiture(cur_gr);
    if (AvecControle(cur_gr)) Emetteur.ControlesPossibles();
    if (cur_gr.back() != '0' && !M_groupe.Contient(cur_gr)) {
        const int origine = M_groupe.Chercher(new_gr);
        if (origine >= 0) M_groupe.Ajouter(cur_gr, M_groupe.Libelle(origine));
    }
    return true;
}

bool CQuervaneDlg::RecoderRoutage() {
    cur_lt = new_lt;
    const TableCodes& routes = IndexPasse.M_ilot;
    for (int essais = 0;; ++essais) {
        const int indice = routes.Cherche(0, cur_lt);
        if (indice < 0) break;
        if (EnregistrementJournal.PreTri == 0 && routes.Champ(indice, 1) == cur_gr &&
            IndexPasse.M_ilot_sup.Champ(indice, 0) == new_ed) {
            bErreurSequencement = true;
        }
        if (essais == kSuffixesRoutage)
            return ErreurCodage(
                Texte("Trop de reprises du routage %s : aucun code libre pour le recoder"), new_lt);
        AvancerSuffixeRoutage(cur_lt);
    }
    if (AvecControle(cur_lt)) Emetteur.ControlesPossibles();
    if (cur_lt.substr(cur_lt.size() - 2) != "  " && !M_lot.Contient(cur_lt)) {
        const int origine = M_lot.Chercher(new_lt);
        if (origine >= 0) M_lot.Ajouter(cur_lt, M_lot.Libelle(origine));
    }
    return true;
}

std::string_view EntreesSacsLis::Entree(std::string_view sac, long indice) {
    entree_.assign(sac);
    if (indice < 0 || indice > 99999) {
        char texte[24];
        std::snprintf(texte, sizeof texte, "%05ld", indice);
        entree_ += texte;
        return entree_;
    }
    if (indice != indice_) {
        EnregistrementBase::TexteNombre(numero_, indice);
        indice_ = indice;
    }
    entree_.append(numero_, sizeof numero_);
    return entree_;
}
