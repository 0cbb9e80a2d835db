#include "platform/ui/wnd.h"

#include <atomic>

#include "platform/codepage.h"
#include "platform/ui/app.h"
#include "platform/ui/dialog.h"
#include "platform/ui/message_box.h"

using plat::ui::Change;
using plat::ui::CurrentBackend;

namespace {
// Begin/End pairs nest; the cursor shows while the count is positive.
std::atomic<int> waitCursorCount{0};
}  // namespace

CWnd::~CWnd() = default;

bool CWnd::IsLive() const {
    return owner_ != nullptr && owner_->IsOpen();
}

void CWnd::NotifyChange(Change what, int index, int row, int col) {
    if (IsLive()) CurrentBackend().ControlChanged(*this, {what, index, row, col});
}

void CWnd::FireOwnEvent(plat::ui::Event event) {
    if (owner_ != nullptr && owner_ != this) owner_->FireEvent(id_, event);
}

void CWnd::InitFromTemplate(const plat::ui::ControlTemplate& tmpl, CDialog* owner) {
    id_ = tmpl.id;
    kind_ = tmpl.kind;
    style_ = tmpl.style;
    rect_ = {tmpl.x, tmpl.y, tmpl.x + tmpl.cx, tmpl.y + tmpl.cy};
    parent_ = owner;
    owner_ = owner;
    text_ = plat::Cp1252FromUtf8(tmpl.text);
    visible_ = (tmpl.style & plat::ui::style::Hidden) == 0;
    enabled_ = (tmpl.style & plat::ui::style::Disabled) == 0;
}

void CWnd::SetWindowText(std::string_view text) {
    if (text_ == text) return;
    text_ = text;
    NotifyChange(Change::Text);
}

bool CWnd::ShowWindow(int nCmdShow) {
    const bool wasVisible = visible_;
    visible_ = nCmdShow != SW_HIDE;
    if (visible_ != wasVisible) NotifyChange(Change::Shown);
    return wasVisible;
}

bool CWnd::EnableWindow(bool bEnable) {
    const bool wasDisabled = !enabled_;
    enabled_ = bEnable;
    if (enabled_ == wasDisabled) NotifyChange(Change::Enabled);
    return wasDisabled;
}

void CWnd::SetFocus() {
    NotifyChange(Change::Focus);
}

void CWnd::BringWindowToTop() {
    NotifyChange(Change::ToTop);
}

void CWnd::PaintLine(std::string_view text) {
    painted_ = text;
    NotifyChange(Change::Painted);
}

int CWnd::MessageBox(std::string_view text, std::string_view caption, UINT nType) {
    const std::string title = caption.empty() ? AfxGetAppName() : std::string(caption);
    plat::ui::NotifyMessageShown(text);
    return CurrentBackend().MessageBox(this, text, title, nType);
}

void CWnd::BeginWaitCursor() {
    if (waitCursorCount++ == 0) CurrentBackend().SetWaitCursor(true);
}

void CWnd::EndWaitCursor() {
    int count = waitCursorCount.load();
    while (count > 0 && !waitCursorCount.compare_exchange_weak(count, count - 1)) {
    }
    if (count == 1) CurrentBackend().SetWaitCursor(false);
}

void CWnd::RestoreWaitCursor() {
    if (waitCursorCount > 0) CurrentBackend().SetWaitCursor(true);
}

bool CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, std::string_view text) {
    items_.push_back({nFlags, nIDNewItem, std::string(text)});
    if (owner_ != nullptr && owner_->IsLive()) {
        CurrentBackend().ControlChanged(
            *owner_, {Change::SystemMenu, static_cast<int>(items_.size()) - 1, -1, -1});
    }
    return true;
}
