#include "import/PreTriFichier.h"

#include <algorithm>
#include <cstring>

#include "import/LignesFournisseur.h"
#include "import/OctetsHors.h"
#include "import/PreTri.h"
#include "import/RunHelpers.h"
#include "platform/fs/fs.h"
#include "platform/fs/fs_durable.h"
#include "platform/memory.h"

namespace {

// The progress of a reading of taille bytes: 0 at once, then every change
// of the whole percentage read.
ProgressionParLignes Progression(const PreTriFichier& options, std::int64_t taille) {
    std::function<void(int)> rapport = options.progression;
    if (!rapport) rapport = [](int) {};
    rapport(0);
    return ProgressionParLignes(taille, std::move(rapport));
}

// The line end of every record of the copy.
constexpr std::string_view kFinLigne = "\r\n";

// The records of the file in file order: the length of each one's text and
// the place of its group in the regrouped order.
struct Enregistrements {
    std::vector<std::uint32_t> longueurs;
    // What the record's line takes beyond its text: its line end, "\n" (1)
    // or "\r\n" (2); 0 when the line is of another kind (lines before it
    // that are a line feed alone, a text cut at a zero byte or a piece of a
    // long line), to be read as the first reading read it.
    std::vector<std::uint8_t> fins;
    std::vector<std::uint32_t> places;
    std::size_t Nombre() const { return longueurs.size(); }
    std::size_t Copie(std::size_t i) const { return longueurs[i] + kFinLigne.size(); }
};

// The next record of the file, as a read of a line and its text give it
// (LignesFournisseur.h); a line feed alone is no record. texte stays valid
// until the next call on the stream. A line of the usual kind is found in
// the stream's bytes with one look at them: finLigne is then the length of
// its line end ("\n" or "\r\n"), which follows the text in the file; 0 for
// a line of another kind.
bool EnregistrementSuivant(plat::File& source, std::string_view& texte, std::uint8_t& finLigne) {
    finLigne = 0;
    for (bool seule = true;; seule = false) {
        const std::string_view tampon = source.Buffered(kLigneEnregistrement + 1);
        if (tampon.empty()) return false;
        std::size_t zero = 0;
        const std::size_t fin =
            FinDeLigne(reinterpret_cast<const unsigned char*>(tampon.data()), tampon.size(), zero);
        const std::size_t avant = fin < tampon.size() ? AvantFinDeLigne(tampon, fin) : 0;
        if (fin < tampon.size() && avant + 1 <= kLigneEnregistrement) {
            source.Skip(fin + 1);
            if (avant == 0) continue;  // a line feed alone
            texte = tampon.substr(0, std::min(zero, avant));
            if (seule && zero >= avant) finLigne = static_cast<std::uint8_t>(fin + 1 - avant);
            return true;
        }
        std::string_view ligne;
        if (!source.ReadLineView(ligne, kLigneEnregistrement + 1)) return false;
        if (!EstEnregistrement(ligne)) continue;
        texte = TexteLigne(ligne);
        return true;
    }
}

// The cache lines of octets at cible, asked for ahead of a write there.
void AnnoncerEcriture([[maybe_unused]] const char* cible, [[maybe_unused]] std::size_t octets) {
#if defined(__GNUC__)
    constexpr std::size_t kLigneCache = 64;
    for (std::size_t o = 0; o < octets; o += kLigneCache) __builtin_prefetch(cible + o, 1);
    if (octets > 0) __builtin_prefetch(cible + octets - 1, 1);
#endif
}

// The copy deleted on every way out but success.
class Copie {
public:
    explicit Copie(std::string nom) : nom_(std::move(nom)) {}
    ~Copie() {
        if (!garde_) return;
        fichier_.Close();
        plat::DeleteFile(nom_);
    }
    Copie(const Copie&) = delete;
    Copie& operator=(const Copie&) = delete;

    bool Ouvrir() {
        fichier_ = plat::File::Open(nom_, "wb");
        garde_ = static_cast<bool>(fichier_);
        return garde_;
    }
    plat::File& Fichier() { return fichier_; }
    // Closed and kept; false when it could not be written whole.
    bool Garder() {
        const bool ferme = fichier_.Close();
        if (ferme) garde_ = false;
        return ferme;
    }

private:
    std::string nom_;
    plat::File fichier_;
    bool garde_ = false;
};

// The records of the file read in lots, each lot regrouped in memory and
// written behind, group by group, every group's records at the place where
// that group has got to in the copy. Two lots alternate: one fills while the
// other is written.
class CopieParLots {
public:
    CopieParLots(const Enregistrements& e, std::vector<std::int64_t> curseurs)
        : e_(e),
          curseurs_(std::move(curseurs)),
          octets_(curseurs_.size(), 0),
          suites_(curseurs_.size(), 0) {}

