#include "import/Configuration.h"

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>

#include "app/QuervaneDlg.h"
#include "import/LignesFournisseur.h"
#include "import/RunContext.h"
#include "import/RunHelpers.h"
#include "records/DescriptionSacs.h"
#include "records/Inistruc.h"
#include "resources/resource.h"

namespace {

// The next character of the stream, left unread; EOF at the end.
int Prochain(plat::File& fichier) {
    const std::string_view octets = fichier.Buffered(1);
    return octets.empty() ? EOF : static_cast<unsigned char>(octets.front());
}

}  // namespace

bool LireEntier(plat::File& fichier, int& valeur) {
    // The character that ends the number stays unread, as with "%d": a
    // second number must then follow a blank, not a comma.
    int c = Prochain(fichier);
    for (; c != EOF && std::isspace(c); c = Prochain(fichier)) fichier.Skip(1);
    bool negatif = false;
    if (c == '+' || c == '-') {
        negatif = c == '-';
        fichier.Skip(1);
        c = Prochain(fichier);
    }
    if (c == EOF || !std::isdigit(c)) return false;
    long long lu = 0;
    for (; c != EOF && std::isdigit(c); c = Prochain(fichier)) {
        if (lu <= INT_MAX) lu = lu * 10 + (c - '0');
        fichier.Skip(1);
    }
    if (negatif) lu = -lu;
    if (lu > INT_MAX) lu = INT_MAX;
    if (lu < INT_MIN) lu = INT_MIN;
    valeur = static_cast<int>(lu);
    return true;
}

bool LireRepertoireData(plat::File& fichier, std::string& RepertoireData) {
    std::string ligne;
    std::string seconde;
    fichier.GetLine(ligne, 256);
    if (fichier.GetLine(seconde, 256)) ligne = std::move(seconde);
    const std::string_view valeur = TexteLigne(ligne);
    const std::size_t egal = valeur.find('=');
    if (egal == std::string_view::npos) return false;
    RepertoireData = valeur.substr(egal + 1);
    return true;
}

std::string CodeTitre(std::string_view PremiereLigne) {
    std::size_t longueur = PremiereLigne.size() > 32 ? PremiereLigne.size() - 32 : 0;
    if (longueur < 2) longueur = 2;
    return std::string(PremiereLigne.substr(0, longueur));
}

bool LirePremiereLigne(std::string_view chemin, std::size_t maxLongueur, std::string& ligne) {
    plat::File fichier = plat::File::Open(chemin, "r");
    if (!fichier) return false;
    if (!fichier.GetLine(ligne, maxLongueur)) return false;
    ligne = std::string(TexteLigne(ligne));
    return true;
}

// ---- the configuration step of the run ----

bool CQuervaneDlg::LireConfiguration(RunContext& run) {
    if (!LireRepertoireApplication()) {
        AfxMessageBox(IDS_ERREUR_CONFIGURATION);
        return false;
    }

    if (!PrendreRepertoireData(run)) return false;

    run.DelayJournal = 0;
    if (plat::File delai = plat::File::Open("..\\config\\tavonel.dly", "r")) {
        LireEntier(delai, run.DelayJournal);
    }
    if (run.DelayJournal > 0) PurgerAnciensFichiers(run.DelayJournal);
    // From here on the data directory changes whole, when the run succeeds.
    Donnees.Cover(RepertoireData);

    EnregistrementJournal.LongueurEnregistrement = 0;
    EnregistrementJournal.Titre.Longueur = 2;
    EnregistrementJournal.PreTri = 0;
    run.bSelectionJournal = 0;
    if (plat::FileExists("..\\CONFIG\\JOURNAL.DEF") &&
        !ChargerDescriptionJournal(run, "..\\config\\JOURNAL.DEF")) {
        return false;
    }
    run.JournalDef = EnregistrementJournal;
    run.SelectionJournalDef = run.bSelectionJournal;

    LongueurEnregistrementSac = 0;
    if (plat::FileExists("..\\CONFIG\\SACS.DEF")) {
        NombreEnregistrementsSac = 0;
        lecture_sacs_def("..\\CONFIG\\SACS.DEF", NombreChampsSac, ChampTest, ChampsSac,
                         LongueurEnregistrementSac);
    }
    return true;
}

bool CQuervaneDlg::LireRepertoireApplication() {
    plat::File ini = plat::File::Open("..\\config\\Trelvamont.ini", "r");
    return ini && LireRepertoireData(ini, RepertoireData);
}

bool CQuervaneDlg::ChargerDescriptionJournal(RunContext& run, std::string_view chemin) {
    if (init_struct(chemin, EnregistrementJournal) != 0) {
        CWnd::EndWaitCursor();
        AfxMessageBox(IDS_ERREUR_STRUCTURE_JOURNAL);
        return false;
    }
    std::int32_t& longueur = EnregistrementJournal.LongueurEnregistrement;
    if (longueur < 0) {
        longueur = longueur == INT32_MIN ? INT32_MAX : -longueur;
        run.bSelectionJournal = 1;
    }
    return true;
}
