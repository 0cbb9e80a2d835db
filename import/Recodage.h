// Uniqueness suffixes of recoded codes. The supplier's vehicle and route codes
// reach the base with "00" appended; a vehicle that serves a second edition,
// or a route that comes back, gets the next suffix instead.
#pragma once

#include <string>

// The vehicle suffix is the code's last character: from "0" it runs 1 to 9,
// A to Z, a to z (a blank becomes "0", any other character the next code).
void AvancerSuffixeVoiture(std::string& code);

// The route suffix is the code's last two characters: from "00" it runs 01 to
// 09, 0A to 0Z, 10, 11 and so on. The code has at least two characters.
void AvancerSuffixeRoutage(std::string& code);

// How many successive suffixes can be tried before they come round again:
// a search for a free code that has tried that many has none to find.
constexpr int kSuffixesVoiture = 256;
constexpr int kSuffixesRoutage = 256 * 256;
