// The base file set of a title and the record layouts that its base
// descriptor gives.
//
// Base files are named RepertoireData + title code + extension, with no
// separator added ("%s%s.JO"). The conversion writes the extensions in
// capitals, the purge and the prepared-base import in small letters: names
// are matched without regard to case, so both name the same file.
//
// The base descriptor ("%s%s.ini" in the data directory) holds up to seven
// sections, in any order; lines are read 255 characters at a time:
//   "[d..."            section header, d a digit: it describes slot 6 - d
//   "label:EXT"        the file's extension (one word, kept for information)
//   (any line)
//   "label:N"          the number of fields, decimal, at most 100
//   (any line)
//   (any line)
//   "a:b:c:W"          N field lines; W, after the third ":", is the width
// Lines outside sections are skipped, and so are sections "[7]" to "[9]",
// which name no slot. Fields lie end to end from position 0.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "platform/fs/fs.h"

// Record slots of the base descriptor.
enum SlotBase : int {
    SlotJournal = 0,  // .jo subscribers, section [6]
    SlotLiasse = 1,   // .li bundles, section [5]
    SlotSac = 2,      // .sa bags, section [4]
    SlotRoutage = 3,  // .ro routes, section [3]
    SlotReseau = 4,   // .re networks (delivery vehicles), section [2]
    SlotEdition = 5,  // .ed editions, section [1]
    SlotTitre = 6,    // .ti the title, section [0]
};

inline constexpr int NombreSlotsBase = 10;    // room in the tables
inline constexpr int NombreSlotsDecrits = 7;  // slots that sections describe
inline constexpr int NombreMaxChampsBase = 100;
// A record longer than this is refused: no reader of a base could take it.
inline constexpr int LongueurMaxEnregistrementBase = 1000000;

// Extensions of the seven record files, by slot, as the conversion writes
// them and as the purge and the prepared-base import write them.
inline constexpr std::array<std::string_view, NombreSlotsDecrits> ExtensionsBase = {
    ".JO", ".LI", ".SA", ".RO", ".RE", ".ED", ".TI"};
inline constexpr std::array<std::string_view, NombreSlotsDecrits> ExtensionsBaseMinuscules = {
    ".jo", ".li", ".sa", ".ro", ".re", ".ed", ".ti"};

// RepertoireData + NomBase + Extension, nothing added ("%s%s.JO").
std::string NomFichierBase(std::string_view RepertoireData, std::string_view NomBase,
                           std::string_view Extension);

// Results of TableBase::LectureDescriptif. Every fault but DescriptifAbsent
// is the operator's message 103; DescriptifAbsent is message 63220.
enum ResultatDescriptif : int {
    DescriptifLu = 0,
    DescriptifAbsent = -1,        // the file does not open (path form only)
    ExtensionIllisible = 1,       // no ":" in the extension line
    NombreChampsIllisible = 2,    // no ":" or no number in the field-count line
    NombreChampsHorsLimites = 3,  // negative, or more than 100 fields
    ListeChampsCourte = 4,        // fewer field lines than declared
    LargeurChampInvalide = 5,     // a width that is not a number, or negative
    EnregistrementTropLong = 6,   // the widths add up beyond the limit above
    DescriptifIllisible = 7,      // a read of the file failed part way
};

// The base slot tables of the main window: per slot, the record layout of
// one base file. Every reader and writer of base records addresses fields
// by slot and field number.
struct TableBase {
    std::array<std::string, NombreSlotsBase> Extension;  // at most 9 characters
    int NbChamps[NombreSlotsBase] = {};
    int LongueurChamp[NombreSlotsBase][NombreMaxChampsBase] = {};
    int PositionChamp[NombreSlotsBase][NombreMaxChampsBase] = {};
    int LongueurEnregistrement[NombreSlotsBase] = {};
    bool bDefined[NombreSlotsDecrits] = {};

    // Reads a base descriptor from an open text stream. Every slot is
    // cleared first (no field, length 0, not defined), so a slot that the
    // descriptor lacks never keeps the layout of an earlier run. On a fault
    // the slots read before it keep their layouts.
    int LectureDescriptif(plat::File& fichier);
    // The same from a file name: DescriptifAbsent when it does not open.
    int LectureDescriptif(std::string_view nom);

    // Whether the descriptor defines at least one base file: one that
    // defines none would give a base of empty files.
    bool DefinitUnFichier() const {
        return std::any_of(std::begin(bDefined), std::end(bDefined), [](bool d) { return d; });
    }

    // Whether field k of the slot is declared.
    bool ChampDefini(int slot, int champ) const {
        return slot >= 0 && slot < NombreSlotsBase && champ >= 0 && champ < NbChamps[slot];
    }
};
