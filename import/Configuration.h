// The small configuration files that a run reads before the source is
// chosen, taken apart by free functions so that their formats can be tested
// line by line.
#pragma once

#include <string>
#include <string_view>

#include "platform/fs/fs.h"

// Reads one decimal integer the way the "%d" conversion does: leading white
// space (line ends included) skipped, an optional sign, then digits. False,
// with valeur unchanged, when no digit follows. A value beyond the 32-bit
// range is clamped.
bool LireEntier(plat::File& fichier, int& valeur);

// The data directory of "Trelvamont.ini": of the first two lines (at most 255
// characters each), the second, or the first when there is no second, as a
// text (it ends at a zero byte or its line feed); what follows its first
// "=". False when that text has no "=" (an empty file included).
bool LireRepertoireData(plat::File& fichier, std::string& RepertoireData);

// The title code of a title file's first line (line feed removed): the line
// without its last 32 characters (the title label), but at least its first
// 2 characters (fewer when the line is shorter).
std::string CodeTitre(std::string_view PremiereLigne);

// The first line of a small text file (at most maxLongueur - 1 characters),
// as a text: it ends at a zero byte or its line feed. False when the file
// does not open or is empty.
bool LirePremiereLigne(std::string_view chemin, std::size_t maxLongueur, std::string& ligne);
