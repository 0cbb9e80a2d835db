// The main window. Besides its controls it holds the state of an import run:
// the members of each phase are grouped below, one section per phase, and
// the methods of each phase live in import/ (one source file per phase).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/DiagUtils.h"
#include "import/EtatConversion.h"
#include "platform/fs/fs.h"
#include "platform/fs/staged_folder.h"
#include "platform/inet/inet.h"
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

    // Each press of "Lire les données" appends its block to the run log of
    // the working folder (scripted runs leave it out unless asked).
    bool bJournalExecution = true;

    // Escape or the close box during a run ask this question.
    std::string CancelQuestion() const override;
    // Polled by the run at its record and file boundaries: true when the
    // operator asked to stop; the status line then says so, and the run
    // returns without a success status.
    bool InterruptionDemandee();
    // What the run log says of the run's source (run driver).
    void NoterSource(const RunContext& run);

protected:
    // The button's handler: one import run and its block of the run log.
    void OnLireDonnees();
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    void OnPaint() override;
    void OnTimer(UINT_PTR nIDEvent) override;
    HICON OnQueryDragIcon() override;

public:
    // What the run log reads after a run: its source and kind of set, the
    // subscribers converted and the base files copied.
    std::string SourceJournal, SorteJournal, TitreJournal;
    long long AbonnesConvertis = 0;
    std::vector<std::string> FichiersCopies;
    // ---- end shell ----

    // ---- import run driver and configuration (import/) ----
    // The handler of "Lire les données": one whole import run.
    void OnQuervane();

    // Data directory, from "Trelvamont.ini"; a prefix of base file names.
    std::string RepertoireData;
    // What a run changes in the data directory: every write, copy and
    // deletion of a base file goes through it, and it reaches the directory
    // only when the run succeeds (PublierDonnees).
    plat::StagedFolder Donnees;
    // Message boxes shown before the last status (see TerminerEnEchec).
    std::uint64_t MessagesAvantStatut = 0;
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
    // True when the run reached its success status and its changes to the
    // data directory are published.
    bool ExecuterImport(RunContext& run);
    // A run that ends on an error message says that it failed.
    void TerminerEnEchec();
    bool LireConfiguration(RunContext& run);
    // Takes the data directory for this run: the lock that keeps other runs
    // out, then the end of a publication that a run cut short.
    bool PrendreRepertoireData(RunContext& run);
    bool PublierDonnees();
    bool LireRepertoireApplication();
    void PurgerAnciensFichiers(int DelayJournal);
    // Loads a layout descriptor into EnregistrementJournal; a negative record
    // length marks a ".SIT" set.
    bool ChargerDescriptionJournal(RunContext& run, std::string_view chemin);
    bool ChoisirSource(RunContext& run);
    bool ChoisirFichierAbonnes(RunContext& run);
    bool IdentifierTitre(RunContext& run, FormeTitre forme);
    // The title file nom could not be read: message 105, and the run ends.
    bool ErreurLectureTitre(const std::string& nom);
    // The title label of the layout: its text up to the first zero byte.
    std::string LibelleTitreJournal() const;
    bool EtapeDescripteur(RunContext& run);
    // ---- end import run driver ----

    // ---- source acquisition (import/) ----
    // Called by the run driver: the choice through "donnees.ini" (open), and
    // the ZIP step; false when the run ends.
    bool ChoisirSourceDonnees(RunContext& run, plat::File& donnees);
    bool EtapeZip(RunContext& run);
    // Fetches the picked set from its FTP folder into "..\TEMP\"; false, the
    // Internet error shown, when the server or the connection failed.
    bool TransfertFtp(RunContext& run);
    bool ExtraireArchive(RunContext& run);

    // The Internet client of the window, and the connection of a transfer,
    // held only while the set is fetched.
    CInternetSession m_Session;
    std::unique_ptr<CFtpConnection> m_pFtpConnection;
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
    // What the completion and the rebuild need from the subscriber file is
    // gathered (ReleveAbonnes) by the first pass over it.
    bool ImporterBasePreparee(RunContext& run);
    // A prepared base whose subscriber file holds no record is refused.
    bool BaseAvecAbonnes(const RunContext& run);
    // False, the import stopped, when the file fails to read.
    bool LireModes(RunContext& run);
    bool LireValeurConfiguration(std::string_view chemin, int& valeur);
    bool ControleBase(RunContext& run, struct ReleveAbonnes& releve);
    bool CopierBasePreparee(RunContext& run, struct ReleveAbonnes& releve, int ChampInfoSac,
                            int ChampSacUtilisateur);
    // Positions of the completion fields; none when the base descriptor does
    // not declare them.
    std::optional<struct PositionsCompletion> PositionsDeCompletion(int ChampInfoSac,
                                                                    int ChampSacUtilisateur);
    // Reads the user bag codes of the source bag file; false, with no
    // count prepared, when it does not open or fails to read.
    bool PreparerComptage(RunContext& run, struct ReleveAbonnes& releve,
                          const struct PositionsCompletion& positions);
    bool CopieCompletion(RunContext& run, struct ReleveAbonnes& releve, int ChampInfoSac,
                         int ChampSacUtilisateur);
    // Length of the bag key: fields 0 to 4 of the bag layout.
    int LongueurCleSac() const;
    bool RefabricationSacs(RunContext& run, struct ReleveAbonnes& releve);
    // Copies a base file, replacing the destination; a source that cannot be
    // read is skipped. False, the operator told, when the copy cannot be
    // written.
    bool CopierFichierBase(const std::string& source, const std::string& destination);
    // Shows message, then the status of a failed import.
    void ArreterImport(std::string_view message);
    void SignalerEcritureImpossible(std::string_view fichier);
    void SignalerLectureImpossible(std::string_view fichier);
    // ---- end prepared-base import ----

    // ---- supplier conversion (import/) ----
    // Converts the supplier set of the run into the base of its titles:
    // reference tables, subscriber pass, base files, bag labels, index files.
    bool ConversionFournisseur(struct RunContext& run);
    // Closes the files and releases the tables that a conversion allocated.
    void LibererConversion();

    // Code lists of the supplier's label files with their labels (the label
    // stores), extended by the subscriber pass.
    ListeCodes M_titre, M_edition, M_groupe, M_lot;
    // Routes (with their editions), networks, editions and titles met by the
    // subscriber pass, with the bag counts of routes and editions and the
    // bundle counts of editions.
    TablesIndex IndexPasse;
    std::vector<long> nb_sacs_lot, nb_sacs_edition, nb_liasses_edition;
    // The supplier's bag records with their use flags.
    TableSacsFournisseur pSacs;
    // Date of the supplied data: DDMMYY, then cut to DDMM for the title record.
    std::string date;
    std::string nomjournal;  // identifier of the set: code of the last title line
    // DDMMYY of the run, stamped into subscriber records without a date field.
    std::string Date;
    // Layout of the supplier's bag record ("SAC.DEF").
    TypeEnregistrementSac EnregistrementSac{};
    Emetteurs Emetteur{EnregistrementJournal, EnregistrementSac, TablesBase, IndexPasse};

