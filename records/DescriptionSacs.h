// The bag record widths of "SACS.DEF" and the bag record length that a bag
// layout gives.
//
// "SACS.DEF": a first line with two decimal integers, the number of bag
// fields and a test field number; then one field width a line. Fields lie
// end to end from offset 0. Lines are read up to 255 characters.
#pragma once

#include <span>
#include <string_view>

#include "records/TypesEnregistrement.h"

inline constexpr int NombreMaxChampsSac = 100;
// A wider field could not be read: bag lines are read 9999 characters at a
// time.
inline constexpr int LargeurMaxChampSac = 9999;

// Reads "SACS.DEF". More than 100 announced fields are cut to 100 (a
// negative count is 0); a missing width line or a width that is not a
// number gives the width 0; widths are kept within 0 .. 9999.
// 0 loaded; -1 the file does not open; 1 the first line does not hold two
// numbers (nothing is changed).
int lecture_sacs_def(std::string_view nomfic, int& NombreChampsSac, int& ChampTest,
                     std::span<TypeChamp, NombreMaxChampsSac> ChampsSac,
                     int& LongueurEnregistrementSac);

// The bag record length that a bag layout needs: the end of CodeVoiture,
// raised to the end of every Champ whose Longueur is not 0. NumeroSac does
// not count. Never negative.
int longueur_enregistrement_sac(const TypeEnregistrementSac& EnregistrementSac);
