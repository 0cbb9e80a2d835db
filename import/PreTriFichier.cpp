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

// A record of a run, as the merge needs it.
struct EntreeSequence {
    std::uint32_t groupe;
    std::uint32_t longueur;  // of its line, line feed included
};

// Records kept in memory, in file order, up to a size: their texts end to end
// with their line feeds.
class Lot {
public:
    explicit Lot(std::size_t taille) : taille_(taille) {}
    // attendu: the bytes expected in all, so that a small file does not
    // reserve a whole lot.
    void Reserver(std::size_t attendu) {
        texte_.reserve(std::min(taille_, attendu) + kLigneEnregistrement + 1);
    }
    void Liberer() {
        std::string().swap(texte_);
        std::vector<std::size_t>().swap(debuts_);
    }

    bool Plein(std::size_t texte) const {
        return !groupes_.empty() && texte_.size() + texte + 1 > taille_;
    }
    // groupe: the group of the last level that the record belongs to.
    void Ajouter(std::string_view texte, std::uint32_t groupe) {
        debuts_.push_back(texte_.size());
        texte_.append(texte);
        texte_.push_back('\n');
        groupes_.push_back(groupe);
    }
    bool Vide() const { return groupes_.empty(); }

    // The records in regrouped order: by the place of their group, in file
    // order within a group (a counting sort on the groups present).
    void Regrouper(const PreTri& tri, std::vector<std::uint32_t>& ordre) {
        const std::vector<std::uint32_t> groupes = tri.OrdreGroupes();
        place_.resize(groupes.size());
        for (std::size_t i = 0; i < groupes.size(); ++i)
            place_[groupes[i]] = static_cast<std::uint32_t>(i);
        debutPlace_.assign(groupes.size() + 1, 0);
        for (const std::uint32_t groupe : groupes_) ++debutPlace_[place_[groupe] + 1];
        for (std::size_t i = 1; i < debutPlace_.size(); ++i) debutPlace_[i] += debutPlace_[i - 1];
        ordre.resize(groupes_.size());
        for (std::size_t i = 0; i < groupes_.size(); ++i)
            ordre[debutPlace_[place_[groupes_[i]]]++] = static_cast<std::uint32_t>(i);
    }

    // The record at place i, its line feed included.
    std::string_view Ligne(std::size_t i) const {
        const std::size_t debut = debuts_[i];
        const std::size_t fin = i + 1 < debuts_.size() ? debuts_[i + 1] : texte_.size();
        return std::string_view(texte_).substr(debut, fin - debut);
    }
    // Writes the records in the order given (places in the lot); false on
    // a write error.
    bool Ecrire(plat::File& fichier, const std::vector<std::uint32_t>& ordre) {
        for (const std::uint32_t i : ordre) {
            const std::string_view ligne = Ligne(i);
            if (fichier.Write(ligne.data(), 1, ligne.size()) != ligne.size()) return false;
        }
        return true;
    }
    // The group and the line length of the records at the places given.
    void Decrire(const std::vector<std::uint32_t>& ordre, std::vector<EntreeSequence>& entrees) {
        for (const std::uint32_t i : ordre)
            entrees.push_back({groupes_[i], static_cast<std::uint32_t>(Ligne(i).size())});
    }
    void Vider() {
        texte_.clear();
        debuts_.clear();
        groupes_.clear();
    }

private:
    std::size_t taille_;
    std::string texte_;
    std::vector<std::size_t> debuts_;
    std::vector<std::uint32_t> groupes_;
    std::vector<std::uint32_t> place_;       // by group: its place in the regrouped order
    std::vector<std::uint32_t> debutPlace_;  // by place: where its records go
};

// More runs than this would keep too many files open during the merge.
constexpr std::size_t kSequencesMax = 64;

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

// One regrouped run of the work file: its records (among the entries of all
// runs), and where it starts in the file.
struct Sequence {
    std::size_t premier = 0;  // into the entries of all runs
    std::size_t fin = 0;
    std::int64_t debut = 0;
};

}  // namespace

