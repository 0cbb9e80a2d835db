// Checks of the supplier layouts before a conversion writes anything: every
// field the conversion reads or writes must lie inside the record, and the
// codes of the grouping hold at most 10 characters.
#pragma once

#include "records/TypesEnregistrement.h"

inline constexpr int kLargeurMaxCode = 10;
// A subscriber line is read 9999 characters at a time.
inline constexpr int kLongueurMaxEnregistrement = 9999;

// The subscriber layout (record length already made positive): the title
// code 0 to 10 characters, the edition code 0 to 10, the vehicle and route
// codes 2 to 10 (they carry the two-character suffix), every used field
// inside the record.
bool StructureJournalValide(const TypeEnregistrementJournal& structure);

// The bag layout: no negative position or width, every field inside a bag
// line.
bool StructureSacValide(const TypeEnregistrementSac& structure);
