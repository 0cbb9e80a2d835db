// The string table, written in UTF-8 and served as 1252.
#include <algorithm>
#include <array>
#include <string_view>

#include "platform/codepage.h"
#include "platform/ui/resource.h"

namespace {

struct StringEntry {
    UINT id;
    std::string_view text;
};

// Ascending ids.
constexpr std::array kStrings{
    StringEntry{101, "&A propos de Quervane..."},
    StringEntry{102, "Erreur fichier configuration application"},
    StringEntry{103, "Erreur de lecture du fichier descriptif des données"},
    StringEntry{104, "Fichier abonnés  (*.jo)|*.jo|Fichier abonnées zippés (*.ZIP)|*.ZIP"},
    StringEntry{105, "Erreur de lecture fu fichier titre (%s)"},
    StringEntry{111,
                "Fichier abonnés zippés (*.ZIP)|*.ZIP|Fichier abonnées non zippés (*.CYB)|*.CYB|"},
    StringEntry{112, "Fichier abonnés (J*.SIT)|J*.SIT|Fichiers abonnés zippés (*.ZIP)|*.ZIP|"},
    StringEntry{161, "Nom"},
    StringEntry{162, "Taille (Octets)"},
    StringEntry{163, "Date"},
    StringEntry{164, "Absence de fichier"},
    StringEntry{165, "Sélection de titre à importer"},
    StringEntry{63204, "Lecteur inconnu"},
    StringEntry{63205, "Lecteur invalide"},
    StringEntry{63206, "Disque amovible"},
    StringEntry{63207, "Disque fixe"},
    StringEntry{63208, "Disque réseau"},
    StringEntry{63209, "CD-ROM"},
    StringEntry{63210, "Disque mémoire"},
    StringEntry{63211, "Pas de chemin défini dans le fichier de configuration"},
    StringEntry{63213,
                "Numero de liasse dans fichier journal (%s) à l'abonné %ld différent de "
                "l'index liasse (%s)"},
    StringEntry{63214,
                "Numero de sac dans fichier journal (%s) à l'abonné %ld différent de "
                "l'index sac (%s)"},
    StringEntry{63215,
                "Numero de routage dans fichier journal (%s) à l'abonné %ld différent de "
                "l'index routage (%s)"},
    StringEntry{63216,
                "Numero de réseau dans fichier journal (%s) à l'abonné %ld différent de "
                "l'index réseau (%s)"},
    StringEntry{63217,
                "Numero d\"édition dans fichier journal (%s) à l'abonné %ld différent de "
                "l'index édition (%s)"},
    StringEntry{63218, "Erreur de lecture de la structure d'enregistrement journal"},
    StringEntry{63219, "Erreur de lecture de la structure d'enregistrement sac"},
    StringEntry{63220, "Fcihier descriptif %s.ini manquant"},
    StringEntry{63221,
                "Le répertoire des données %s est utilisé par une autre importation : "
                "recommencez quand elle sera terminée."},
    StringEntry{63230, "Interrompre l'importation ? Les données ne seront pas modifiées."},
    StringEntry{63231, "Importation interrompue"},
    StringEntry{63232, "Echec de l'importation"},
};

static_assert(std::is_sorted(kStrings.begin(), kStrings.end(),
                             [](const StringEntry& a, const StringEntry& b) {
                                 return a.id < b.id;
                             }));

}  // namespace

namespace plat::ui {

bool LoadStringText(UINT id, std::string& text) {
    const auto at = std::lower_bound(kStrings.begin(), kStrings.end(), id,
                                     [](const StringEntry& e, UINT key) { return e.id < key; });
    if (at == kStrings.end() || at->id != id) {
        text.clear();
        return false;
    }
    text = plat::Cp1252FromUtf8(at->text);
    return true;
}

}  // namespace plat::ui
