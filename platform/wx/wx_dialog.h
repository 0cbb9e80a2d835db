// The real window of a dialog model: a wxDialog built from the dialog's
// template, with one peer per control. It routes the operator's input to
// the model, runs a long handler (the import) on a worker thread while it
// keeps repainting and takes no input, and runs the modal loop.
#pragma once

#include <wx/dialog.h>
#include <wx/timer.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/ui/dialog.h"
#include "platform/wx/wx_peers.h"
#include "platform/wx/wx_support.h"

namespace plat::wx {

class DialogWindow : public wxDialog {
public:
    DialogWindow(CDialog& model, wxWindow* parent);
    ~DialogWindow() override;

    CDialog& Model() const { return model_; }

    // Shows the window modally until the model ends; runs OnInitDialog first.
    void RunModal();
    // The model ended: leave the modal loop.
    void Ended();

    // False while a long handler works: the window takes no input then.
    bool AcceptsInput() const { return !worker_.joinable(); }
    // Delivers operator input to the model unless a long handler works.
    void Input(const std::function<void()>& deliver);
    // A click on button id (mouse, Enter, Escape).
    void PressButton(int id);

    // A control of the model, or the model itself, changed.
    void Apply(CWnd& wnd, const plat::ui::ControlChange& change);
    ControlPeer* PeerOf(const CWnd& wnd) const;

    // Gives window the keyboard focus, once the dialog shows if it does not
    // yet.
    void Focus(wxWindow* window);

    void StartTimer(UINT_PTR id, UINT elapse);
    void StopTimer(UINT_PTR id);

private:
    void BuildControls();
    void ApplyIcon();
    void RunLongHandler(int id);
    void OnClose(wxCloseEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnPaint(wxPaintEvent& event);
    void OnIconize(wxIconizeEvent& event);
    // Escape or the close box while a long handler works: the model's
    // question, and on Oui its cancel request.
    void AskCancel();

    CDialog& model_;
    DialogUnits units_;
    std::vector<std::unique_ptr<ControlPeer>> peers_;
    std::map<UINT_PTR, std::unique_ptr<wxTimer>> timers_;
    std::thread worker_;
    wxWindow* focusWhenShown_ = nullptr;
    // Taken from the model before the long handler starts (the window reads
    // nothing of the model while it works).
    std::string cancelQuestion_;
    bool askingCancel_ = false;
};

}  // namespace plat::wx
