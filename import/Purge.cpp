#include "import/Purge.h"

#include <array>
#include <string>
#include <string_view>

#include "app/QuervaneDlg.h"
#include "import/RunHelpers.h"
#include "platform/clock.h"
#include "platform/fs/fs.h"

int JoursDuMois(int Mois, int Annee) {
    switch (Mois) {
        case 4:
        case 6:
        case 9:
        case 11:
            return 30;
        case 2:
            return Annee % 4 == 0 ? 29 : 28;
        default:
            return 31;
    }
}

int CompteJours(int AnFichier, int MoisFichier, int JourFichier, int Annee, int Mois, int Jour) {
    int jours = 0;
    while ((MoisFichier < Mois && AnFichier == Annee) || AnFichier < Annee) {
        jours += JoursDuMois(MoisFichier, AnFichier) + 1 - JourFichier;
        JourFichier = 1;
        if (++MoisFichier > 12) {
            MoisFichier = 1;
            ++AnFichier;
        }
    }
    return jours + Jour - JourFichier;
}

namespace {

constexpr std::array<std::string_view, 18> kExtensionsBase = {
    ".jo", ".li", ".sa", ".sa2", ".ro", ".re", ".ed", ".ti",  ".0",
    ".1",  ".2",  ".3",  ".4",   ".5",  ".6",  ".7",  ".MOD", ".DBF"};

bool DateApres(const plat::CalendarTime& a, const plat::CalendarTime& b) {
    if (a.year != b.year) return a.year > b.year;
    if (a.month != b.month) return a.month > b.month;
    return a.day > b.day;
}

}  // namespace

void CQuervaneDlg::PurgerAnciensFichiers(int DelayJournal) {
    Afficher(Texte("purge des anciens fichiers"));
    const auto fichiers = plat::ListDirectory(RepertoireData + "*.jo");
    if (fichiers.empty()) return;
    const plat::CalendarTime aujourdhui = plat::NowUniversal();
    for (const plat::DirEntry& entree : fichiers) {
        if (entree.isFolder) continue;
        const plat::CalendarTime date = plat::ToLocalTime(entree.lastWrite);
        // A base dated after today is never old, whatever the count says.
        if (DateApres(date, aujourdhui)) continue;
        const int jours = CompteJours(date.year, date.month, date.day, aujourdhui.year,
                                      aujourdhui.month, aujourdhui.day);
        if (jours <= DelayJournal) continue;
        const std::string nom = entree.name.substr(0, entree.name.size() - 3);
        Afficher(FormaterMessage("destruction de %s", {nom}));
        for (std::string_view extension : kExtensionsBase) {
            plat::DeleteFile(RepertoireData + nom + std::string(extension));
        }
    }
}
