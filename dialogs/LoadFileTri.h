// The order of the file picker's file rows: a shell sort on one column of
// the rows' texts (name, size in bytes, date "dd/mm/yyyy hh:mm:ss").
#pragma once

#include <array>
#include <span>
#include <string>

using LigneGrille = std::array<std::string, 3>;

// Negative, zero or positive as a is before, with or after b in column
// colonne: 0 the names byte by byte, 1 the sizes as decimal numbers, 2 the
// dates by year, month, day, hour, minute, second.
int ComparerLignes(const LigneGrille& a, const LigneGrille& b, int colonne);

// Sorts lignes ascending on colonne: the gap starts at the number of rows
// and is halved, rounding up, before every pass, down to a last pass with
// gap 1; each pass moves a row up one gap at a time past the rows that
// compare greater.
void TriShell(std::span<LigneGrille> lignes, int colonne);

// The date column's text of a last-write time, in universal time.
std::string TexteDate(long long secondes);
