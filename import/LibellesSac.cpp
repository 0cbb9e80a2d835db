// Last phase of a supplier conversion: for every title, its bag file (from
// the bags met in "SACS.LIS", or from the supplier's bag file), the copy of
// the supplier's bag file, the bag table "LIBELLES.SAC", and the deletion of
// the delivery application's index files; then the extracted set is deleted
// and the run shows its final status.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/QuervaneDlg.h"
#include "import/ControleStructures.h"
#include "import/LignesFournisseur.h"
#include "import/RunContext.h"
#include "import/RunHelpers.h"
#include "import/SacsDeRoute.h"
#include "records/DescriptionSacs.h"
#include "records/EnregistrementBase.h"
#include "records/Inistruc.h"

namespace {

// The end of a field that the emitters read; an empty field is never read,
// and its position, which the layout check leaves free, counts for nothing.
int FinChamp(const TypeChamp& champ) {
    return champ.Longueur > 0 ? champ.Position + champ.Longueur : 0;
}

// A bag line handed to an emitter holds every field that the bag layout
// names, whatever the bag record length: the line blank-padded to that end.
void PourEmetteur(std::string_view enregistrement, const TypeEnregistrementSac& s,
                  std::string& texte) {
    int fin = std::max(FinChamp(s.NumeroSac), FinChamp(s.CodeVoiture));
    for (const TypeChamp& champ : s.Champ) fin = std::max(fin, FinChamp(champ));
    texte.assign(enregistrement);
    if (texte.size() < static_cast<std::size_t>(fin))
        texte.resize(static_cast<std::size_t>(fin), ' ');
}

std::string PourEmetteur(std::string_view enregistrement, const TypeEnregistrementSac& s) {
    std::string texte;
    PourEmetteur(enregistrement, s, texte);
    return texte;
}

}  // namespace

bool CQuervaneDlg::LibellesSacs(RunContext& run) {
    Afficher("lecture des libelles de sac");
    const TableCodes& titres = IndexPasse.M_ititre;
    for (int i = 0; i < titres.Nombre(); ++i) {
        if (InterruptionDemandee() || !FichiersSacTitre(run, std::string(titres.Champ(i, 0))))
            return false;
    }
    if (run.bZippe) SupprimerJeuDecompresse(run);
    Afficher(bErreurSequencement || bRetourTitreEdition
                 ? Texte("Découpage effectué, mais attention:mélange de routages")
                 : std::string("FIN NORMALE"));
    CWnd::EndWaitCursor();
    return true;
}

bool CQuervaneDlg::FichiersSacTitre(const RunContext& run, const std::string& titre) {
    const std::string source = NomFichierFournisseur(run, FichierFournisseur::Sac);
    plat::File sacs = plat::File::Open(source, "r");
    if (!sacs && LongueurEnregistrementSac != 0) return ErreurLectureSacs();
    if (sacs) {
        const std::string nom = NomFichierBase(RepertoireData, titre, ExtensionsBase[SlotSac]);
        if (TablesBase.bDefined[SlotSac]) {
            plat::File fichier = Donnees.Open(nom, "w");
            if (!fichier) return ErreurFichier(nom);
            bool ecrit = false;
            if (pSacs.Existe()) {
                if (!EcritureSacsDepuisListe(fichier, nom)) return false;
                ecrit = true;
            } else if (LongueurEnregistrementSac != 0) {
                if (!EcritureSacsFournisseur(sacs, fichier, nom)) return false;
                ecrit = true;
            }
            if (!fichier.Close()) return ErreurFichier(nom);
            if (!ecrit && !Donnees.CopyFile(source, nom)) return ErreurFichier(nom);
            sacs.Close();
            const std::string copie = NomFichierBase(RepertoireData, titre, ".SA2");
            if (!Donnees.CopyFile(source, copie)) return ErreurFichier(copie);
        } else {
            sacs.Close();
            if (!CopieSacsSansStructure(source, nom)) return false;
        }
        if (LongueurEnregistrementSac != 0 && pSacs.Existe()) {
            const std::string libelles = RepertoireData + "LIBELLES.SAC";
            plat::File fichier = Donnees.Open(libelles, "wb");
            const std::string_view bloc = pSacs.Bloc();
            if (!fichier || fichier.Write(bloc.data(), 1, bloc.size()) != bloc.size() ||
                !fichier.Close()) {
                return ErreurFichier(libelles);
            }
        }
    }
    pSacs.Liberer();
    for (char indice = '0'; indice <= '7'; ++indice)
        Donnees.DeleteFile(NomFichierBase(RepertoireData, titre, std::string(".") + indice));
    return true;
}

