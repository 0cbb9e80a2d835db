// The main window. Besides its controls it holds the state of an import run:
// the members of each phase are grouped below, one section per phase, and
// the methods of each phase live in import/ (one source file per phase).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/DiagUtils.h"
#include "platform/fs/fs.h"
#include "records/TableBase.h"
#include "records/TypesEnregistrement.h"

struct RunContext;

class CQuervaneDlg : public CDiagUtils {
public:
    explicit CQuervaneDlg(CWnd* pParent = nullptr);
    ~CQuervaneDlg() override;

    // ---- shell (app/QuervaneDlg.cpp) ----
    // Shows Info (1252) on the status line and remembers it; the line is
    // drawn, not stored in the edit control, and changes at once.
    void Afficher(std::string_view Info);

    HICON m_hIcon = 0;            // application icon, resource 128
    std::string sDisplayMessage;  // the text the status line shows

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    void OnPaint() override;
    void OnTimer(UINT_PTR nIDEvent) override;
    HICON OnQueryDragIcon() override;

public:
    // ---- end shell ----

    // ---- import run driver and configuration (import/) ----
    // The handler of "Lire les données": one whole import run.
    void OnQuervane();

    // Data directory, from "Trelvamont.ini"; a prefix of base file names.
    std::string RepertoireData;
    // Layout of the supplier's subscriber record ("JOURNAL.DEF", then the
    // title's own); a record length of 0 makes the run a prepared-base import.
    TypeEnregistrementJournal EnregistrementJournal{};
    // Bag record widths of "SACS.DEF"; they keep an earlier run's values when
    // the file is absent, but the record length is 0 at every run until read.
    int NombreChampsSac = 0;
    int ChampTest = 0;
    TypeChamp ChampsSac[100]{};
    int LongueurEnregistrementSac = 0;
    int NombreEnregistrementsSac = 0;
    // Base slot tables of the title's base descriptor (descriptor stage):
    // record layout of every base file, and which slots are defined.
    TableBase TablesBase;
    // Subscriber records read by the base control, or numbered by the
    // subscriber pass of a conversion.
    int NumeroAbonne = 0;

    // Forms of title identification: before the open-file dialog (and in the
    // folder chosen there), after the file picker, after a ZIP extraction.
    enum class FormeTitre { AvantDialogue = 1, ApresSelecteur = 2, ApresExtraction = 3 };

    // Steps of the run. Those returning bool return false when the run ends
    // (the operator has been told, or chose to stop).
    void ExecuterImport(RunContext& run);
    bool LireConfiguration(RunContext& run);
    bool LireRepertoireApplication();
    void PurgerAnciensFichiers(int DelayJournal);
    // Loads a layout descriptor into EnregistrementJournal; a negative record
    // length marks a ".SIT" set.
    bool ChargerDescriptionJournal(RunContext& run, std::string_view chemin);
    bool ChoisirSource(RunContext& run);
    bool ChoisirFichierAbonnes(RunContext& run);
    bool IdentifierTitre(RunContext& run, FormeTitre forme);
    // The title label of the layout: its text up to the first zero byte.
    std::string LibelleTitreJournal() const;
    bool EtapeDescripteur(RunContext& run);
    // ---- end import run driver ----

    // ---- source acquisition (import/) ----
    // Called by the run driver: the choice through "donnees.ini" (open), and
    // the ZIP step; false when the run ends.
    bool ChoisirSourceDonnees(RunContext& run, plat::File& donnees);
    bool EtapeZip(RunContext& run);
    // ---- end source acquisition ----

    // ---- prepared-base import (import/) ----
    // Bags of one user bag code in the completion of the subscriber file.
    struct TypeSac {
        char CodeSac[10];    // the user bag code, not terminated
        int NombreSacs = 0;  // bags of that code closed in the subscriber file
        int CompteSac = 0;   // running rank while the file is written
    };
    std::vector<TypeSac> TableSacs;
    int NombreSacs = 0;

    // The mode switches, the base control, then the copies; ends the run.
    void ImporterBasePreparee(RunContext& run);
    void LireModes(RunContext& run);
    bool ControleBase(RunContext& run);
    bool CopierBasePreparee(RunContext& run);
    bool CopieCompletion(RunContext& run, int ChampInfoSac, int ChampSacUtilisateur);
    bool RefabricationSacs(RunContext& run);
    // Copies a base file, replacing the destination; a source that cannot be
    // read is skipped. False, the operator told, when the copy cannot be
    // written.
    bool CopierFichierBase(const std::string& source, const std::string& destination);
    // Shows message, then the status of a failed import.
    void ArreterImport(std::string_view message);
    void SignalerEcritureImpossible(std::string_view fichier);
    // ---- end prepared-base import ----

    // ---- supplier conversion (import/) ----
    // Converts the supplier set of the run into the base of its titles:
    // reference tables, subscriber pass, base files, bag labels, index files.
    void ConversionFournisseur(struct RunContext& run);
    // ---- end supplier conversion ----
};
