// "DESCRIPT.LIS" in the data directory maps a title to the name of its base
// descriptor: one entry per line, the key left-aligned in the first columns,
// one separator character, then the descriptor name up to the line end.
// Lines of one character or less are skipped; lines are read 255 characters
// at a time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// First pass: the first line whose first NomTitre.size() characters are
// NomTitre gives the name that starts at DebutNom. When none does, a second
// pass compares the first 2 characters of NomTitre (a one-character key then
// never matches) and the name starts at character 3. The first matching
// line wins. An empty NomTitre finds nothing. sDescriptif stays unchanged
// unless the name is found.
enum class RechercheDescriptif {
    Trouve,
    NonTrouve,  // no line matches, or the file does not open
    Illisible,  // a read failed before a line matched
};
RechercheDescriptif ChercherDescriptif(std::string_view CheminListe, std::string_view NomTitre,
                                       std::size_t DebutNom, std::string& sDescriptif);
