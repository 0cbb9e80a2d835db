// The route, network, edition and title files of the base, written from the
// tables of the subscriber pass, each record into the file of its title.
#include <set>
#include <unordered_map>

#include "app/QuervaneDlg.h"
#include "records/EnregistrementBase.h"

namespace {

// The file of one kind for the title of the record being written: switched
// when the title changes. A title met again in the same table goes on with
// its file, which this writing created.
class FichierParTitre {
public:
    FichierParTitre(plat::StagedFolder& donnees, const std::string& repertoire, SlotBase slot)
        : donnees_(donnees), repertoire_(repertoire), slot_(slot) {}

    // False when the file cannot be opened or the one closed could not be
    // written; nom() then names it.
    bool Basculer(const std::string& titre) {
        if (ouvert_ && titre == titre_) return true;
        if (!Fermer()) return false;
        titre_ = titre;
        nom_ = NomFichierBase(repertoire_, titre, ExtensionsBase[slot_]);
        const bool nouveau = crees_.insert(titre).second;
        fichier_ = donnees_.Open(nom_, nouveau ? "w" : "a");
        ouvert_ = fichier_.IsOpen();
        return ouvert_;
    }
    bool Fermer() {
        ouvert_ = false;
        return fichier_.Close();
    }
    plat::File& fichier() { return fichier_; }
    const std::string& nom() const { return nom_; }

private:
    plat::StagedFolder& donnees_;
    const std::string& repertoire_;
    SlotBase slot_;
    plat::File fichier_;
    bool ouvert_ = false;
    std::string titre_, nom_;
    std::set<std::string> crees_;
};

std::string Blancs(int largeur) {
    return std::string(static_cast<std::size_t>(largeur), ' ');
}

}  // namespace

bool CQuervaneDlg::EcritureFichiersBase() {
    return EcritureRoutages() && EcritureReseaux() && EcritureEditions() && EcritureTitres();
}

bool CQuervaneDlg::EcritureRoutages() {
    const TableCodes& routes = IndexPasse.M_ilot;
    const TableCodes& reseaux = IndexPasse.M_igroupe;
    const TableCodes& editions = IndexPasse.M_iedition;
    FichierParTitre fichier(Donnees, RepertoireData, SlotRoutage);
    EnregistrementBase enreg;
    for (int i = 0; i < routes.Nombre(); ++i) {
        const int reseau = reseaux.Cherche(0, routes.Champ(i, 1));
        const int libelle = M_lot.Chercher(routes.Champ(i, 0));
        if (reseau < 0 || libelle < 0) continue;
        const std::string_view edition = reseaux.Champ(reseau, 1);
        const int indiceEdition = editions.Cherche(0, edition);
        const std::string titre = indiceEdition >= 0 ? std::string(editions.Champ(indiceEdition, 1))
                                                     : Blancs(EnregistrementJournal.Titre.Longueur);
        enreg.Commence(TablesBase, SlotRoutage);
        enreg.Position(0, titre);
        enreg.Champ(1, edition);
        enreg.Champ(2, routes.Champ(i, 1));
        enreg.Champ(3, routes.Champ(i, 0));
        enreg.Champ(4, M_lot.Libelle(libelle));
        enreg.Nombre(5, nb_sacs_lot[static_cast<std::size_t>(i)], 8);
        if (!fichier.Basculer(titre) || !enreg.Ecrit(fichier.fichier()))
            return ErreurFichier(fichier.nom());
    }
    if (!fichier.Fermer()) return ErreurFichier(fichier.nom());
    return true;
}

