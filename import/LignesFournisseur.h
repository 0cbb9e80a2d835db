// The lines of the supplier's label and bag files. A line is what one read of
// a text line gives (a longer line arrives in pieces); its text ends at its
// first zero byte, and its last character is dropped only when it is the line
// feed.
#pragma once

#include <string>
#include <string_view>

// The text of a line as read: up to its first zero byte, without the final
// line feed.
std::string_view TexteLigne(std::string_view ligne);

// The characters of a line before its line feed, found at place fin of the
// bytes of a file read in text mode, where "\r\n" reads as "\n".
inline std::size_t AvantFinDeLigne(std::string_view octets, std::size_t fin) {
    return fin > 0 && octets[fin - 1] == '\r' ? fin - 1 : fin;
}

// Longest line of a label file (titles, editions, vehicles, routes), its line
// feed included.
constexpr std::size_t kLigneReference = 99;
// Longest line of a bag or subscriber file, its line feed included.
constexpr std::size_t kLigneEnregistrement = 9999;

// A label line: a code of largeur characters followed by its 32-character
// label. With inserer00 (vehicles and routes) the supplier code is two
// characters shorter and "00" completes it; a line too short to hold the
// supplier code gets no "00". Both parts are blank-padded.
struct CodeEtLibelle {
    std::string code;
    std::string libelle;
};
CodeEtLibelle LireLigneReference(std::string_view ligne, int largeur, bool inserer00);

// A bag line blank-padded (or cut) to the bag record length.
std::string LireLigneSac(std::string_view ligne, int LongueurEnregistrementSac);

// A line read holds a record when its text (up to its first zero byte, where
// a text ends) holds more than its line feed: neither a line feed alone nor
// an empty text is one.
bool EstEnregistrement(std::string_view ligne);