    // Records [premier, fin) from the source, which is at the first of them,
    // octets in the copy. FichierIllisible when the file no longer gives the
    // records it gave.
    ResultatPreTri Copier(plat::File& source, plat::File& copie, std::size_t premier,
                          std::size_t fin, std::size_t octets) {
        plat::LargeBuffer& lot = lots_[suivant_];
        suivant_ ^= 1;
        lot.Resize(octets);
        Placer(premier, fin);
        std::size_t i = premier;
        for (std::string_view texte; i < fin && Relire(source, i, texte); ++i) {
            if (texte.size() != e_.longueurs[i]) break;
            // The records go to a place of their group, some thousand places
            // through the lot and none in the cache: the place of a record
            // a few ahead is fetched while this one is copied.
            if (i + kAvance < fin)
                AnnoncerEcriture(lot.data() + cibles_[i + kAvance - premier],
                                 e_.Copie(i + kAvance));
            char* cible = lot.data() + cibles_[i - premier];
            std::memcpy(cible, texte.data(), texte.size());
            std::memcpy(cible + texte.size(), kFinLigne.data(), kFinLigne.size());
        }
        if (i != fin) return ResultatPreTri::FichierIllisible;
        std::vector<plat::File::Placed> morceaux;
        morceaux.reserve(groupes_.size());
        for (const std::uint32_t place : groupes_) {
            const std::size_t debut = suites_[place] - octets_[place];
            morceaux.push_back(
                {curseurs_[place], std::string_view(lot.data() + debut, octets_[place])});
            curseurs_[place] += static_cast<std::int64_t>(octets_[place]);
            octets_[place] = 0;
        }
        return copie.WriteBehind(std::move(morceaux)) ? ResultatPreTri::Fait
                                                      : ResultatPreTri::TemporaireImpossible;
    }

private:
    // Record i again: a line of the usual kind is taken from its known
    // length, its line end checked, without a look at its text.
    bool Relire(plat::File& source, std::size_t i, std::string_view& texte) {
        const std::size_t longueur = e_.longueurs[i];
        const std::size_t finLigne = e_.fins[i];
        if (finLigne != 0) {
            const std::size_t octets = longueur + finLigne;
            const std::string_view tampon = source.Buffered(octets);
            if (tampon.size() >= octets && tampon[octets - 1] == '\n' &&
                (finLigne == 1 || tampon[longueur] == '\r')) {
                texte = tampon.substr(0, longueur);
                source.Skip(octets);
                return true;
            }
        }
        std::uint8_t finLue = 0;
        return EnregistrementSuivant(source, texte, finLue);
    }

    // Where each record of the lot goes in it: by group, in file order
    // within a group, and the groups in the copy's order, so that the
    // writes go forward through it.
    void Placer(std::size_t premier, std::size_t fin) {
        groupes_.clear();
        for (std::size_t i = premier; i < fin; ++i) {
            const std::uint32_t place = e_.places[i];
            if (octets_[place] == 0) groupes_.push_back(place);
            octets_[place] += e_.Copie(i);
        }
        std::sort(groupes_.begin(), groupes_.end());
        std::size_t position = 0;
        for (const std::uint32_t place : groupes_) {
            suites_[place] = position;
            position += octets_[place];
        }
        cibles_.resize(fin - premier);
        for (std::size_t i = premier; i < fin; ++i) {
            cibles_[i - premier] = suites_[e_.places[i]];
            suites_[e_.places[i]] += e_.Copie(i);
        }
    }

    static constexpr std::size_t kAvance = 8;  // records ahead whose place is fetched