bool CQuervaneDlg::EcritureReseaux() {
    const TableCodes& routes = IndexPasse.M_ilot;
    const TableCodes& reseaux = IndexPasse.M_igroupe;
    const TableCodes& editions = IndexPasse.M_iedition;
    std::unordered_map<std::string_view, long> routesParVoiture;
    for (int i = 0; i < routes.Nombre(); ++i) ++routesParVoiture[routes.Champ(i, 1)];

    FichierParTitre fichier(Donnees, RepertoireData, SlotReseau);
    EnregistrementBase enreg;
    for (int i = 0; i < reseaux.Nombre(); ++i) {
        const std::string_view voiture = reseaux.Champ(i, 0);
        const int libelle = M_groupe.Chercher(voiture);
        if (libelle < 0) continue;
        const std::string_view edition = reseaux.Champ(i, 1);
        const int indiceEdition = editions.Cherche(0, edition);
        const std::string titre = indiceEdition >= 0 ? std::string(editions.Champ(indiceEdition, 1))
                                                     : Blancs(EnregistrementJournal.Titre.Longueur);
        const auto compte = routesParVoiture.find(voiture);
        enreg.Commence(TablesBase, SlotReseau);
        enreg.Position(0, titre);
        enreg.Champ(1, edition);
        enreg.Champ(2, voiture);
        enreg.Champ(3, M_groupe.Libelle(libelle));
        enreg.Nombre(4, compte == routesParVoiture.end() ? 0 : compte->second, 8);
        if (!fichier.Basculer(titre) || !enreg.Ecrit(fichier.fichier()))
            return ErreurFichier(fichier.nom());
    }
    if (!fichier.Fermer()) return ErreurFichier(fichier.nom());
    return true;
}

bool CQuervaneDlg::EcritureEditions() {
    const TableCodes& reseaux = IndexPasse.M_igroupe;
    const TableCodes& editions = IndexPasse.M_iedition;
    std::unordered_map<std::string_view, long> reseauxParEdition;
    for (int i = 0; i < reseaux.Nombre(); ++i) ++reseauxParEdition[reseaux.Champ(i, 1)];

    FichierParTitre fichier(Donnees, RepertoireData, SlotEdition);
    EnregistrementBase enreg;
    for (int i = 0; i < editions.Nombre(); ++i) {
        const std::string_view edition = editions.Champ(i, 0);
        const int libelle = M_edition.Chercher(edition);
        if (libelle < 0) continue;
        const std::string titre(editions.Champ(i, 1));
        const auto compte = reseauxParEdition.find(edition);
        enreg.Commence(TablesBase, SlotEdition);
        enreg.Position(0, titre);
        enreg.Champ(1, edition);
        enreg.Champ(2, M_edition.Libelle(libelle));
        enreg.Nombre(5, compte == reseauxParEdition.end() ? 0 : compte->second, 8);
        enreg.Nombre(6, nb_sacs_edition[static_cast<std::size_t>(i)], 8);
        enreg.Nombre(7, nb_liasses_edition[static_cast<std::size_t>(i)], 8);
        if (!fichier.Basculer(titre) || !enreg.Ecrit(fichier.fichier()))
            return ErreurFichier(fichier.nom());
    }
    if (!fichier.Fermer()) return ErreurFichier(fichier.nom());
    return true;
}

bool CQuervaneDlg::EcritureTitres() {
    const TableCodes& editions = IndexPasse.M_iedition;
    const TableCodes& titres = IndexPasse.M_ititre;
    std::unordered_map<std::string_view, long> editionsParTitre;
    for (int i = 0; i < editions.Nombre(); ++i) ++editionsParTitre[editions.Champ(i, 1)];

    EnregistrementBase enreg;
    for (int i = 0; i < titres.Nombre(); ++i) {
        const std::string titre(titres.Champ(i, 0));
        const int libelle = M_titre.Chercher(titre);
        // A title without a label gets no title file.
        if (libelle < 0) continue;
        const auto compte = editionsParTitre.find(titre);
        enreg.Commence(TablesBase, SlotTitre);
        enreg.Position(0, titre);
        enreg.Champ(1, M_titre.Libelle(libelle));
        enreg.Champ(3, date);
        enreg.Nombre(6, compte == editionsParTitre.end() ? 0 : compte->second, 8);
        const std::string nom = NomFichierBase(RepertoireData, titre, ExtensionsBase[SlotTitre]);
        plat::File fichier = Donnees.Open(nom, "w");
        if (!fichier || !enreg.Ecrit(fichier) || !fichier.Close()) return ErreurFichier(nom);
    }
    return true;
}