std::size_t TailleTrancheParDefaut(std::size_t NombreEnregistrements) {
    return (std::size_t{8} << 20) + 24 * NombreEnregistrements;
}

// What the copy needs once the file is read: the records, in a lot or in the
// runs of the work file, and where the copy stands.
struct CopieRegroupee::Etat {
    Etat(const PreTriFichier& options, std::size_t taille)
        : tri(options.preTri, options.keyLengths), lot(taille) {}

    std::string fichier, temporaire;
    PreTri tri;
    Lot lot;
    std::unique_ptr<FichierTravail> travail;
    std::vector<Sequence> sequences;
    std::vector<EntreeSequence> entrees;  // of the runs, each in its order
    std::vector<std::uint32_t> ordre;     // of the lot when it holds every record
    plat::File copie;
    bool erreur = false;

    // Where the copy stands: the place in the lot, or the group, the run and
    // each run's next record.
    std::size_t place = 0;
    std::vector<std::uint32_t> groupes;
    std::size_t groupe = 0, sequence = 0;
    std::vector<std::size_t> suivants;
    std::vector<plat::File> lecteurs;
    std::string ligne;

    bool OuvrirSequences() {
        groupes = tri.OrdreGroupes();
        for (const Sequence& s : sequences) {
            // Each run is read in order, but the runs in turns: no read ahead.
            lecteurs.push_back(plat::File::Open(travail->Nom(), "rbR"));
            if (!lecteurs.back() || !lecteurs.back().Seek(s.debut, SEEK_SET)) return false;
            suivants.push_back(s.premier);
        }
        return true;
    }

    // The next record in regrouped order: for each group, the records of
    // that group of every run, run after run (runs follow the file's order,
    // so this keeps file order within a group).
    bool Suivante(std::string_view& texte) {
        if (sequences.empty()) {
            if (place == ordre.size()) return false;
            texte = lot.Ligne(ordre[place++]);
            return true;
        }
        for (; groupe < groupes.size(); ++groupe, sequence = 0) {
            for (; sequence < sequences.size(); ++sequence) {
                std::size_t& suivant = suivants[sequence];
                if (suivant == sequences[sequence].fin ||
                    entrees[suivant].groupe != groupes[groupe])
                    continue;
                const std::size_t n = entrees[suivant].longueur;
                ligne.resize(n);
                if (lecteurs[sequence].Read(ligne.data(), 1, n) != n) {
                    erreur = true;
                    return false;
                }
                ++suivant;
                texte = ligne;
                return true;
            }
        }
        return false;
    }
};

CopieRegroupee::CopieRegroupee(std::unique_ptr<Etat> etat) : etat_(std::move(etat)) {}

const std::string& CopieRegroupee::Fichier() const {
    return etat_->fichier;
}

const std::string& CopieRegroupee::Temporaire() const {
    return etat_->temporaire;
}

CopieRegroupee::~CopieRegroupee() {
    if (!termine_) Terminer();
}

