#include "platform/wx/wx_dialog.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/grid.h>
#include <wx/menu.h>

#include "platform/crash.h"
#include "platform/wx/wx_backend.h"

using plat::ui::Change;
using plat::ui::ControlChange;
using plat::ui::HandlerKind;
namespace dialog_style = plat::ui::dialog_style;

namespace plat::wx {
namespace {

long FrameStyle(unsigned style) {
    long wxStyle = 0;
    if (style & dialog_style::Caption) wxStyle |= wxCAPTION;
    if (style & dialog_style::SysMenu) wxStyle |= wxSYSTEM_MENU | wxCLOSE_BOX;
    if (style & dialog_style::MinimizeBox) wxStyle |= wxMINIMIZE_BOX;
    return wxStyle;
}

int TemplateFontSize(const CDialog& model) {
    return model.GetTemplate() ? model.GetTemplate()->fontSize : 8;
}

// The ids of the context menu's items start here, far from the dialog's own.
constexpr int kFirstMenuId = wxID_HIGHEST + 1000;

}  // namespace

DialogWindow::DialogWindow(CDialog& model, wxWindow* parent)
    : wxDialog(parent, wxID_ANY, ToWx(model.GetWindowText()), wxDefaultPosition, wxDefaultSize,
               FrameStyle(model.GetTemplate() ? model.GetTemplate()->style : 0)),
      model_(model),
      units_(DialogFont(TemplateFontSize(model))) {
    SetFont(DialogFont(TemplateFontSize(model)));
    SetEscapeId(wxID_NONE);
    if (const auto* tmpl = model.GetTemplate()) SetClientSize(units_.Size(tmpl->cx, tmpl->cy));
    Bind(wxEVT_CLOSE_WINDOW, &DialogWindow::OnClose, this);
    Bind(wxEVT_CHAR_HOOK, &DialogWindow::OnCharHook, this);
    Bind(wxEVT_CONTEXT_MENU, &DialogWindow::OnContextMenu, this);
    Bind(wxEVT_PAINT, &DialogWindow::OnPaint, this);
    Bind(wxEVT_ICONIZE, &DialogWindow::OnIconize, this);
    BuildControls();
    if (parent)
        CentreOnParent();
    else
        CentreOnScreen();
}

DialogWindow::~DialogWindow() {
    for (auto& [id, timer] : timers_) timer->Stop();
    if (worker_.joinable()) worker_.join();
}

void DialogWindow::BuildControls() {
    for (const auto& control : model_.Controls()) {
        peers_.push_back(MakePeer(*control, *this, units_));
        peers_.back()->ApplyAll();
    }
    ApplyIcon();
}

void DialogWindow::ApplyIcon() {
    wxBitmap icon = IconBitmap(model_.GetIcon(true));
    if (!icon.IsOk()) icon = IconBitmap(model_.GetIcon(false));
    if (icon.IsOk()) {
        wxIcon frameIcon;
        frameIcon.CopyFromBitmap(icon);
        SetIcon(frameIcon);
    }
}

void DialogWindow::RunModal() {
    model_.RunInitDialog();
    if (!model_.IsOpen()) return;
    // GTK gives the focus to a control of its own choice when the dialog
    // shows; the one that OnInitDialog chose takes it back then.
    if (focusWhenShown_)
        CallAfter([this] {
            if (focusWhenShown_) focusWhenShown_->SetFocus();
        });
    ShowModal();
}

void DialogWindow::Focus(wxWindow* window) {
    if (IsShown()) {
        window->SetFocus();
    } else {
        focusWhenShown_ = window;
    }
}

void DialogWindow::Ended() {
    if (IsModal()) EndModal(model_.GetResult());
}

void DialogWindow::Input(const std::function<void()>& deliver) {
    if (AcceptsInput() && model_.IsOpen()) deliver();
}

void DialogWindow::PressButton(int id) {
    if (!AcceptsInput() || !model_.IsOpen()) return;
    if (model_.GetHandlerKind(id, plat::ui::Event::Clicked) == HandlerKind::LongRun) {
        RunLongHandler(id);
    } else {
        model_.PressButton(id);
    }
}

void DialogWindow::RunLongHandler(int id) {
    const CWnd* button = model_.GetDlgItem(id);
    if (!button || !button->IsWindowVisible() || !button->IsWindowEnabled()) return;
    // The handler works on its own thread; every backend call it makes comes
    // back to this thread and waits (RunOnUiThread), so the model still sees
    // one thread at a time. Meanwhile this window repaints and ignores input.
    cancelQuestion_ = model_.CancelQuestion();
    worker_ = std::thread([this, id] {
        plat::PrepareThreadForCrashReport();
        model_.PressButton(id);
        wxTheApp->CallAfter([this] {
            if (worker_.joinable()) worker_.join();
        });
    });
}

void DialogWindow::Apply(CWnd& wnd, const ControlChange& change) {
    if (&wnd != &model_) {
        if (ControlPeer* peer = PeerOf(wnd)) peer->Apply(change);
        return;
    }
    switch (change.what) {
        case Change::Text:
            SetTitle(ToWx(model_.GetWindowText()));
            break;
        case Change::Icon:
            ApplyIcon();
            break;
        case Change::Shown:
            Show(model_.IsWindowVisible());
            break;
        case Change::Enabled:
            Enable(model_.IsWindowEnabled());
            break;
        default:
            break;
    }
}

ControlPeer* DialogWindow::PeerOf(const CWnd& wnd) const {
    for (const auto& peer : peers_) {
        if (&peer->Model() == &wnd) return peer.get();
    }
    return nullptr;
}

void DialogWindow::StartTimer(UINT_PTR id, UINT elapse) {
    auto& timer = timers_[id];
    if (!timer) {
        timer = std::make_unique<wxTimer>();
        timer->Bind(wxEVT_TIMER, [this, id](wxTimerEvent&) {
            if (AcceptsInput() && model_.IsOpen()) model_.TimerElapsed(id);
        });
    }
    timer->Start(static_cast<int>(std::max(1u, elapse)));
}

void DialogWindow::StopTimer(UINT_PTR id) {
    // Kept, stopped, until the window goes: a handler may stop its own timer.
    auto found = timers_.find(id);
    if (found != timers_.end()) found->second->Stop();
}

void DialogWindow::OnClose(wxCloseEvent& event) {
    // The model decides: the close box is the system menu's close command.
    if (event.CanVeto()) event.Veto();
    if (!AcceptsInput()) {
        AskCancel();
        return;
    }
    Input([this] { model_.SystemCommand(SC_CLOSE); });
}

void DialogWindow::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (key == WXK_ESCAPE) {
        if (AcceptsInput()) {
            PressButton(IDCANCEL);
        } else {
            AskCancel();
        }
        return;
    }
    if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
        wxWindow* focus = FindFocus();
        if (focus && dynamic_cast<wxButton*>(focus)) {
            event.Skip();  // Enter on a button presses that button
            return;
        }
        // Enter in a grid acts on its current row (the grid's peer).
        for (wxWindow* w = focus; w && w != this; w = w->GetParent()) {
            if (dynamic_cast<wxGrid*>(w)) {
                event.Skip();
                return;
            }
        }
        int defaultId = IDOK;
        for (const auto& control : model_.Controls()) {
            if (control->GetKind() == plat::ui::ControlKind::DefPushButton)
                defaultId = control->GetDlgCtrlID();
        }
        PressButton(defaultId);
        return;
    }
    event.Skip();
}

