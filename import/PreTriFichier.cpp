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
    bool Suivant(std::string_view& texte) {
        while (fichier_.GetLine(ligne_, kLigneEnregistrement + 1)) {
            if (!EstLigneSac(ligne_)) continue;
            texte = TexteLigne(ligne_);
            return true;
        }
        return false;
    }

private:
    plat::File& fichier_;
    std::string ligne_;
};

}  // namespace

std::size_t TailleTrancheParDefaut(std::size_t NombreEnregistrements) {
    return (std::size_t{16} << 20) + 40 * NombreEnregistrements;
}

ResultatPreTri PreTrierFichier(std::string_view fichier, std::string_view temporaire,
                               const PreTriFichier& options,
                               std::vector<std::uint8_t>& pChangeRecord) {
    plat::File source = plat::File::Open(fichier, "r");
    if (!source) return ResultatPreTri::FichierIllisible;
    const std::int64_t taille = plat::FileSize(fichier);

    // Key pass: the key and the length of every record.
    PreTri tri(options.preTri, options.keyLengths);
    std::vector<std::uint32_t> longueurs;
    {
        Progression progression(options.progression, taille);
        LecteurEnregistrements lecteur(source);
        for (std::string_view texte; lecteur.Suivant(texte);) {
            tri.AjouterEnregistrement(texte);
            longueurs.push_back(static_cast<std::uint32_t>(texte.size()));
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

    const std::size_t tranche = std::max<std::size_t>(
        options.tailleTranche ? options.tailleTranche : TailleTrancheParDefaut(nombre), 1);
    std::vector<char> tampon;
    std::vector<std::size_t> decalage;  // offset in the slice, by position
    for (std::size_t debut = 0; debut < nombre;) {
        // The slice: positions debut .. fin - 1, each record followed by a line feed.
        std::size_t fin = debut;
        std::size_t octets = 0;
        decalage.clear();
        while (fin < nombre &&
               (fin == debut || octets + longueurs[ordre.pRang[fin]] + 1 <= tranche)) {
            decalage.push_back(octets);
            octets += longueurs[ordre.pRang[fin]] + 1;
            ++fin;
        }
        tampon.resize(octets);

        source.Seek(0, SEEK_SET);
        Progression progression(options.progression, static_cast<std::int64_t>(nombre));
        LecteurEnregistrements lecteur(source);
        std::size_t restants = fin - debut;
        std::size_t numero = 0;
        for (std::string_view texte; restants > 0 && lecteur.Suivant(texte); ++numero) {
            const std::size_t p = position[numero];
            if (p < debut || p >= fin) continue;
            char* place = tampon.data() + decalage[p - debut];
            std::memcpy(place, texte.data(), texte.size());
            place[texte.size()] = '\n';
            --restants;
            progression.Avancer(static_cast<std::int64_t>(fin - debut - restants));
        }
        if (copie.Write(tampon.data(), 1, tampon.size()) != tampon.size())
            return ResultatPreTri::TemporaireImpossible;
        debut = fin;
    }
    source.Close();
    if (!copie.Close()) return ResultatPreTri::TemporaireImpossible;

    if (!plat::DeleteFile(fichier) || !plat::MoveFile(temporaire, fichier))
        return ResultatPreTri::RemplacementImpossible;
    return ResultatPreTri::Fait;
}
