#include "import/PreTriFichier.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "import/LignesFournisseur.h"
#include "import/PreTri.h"
#include "platform/fs/fs.h"

namespace {

// Follows the work of a pass and reports whole percentages when they change.
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

// Records kept in memory, in file order, up to a size: their texts end to end
// with their line feeds.
class Lot {
public:
    // attendu: the bytes expected in all, so that a small file does not
    // reserve a whole lot.
    Lot(std::size_t taille, std::size_t attendu) : taille_(taille) {
        texte_.reserve(std::min(taille_, attendu) + kLigneEnregistrement + 1);
    }

    bool Plein(std::size_t texte) const {
        return !numeros_.empty() && texte_.size() + texte + 1 > taille_;
    }
    void Ajouter(std::string_view texte, std::uint32_t numero) {
        debuts_.push_back(texte_.size());
        texte_.append(texte);
        texte_.push_back('\n');
        numeros_.push_back(numero);
    }
    bool Vide() const { return numeros_.empty(); }

    // The records in regrouped order: by the place of their group, in file
    // order within a group (a counting sort on the groups present).
    void Regrouper(const PreTri& tri, std::vector<std::uint32_t>& ordre) {
        const std::vector<std::uint32_t> groupes = tri.OrdreGroupes();
        place_.resize(groupes.size());
        for (std::size_t i = 0; i < groupes.size(); ++i)
            place_[groupes[i]] = static_cast<std::uint32_t>(i);
        debutPlace_.assign(groupes.size() + 1, 0);
        for (const std::uint32_t numero : numeros_)
            ++debutPlace_[place_[tri.Groupe(tri.CleEnregistrement(numero))] + 1];
        for (std::size_t i = 1; i < debutPlace_.size(); ++i) debutPlace_[i] += debutPlace_[i - 1];
        ordre.resize(numeros_.size());
        for (std::size_t i = 0; i < numeros_.size(); ++i) {
            const std::uint32_t place = place_[tri.Groupe(tri.CleEnregistrement(numeros_[i]))];
            ordre[debutPlace_[place]++] = static_cast<std::uint32_t>(i);
        }
    }

    // Writes the records in the order given (places in the lot); false on
    // a write error.
    bool Ecrire(plat::File& fichier, const std::vector<std::uint32_t>& ordre) {
        for (const std::uint32_t i : ordre) {
            const std::size_t debut = debuts_[i];
            const std::size_t fin = i + 1 < debuts_.size() ? debuts_[i + 1] : texte_.size();
            if (fichier.Write(texte_.data() + debut, 1, fin - debut) != fin - debut) return false;
        }
        return true;
    }
    // Numbers of the records at the places given.
    void Numeros(const std::vector<std::uint32_t>& ordre, std::vector<std::uint32_t>& numeros) {
        for (const std::uint32_t i : ordre) numeros.push_back(numeros_[i]);
    }
    void Vider() {
        texte_.clear();
        debuts_.clear();
        numeros_.clear();
    }

private:
    std::size_t taille_;
    std::string texte_;
    std::vector<std::size_t> debuts_;
    std::vector<std::uint32_t> numeros_;
    std::vector<std::uint32_t> place_;       // by group: its place in the regrouped order
    std::vector<std::uint32_t> debutPlace_;  // by place: where its records go
};

// The work file of the runs, deleted on every way out.
class FichierTravail {
public:
    explicit FichierTravail(std::string nom) : nom_(std::move(nom)) {}
    ~FichierTravail() { plat::DeleteFile(nom_); }
    FichierTravail(const FichierTravail&) = delete;
    FichierTravail& operator=(const FichierTravail&) = delete;
    const std::string& Nom() const { return nom_; }

private:
    std::string nom_;
};

// One regrouped run of the work file: its records' numbers in its order, and
// where it starts in the file.
struct Sequence {
    std::size_t premier = 0;  // into the numbers of all runs
    std::size_t fin = 0;
    std::int64_t debut = 0;
};

// Writes the runs merged into the copy: for each group in regrouped order,
// the records of that group of every run, run after run (runs follow the
// file's order, so this keeps file order within a group).
bool Fusionner(const PreTri& tri, const std::vector<Sequence>& sequences,
               const std::vector<std::uint32_t>& numeros,
               const std::vector<std::uint32_t>& longueurs, const std::string& travail,
               plat::File& copie, const std::function<void(int)>& rapport, std::size_t total) {
    std::vector<plat::File> lecteurs;
    std::vector<std::size_t> suivants;
    for (const Sequence& sequence : sequences) {
        // Each run is read in order, but the runs in turns: no read ahead.
        lecteurs.push_back(plat::File::Open(travail, "rbR"));
        if (!lecteurs.back() || !lecteurs.back().Seek(sequence.debut, SEEK_SET)) return false;
        suivants.push_back(sequence.premier);
    }

    Progression progression(rapport, static_cast<std::int64_t>(total));
    std::size_t fait = 0;
    std::string tampon;
    constexpr std::size_t kTampon = std::size_t{1} << 20;
    tampon.reserve(kTampon + kLigneEnregistrement + 1);
    for (const std::uint32_t groupe : tri.OrdreGroupes()) {
        for (std::size_t s = 0; s < sequences.size(); ++s) {
            std::size_t& suivant = suivants[s];
            for (; suivant < sequences[s].fin &&
                   tri.Groupe(tri.CleEnregistrement(numeros[suivant])) == groupe;
                 ++suivant) {
                const std::size_t n = longueurs[numeros[suivant]] + 1;
                const std::size_t avant = tampon.size();
                tampon.resize(avant + n);
                if (lecteurs[s].Read(tampon.data() + avant, 1, n) != n) return false;
                fait += n;
            }
            if (tampon.size() >= kTampon) {
                if (copie.Write(tampon.data(), 1, tampon.size()) != tampon.size()) return false;
                tampon.clear();
                progression.Avancer(static_cast<std::int64_t>(fait));
            }
        }
    }
    return copie.Write(tampon.data(), 1, tampon.size()) == tampon.size();
}

}  // namespace

