#include "import/FichiersFournisseur.h"

#include "import/RunContext.h"

namespace {

const char* NomDeBase(FichierFournisseur fichier) {
    switch (fichier) {
        case FichierFournisseur::Titre:
            return "TITRE";
        case FichierFournisseur::Edition:
            return "EDITION";
        case FichierFournisseur::Voiture:
            return "VOITURE";
        case FichierFournisseur::Routage:
            return "ROUTAGE";
        case FichierFournisseur::Journal:
            return "JOURNAL";
        case FichierFournisseur::Sac:
            return "SAC";
    }
    return "";
}

const char* ExtensionDuJeu(int bSelectionJournal) {
    switch (bSelectionJournal) {
        case 1:
            return ".SIT";
        case 2:
            return ".TXT";
        default:
            return ".CYB";
    }
}

std::string NomDansLeJeu(const RunContext& run, FichierFournisseur fichier) {
    if (run.bSelectionJournal == 3)
        return NumeroterModele(run.FichiersFiltres, static_cast<int>(fichier));
    return run.CheminAbonnes + NomDeBase(fichier) + ExtensionDuJeu(run.bSelectionJournal);
}

}  // namespace

std::string NumeroterModele(std::string_view modele, int numero) {
    constexpr std::string_view marque = "{n}";
    const std::string valeur = std::to_string(numero);
    std::string nom;
    std::size_t debut = 0;
    for (std::size_t trouve; (trouve = modele.find(marque, debut)) != std::string_view::npos;
         debut = trouve + marque.size()) {
        nom.append(modele.substr(debut, trouve - debut));
        nom.append(valeur);
    }
    nom.append(modele.substr(debut));
    return nom;
}

std::string NomFichierFournisseur(const RunContext& run, FichierFournisseur fichier) {
    if (fichier == FichierFournisseur::Journal && run.bSelectionJournal == 1 && !run.bZippe)
        return run.CheminAbonnes + run.FichierAbonnes + ".SIT";
    return NomDansLeJeu(run, fichier);
}

std::vector<std::string> FichiersDuJeu(const RunContext& run) {
    std::vector<std::string> noms;
    for (int numero = 1; numero <= 6; ++numero)
        noms.push_back(NomDansLeJeu(run, static_cast<FichierFournisseur>(numero)));
    return noms;
}
