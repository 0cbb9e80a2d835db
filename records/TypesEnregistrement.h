// The layouts of supplier records. Their byte images are what the layout
// descriptors fill, member by member in declaration order (Inistruc.h): 32-bit
// integers without padding, so the sizes below are part of the descriptor
// format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

// One field of a supplier record: Longueur characters from offset Position
// (counted from 0). For optional fields a Longueur of 0 means "absent".
struct TypeChamp {
    std::int32_t Position;
    std::int32_t Longueur;
};

// The supplier's subscriber record, as converted (its vehicle and route
// codes widened by two characters each). 76 descriptor lines.
struct TypeEnregistrementJournal {
    std::int32_t PreTri;                  // 0 file order; else pre-sort on 3 levels (2: 2, 3: 1)
    std::int32_t SacUtilisateur;          // 0 the bag of a subscriber is its route
    std::int32_t LongueurEnregistrement;  // < 0: a ".SIT" set; 0: a prepared base
    char LibelleTitre[20];                // base descriptor name; ends at its first zero byte
    TypeChamp Titre;
    TypeChamp Edition;
    TypeChamp Voiture;
    TypeChamp Routage;
    TypeChamp NumeroSac;
    TypeChamp FinLiasse;         // one character at Position
    TypeChamp FinSac;            // one character at Position
    TypeChamp ChaineProduction;  // one character at Position
    TypeChamp Etat;
    TypeChamp Margeurs;  // Longueur one-character flags from Position
    TypeChamp Date;      // Longueur 0: the run's own date
    TypeChamp Abonne;
    TypeChamp Reserve;
    TypeChamp ChampSpecial[7];
    TypeChamp Lignes[16];
};

// The supplier's bag record. 24 descriptor lines.
struct TypeEnregistrementSac {
    TypeChamp NumeroSac;
    TypeChamp CodeVoiture;  // the bag's key
    TypeChamp Champ[10];    // copied in order to the base bag record
};

static_assert(sizeof(TypeChamp) == 8);
static_assert(sizeof(TypeEnregistrementJournal) == 320);
static_assert(offsetof(TypeEnregistrementJournal, LibelleTitre) == 12);
static_assert(offsetof(TypeEnregistrementJournal, Titre) == 32);
static_assert(offsetof(TypeEnregistrementJournal, ChampSpecial) == 136);
static_assert(offsetof(TypeEnregistrementJournal, Lignes) == 192);
static_assert(sizeof(TypeEnregistrementSac) == 96);
static_assert(offsetof(TypeEnregistrementSac, Champ) == 16);
static_assert(std::is_trivially_copyable_v<TypeEnregistrementJournal>);
static_assert(std::is_trivially_copyable_v<TypeEnregistrementSac>);
