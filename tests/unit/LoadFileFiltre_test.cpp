// The file picker's filter: listing patterns and shown names.
#include "dialogs/LoadFileFiltre.h"

#include <gtest/gtest.h>

namespace {

TEST(LoadFileFiltreTest, PatternsFollowTheKindOfFilter) {
    struct Row {
        const char* filtre;
        bool modele;
        const char* motif;
    };
    for (const Row& row : {
             Row{"*", false, "*.*"},
             Row{"ZIP", false, "*.ZIP"},
             Row{"jo", false, "*.jo"},
             Row{"J*.SIT", true, "J*.SIT"},
             Row{"J{id}_{n}.TXT", true, "J*_1.TXT"},
             Row{"{id}.{n}", true, "*.1"},
             Row{"{n}{id}{n}.DAT", true, "1*1.DAT"},
         }) {
        const FiltreFichiers filtre(row.filtre);
        EXPECT_EQ(filtre.EstModele(), row.modele) << row.filtre;
        EXPECT_EQ(filtre.Motif(), row.motif) << row.filtre;
    }
}

TEST(LoadFileFiltreTest, ShownNamesAreTheIdentifierOfATemplateAndTheNameOtherwise) {
    struct Row {
        const char* filtre;
        const char* nom;
        const char* affiche;
    };
    for (const Row& row : {
             Row{"*", "notes.tar.gz", "notes.tar.gz"},
             Row{"ZIP", "A.ZIP", "A.ZIP"},
             Row{"J{id}_{n}.TXT", "J0412_1.TXT", "0412"},
             // Listings match without regard to case: the template's fixed
             // text is removed whatever its case.
             Row{"J{id}_{n}.TXT", "j0412_1.txt", "0412"},
             Row{"J{id}_{n}.TXT", "J04.12_1.TXT", "04.12"},
             Row{"J{id}_{n}.TXT", "J_1.TXT", ""},
             Row{"ABO{id}.CYB", "ABOnord sud.CYB", "nord sud"},
             Row{"{id}.{n}", "CLIENT.1", "CLIENT"},
             Row{"J*.SIT", "J0001.SIT", "J0001"},
             Row{"J*.SIT", "J.2024.sit", "J.2024"},
             // Wildcards of the template's own: the shortest text they match.
             Row{"J?{id}_{n}.TXT", "JX0412_1.TXT", "0412"},
             Row{"J{id}_{n}.*", "J0412_1.TXT", "0412"},
         }) {
        EXPECT_EQ(FiltreFichiers(row.filtre).NomAffiche(row.nom), row.affiche)
            << row.filtre << " " << row.nom;
    }
}

// A local listing cuts the names of a plain pattern at their first ".";
// an identifier is the same as over FTP.
TEST(LoadFileFiltreTest, LocalNamesOfAPlainPatternEndAtTheirFirstDot) {
    struct Row {
        const char* filtre;
        const char* nom;
        const char* ftp;
        const char* local;
    };
    for (const Row& row : {
             Row{"J*.SIT", "J0001.SIT", "J0001", "J0001"},
             Row{"J*.SIT", "J0001.A.SIT", "J0001.A", "J0001"},
             Row{"J{id}_{n}.TXT", "J04.12_1.TXT", "04.12", "04.12"},
             Row{"*", "notes.tar.gz", "notes.tar.gz", "notes.tar.gz"},
             Row{"ZIP", "A.B.ZIP", "A.B.ZIP", "A.B.ZIP"},
         }) {
        const FiltreFichiers filtre(row.filtre);
        EXPECT_EQ(filtre.NomAffiche(row.nom), row.ftp) << row.filtre << " " << row.nom;
        EXPECT_EQ(filtre.NomAfficheLocal(row.nom), row.local) << row.filtre << " " << row.nom;
    }
}

TEST(LoadFileFiltreTest, ReplacingEveryOccurrence) {
    EXPECT_EQ(RemplacerTout("a{n}b{n}", "{n}", "12"), "a12b12");
    EXPECT_EQ(RemplacerTout("\\\\x\\", "\\", ""), "x");
    EXPECT_EQ(RemplacerTout("{id}", "{id}", "{id}{id}"), "{id}{id}");
    EXPECT_EQ(RemplacerTout("abc", "", "x"), "abc");
}

}  // namespace