std::size_t TailleTrancheParDefaut(std::size_t NombreEnregistrements) {
    return (std::size_t{8} << 20) + 24 * NombreEnregistrements;
}

ResultatPreTri PreTrierFichier(std::string_view fichier, std::string_view temporaire,
                               const PreTriFichier& options,
                               std::vector<std::uint8_t>& pChangeRecord) {
    plat::File source = plat::File::Open(fichier, "r");
    if (!source) return ResultatPreTri::FichierIllisible;
    const std::int64_t taille = plat::FileSize(fichier);
    // A record costs about 400 bytes: the size of the lot follows the size
    // of the file as the default slice follows the number of records.
    const auto octets = static_cast<std::size_t>(std::max<std::int64_t>(taille, 0));
    Lot lot(std::max<std::size_t>(options.tailleTranche ? options.tailleTranche
                                                        : TailleTrancheParDefaut(octets / 400),
                                  1),
            octets);

    // One reading of the file: the key and the length of every record; the
    // records themselves go by lots, each regrouped in memory, to a work
    // file when the file does not fit in one lot.
    PreTri tri(options.preTri, options.keyLengths);
    std::vector<std::uint32_t> longueurs;
    std::size_t total = 0;
    FichierTravail travail(std::string(temporaire) + ".1");
    plat::File runs;
    std::vector<Sequence> sequences;
    std::vector<std::uint32_t> numeros;  // of the runs, each in its order
    std::vector<std::uint32_t> ordre;
    auto EcrireSequence = [&] {
        if (!runs) {
            runs = plat::File::Open(travail.Nom(), "wb");
            if (!runs) return false;
        }
        lot.Regrouper(tri, ordre);
        Sequence sequence;
        sequence.premier = numeros.size();
        sequence.debut = runs.Tell();
        lot.Numeros(ordre, numeros);
        sequence.fin = numeros.size();
        sequences.push_back(sequence);
        const bool ecrit = lot.Ecrire(runs, ordre);
        lot.Vider();
        return ecrit;
    };
    {
        Progression progression(options.progression, taille);
        LecteurEnregistrements lecteur(source);
        for (std::string_view texte; lecteur.Suivant(texte);) {
            if (lot.Plein(texte.size()) && !EcrireSequence())
                return ResultatPreTri::TemporaireImpossible;
            lot.Ajouter(texte, static_cast<std::uint32_t>(longueurs.size()));
            tri.AjouterEnregistrement(texte);
            longueurs.push_back(static_cast<std::uint32_t>(texte.size()));
            total += texte.size() + 1;
            progression.Avancer(source.Tell());
        }
    }
    pChangeRecord = tri.Ordonner().pChangeRecord;

    plat::File copie = plat::File::Open(temporaire, "w");
    if (!copie) return ResultatPreTri::TemporaireImpossible;
    if (sequences.empty()) {
        // The whole file fits in one lot.
        lot.Regrouper(tri, ordre);
        if (!lot.Ecrire(copie, ordre)) return ResultatPreTri::TemporaireImpossible;
    } else {
        if (!lot.Vide() && !EcrireSequence()) return ResultatPreTri::TemporaireImpossible;
        if (!runs.Close() || !Fusionner(tri, sequences, numeros, longueurs, travail.Nom(), copie,
                                        options.progression, total))
            return ResultatPreTri::TemporaireImpossible;
    }
    source.Close();
    if (!copie.Close()) return ResultatPreTri::TemporaireImpossible;

    if (!plat::DeleteFile(fichier) || !plat::MoveFile(temporaire, fichier))
        return ResultatPreTri::RemplacementImpossible;
    return ResultatPreTri::Fait;
}
