// The shell of the main window: construction, system menu and about box,
// status line, icon. The import run's methods live in import/.
#include "app/QuervaneDlg.h"

#include <numeric>

#include "app/AboutDlg.h"
#include "import/RunContext.h"
#include "import/RunHelpers.h"
#include "import/RunLog.h"
#include "platform/clock.h"
#include "platform/inet/ftp_address.h"
#include "platform/ui/backend.h"
#include "platform/ui/message_box.h"
#include "resources/resource.h"

namespace {
constexpr UINT_PTR kStatusRepaintTimer = 1;
constexpr UINT kStatusRepaintDelay = 100;  // milliseconds
}  // namespace

CQuervaneDlg::CQuervaneDlg(CWnd* pParent) : CDiagUtils(IDD_QUERVANE_DIALOG, pParent) {
    m_hIcon = plat::ui::FindIcon(IDR_MAINFRAME) ? IDR_MAINFRAME : 0;
    sDisplayMessage.clear();
    Bind(IDC_QUERVANE, plat::ui::Event::Clicked, &CQuervaneDlg::OnLireDonnees,
         plat::ui::HandlerKind::LongRun);
}

CQuervaneDlg::~CQuervaneDlg() = default;

void CQuervaneDlg::DoDataExchange(CDataExchange* pDX) {
    CDiagUtils::DoDataExchange(pDX);
}

bool CQuervaneDlg::OnInitDialog() {
    CDiagUtils::OnInitDialog();
    if (CMenu* sysMenu = GetSystemMenu(false)) {
        const std::string about = LoadString(IDS_ABOUTBOX);
        if (!about.empty()) {
            sysMenu->AppendMenu(MF_SEPARATOR);
            sysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);
    return true;
}

void CQuervaneDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        CDiagUtils::OnSysCommand(nID, lParam);
    }
}

// Minimised, the window shows its icon (the backend draws it). Otherwise the
// repaint erases the status line, which is drawn over the edit control:
// timer 1 draws it again shortly after.
void CQuervaneDlg::OnPaint() {
    if (!IsIconic() && !sDisplayMessage.empty()) {
        SetTimer(kStatusRepaintTimer, kStatusRepaintDelay);
    }
    CDiagUtils::OnPaint();
}

void CQuervaneDlg::OnTimer(UINT_PTR nIDEvent) {
    KillTimer(kStatusRepaintTimer);
    if (!sDisplayMessage.empty()) Afficher(sDisplayMessage);
    CDiagUtils::OnTimer(nIDEvent);
}

HICON CQuervaneDlg::OnQueryDragIcon() {
    return m_hIcon;
}

void CQuervaneDlg::Afficher(std::string_view Info) {
    sDisplayMessage = Info;
    MessagesAvantStatut = plat::ui::CurrentBackend().MessageBoxesShown();
    CWnd* status = GetDlgItem(IDC_STATUS);
    if (status == nullptr) return;
    status->BringWindowToTop();
    status->SetFocus();
    status->PaintLine(Info);
}

std::string CQuervaneDlg::CancelQuestion() const {
    return LoadString(IDS_QUESTION_INTERRUPTION);
}

bool CQuervaneDlg::InterruptionDemandee() {
    if (!CancelRequested()) return false;
    const std::string statut = LoadString(IDS_IMPORTATION_INTERROMPUE);
    if (sDisplayMessage != statut) {
        CWnd::EndWaitCursor();
        Afficher(statut);
    }
    return true;
}

void CQuervaneDlg::OnLireDonnees() {
    RunLogEntry entry;
    entry.start = plat::NowLocal();
    const plat::FileTime debut = plat::Now();
    SourceJournal.clear();
    SorteJournal.clear();
    TitreJournal.clear();
    AbonnesConvertis = 0;
    FichiersCopies.clear();
    nb_sacs_edition.clear();
    nb_liasses_edition.clear();
    {
        plat::ui::MessageListener ecoute(
            [&entry](std::string_view texte) { entry.messages.emplace_back(texte); });
        OnQuervane();
    }
    if (!bJournalExecution) return;
    entry.end = plat::NowLocal();
    entry.seconds = plat::Now() - debut;
    entry.source = SourceJournal;
    entry.kind = SorteJournal;
    entry.title = TitreJournal;
    // The counts exist once the subscriber pass has closed a title.
    if (AbonnesConvertis > 0 && !nb_sacs_edition.empty()) {
        const auto somme = [](const std::vector<long>& v) {
            return std::accumulate(v.begin(), v.end(), 0LL);
        };
        entry.counts = {{Texte("abonnés"), AbonnesConvertis},
                        {"liasses", somme(nb_liasses_edition)},
                        {"sacs", somme(nb_sacs_edition)},
                        {"routages", IndexPasse.M_ilot.Nombre()},
                        {Texte("éditions"), IndexPasse.M_iedition.Nombre()}};
    }
    entry.copied = FichiersCopies;
    entry.status = sDisplayMessage;
    AppendRunLog(kRunLogName, FormatRunLogBlock(entry));
}

void CQuervaneDlg::NoterSource(const RunContext& run) {
    const bool ftp = plat::ftp::IsFtpAddress(run.DlgLoad.sCompletePath) && run.bDonnees;
    if (ftp && !run.FichierAbonnes.empty()) {
        SourceJournal =
            plat::ftp::WithoutCredentials(run.DlgLoad.sCompletePath) + run.DlgLoad.sFileName;
    } else if (!run.CheminFichier.empty()) {
        SourceJournal = run.CheminFichier;
    } else if (!run.FichierAbonnes.empty()) {
        SourceJournal = run.CheminAbonnes + run.FichierAbonnes;
    }
    if (SourceJournal.empty()) return;
    if (EnregistrementJournal.LongueurEnregistrement == 0) {
        SorteJournal = Texte("base préparée");
    } else {
        static constexpr std::string_view kSortes[] = {
            "fichiers .CYB", "fichiers .SIT", "fichiers .TXT", "fichiers nommés par modèle"};
        const int sorte =
            run.bSelectionJournal >= 0 && run.bSelectionJournal <= 3 ? run.bSelectionJournal : 0;
        SorteJournal = Texte("jeu fournisseur, ") + Texte(kSortes[sorte]);
    }
    if (run.bZippe) SorteJournal += ", archive ZIP";
    // A prepared base has no title label: its files are named after it.
    TitreJournal = LibelleTitreJournal();
    if (TitreJournal.empty()) TitreJournal = run.FichierAbonnes;
}
