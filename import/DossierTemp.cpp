#include "import/DossierTemp.h"

#include <string>

#include "platform/fs/fs.h"

void ViderDossierTemp(std::string_view garder) {
    const std::string dossier = "..\\TEMP\\";
    const std::string archive = garder.empty() ? std::string() : plat::AbsolutePath(garder);
    for (const plat::DirEntry& entree : plat::ListDirectory(dossier + "*")) {
        if (entree.name == "." || entree.name == "..") continue;
        const std::string chemin = dossier + entree.name;
        if (entree.isFolder) {
            plat::RemoveTree(chemin);
        } else if (plat::AbsolutePath(chemin) != archive) {
            plat::DeleteFile(chemin);
        }
    }
}