ResultatPreTri CopieRegroupee::Commencer(std::string_view fichier, std::string_view temporaire,
                                         const PreTriFichier& options,
                                         std::vector<std::uint8_t>& pChangeRecord,
                                         std::unique_ptr<CopieRegroupee>& resultat) {
    plat::File source = plat::File::Open(fichier, "r");
    if (!source) return ResultatPreTri::FichierIllisible;
    const std::int64_t taille = plat::FileSize(fichier);
    // A record costs about 400 bytes: the size of the lot follows the size
    // of the file as the default slice follows the number of records.
    const auto octets = static_cast<std::size_t>(std::max<std::int64_t>(taille, 0));
    const std::size_t demande =
        options.tailleTranche ? options.tailleTranche : TailleTrancheParDefaut(octets / 400);
    // The merge keeps a file open per run: lots grow rather than pass
    // kSequencesMax runs.
    auto etat = std::make_unique<Etat>(
        options, std::max({demande, octets / kSequencesMax + 1, std::size_t{1}}));
    Etat& e = *etat;
    e.lot.Reserver(octets);
    e.fichier = fichier;
    e.temporaire = temporaire;

    // One reading of the file: the key and the length of every record; the
    // records themselves go by lots, each regrouped in memory, to a work
    // file when the file does not fit in one lot.
    std::int64_t total = 0;
    plat::File runs;
    auto EcrireSequence = [&] {
        if (!runs) {
            e.travail = std::make_unique<FichierTravail>(e.temporaire + ".1");
            runs = plat::File::Open(e.travail->Nom(), "wb");
            if (!runs) return false;
        }
        e.lot.Regrouper(e.tri, e.ordre);
        Sequence sequence;
        sequence.premier = e.entrees.size();
        sequence.debut = runs.Tell();
        e.lot.Decrire(e.ordre, e.entrees);
        sequence.fin = e.entrees.size();
        e.sequences.push_back(sequence);
        const bool ecrit = e.lot.Ecrire(runs, e.ordre);
        e.lot.Vider();
        return ecrit;
    };
    {
        Progression progression(options.progression, taille);
        LecteurEnregistrements lecteur(source);
        for (std::string_view texte; lecteur.Suivant(texte);) {
            if (e.lot.Plein(texte.size()) && !EcrireSequence())
                return ResultatPreTri::TemporaireImpossible;
            e.lot.Ajouter(texte, e.tri.Groupe(e.tri.AjouterEnregistrement(texte)));
            total += static_cast<std::int64_t>(texte.size()) + 2;
            progression.Avancer(source.Tell());
        }
    }
    source.Close();
    pChangeRecord = e.tri.Ordonner().pChangeRecord;

    if (e.sequences.empty()) {
        e.lot.Regrouper(e.tri, e.ordre);
    } else {
        if (!e.lot.Vide() && !EcrireSequence()) return ResultatPreTri::TemporaireImpossible;
        e.lot.Liberer();
        if (!runs.Close() || !e.OuvrirSequences()) return ResultatPreTri::TemporaireImpossible;
    }
    e.copie = plat::File::Open(e.temporaire, "w");
    if (!e.copie) return ResultatPreTri::TemporaireImpossible;
    resultat = std::make_unique<CopieRegroupee>(std::move(etat));
    resultat->taille_ = total;
    return ResultatPreTri::Fait;
}

bool CopieRegroupee::Suivante(std::string_view& ligne) {
    Etat& e = *etat_;
    if (termine_ || e.erreur || !e.Suivante(ligne)) return false;
    if (e.copie.Write(ligne.data(), 1, ligne.size()) != ligne.size()) {
        e.erreur = true;
        return false;
    }
    position_ += static_cast<std::int64_t>(ligne.size()) + 1;
    return true;
}

ResultatPreTri CopieRegroupee::Terminer() {
    termine_ = true;
    Etat& e = *etat_;
    for (std::string_view ligne; !e.erreur && e.Suivante(ligne);) {
        if (e.copie.Write(ligne.data(), 1, ligne.size()) != ligne.size()) e.erreur = true;
    }
    e.lecteurs.clear();
    e.travail.reset();
    if (!e.copie.Close() || e.erreur) {
        plat::DeleteFile(e.temporaire);
        return ResultatPreTri::TemporaireImpossible;
    }
    if (!plat::DeleteFile(e.fichier) || !plat::MoveFile(e.temporaire, e.fichier))
        return ResultatPreTri::RemplacementImpossible;
    return ResultatPreTri::Fait;
}

ResultatPreTri PreTrierFichier(std::string_view fichier, std::string_view temporaire,
                               const PreTriFichier& options,
                               std::vector<std::uint8_t>& pChangeRecord) {
    std::unique_ptr<CopieRegroupee> copie;
    const ResultatPreTri debut =
        CopieRegroupee::Commencer(fichier, temporaire, options, pChangeRecord, copie);
    return debut == ResultatPreTri::Fait ? copie->Terminer() : debut;
}
