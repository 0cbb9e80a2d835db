// The shell of the main window: construction, system menu and about box,
// status line, icon. The import run's methods live in import/.
#include "app/QuervaneDlg.h"

#include "app/AboutDlg.h"
#include "platform/ui/backend.h"
#include "resources/resource.h"

namespace {
constexpr UINT_PTR kStatusRepaintTimer = 1;
constexpr UINT kStatusRepaintDelay = 100;  // milliseconds
}  // namespace

CQuervaneDlg::CQuervaneDlg(CWnd* pParent) : CDiagUtils(IDD_QUERVANE_DIALOG, pParent) {
    m_hIcon = plat::ui::FindIcon(IDR_MAINFRAME) ? IDR_MAINFRAME : 0;
    sDisplayMessage.clear();
    Bind(IDC_QUERVANE, plat::ui::Event::Clicked, &CQuervaneDlg::OnQuervane,
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
