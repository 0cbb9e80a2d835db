// A supplier subscriber line made into a converted record: the layout's
// length, "00" completing the vehicle and route codes, accented capitals
// folded, Windows text turned into the OEM code page, control characters
// blanked, the production-line and state characters set, the end flags
// normalised ("1" or "0", an end of bag ending the bundle too).
//
// Folding, the code page and the cleaning all change one byte at a time, so
// the preparer composes them once into byte tables (from the record helpers
// themselves) and converts a line in one pass, after one pass that looks for
// Windows text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "records/TypesEnregistrement.h"

class PreparateurEnregistrement {
public:
    // Builds the tables; the cleaning's control table is taken as it is now.
    explicit PreparateurEnregistrement(const TypeEnregistrementJournal& structure);

    // The whole line, not only the record's length, decides the conversion
    // to the OEM code page.
    void Preparer(std::string_view ligne, std::string& enreg) const;
    // A following record straight from the bytes of a subscriber file read
    // in text mode, by reads of at most longueurLue characters, when they
    // start with a whole line of the usual kind: prepares it as Preparer
    // would the line that a read gives, and returns the bytes that the line
    // takes in the file, its line end included; 0, with nothing done, when
    // the line is to be read and prepared as usual.
    std::size_t PreparerLigneSuivante(std::string_view tampon, std::size_t longueurLue,
                                      std::string& enreg) const;
    // No prepared record holds a control character, zero bytes and line
    // feeds included (the cleaning leaves none).
    bool SansControle() const { return sansControle_; }

private:
    // The record's characters copied from the line, between the zeros that
    // complete the codes: targets debut .. fin - 1 come from the line's
    // characters debut - decalage onwards.
    struct Morceau {
        std::size_t debut = 0, fin = 0, decalage = 0;
    };
    static constexpr std::size_t kSpeciauxMax = 64;

    bool PreparerParSpeciaux(std::string_view ligne, std::string& enreg) const;
    void Assembler(const char* ligne, std::size_t taille, const std::uint32_t* positions,
                   std::size_t nombre, std::string& enreg) const;
    void PreparerOctetParOctet(std::string_view ligne, std::string& enreg) const;
    void FixerDrapeaux(std::string& enreg) const;
    bool ContientWindows(const unsigned char* octets, std::size_t taille) const;

    const TypeEnregistrementJournal& structure_;
    std::size_t longueur_ = 0;
    std::array<Morceau, 5> morceaux_{};
    std::size_t nombreMorceaux_ = 0;
    std::array<unsigned char, 256> windows_{};  // folded byte marks Windows text
    std::array<char, 256> simple_{};            // folded, cleaned
    std::array<char, 256> oem_{};               // folded, to OEM, cleaned
    bool asciiIntact_ = false;                  // printable ASCII unchanged by both
    bool sansControle_ = false;                 // no table gives a control character
};

// One record with tables built for the call (tests and one-off use).
void PreparerEnregistrement(std::string_view ligne, const TypeEnregistrementJournal& structure,
                            std::string& enreg);