namespace {

// The next entry of the list, at most entree.size() characters: seen where
// the stream holds it when it is there whole without a carriage return (the
// text mode then changes nothing in it), read into entree otherwise.
std::string_view EntreeSuivante(plat::File& liste, std::string& entree) {
    const std::string_view tampon = liste.Buffered(entree.size());
    if (tampon.size() >= entree.size() &&
        std::memchr(tampon.data(), '\r', entree.size()) == nullptr) {
        liste.Skip(entree.size());
        return tampon.substr(0, entree.size());
    }
    const std::size_t lus = liste.Read(entree.data(), 1, entree.size());
    return std::string_view(entree).substr(0, lus);
}

// The route index of an entry: the five digits that the pass writes, or
// what atoi reads in anything else.
int IndiceRoute(std::string_view numero) {
    if (numero.size() == 5 &&
        std::all_of(numero.begin(), numero.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        int indice = 0;
        for (const char c : numero) indice = indice * 10 + (c - '0');
        return indice;
    }
    char texte[6] = {};
    std::memcpy(texte, numero.data(), std::min(numero.size(), sizeof texte - 1));
    return std::atoi(texte);
}

}  // namespace

bool CQuervaneDlg::EcritureSacsDepuisListe(plat::File& fichier, const std::string& nom) {
    plat::File liste = plat::File::Open("SACS.LIS", "r");
    if (!liste) return true;
    const auto longueurSac = static_cast<std::size_t>(EnregistrementJournal.NumeroSac.Longueur);
    // An entry: the bag number, then the route index in five digits.
    std::string entree(longueurSac + 5, ' ');
    std::string enregistrement;
    std::string texte;
    const int routes = IndexPasse.M_ilot.Nombre();
    int lotConstruit = -2;
    int precedent = -1;
    SacsDeRoute sacsDeRoute(pSacs.NombreEnregistrementsSac());
    for (;;) {
        const std::string_view lue = EntreeSuivante(liste, entree);
        const std::size_t lus = lue.size();
        // An empty read ends the list even when the bag number has no width.
        if (lus < longueurSac || lus == 0) break;
        const std::string_view sac = lue.substr(0, longueurSac);
        const int indice = IndiceRoute(lue.substr(longueurSac));
        const int lot = indice >= 0 && indice < routes ? indice : -1;
        if (lot != lotConstruit) {
            sacsDeRoute.NouvelleRoute();
            lotConstruit = lot;
        }
        SacsDeRoute::Sac& connu =
            sacsDeRoute.Trouver(sac, [&] { return pSacs.Chercher(sac, precedent); });
        const int trouve = connu.trouve;
        if (trouve >= 0) precedent = trouve;
        if (connu.taille > 0) {
            if (!EnregistrementBase::EcritTexte(fichier, sacsDeRoute.Enregistrement(connu)))
                return ErreurFichier(nom);
        } else {
            if (trouve >= 0) {
                enregistrement.assign(pSacs.Enregistrement(trouve));
            } else {
                enregistrement.assign(static_cast<std::size_t>(LongueurEnregistrementSac), ' ');
                enregistrement.replace(0, std::min(sac.size(), enregistrement.size()), sac, 0,
                                       std::min(sac.size(), enregistrement.size()));
            }
            PourEmetteur(enregistrement, EnregistrementSac, texte);
            if (!Emetteur.EnvoieEnregistrementSacDirect(fichier, texte, lot))
                return ErreurFichier(nom);
            sacsDeRoute.Garder(connu, Emetteur.DernierSac());
        }
        if (lus < entree.size()) break;
    }
    // A list that fails to read part way would leave the bags after the
    // failure out of the bag file.
    return !liste.Error() || ErreurLectureSacs();
}

bool CQuervaneDlg::EcritureSacsFournisseur(plat::File& sacs, plat::File& fichier,
                                           const std::string& nom) {
    while (sacs.GetLine(ligne, kLigneEnregistrement + 1)) {
        if (!EstEnregistrement(ligne)) continue;
        const std::string enregistrement = LireLigneSac(ligne, LongueurEnregistrementSac);
        if (!Emetteur.EnvoieEnregistrementSac(fichier,
                                              PourEmetteur(enregistrement, EnregistrementSac))) {
            return ErreurFichier(nom);
        }
    }
    return !sacs.Error() || ErreurLectureSacs();
}

bool CQuervaneDlg::CopieSacsSansStructure(const std::string& source, const std::string& nom) {
    // Without a bag slot in the base descriptor, the bag file is the supplier's
    // bag lines cut or padded to the length that "SAC.DEF" gives.
    if (init_struct("..\\config\\SAC.DEF", EnregistrementSac) != 0 ||
        !StructureSacValide(EnregistrementSac)) {
        if (!Donnees.CopyFile(source, nom)) return ErreurFichier(nom);
        return true;
    }
    LongueurEnregistrementSac = longueur_enregistrement_sac(EnregistrementSac);
    plat::File sacs = plat::File::Open(source, "r");
    if (!sacs) return ErreurLectureSacs();
    plat::File fichier = Donnees.Open(nom, "w");
    if (!fichier) return ErreurFichier(nom);
    while (sacs.GetLine(ligne, kLigneEnregistrement + 1)) {
        if (!EstEnregistrement(ligne)) continue;
        if (!fichier.Puts(LireLigneSac(ligne, LongueurEnregistrementSac)) || !fichier.Puts("\n"))
            return ErreurFichier(nom);
    }
    if (sacs.Error()) return ErreurLectureSacs();
    if (!fichier.Close()) return ErreurFichier(nom);
    LongueurEnregistrementSac = 0;
    return true;
}

void CQuervaneDlg::SupprimerJeuDecompresse(const RunContext& run) {
    for (const std::string& nom : FichiersDuJeu(run)) Donnees.DeleteFile(nom);
}
