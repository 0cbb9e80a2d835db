#include "import/FichiersFournisseur.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/RunContext.h"

namespace {

// The set of a run: kind, and whether it came from an archive.
struct Set {
    RunContext run;
    Set(int kind, bool zipped) {
        run.CheminAbonnes = "..\\import\\";
        run.FichierAbonnes = "J0042";
        run.FichiersFiltres = "..\\import\\S0007-{n}.TXT";
        run.bSelectionJournal = kind;
        run.bZippe = zipped;
    }
};

TEST(FichiersFournisseur, NamesByKindOfSet) {
    struct Row {
        int kind;
        bool zipped;
        FichierFournisseur file;
        std::string name;
    } rows[] = {
        {0, false, FichierFournisseur::Titre, "..\\import\\TITRE.CYB"},
        {0, false, FichierFournisseur::Journal, "..\\import\\JOURNAL.CYB"},
        {1, false, FichierFournisseur::Edition, "..\\import\\EDITION.SIT"},
        {1, false, FichierFournisseur::Journal, "..\\import\\J0042.SIT"},
        {1, true, FichierFournisseur::Journal, "..\\import\\JOURNAL.SIT"},
        {2, false, FichierFournisseur::Routage, "..\\import\\ROUTAGE.TXT"},
        {2, true, FichierFournisseur::Sac, "..\\import\\SAC.TXT"},
        {3, false, FichierFournisseur::Titre, "..\\import\\S0007-1.TXT"},
        {3, false, FichierFournisseur::Journal, "..\\import\\S0007-5.TXT"},
        {3, true, FichierFournisseur::Sac, "..\\import\\S0007-6.TXT"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(NomFichierFournisseur(Set(row.kind, row.zipped).run, row.file), row.name)
            << "kind " << row.kind << " file " << static_cast<int>(row.file);
    }
}

TEST(FichiersFournisseur, FilesDeletedAfterAnArchive) {
    EXPECT_EQ(FichiersDuJeu(Set(1, true).run),
              (std::vector<std::string>{"..\\import\\TITRE.SIT", "..\\import\\EDITION.SIT",
                                        "..\\import\\VOITURE.SIT", "..\\import\\ROUTAGE.SIT",
                                        "..\\import\\JOURNAL.SIT", "..\\import\\SAC.SIT"}));
    const std::vector<std::string> template_set = FichiersDuJeu(Set(3, true).run);
    ASSERT_EQ(template_set.size(), 6u);
    EXPECT_EQ(template_set.front(), "..\\import\\S0007-1.TXT");
    EXPECT_EQ(template_set.back(), "..\\import\\S0007-6.TXT");
}

TEST(FichiersFournisseur, TemplateNumbering) {
    EXPECT_EQ(NumeroterModele("J{n}_{n}.TXT", 4), "J4_4.TXT");
    EXPECT_EQ(NumeroterModele("SANS.TXT", 4), "SANS.TXT");
    EXPECT_EQ(NumeroterModele("{n", 4), "{n");
    EXPECT_EQ(NumeroterModele("", 1), "");
}

}  // namespace
