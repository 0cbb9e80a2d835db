// Windows as models: a CWnd keeps its state (text, visibility, enabled
// state, a painted line) and tells the backend of every change while its
// dialog is open. Controls (controls.h) and dialogs (dialog.h) derive from it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/backend.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/types.h"

class CDialog;

namespace plat::ui {

// Control events that a dialog binds handlers to.
enum class Event {
    Clicked,           // button click, grid click
    DoubleClicked,     // grid or list double-click
    SelectionChanged,  // list or combo box
    TextChanged,       // edit or combo edit field typed into
};

}  // namespace plat::ui

// Position and size in dialog units, from the template.
struct CRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    int GetDlgCtrlID() const { return id_; }
    plat::ui::ControlKind GetKind() const { return kind_; }
    unsigned GetStyle() const { return style_; }
    CRect GetWindowRect() const { return rect_; }
    // The dialog that holds this control; for a dialog, its parent window.
    CWnd* GetParent() const { return parent_; }

    // 1252 text: a control's text, a dialog's caption.
    void SetWindowText(std::string_view text);
    std::string GetWindowText() const { return text_; }
    void GetWindowText(std::string& text) const { text = text_; }
    int GetWindowTextLength() const { return static_cast<int>(text_.size()); }

    // SW_HIDE hides, any other command shows. Returns whether it was visible.
    bool ShowWindow(int nCmdShow);
    bool IsWindowVisible() const { return visible_; }
    // Returns whether it was disabled.
    bool EnableWindow(bool bEnable = true);
    bool IsWindowEnabled() const { return enabled_; }
    void SetFocus();
    void BringWindowToTop();

    // Draws one line of text over the client area on a white ground, without
    // making it the window's text (the status line). Shown at once.
    void PaintLine(std::string_view text);
    const std::string& GetPaintedLine() const { return painted_; }

    int MessageBox(std::string_view text, std::string_view caption = {}, UINT nType = MB_OK);

    // Wait cursor, counted: each Begin needs an End; an End without a Begin
    // does nothing.
    static void BeginWaitCursor();
    static void EndWaitCursor();
    static void RestoreWaitCursor();

    // Whether the backend is told of changes now (the dialog is open).
    bool IsLive() const;

protected:
    void NotifyChange(plat::ui::Change what, int index = -1, int row = -1, int col = -1);
    // Keeps text as the window's text without telling the backend (operator input).
    void StoreText(std::string_view text) { text_ = text; }
    // Fires event on this control through its dialog (operator input).
    void FireOwnEvent(plat::ui::Event event);
    CDialog* OwnerDialog() const { return owner_; }

private:
    friend class CDialog;
    // Called for controls when their dialog creates them.
    void InitFromTemplate(const plat::ui::ControlTemplate& tmpl, CDialog* owner);

    int id_ = 0;
    plat::ui::ControlKind kind_ = plat::ui::ControlKind::StaticText;
    unsigned style_ = 0;
    CRect rect_;
    CWnd* parent_ = nullptr;
    CDialog* owner_ = nullptr;  // the dialog whose openness makes this window live
    std::string text_;
    std::string painted_;
    bool visible_ = true;
    bool enabled_ = true;
};

// A menu of the system-menu kind: items appended, nothing else.
class CMenu {
public:
    struct Item {
        UINT flags = MF_STRING;
        UINT_PTR id = 0;
        std::string text;  // 1252
    };

    explicit CMenu(CWnd* owner = nullptr) : owner_(owner) {}

    bool AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, std::string_view text = {});
    int GetMenuItemCount() const { return static_cast<int>(items_.size()); }
    const std::vector<Item>& Items() const { return items_; }

private:
    CWnd* owner_;
    std::vector<Item> items_;
};
