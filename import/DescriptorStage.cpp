// The descriptor stage, common to both kinds of run: the title's base
// descriptor is found through "DESCRIPT.LIS" and read into the base slot
// tables. Without a descriptor nothing can be written: the run ends, and the
// files a ZIP extraction left in the staging folder are removed.
#include <array>
#include <string>
#include <string_view>

#include "app/QuervaneDlg.h"
#include "import/DescriptorLookup.h"
#include "import/RunContext.h"
#include "import/RunHelpers.h"
#include "platform/fs/fs.h"
#include "resources/resource.h"
#include "util/JusquAuZero.h"

namespace {

constexpr std::array<std::string_view, 8> kExtensionsBasePreparee = {".jo", ".li", ".sa", ".sa2",
                                                                     ".ro", ".re", ".ed", ".ti"};
constexpr std::array<std::string_view, 6> kFichiersFournisseur = {"TITRE",   "EDITION", "VOITURE",
                                                                  "ROUTAGE", "JOURNAL", "SAC"};

// The key of the title in "DESCRIPT.LIS": the first TL characters of the
// first line of the title file, cut at the first blank; empty when there is
// no such line. A line shorter than TL keeps its line feed in the key, so
// that a short title code does not take the entry of a longer one; a zero
// byte ends the line. False when the file fails to read.
bool CleTitre(const std::string& fichier, int TL, std::string& cle) {
    cle.clear();
    if (TL <= 0) return true;
    std::string ligne;
    plat::File titre = plat::File::Open(fichier, "r");
    if (!titre || !titre.GetLine(ligne, 256)) return !titre.Error();
    const std::string_view texte = JusquAuZero(ligne).substr(0, static_cast<std::size_t>(TL));
    cle = texte.substr(0, texte.find(' '));
    return true;
}

// Files of the set in the staging folder, as a ZIP extraction left them.
void SupprimerFichiersExtraits(const RunContext& run, bool BasePreparee) {
    if (BasePreparee) {
        for (std::string_view extension : kExtensionsBasePreparee) {
            plat::DeleteFile(run.CheminAbonnes + run.FichierAbonnes + std::string(extension));
        }
        return;
    }
    if (run.bSelectionJournal == 3) {
        for (int numero = 1; numero <= 6; ++numero) {
            plat::DeleteFile(Remplacer(run.FichiersFiltres, "{n}", std::to_string(numero)));
        }
        return;
    }
    const char* extension = run.bSelectionJournal == 1   ? ".SIT"
                            : run.bSelectionJournal == 2 ? ".TXT"
                                                         : ".CYB";
    for (std::string_view nom : kFichiersFournisseur) {
        plat::DeleteFile(run.CheminAbonnes + std::string(nom) + extension);
    }
}

}  // namespace

bool CQuervaneDlg::EtapeDescripteur(RunContext& run) {
    Afficher("Lecture du fichier descriptif");

    const int TL = EnregistrementJournal.Titre.Longueur;
    const std::string liste = RepertoireData + "DESCRIPT.LIS";
    RechercheDescriptif recherche;
    if (TL != 0) {
        // Without a title file (a supplier set has none) the key is empty and
        // finds nothing.
        const std::string fichier = run.CheminAbonnes + run.FichierAbonnes + ".ti";
        std::string cle;
        if (!CleTitre(fichier, TL, cle)) return ErreurLectureTitre(fichier);
        recherche =
            ChercherDescriptif(liste, cle, static_cast<std::size_t>(TL) + 1, run.sDescriptif);
    } else {
        const std::string cle = ExtractFileName(run.FichierAbonnes);
        recherche = ChercherDescriptif(liste, cle, cle.size() + 1, run.sDescriptif);
    }
    // The title's own descriptor may be in the part of the list that could
    // not be read: the default one would convert with another layout.
    if (recherche == RechercheDescriptif::Illisible) {
        AfxMessageBox(IDS_ERREUR_DESCRIPTIF);
        return false;
    }

    plat::File descriptif = plat::File::Open(RepertoireData + run.sDescriptif + ".ini", "r");
    if (!descriptif) {
        AfxMessageBox(FormaterMessage(LoadString(IDS_DESCRIPTIF_MANQUANT), {run.sDescriptif}));
        if (run.bZippe) {
            SupprimerFichiersExtraits(run, EnregistrementJournal.LongueurEnregistrement == 0);
        }
        return false;
    }
    // A descriptor that defines no base file would replace the base by
    // empty files.
    if (TablesBase.LectureDescriptif(descriptif) != DescriptifLu ||
        !TablesBase.DefinitUnFichier()) {
        AfxMessageBox(IDS_ERREUR_DESCRIPTIF);
        return false;
    }
    descriptif.Close();
    CWnd::BeginWaitCursor();
    return true;
}
