// The record emitters of the supplier conversion: each turns one supplier
// record into one record of a base file and appends it to an open file.
//
// Subscriber record (slot 0), fields in the order they are written (a later
// write wins where two share a position): the title code at position 0;
// 1 Edition; 2 Voiture; 3 Routage; 4 Routage again when SacUtilisateur is 0,
// else NumeroSac; 5 IndiceLiasse "%010d"; 6 NumeroAbonne in 8 digits;
// 10 Etat; 7 FinLiasse and 8 FinSac, one character each; 11 + i the i-th
// feeder flag; 23 Date, or the run date's first 6 characters when the layout
// has no date; 20 NumeroSac; 21 Abonne; 22 Reserve; 19 ChampSpecial[0];
// 22 + i ChampSpecial[i] (so ChampSpecial[1] lands on the date); 31 + i
// Lignes[i]. Optional fields are written only when declared. Fields 9, 29
// and 30 stay blank.
//
// Bag record (slot 2): 0 title, 1 edition, 2 vehicle, 3 route (blanks for a
// level that is not resolved, and for every level above it); 4 the bag's
// NumeroSac; 7 + i its Champ[i] when declared. Fields 5 and 6 stay blank.
//
// Supplier fields are copied with their own Longueur from their own
// Position; a zero byte ends the copy and the rest of the field is zero
// bytes. Codes are copied with their layout widths.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fs/fs.h"
#include "records/EnregistrementBase.h"
#include "records/RunTables.h"
#include "records/TableBase.h"
#include "records/TypesEnregistrement.h"

// Bound once to the main window's layouts, slot tables and index tables,
// which it reads at every call; the window keeps it as a member.
class Emetteurs {
public:
    Emetteurs(const TypeEnregistrementJournal& EnregistrementJournal,
              const TypeEnregistrementSac& EnregistrementSac, const TableBase& Base,
              const TablesIndex& Index)
        : EnregistrementJournal_(EnregistrementJournal),
          EnregistrementSac_(EnregistrementSac),
          Base_(Base),
          Index_(Index) {}
    Emetteurs(const Emetteurs&) = delete;
    Emetteurs& operator=(const Emetteurs&) = delete;

    // Raises NumeroAbonne, builds the subscriber record of the converted
    // supplier record buf and writes it; true when all
    // LongueurEnregistrement[0] + 1 bytes were written. Date is the run date
    // (DDMMYY). No allocation once the buffer has its size.
    bool EnvoieEnregistrementJournal(plat::File& fp, std::string_view buf, int& NumeroAbonne,
                                     int IndiceLiasse, std::string_view Date);

    // While a pass writes its subscriber records, neither the layout nor
    // the slot table changes: the plan is then checked once, not at every
    // record, and the blanks between the fields are laid once.
    // propres: the pass's records never hold a control character (its
    // preparer makes none): no zero byte is looked for, and a record with a
    // date of digits is written as a line without looking for line feeds.
    class PlanFige {
    public:
        explicit PlanFige(Emetteurs& emetteurs, bool propres = false) : emetteurs_(emetteurs) {
            emetteurs_.MetPlanAJour();
            emetteurs_.PlanFige_ = true;
            emetteurs_.BlancsPoses_ = false;
            emetteurs_.Propres_ = propres;
            emetteurs_.Ecritures_.clear();
            emetteurs_.LongueurEcritures_ = kPasResolues;
        }
        ~PlanFige() {
            emetteurs_.PlanFige_ = emetteurs_.BlancsPoses_ = emetteurs_.Propres_ = false;
        }
        PlanFige(const PlanFige&) = delete;
        PlanFige& operator=(const PlanFige&) = delete;

    private:
        Emetteurs& emetteurs_;
    };
    // From now on the pass's records may hold control characters: a code
    // recoded far enough takes them as its suffix.
    void ControlesPossibles() {
        Propres_ = false;
        LongueurEcritures_ = kPasResolues;
    }

