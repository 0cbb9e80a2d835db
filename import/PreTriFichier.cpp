#include "import/PreTriFichier.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "import/LignesFournisseur.h"
#include "import/PreTri.h"
#include "platform/fs/fs.h"

namespace {

// Follows the reading of a file and reports whole percentages when they change.
class Progression {
public:
    Progression(const std::function<void(int)>& rapport, std::int64_t total)
        : rapport_(rapport), total_(total) {
        if (rapport_) rapport_(0);
    }
    void Avancer(std::int64_t fait) {
        if (!rapport_ || total_ <= 0) return;
        const int pourcentage = static_cast<int>(fait * 100 / total_);
        if (pourcentage != dernier_) {
            dernier_ = pourcentage;
            rapport_(pourcentage);
        }
    }

private:
    const std::function<void(int)>& rapport_;
    std::int64_t total_;
    int dernier_ = 0;
};

// The records of the file in file order: the lines that hold more than a line
// feed, each without its line feed (and cut at a zero byte).
class LecteurEnregistrements {
public:
    explicit LecteurEnregistrements(plat::File& fichier) : fichier_(fichier) {}
    // texte stays valid until the next call.
    bool Suivant(std::string_view& texte) {
        std::string_view ligne;
        while (fichier_.ReadLineView(ligne, kLigneEnregistrement + 1)) {
            if (!EstLigneSac(ligne)) continue;
            texte = TexteLigne(ligne);
            return true;
        }
        return false;
    }

private:
    plat::File& fichier_;
};

}  // namespace

std::size_t TailleTrancheParDefaut(std::size_t NombreEnregistrements) {
    return (std::size_t{8} << 20) + 16 * NombreEnregistrements;
}

namespace {

// The regrouped order cut into slices of at most a given size (at least one
// record each): slice k holds positions debuts[k] .. debuts[k + 1] - 1.
struct Tranches {
    std::vector<std::size_t> debuts;
    std::vector<std::uint32_t> tranche;  // by position
    std::size_t Nombre() const { return debuts.size() - 1; }
};

Tranches Decouper(const std::vector<std::uint32_t>& pRang,
                  const std::vector<std::uint32_t>& longueurs, std::size_t taille) {
    Tranches t;
    t.tranche.resize(pRang.size());
    t.debuts.push_back(0);
    std::size_t octets = 0;
    for (std::size_t p = 0; p < pRang.size(); ++p) {
        const std::size_t n = longueurs[pRang[p]] + 1;
        if (p > t.debuts.back() && octets + n > taille) {
            t.debuts.push_back(p);
            octets = 0;
        }
        octets += n;
        t.tranche[p] = static_cast<std::uint32_t>(t.debuts.size() - 1);
    }
    t.debuts.push_back(pRang.size());
    return t;
}

// Writes one slice, gathered in memory, to the copy.
class Assembleur {
public:
    Assembleur(const std::vector<std::uint32_t>& pRang, const std::vector<std::uint32_t>& longueurs)
        : pRang_(pRang), longueurs_(longueurs) {}

    // Prepares slice positions debut .. fin - 1.
    void Commencer(std::size_t debut, std::size_t fin) {
        debut_ = debut;
        decalage_.clear();
        std::size_t octets = 0;
        for (std::size_t p = debut; p < fin; ++p) {
            decalage_.push_back(octets);
            octets += longueurs_[pRang_[p]] + 1;
        }
        tampon_.resize(octets);
    }
    // The place of the record at position p, its text and line feed.
    char* Place(std::size_t p) { return tampon_.data() + decalage_[p - debut_]; }
    bool Ecrire(plat::File& copie) {
        return copie.Write(tampon_.data(), 1, tampon_.size()) == tampon_.size();
    }

private:
    const std::vector<std::uint32_t>& pRang_;
    const std::vector<std::uint32_t>& longueurs_;
    std::size_t debut_ = 0;
    std::vector<std::size_t> decalage_;
    std::vector<char> tampon_;
};

void Placer(char* place, std::string_view texte) {
    std::memcpy(place, texte.data(), texte.size());
    place[texte.size()] = '\n';
}

// More slices than this would keep too many files open: the slices grow.
constexpr std::size_t kTranchesMax = 64;

}  // namespace

