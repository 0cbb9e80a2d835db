// Peers: the wx window that shows one control of an open dialog. A peer
// brings its window up to the model when told of a change (on the
// user-interface thread, while the model's thread waits) and turns the
// operator's input into the model's Input... calls through its dialog
// window. A peer keeps its own copy of what it shows, so that the window
// repaints without reading the model.
#pragma once

#include <wx/window.h>

#include <memory>
#include <string>

#include "platform/ui/controls.h"
#include "platform/wx/wx_support.h"

namespace plat::wx {

class DialogWindow;

class ControlPeer {
public:
    ControlPeer(CWnd& model, DialogWindow& dialog, wxWindow* window);
    virtual ~ControlPeer();
    ControlPeer(const ControlPeer&) = delete;
    ControlPeer& operator=(const ControlPeer&) = delete;

    CWnd& Model() const { return model_; }
    wxWindow* Window() const { return window_; }
    // The line drawn over the control (the status line), as shown.
    const wxString& PaintedText() const;

    void Apply(const plat::ui::ControlChange& change);
    // Brings every property up to the model (after the peer is made).
    void ApplyAll();

protected:
    DialogWindow& Dialog() const { return dialog_; }
    // What this kind of control shows beyond text, visibility and state.
    virtual void ApplySpecific(const plat::ui::ControlChange& change) { (void)change; }
    virtual void ApplyAllSpecific() {}
    virtual void ApplyText();
    // An edit field shows a painted line in itself (the status line):
    // true when this peer did.
    virtual bool ShowsPaintedInItself(const wxString& line);

private:
    class PaintedLine;
    void ApplyVisibility();
    void ApplyPainted();

    CWnd& model_;
    DialogWindow& dialog_;
    wxWindow* window_;
    PaintedLine* painted_ = nullptr;  // made at the first painted line
    wxString paintedText_;            // the painted line as shown
};

// Makes the window of a control of dialog, placed by its template.
std::unique_ptr<ControlPeer> MakePeer(CWnd& model, DialogWindow& dialog, const DialogUnits& units);

// The grid peer lives in its own file.
std::unique_ptr<ControlPeer> MakeGridPeer(CGrid& model, DialogWindow& dialog, wxPoint position,
                                          wxSize size);

}  // namespace plat::wx