    // Builds the bag record of the supplier bag record buf, its route found
    // through its vehicle code (the first route whose vehicle begins with the
    // bag's CodeVoiture over Voiture.Longueur - 2 characters), then its
    // edition through the network table and its title through the edition
    // table; writes it.
    bool EnvoieEnregistrementSac(plat::File& fp, std::string_view buf);
    // The same with the route and vehicle of route entry IndiceLot (blanks
    // when there is no such entry).
    bool EnvoieEnregistrementSacDirect(plat::File& fp, std::string_view buf, int IndiceLot);
    // The bag record last written, its line feed included.
    std::string_view DernierSac() { return BufSac_.Texte(); }

    // The subscriber record last built, and what lies beyond it in the work
    // buffer (at least 10000 bytes).
    std::string_view BufJournal() const { return BufJournal_.Tampon(); }

    // A work record for the bundle records of the pass, reused so that a
    // bundle costs no allocation and no clearing of a whole work buffer.
    EnregistrementBase& BufLiasse() { return BufLiasse_; }

private:
    // One field write of the subscriber record, resolved once per layout.
    struct OperationJournal {
        enum class Source : unsigned char { Enregistrement, Date, IndiceLiasse, NumeroAbonne };
        Source source;
        int position;     // in the base record
        TypeChamp copie;  // what is copied from the supplier record or the date
    };
    void PlanifieJournal();
    static std::vector<OperationJournal> Fusionne(const std::vector<OperationJournal>& plan);
    // The fixed plan's writes for clean records of one length, with every
    // place worked out once: where a copy goes in the work buffer, where it
    // comes from in the record, how many bytes it copies and how many zero
    // bytes follow them (a record too short for the field).
    struct Ecriture {
        OperationJournal::Source source;
        std::uint32_t cible, depuis, copies, zeros;
        TypeChamp copie;  // the date's field, as planned
    };
    static constexpr std::size_t kPasResolues = static_cast<std::size_t>(-1);
    void ResoutEcritures(std::size_t longueur);
    void EcritResolues(std::string_view buf, int NumeroAbonne, int IndiceLiasse,
                       std::string_view Date);
    std::string_view TexteLiasse(int IndiceLiasse);
    std::string_view TexteAbonne(int NumeroAbonne);
    bool PlanAJour() const;
    void MetPlanAJour();
    bool EcritSac(plat::File& fp, std::string_view buf);
    void ResoutEditionEtTitre();

    const TypeEnregistrementJournal& EnregistrementJournal_;
    const TypeEnregistrementSac& EnregistrementSac_;
    const TableBase& Base_;
    const TablesIndex& Index_;

    EnregistrementBase BufJournal_;
    EnregistrementBase BufSac_;
    EnregistrementBase BufLiasse_;
    // The subscriber record's writes, and the layout and slot they come from.
    std::vector<OperationJournal> PlanJournal_;
    std::vector<OperationJournal> PlanSansZero_;  // the same with adjacent copies joined
    bool PlanFait_ = false;
    TypeEnregistrementJournal PlanStructure_{};
    int PlanChamps_ = 0;
    std::array<int, NombreMaxChampsBase> PlanPositions_{};
    bool PlanFige_ = false;
    bool BlancsPoses_ = false;  // the record's blanks are in place for the fixed plan
    bool Propres_ = false;      // records known to hold no control character
    std::vector<Ecriture> Ecritures_;
    std::size_t LongueurEcritures_ = kPasResolues;  // the record length they hold for
    // The last numbers written and their text: consecutive subscribers and
    // bundles change them by one or not at all.
    long DerniereLiasse_ = -1;
    char TexteLiasse_[10] = {};
    long DernierAbonne_ = -1;
    char TexteAbonne_[8] = {};
    // What the work codes of the bag emitters were last resolved from by
    // EnvoieEnregistrementSacDirect.
    struct ResolutionDirecte {
        int IndiceLot;
        std::uint64_t Routes, Reseaux, Editions;  // versions of the tables
        std::array<int, 4> Largeurs;
        bool operator==(const ResolutionDirecte&) const = default;
    };
    std::optional<ResolutionDirecte> DerniereDirecte_;
    // Work codes of the bag emitters.
    std::string Routage_, Voiture_, Edition_, Titre_;
};