private:
    // Reference tables.
    bool LectureTablesReference(struct RunContext& run);
    bool ChargerStructureSac();
    bool LectureTitres(const struct RunContext& run);
    void LectureDateDonnees(const struct RunContext& run);
    bool EcritureFichierDate();
    bool LectureCodes(const struct RunContext& run, FichierFournisseur fichier, ListeCodes& table,
                      int largeur, bool inserer00);
    bool LectureSacs(const struct RunContext& run);

    // Subscriber pass, reading side.
    bool PasseAbonnes(struct RunContext& run);
    bool PreTriJournaux(const struct RunContext& run, const std::string& fichier);
    bool DebutPasse();
    std::string_view SacEnregistrement() const;
    // Takes the record's codes as the new ones; true when one changed.
    bool LireCodes();
    bool EnregistrementSuivant();
    bool FinPasse();
    bool ErreurLectureJournaux();
    // The supplier's bag file, or the bag list of the pass, could not be
    // read, whole or in part: the run stops.
    bool ErreurLectureSacs();

    // Subscriber pass, writing side.
    bool ContinuerRoutage();
    bool ChangerRoutage();
    void CopierCodes();
    void NoterDernier();
    bool RecoderVoiture();
    bool RecoderRoutage();
    void FermerRoutage();
    void FermerVoiture();
    void FermerEdition();
    bool FermerTitre();
    bool OuvrirFichiersTitre(const std::string& titre);
    bool EcrireLiasse(const DernierAbonne& abonne);
    bool EcrireSacsLis(std::string_view sac, long indice);

    // Route, network, edition and title files.
    bool EcritureFichiersBase();
    bool EcritureRoutages();
    bool EcritureReseaux();
    bool EcritureEditions();
    bool EcritureTitres();

    // Bag files, labels, index files, end of the run.
    bool LibellesSacs(struct RunContext& run);
    bool FichiersSacTitre(const struct RunContext& run, const std::string& titre);
    bool EcritureSacsDepuisListe(plat::File& fichier, const std::string& nom);
    bool EcritureSacsFournisseur(plat::File& sacs, plat::File& fichier, const std::string& nom);
    bool CopieSacsSansStructure(const std::string& source, const std::string& nom);
    void SupprimerJeuDecompresse(const struct RunContext& run);

    // The message, then the run's failure on the status line; false.
    bool EchecImportation(const std::string& message);
    // The run ends: the operator is told that a file of the conversion cannot
    // be written, or that no code is left to recode a vehicle or a route.
    // Both return false.
    bool ErreurFichier(const std::string& nom);
    bool ErreurCodage(std::string_view modele, const std::string& code);
    // A title code names base files: it must not leave the data directory.
    bool NomFichierBaseValide(const std::string& titre);
    // False, with a message, when an earlier title of the run has the same
    // code but for case.
    bool TitreSansHomonyme(const std::string& titre);

    // State of the subscriber pass.
    plat::File FpAbonnes, FpJournal, fpliasse, FpSacsLis;
    std::string NomJournal, NomLiasse;
    std::string ligne, buf;
    std::string old_tr, old_ed, old_gr, old_lt, new_tr, new_ed, new_gr, new_lt;
    std::string cur_gr, cur_lt, old_cur_gr, SacCourant;
    EntreesSacsLis SacsLis;
    int IndiceLiasse = 1;
    long CompteLiasses = 0, IndiceJournal = 0;
    long indice_courant_lot = 0, indice_courant_edition = 0;
    int IndiceEditionCourante = 0;
    bool fin_journaux = false, deja_lu = false;
    bool bErreurSequencement = false;
    // A title or an edition came back after another one.
    bool bRetourTitreEdition = false;
    std::vector<std::uint8_t> pChangeRecord;
    std::optional<PreparateurEnregistrement> Preparateur;
    // Characters of a subscriber line that one read takes at most.
    std::size_t LongueurLecture = 0;
    DernierAbonne Dernier;
    // Titles whose subscriber and bundle files this run created, with their
    // last subscriber number.
    std::unordered_map<std::string, int> NumerosParTitre;
    std::int64_t TailleJournaux = 0;
    int PourcentageJournaux = 0;
    std::int64_t SeuilJournaux = 0;  // where the percentage read next changes

public:
    // ---- end supplier conversion ----
};
