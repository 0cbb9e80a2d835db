// The ZIP step: a chosen file with the extension ZIP (in any case) is
// extracted into "..\TEMP\", which becomes the source folder. Entries stored
// in folders land at the top of "..\TEMP\" and their folders are removed once
// empty. An archive that cannot be read ends the run with a message naming
// it.
#include <algorithm>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "app/QuervaneDlg.h"
#include "import/DossierTemp.h"
#include "import/RunContext.h"
#include "import/RunHelpers.h"
#include "platform/zip/zip_archive.h"

namespace {

constexpr const char* kDossierTemp = "..\\TEMP";

std::string Majuscules(std::string texte) {
    for (char& c : texte) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return texte;
}

// The archive's name as the operator knows it: its last path component.
std::string NomArchive(const std::string& chemin) {
    const std::size_t separateur = chemin.find_last_of("\\/");
    return separateur == std::string::npos ? chemin : chemin.substr(separateur + 1);
}

// Entries stored in folders all land at the top of "..\TEMP\": two files
// that would land on one name (as names are matched, without regard to case)
// would leave one of them silently lost. Such an archive counts as damaged;
// the result names one of the two entries.
plat::ZipResult NomsAplatisDistincts(const plat::ZipArchive& archive) {
    std::vector<std::pair<std::string, std::string>> noms;  // flattened name, entry
    plat::ZipEntryHeader entete;
    for (std::size_t i = 0; i < archive.GetCount(); ++i) {
        archive.GetEntryHeader(i, entete);
        if (entete.isFolder) continue;
        noms.emplace_back(plat::ZipEntryFileName(entete.name), entete.name);
    }
    std::sort(noms.begin(), noms.end(), [](const auto& a, const auto& b) {
        return plat::CompareNames(a.first, b.first) < 0;
    });
    const auto double_ = std::adjacent_find(
        noms.begin(), noms.end(),
        [](const auto& a, const auto& b) { return plat::CompareNames(a.first, b.first) == 0; });
    if (double_ == noms.end()) return {};
    return {plat::ZipStatus::Damaged, std::next(double_)->second, 0};
}

}  // namespace

bool CQuervaneDlg::EtapeZip(RunContext& run) {
    run.bZippe = false;
    run.sExtension = Majuscules(ExtractExtension(run.CheminFichier));
    if (run.sExtension != "ZIP") return true;

    Afficher(Texte("Extraction du fichier zippé"));
    if (!ExtraireArchive(run)) return false;
    run.CheminAbonnes = "..\\TEMP\\";
    run.bZippe = true;
    return IdentifierTitre(run, FormeTitre::ApresExtraction);
}

bool CQuervaneDlg::ExtraireArchive(RunContext& run) {
    plat::ZipResult resultat;
    {
        CWaitCursor attente;
        resultat = run.ZipArchive.Open(run.CheminFichier);
        if (resultat) resultat = NomsAplatisDistincts(run.ZipArchive);
        if (resultat) ViderDossierTemp(run.CheminFichier);
        const std::size_t nombre = resultat ? run.ZipArchive.GetCount() : 0;
        for (std::size_t i = 0; i < nombre && resultat; ++i) {
            run.ZipArchive.GetEntryHeader(i, run.InfoHeader);
            resultat = run.ZipArchive.Extract(i, kDossierTemp);
            if (!resultat) break;
            const std::string& nom = run.InfoHeader.name;
            // A failed move loses the file, as a failed copy would; the
            // extraction goes on.
            if (nom.find_first_of("\\/") != std::string::npos)
                plat::FlattenEntry(kDossierTemp, nom);
            run.FichierAbonnes = ExtractFileName(nom);
        }
        run.ZipArchive.Close();
    }
    if (resultat) return true;
    AfxMessageBox(plat::ZipErrorText(resultat, NomArchive(run.CheminFichier)));
    return false;
}
