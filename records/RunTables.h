// The index tables that the subscriber pass builds and the bag emitters
// search: runs of fixed-width entries in order of registration, searched
// from the start, first match wins. They grow with the input.
//
// Entries as the conversion registers them and the bag emitters read them
// (TL, EL, VL, RL: the code widths of the subscriber layout):
//   M_ilot      route code (RL), vehicle code (VL)        one entry per route
//   M_ilot_sup  edition code (EL) of the route with the same index
//   M_igroupe   vehicle code (VL), edition code (EL)      one entry per network
//   M_iedition  edition code (EL), title code (TL)        one entry per edition
//   M_ititre    title code (TL)                           one entry per title
// Their entry counts are the counters of the pass (indice_lot,
// indice_groupe, indice_edition, indice_titre).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "util/TableTexte.h"

class TableCodes {
public:
    // Sets the widths of an entry's fields and empties the table.
    void Configure(std::initializer_list<int> Largeurs);
    // Empties the table; the widths stay.
    void Vide();

    int Nombre() const { return nombre_; }
    int Largeur(int champ) const;
    // Changes at every change of the table (emptied or appended to): a
    // result worked out from the table holds while this stays the same.
    std::uint64_t Version() const { return version_; }

    // Appends an entry, each field cut or blank-padded to its width (missing
    // fields are blanks); returns its index.
    int Ajoute(std::initializer_list<std::string_view> Champs);
    // Field champ of entry indice; empty when either is out of range.
    std::string_view Champ(int indice, int champ) const;

    // Index of the first entry whose field champ begins with code (its first
    // code.size() characters equal code); -1 when none, or when code is
    // wider than the field. Same answer as a linear scan, in constant time.
    int Cherche(int champ, std::string_view code) const;

private:
    // First index of each prefix of one length of one field, extended to
    // new entries as they come.
    struct Index {
        int champ;
        std::size_t longueur;
        int couverts = 0;
        TableTexte<int> premier;
    };
    Index& IndexDe(int champ, std::size_t longueur) const;

    std::vector<int> largeurs_;
    std::vector<int> debuts_;
    std::size_t largeurEntree_ = 0;
    std::string entrees_;
    int nombre_ = 0;
    std::uint64_t version_ = 0;
    mutable std::vector<Index> index_;
};

// The index tables of one conversion run, members of the main window.
struct TablesIndex {
    TableCodes M_ilot;
    TableCodes M_ilot_sup;
    TableCodes M_igroupe;
    TableCodes M_iedition;
    TableCodes M_ititre;

    // Lays the five tables out for the code widths of the subscriber layout
    // and empties them.
    void Configure(int TL, int EL, int VL, int RL);
};
