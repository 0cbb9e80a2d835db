#include "platform/ui/dialog.h"

#include "platform/codepage.h"

using plat::ui::ControlKind;
using plat::ui::CurrentBackend;
using plat::ui::Event;
using plat::ui::HandlerKind;

namespace {

// Thrown by CDataExchange::Fail, caught by UpdateData: a failed exchange
// never leaves the dialog.
struct DataExchangeFailed {};

std::unique_ptr<CWnd> MakeControl(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
        case ControlKind::DefPushButton:
        case ControlKind::CheckBox:
            return std::make_unique<CButton>();
        case ControlKind::Edit:
            return std::make_unique<CEdit>();
        case ControlKind::StaticText:
        case ControlKind::StaticIcon:
            return std::make_unique<CStatic>();
        case ControlKind::ProgressBar:
            return std::make_unique<CProgressCtrl>();
        case ControlKind::Slider:
            return std::make_unique<CSliderCtrl>();
        case ControlKind::ScrollBar:
            return std::make_unique<CScrollBar>();
        case ControlKind::ComboBox:
            return std::make_unique<CComboBox>();
        case ControlKind::ListBox:
            return std::make_unique<CListBox>();
        case ControlKind::Grid:
            return std::make_unique<CGrid>();
    }
    // A kind this framework does not know: a plain window that keeps its
    // text and visibility and does nothing else.
    return std::make_unique<CWnd>();
}

}  // namespace

void CDataExchange::Fail() {
    throw DataExchangeFailed{};
}

CDialog::CDialog(const plat::ui::DialogTemplate* tmpl, UINT nIDTemplate, CWnd* pParentWnd)
    : template_(tmpl), templateId_(nIDTemplate) {
    parent_ = pParentWnd;
    owner_ = this;
}

CDialog::~CDialog() = default;

void CDialog::CreateControls() {
    controls_.clear();
    text_ = plat::Cp1252FromUtf8(template_->caption);
    for (const plat::ui::ControlTemplate& tmpl : template_->controls) {
        std::unique_ptr<CWnd> control = MakeControl(tmpl.kind);
        control->InitFromTemplate(tmpl, this);
        if (auto* edit = dynamic_cast<CEdit*>(control.get())) {
            edit->readOnly_ = (tmpl.style & plat::ui::style::ReadOnly) != 0;
        } else if (auto* picture = dynamic_cast<CStatic*>(control.get())) {
            picture->icon_ = tmpl.icon;
        }
        controls_.push_back(std::move(control));
    }
}

void CDialog::DestroyControls() {
    controls_.clear();
    sysMenu_.reset();
}

int CDialog::DoModal() {
    if (template_ == nullptr || open_) return -1;
    CreateControls();
    timers_.clear();
    result_ = IDCANCEL;
    iconic_ = false;
    open_ = true;
    plat::ui::Backend& backend = CurrentBackend();
    backend.RunModal(*this);
    open_ = false;  // a backend that returns early leaves it cancelled
    for (UINT_PTR timer : timers_) backend.KillTimer(*this, timer);
    timers_.clear();
    DestroyControls();
    return result_;
}

void CDialog::EndDialog(int nResult) {
    if (!open_) return;
    result_ = nResult;
    open_ = false;
    CurrentBackend().DialogEnded(*this);
}

CWnd* CDialog::GetDlgItem(int nID) const {
    for (const auto& control : controls_) {
        if (control->GetDlgCtrlID() == nID) return control.get();
    }
    return nullptr;
}

bool CDialog::UpdateData(bool bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const DataExchangeFailed&) {
        if (CWnd* control = GetDlgItem(dx.m_idLastControl)) control->SetFocus();
        return false;
    }
    return true;
}

UINT_PTR CDialog::SetTimer(UINT_PTR nIDEvent, UINT nElapse) {
    if (!open_) return 0;
    timers_.insert(nIDEvent);
    CurrentBackend().SetTimer(*this, nIDEvent, nElapse);
    return nIDEvent;
}

bool CDialog::KillTimer(UINT_PTR nIDEvent) {
    if (timers_.erase(nIDEvent) == 0) return false;
    CurrentBackend().KillTimer(*this, nIDEvent);
    return true;
}

CMenu* CDialog::GetSystemMenu(bool) {
    if (!open_ || (template_->style & plat::ui::dialog_style::SysMenu) == 0 ||
        !CurrentBackend().HasSystemMenu()) {
        return nullptr;
    }
    if (!sysMenu_) sysMenu_ = std::make_unique<CMenu>(this);
    return sysMenu_.get();
}

HICON CDialog::SetIcon(HICON hIcon, bool bBigIcon) {
    HICON& slot = bBigIcon ? bigIcon_ : smallIcon_;
    const HICON previous = slot;
    slot = hIcon;
    NotifyChange(plat::ui::Change::Icon, bBigIcon ? 1 : 0);
    return previous;
}

bool CDialog::RunInitDialog() {
    return OnInitDialog();
}

void CDialog::PressButton(int nID) {
    if (!open_) return;
    if (nID != IDCANCEL) {
        const CWnd* control = GetDlgItem(nID);
        if (control == nullptr || !control->IsWindowVisible() || !control->IsWindowEnabled()) {
            return;
        }
    }
    FireEvent(nID, Event::Clicked);
}

bool CDialog::CancelRequested() {
    if (!cancelRequested_ && plat::ui::CurrentBackend().PollCancel(*this)) cancelRequested_ = true;
    return cancelRequested_;
}

void CDialog::FireEvent(int nID, Event event) {
    if (!open_) return;
    if (const Binding* binding = FindBinding(nID, event)) {
        const std::function<void()> handler = binding->handler;
        // A cancel asked before this run started is not this run's.
        if (binding->kind == HandlerKind::LongRun) cancelRequested_ = false;
        handler();
        return;
    }
    if (event != Event::Clicked) return;
    if (nID == IDOK) {
        OnOK();
    } else if (nID == IDCANCEL) {
        OnCancel();
    }
}

HandlerKind CDialog::GetHandlerKind(int nID, Event event) const {
    const Binding* binding = FindBinding(nID, event);
    return binding ? binding->kind : HandlerKind::Quick;
}

void CDialog::BindFunction(int nID, Event event, std::function<void()> handler, HandlerKind kind) {
    bindings_.push_back({nID, event, std::move(handler), kind});
}

const CDialog::Binding* CDialog::FindBinding(int nID, Event event) const {
    for (const Binding& binding : bindings_) {
        if (binding.id == nID && binding.event == event) return &binding;
    }
    return nullptr;
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    if (!UpdateData(true)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnTimer(UINT_PTR) {}

void CDialog::OnSysCommand(UINT nID, LPARAM) {
    switch (nID & 0xFFF0) {
        case SC_CLOSE:
            OnCancel();
            break;
        case SC_MINIMIZE:
            iconic_ = true;
            break;
        case SC_RESTORE:
            iconic_ = false;
            break;
        default:
            break;
    }
}