ResultatPreTri PreTrierFichier(std::string_view fichier, std::string_view temporaire,
                               const PreTriFichier& options,
                               std::vector<std::uint8_t>& pChangeRecord) {
    plat::File source = plat::File::Open(fichier, "r");
    if (!source) return ResultatPreTri::FichierIllisible;
    const std::int64_t taille = plat::FileSize(fichier);

    // Key pass: the key and the length of every record.
    PreTri tri(options.preTri, options.keyLengths);
    std::vector<std::uint32_t> longueurs;
    std::size_t total = 0;
    {
        Progression progression(options.progression, taille);
        LecteurEnregistrements lecteur(source);
        for (std::string_view texte; lecteur.Suivant(texte);) {
            tri.AjouterEnregistrement(texte);
            longueurs.push_back(static_cast<std::uint32_t>(texte.size()));
            total += texte.size() + 1;
            progression.Avancer(source.Tell());
        }
    }
    const std::size_t nombre = longueurs.size();
    PreTri::Ordre ordre = tri.Ordonner();
    pChangeRecord = std::move(ordre.pChangeRecord);

    // Position of each record in the regrouped order.
    std::vector<std::uint32_t> position(nombre);
    for (std::size_t p = 0; p < nombre; ++p)
        position[ordre.pRang[p]] = static_cast<std::uint32_t>(p);

    plat::File copie = plat::File::Open(temporaire, "w");
    if (!copie) return ResultatPreTri::TemporaireImpossible;

    const std::size_t demande = std::max<std::size_t>(
        options.tailleTranche ? options.tailleTranche : TailleTrancheParDefaut(nombre), 1);
    const Tranches tranches =
        Decouper(ordre.pRang, longueurs, std::max(demande, total / kTranchesMax + 1));
    Assembleur assembleur(ordre.pRang, longueurs);
    source.Seek(0, SEEK_SET);

    if (tranches.Nombre() <= 1) {
        // Everything fits in memory: one more reading of the file.
        assembleur.Commencer(0, nombre);
        LecteurEnregistrements lecteur(source);
        std::size_t numero = 0;
        for (std::string_view texte; numero < nombre && lecteur.Suivant(texte); ++numero)
            Placer(assembleur.Place(position[numero]), texte);
        if (!assembleur.Ecrire(copie)) return ResultatPreTri::TemporaireImpossible;
    } else {
        // One reading of the file sends each record to the work file of its
        // slice, in file order; each slice is then gathered from its file.
        std::vector<std::string> noms;
        std::vector<plat::File> paquets;
        auto Nettoyer = [&] {
            for (plat::File& paquet : paquets) paquet.Close();
            for (const std::string& nom : noms) plat::DeleteFile(nom);
        };
        for (std::size_t k = 0; k < tranches.Nombre(); ++k) {
            noms.push_back(std::string(temporaire) + "." + std::to_string(k + 1));
            paquets.push_back(plat::File::Open(noms.back(), "w+b"));
            if (!paquets.back()) {
                Nettoyer();
                return ResultatPreTri::TemporaireImpossible;
            }
        }
        {
            Progression progression(options.progression, taille);
            LecteurEnregistrements lecteur(source);
            std::size_t numero = 0;
            for (std::string_view texte; numero < nombre && lecteur.Suivant(texte); ++numero) {
                plat::File& paquet = paquets[tranches.tranche[position[numero]]];
                paquet.Write(texte.data(), 1, texte.size());
                paquet.Putc('\n');
                progression.Avancer(source.Tell());
            }
        }
        for (std::size_t k = 0; k < tranches.Nombre(); ++k) {
            plat::File& paquet = paquets[k];
            const std::size_t debut = tranches.debuts[k];
            assembleur.Commencer(debut, tranches.debuts[k + 1]);
            bool lu = paquet.Flush() && paquet.Seek(0, SEEK_SET);
            for (std::size_t numero = 0; lu && numero < nombre; ++numero) {
                const std::size_t p = position[numero];
                if (tranches.tranche[p] != k) continue;
                const std::size_t n = longueurs[numero] + 1;
                lu = paquet.Read(assembleur.Place(p), 1, n) == n;
            }
            paquet.Close();
            plat::DeleteFile(noms[k]);
            if (!lu || !assembleur.Ecrire(copie)) {
                Nettoyer();
                return ResultatPreTri::TemporaireImpossible;
            }
        }
    }
    source.Close();
    if (!copie.Close()) return ResultatPreTri::TemporaireImpossible;

    if (!plat::DeleteFile(fichier) || !plat::MoveFile(temporaire, fichier))
        return ResultatPreTri::RemplacementImpossible;
    return ResultatPreTri::Fait;
}
