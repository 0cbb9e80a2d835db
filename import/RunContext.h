// The state of one import run: created at the start of OnQuervane, handed by
// reference to every phase, and released when OnQuervane returns, whatever
// the return path (it is a local of OnQuervane; everything it holds cleans up
// after itself).
//
// The main window's own members (RepertoireData, EnregistrementJournal, the
// base slot tables, the bag-record values of "SACS.DEF", NumeroAbonne ...)
// outlive the run and are declared in app/QuervaneDlg.h.
#pragma once

#include <string>
#include <vector>

#include "dialogs/ErreursSac.h"
#include "dialogs/Lecteur.h"
#include "dialogs/LoadFile.h"
#include "dialogs/SaisieExemplaires.h"
#include "platform/fs/fs_durable.h"
#include "platform/zip/zip_archive.h"
#include "records/TypesEnregistrement.h"

struct RunContext {
    // fenetre: the main window, parent of the run's dialogs.
    explicit RunContext(CWnd* fenetre = nullptr)
        : DlgErreursSac(fenetre), DlgSaisie(fenetre), DlgLoad(fenetre), DlgLecteur(fenetre) {}
    RunContext(const RunContext&) = delete;
    RunContext& operator=(const RunContext&) = delete;

    // ---- source of the run (set by the driver and the source acquisition) ----

    // Folder of the supplier set or prepared base; a prefix of file names, so
    // it ends with a backslash ("..\TEMP\" after an FTP transfer or a ZIP
    // extraction).
    std::string CheminAbonnes;
    // Name of the chosen file without its folder (and, after the open-file
    // dialog or a ZIP extraction, without its extension).
    std::string FichierAbonnes;
    // Full path of the chosen file (the local copy when it came by FTP).
    std::string CheminFichier;
    // First line of "donnees.ini" (the name template); from the ZIP test on,
    // the chosen file's extension in capitals.
    std::string sExtension;
    // Name template of a set named by template, "{id}" already replaced.
    std::string FichiersFiltres;
    // Title label of the loaded layout, then the base descriptor name found
    // in "DESCRIPT.LIS".
    std::string sDescriptif;
    // Kind of source set: 0 ".CYB", 1 ".SIT", 2 ".TXT", 3 named by template.
    int bSelectionJournal = 0;
    // The set was extracted from a ZIP archive into "..\TEMP\".
    bool bZippe = false;

    // ---- title identification ----

    // The source was chosen through "donnees.ini" (drive chooser and file
    // picker); ModeleDonnees keeps its first line (the name template), which
    // sExtension loses at the ZIP step.
    bool bDonnees = false;
    std::string ModeleDonnees;
    // The identifier picked in the file picker (its sFileName): "{id}" of a
    // name template.
    std::string IdentifiantChoisi;
    // The layout and kind of set as "JOURNAL.DEF" left them (their defaults
    // when it is absent): every title identification starts again from them.
    TypeEnregistrementJournal JournalDef{};
    int SelectionJournalDef = 0;

    // ---- configuration ----

    int DelayJournal = 0;  // retention period in days
    // Keeps other runs out of the data directory until this one ends.
    plat::FolderLock VerrouDonnees;
    std::string RepertoireCourant;  // working directory at the start of the run
    // Candidate source folders of "donnees.ini".
    std::vector<std::string> CheminDrive;
    int NbDrives = 0;
    // Filter and default extension of the open-file dialog.
    std::string Description;
    std::string AttributFichier;

    // ---- descriptor stage and prepared-base import ----

    // (Which slots the base descriptor defines, bDefined, is kept with the
    // slot tables of the main window, TablesBase.)
    bool bTestCoherence = true;  // run the base control
    bool bTraitementSac = true;  // rebuild the bag file
    int NombreSacsLogiques = 0;

    // The supplier conversion keeps its previous and current keys and its
    // labels in its own state (labels in code lists that grow with the input).

    // ---- dialogs of the run ----
    CErreursSac DlgErreursSac;  // missing bags of the bag rebuild
    CSaisieExemplaires DlgSaisie;

    // ---- source acquisition ----
    CLoadFile DlgLoad;            // file picker
    CLecteur DlgLecteur;          // drive and path chooser
    plat::ZipArchive ZipArchive;  // the archive of the ZIP step, open only while it extracts
    plat::ZipEntryHeader InfoHeader;
};