    const Enregistrements& e_;
    // By group place: where the group has got to in the copy, and what its
    // records of the lot take in the lot and where they end there.
    std::vector<std::int64_t> curseurs_;
    std::vector<std::size_t> octets_, suites_;
    std::vector<std::uint32_t> groupes_;  // the places of the lot's groups
    std::vector<std::size_t> cibles_;     // by record of the lot
    // One fills while the other is written. Ordinary pages: each lot's
    // pages are touched a dozen times in a run, too few for new large pages
    // to pay for themselves.
    plat::LargeBuffer lots_[2] = {plat::LargeBuffer(plat::LargeBuffer::Pages::Ordinary),
                                  plat::LargeBuffer(plat::LargeBuffer::Pages::Ordinary)};
    int suivant_ = 0;
};

// The first reading: every record's length, key and group.
bool LireCles(plat::File& source, std::int64_t taille, PreTri& tri, Enregistrements& e,
              const PreTriFichier& options) {
    ProgressionParLignes progression = Progression(options, taille);
    std::string_view texte;
    for (std::uint8_t finLigne = 0; EnregistrementSuivant(source, texte, finLigne);) {
        tri.AjouterEnregistrement(texte);
        e.longueurs.push_back(static_cast<std::uint32_t>(texte.size()));
        e.fins.push_back(finLigne);
        progression.Avancer(source.Tell());
    }
    return !source.Error();
}

// Where each group starts in the copy, by the group's place in the
// regrouped order, then where the copy ends; and the place of every
// record's group.
std::vector<std::int64_t> DebutsGroupes(const PreTri& tri, Enregistrements& e) {
    const std::vector<std::uint32_t> groupes = tri.OrdreGroupes();
    std::vector<std::uint32_t> place(groupes.size());
    for (std::size_t i = 0; i < groupes.size(); ++i)
        place[groupes[i]] = static_cast<std::uint32_t>(i);
    std::vector<std::int64_t> debuts(groupes.size() + 1, 0);
    e.places.resize(e.Nombre());
    for (std::size_t i = 0; i < e.Nombre(); ++i) {
        e.places[i] = place[tri.Groupe(tri.CleEnregistrement(i))];
        debuts[e.places[i] + 1] += static_cast<std::int64_t>(e.Copie(i));
    }
    for (std::size_t i = 1; i < debuts.size(); ++i) debuts[i] += debuts[i - 1];
    return debuts;
}

}  // namespace

// Two lots are held at once and stay, with the tables of the records, within
// 64 MB and 64 bytes a record. The larger a lot, the larger the piece of each
// group it writes at once, and the cheaper those scattered writes.
std::size_t TailleTrancheParDefaut(std::size_t NombreEnregistrements) {
    return (std::size_t{16} << 20) + 24 * NombreEnregistrements;
}

ResultatPreTri PreTrierFichier(std::string_view fichier, std::string_view temporaire,
                               const PreTriFichier& options,
                               std::vector<std::uint8_t>& pChangeRecord) {
    plat::File source = plat::File::Open(fichier, "r");
    if (!source) return ResultatPreTri::FichierIllisible;
    const std::int64_t taille = plat::FileSize(fichier);

    Enregistrements e;
    std::vector<std::int64_t> debutsGroupes;
    {
        PreTri tri(options.preTri, options.keyLengths);
        if (!LireCles(source, taille, tri, e, options)) return ResultatPreTri::FichierIllisible;
        debutsGroupes = DebutsGroupes(tri, e);
        pChangeRecord = tri.MarquesChangement();
    }
    source = plat::File::Open(fichier, "r");
    if (!source) return ResultatPreTri::FichierIllisible;

    Copie copie{std::string(temporaire)};
    if (!copie.Ouvrir()) return ResultatPreTri::TemporaireImpossible;
    // The lots write each group's records at its own place: the room taken
    // at once makes those scattered writes cheaper, and a disk too full
    // shows before the copy.
    const std::int64_t octetsCopie = debutsGroupes.back();
    debutsGroupes.pop_back();
    if (!copie.Fichier().Reserve(octetsCopie)) return ResultatPreTri::TemporaireImpossible;
    // A record costs about 400 bytes: the lot follows the size of the file
    // as the default follows the number of records.
    const auto octets = static_cast<std::size_t>(std::max<std::int64_t>(taille, 0));
    const std::size_t tranche = std::max<std::size_t>(
        1, options.tailleTranche ? options.tailleTranche : TailleTrancheParDefaut(octets / 400));
    CopieParLots lots(e, std::move(debutsGroupes));
    ProgressionParLignes progression = Progression(options, taille);
    for (std::size_t premier = 0, fin = 0; premier < e.Nombre(); premier = fin) {
        std::size_t lot = 0;
        for (fin = premier; fin < e.Nombre(); ++fin) {
            if (fin > premier && lot + e.Copie(fin) > tranche) break;
            lot += e.Copie(fin);
        }
        const ResultatPreTri resultat = lots.Copier(source, copie.Fichier(), premier, fin, lot);
        if (resultat != ResultatPreTri::Fait) return resultat;
        progression.Avancer(source.Tell());
        // The file goes once copied: its cache goes back now, while this
        // thread waits on the copy's writes, rather than all at once beside
        // the pass.
        source.Forget(source.Tell());
    }
    source.Close();
    if (!copie.Garder()) return ResultatPreTri::TemporaireImpossible;
    // One rename over the supplier's file, once the copy is on the disk: a
    // kill at any moment leaves one whole version of it.
    if (!plat::SyncFile(temporaire) || !plat::ReplaceFile(temporaire, fichier))
        return ResultatPreTri::RemplacementImpossible;
    return ResultatPreTri::Fait;
}
