#include "import/TelechargementFtp.h"

#include "dialogs/LoadFileFiltre.h"

namespace {

constexpr int kNumeroMax = 9;

// A file name of the staging folder: one component, not "." or "..".
bool NomLocalSur(std::string_view nom) {
    return !nom.empty() && nom != "." && nom != ".." &&
           nom.find_first_of("\\/") == std::string_view::npos;
}

// Downloads one file; false when it did not arrive.
bool Telecharger(CFtpConnection& connexion, std::string_view dossierDistant, const std::string& nom,
                 std::string_view dossierLocal, std::string& CheminFichier) {
    CheminFichier = std::string(dossierLocal) + nom;
    if (!NomLocalSur(nom)) return false;
    return connexion.GetFile(std::string(dossierDistant) + nom, CheminFichier, false);
}

}  // namespace

std::string DossierDistant(std::string_view adresse) {
    std::string_view suite = adresse.size() > 6 ? adresse.substr(6) : std::string_view();
    // The host follows the credentials.
    if (const std::size_t arobase = suite.rfind('@'); arobase != std::string_view::npos)
        suite.remove_prefix(arobase + 1);
    const std::size_t barre = suite.find('/');
    return barre == std::string_view::npos ? std::string("/") : std::string(suite.substr(barre));
}

void TelechargerJeu(CFtpConnection& connexion, std::string_view dossierDistant,
                    std::string_view sExtension, std::string_view nomChoisi,
                    std::string_view dossierLocal, std::string& CheminFichier) {
    if (sExtension.find("{id}") == std::string_view::npos) {
        Telecharger(connexion, dossierDistant, std::string(nomChoisi), dossierLocal, CheminFichier);
        return;
    }
    const std::string modele = RemplacerTout(std::string(sExtension), "{id}", nomChoisi);
    // A template without "{n}" names a set of one file.
    const int dernier = modele.find("{n}") == std::string::npos ? 1 : kNumeroMax;
    for (int numero = 1; numero <= dernier; ++numero) {
        const std::string nom = RemplacerTout(modele, "{n}", std::to_string(numero));
        if (!Telecharger(connexion, dossierDistant, nom, dossierLocal, CheminFichier)) break;
    }
}
