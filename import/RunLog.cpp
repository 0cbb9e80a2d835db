#include "import/RunLog.h"

#include <cstdio>

#include "import/RunHelpers.h"
#include "platform/fs/fs_durable.h"

namespace {

constexpr std::string_view kMarker = "=== Importation du ";

std::string DateHeure(const plat::CalendarTime& t) {
    char texte[32];
    std::snprintf(texte, sizeof texte, "%02d/%02d/%04d %02d:%02d:%02d", t.day, t.month, t.year,
                  t.hour, t.minute, t.second);
    return texte;
}

void Ligne(std::string& bloc, std::string_view libelle, std::string_view valeur) {
    bloc += libelle;
    bloc += " : ";
    bloc += valeur;
    bloc += '\n';
}

// Offsets of the lines that begin a block.
std::vector<std::size_t> DebutsDeBlocs(std::string_view texte) {
    std::vector<std::size_t> debuts;
    for (std::size_t ligne = 0; ligne < texte.size();) {
        if (texte.substr(ligne, kMarker.size()) == kMarker) debuts.push_back(ligne);
        const std::size_t fin = texte.find('\n', ligne);
        if (fin == std::string_view::npos) break;
        ligne = fin + 1;
    }
    return debuts;
}

// The size on the disk, where a line feed is written as two bytes.
std::size_t TailleSurDisque(std::string_view texte) {
    std::size_t taille = texte.size();
    for (char c : texte) taille += c == '\n';
    return taille;
}

}  // namespace

std::string FormatRunLogBlock(const RunLogEntry& entry) {
    std::string bloc(kMarker);
    bloc += DateHeure(entry.start) + " ===\n";
    Ligne(bloc, "Source", entry.source.empty() ? Texte("aucune") : entry.source);
    if (!entry.kind.empty()) Ligne(bloc, "Jeu", entry.kind);
    if (!entry.title.empty()) Ligne(bloc, "Titre", entry.title);
    if (!entry.counts.empty()) {
        std::string comptes;
        for (const auto& [nom, nombre] : entry.counts) {
            if (!comptes.empty()) comptes += ", ";
            comptes += nom + " " + std::to_string(nombre);
        }
        Ligne(bloc, "Comptes", comptes);
    }
    for (const std::string& copie : entry.copied) Ligne(bloc, Texte("Fichier copié"), copie);
    for (const std::string& message : entry.messages) {
        std::string uneLigne = message;
        for (char& c : uneLigne) {
            if (c == '\n' || c == '\r') c = ' ';
        }
        Ligne(bloc, "Message", uneLigne);
    }
    Ligne(bloc, "Statut final", entry.status);
    Ligne(bloc, "Fin", DateHeure(entry.end));
    Ligne(bloc, Texte("Durée"), std::to_string(entry.seconds) + " s");
    return bloc;
}

std::string BoundedRunLog(std::string_view existing, std::string_view block, std::size_t limit) {
    std::size_t garde = 0;
    const std::size_t bloc = TailleSurDisque(block);
    if (TailleSurDisque(existing) + bloc > limit) {
        garde = existing.size();
        for (std::size_t debut : DebutsDeBlocs(existing)) {
            if (TailleSurDisque(existing.substr(debut)) + bloc <= limit) {
                garde = debut;
                break;
            }
        }
    }
    std::string texte(existing.substr(garde));
    texte += block;
    return texte;
}

bool AppendRunLog(std::string_view path, std::string_view block, std::size_t limit) {
    const std::int64_t taille = plat::FileSize(path);
    if (taille >= 0 && static_cast<std::size_t>(taille) + TailleSurDisque(block) <= limit) {
        plat::File log = plat::File::Open(path, "a");
        return log && log.Puts(block) && log.Close();
    }
    std::string existant;
    if (taille >= 0) {
        plat::File ancien = plat::File::Open(path, "r");
        if (!ancien) return false;
        std::string ligne;
        while (ancien.GetLine(ligne, 1 << 16)) existant += ligne;
    }
    const std::string temporaire = std::string(path) + ".tmp";
    {
        plat::File nouveau = plat::File::Open(temporaire, "w");
        if (!nouveau || !nouveau.Puts(BoundedRunLog(existant, block, limit)) || !nouveau.Close()) {
            plat::DeleteFile(temporaire);
            return false;
        }
    }
    return plat::ReplaceFile(temporaire, path);
}
