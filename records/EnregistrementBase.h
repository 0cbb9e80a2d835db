// One record of a base file, built in a reused buffer: blanks, then fields
// by number at the positions of the base descriptor, then a line feed.
//
// The buffer holds at least 10000 bytes and always the record and its line
// feed. A field is written where the descriptor puts it, with the width of
// what is written (a code's width, a number's digits), whatever width the
// descriptor declares; a field that the descriptor does not declare is not
// written; bytes that would leave the buffer are dropped. Bytes beyond the
// record are not cleared by Commence, so they keep what an earlier record
// left there, and the line feed at the record's length hides whatever a
// field wrote past it.
#pragma once

#include <algorithm>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "platform/fs/fs.h"
#include "records/TableBase.h"
#include "records/TypesEnregistrement.h"

class EnregistrementBase {
public:
    static constexpr std::size_t TailleMinimale = 10000;

    // Starts a record of the slot: LongueurEnregistrement[slot] blanks.
    void Commence(const TableBase& base, int slot);

    // Writes texte at field champ.
    void Champ(int champ, std::string_view texte);
    // Writes texte at a raw position of the record (the title code at 0).
    void Position(int position, std::string_view texte);
    // Copies source.Longueur bytes of a supplier record from source.Position:
    // a zero byte, or the end of the supplier record, ends the copy and the
    // rest of the field is zero bytes.
    void ChampFournisseur(int champ, std::string_view enregistrement, const TypeChamp& source);
    // The same at a raw position of the record.
    void PositionFournisseur(int position, std::string_view enregistrement,
                             const TypeChamp& source);
    // PositionFournisseur for a supplier record known to hold no zero byte;
    // inline, as it runs for every field of every subscriber.
    void PositionFournisseurSansZero(int position, std::string_view enregistrement,
                                     const TypeChamp& source) {
        if (source.Longueur <= 0 || position < 0 ||
            static_cast<std::size_t>(position) >= tampon_.size())
            return;
        char* cible = tampon_.data() + position;
        const std::size_t largeur = std::min(tampon_.size() - static_cast<std::size_t>(position),
                                             static_cast<std::size_t>(source.Longueur));
        std::size_t copies = 0;
        const auto debut = static_cast<std::size_t>(source.Position);
        if (source.Position >= 0 && debut < enregistrement.size()) {
            copies = std::min(largeur, enregistrement.size() - debut);
            std::memcpy(cible, enregistrement.data() + debut, copies);
        }
        if (largeur > copies) std::memset(cible + copies, 0, largeur - copies);
    }
    // valeur as "%0*ld": exactly chiffres characters, zero-padded on the
    // left; a longer text is cut to its first chiffres characters.
    void Nombre(int champ, long valeur, int chiffres);
    // The same at a raw position of the record.
    void NombreA(int position, long valeur, int chiffres);
    // The characters that NombreA writes for a width of cible.size() (at
    // most 40).
    static void TexteNombre(std::span<char> cible, long valeur);

    // The record and its line feed, as written to a base file.
    std::string_view Texte();
    // Writes the record and its line feed with one write; true when complete.
    bool Ecrit(plat::File& fp);
    // Writes texte, a record and its line feed as Texte gives them (one
    // built earlier); true when complete.
    static bool EcritTexte(plat::File& fp, std::string_view texte);
    // The same for a record known to hold no line feed.
    bool EcritLigne(plat::File& fp);

    // The whole work buffer, beyond the record included.
    std::string_view Tampon() const { return tampon_; }
    // The same to write in, at places already kept within Tampon().size().
    char* Zone() { return tampon_.data(); }
    // Start of field champ in the current slot, -1 when not declared.
    int DebutChamp(int champ) const;

private:
    char* Cible(int position, std::size_t& place);

    std::string tampon_ = std::string(TailleMinimale, ' ');
    const TableBase* base_ = nullptr;
    int slot_ = 0;
    std::size_t longueur_ = 0;
};