void DialogWindow::AskCancel() {
    if (cancelQuestion_.empty() || askingCancel_) return;
    askingCancel_ = true;
    const int answer =
        ShowMessageBox(this, cancelQuestion_, FromWx(GetTitle()), MB_YESNO | MB_ICONQUESTION);
    askingCancel_ = false;
    // The run may have ended while the question was open: nothing to stop.
    if (answer == IDYES && !AcceptsInput()) model_.RequestCancel();
}

void DialogWindow::OnContextMenu(wxContextMenuEvent&) {
    // GTK windows have no system menu: its items are offered here instead.
    const CMenu* systemMenu = model_.SystemMenu();
    if (!AcceptsInput() || !systemMenu || systemMenu->GetMenuItemCount() == 0) return;
    wxMenu menu;
    std::map<int, UINT> commands;
    int nextId = kFirstMenuId;
    for (const CMenu::Item& item : systemMenu->Items()) {
        if (item.flags & MF_SEPARATOR) {
            if (menu.GetMenuItemCount() > 0) menu.AppendSeparator();
            continue;
        }
        commands[nextId] = static_cast<UINT>(item.id);
        menu.Append(nextId++, ToWx(item.text));
    }
    const int chosen = GetPopupMenuSelectionFromUser(menu);
    auto command = commands.find(chosen);
    if (command != commands.end())
        Input([this, id = command->second] { model_.SystemCommand(id); });
}

void DialogWindow::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    if (AcceptsInput() && model_.IsOpen()) model_.PaintRequested();
}

void DialogWindow::OnIconize(wxIconizeEvent& event) {
    model_.SetIconic(event.IsIconized());
    event.Skip();
}

}  // namespace plat::wx
