// A supplier subscriber line made into a converted record: the layout's
// length, "00" completing the vehicle and route codes, accented capitals
// folded, Windows text turned into the OEM code page, control characters
// blanked, the production-line and state characters set, the end flags
// normalised ("1" or "0", an end of bag ending the bundle too).
#pragma once

#include <string>
#include <string_view>

#include "records/TypesEnregistrement.h"

// premier: the first record of the file, whose whole line (not only the
// record's length) decides the conversion to the OEM code page.
void PreparerEnregistrement(std::string_view ligne, const TypeEnregistrementJournal& structure,
                            bool premier, std::string& enreg);
