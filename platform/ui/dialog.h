// Modal dialogs as models. A CDialog is built on a template; DoModal creates
// its controls from the template, hands it to the backend, and destroys the
// controls when it ends (so a dialog can be shown again, freshly).
//
// Handlers. Window messages are virtual functions (OnInitDialog, OnOK,
// OnCancel, OnPaint, OnTimer, OnSysCommand, OnQueryDragIcon). Control events
// are bound in the constructor, the way a message map would list them:
//     Bind(1000, plat::ui::Event::Clicked, &CQuervaneDlg::OnQuervane,
//          plat::ui::HandlerKind::LongRun);
// A click on IDOK or IDCANCEL without a binding calls OnOK or OnCancel.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/controls.h"
#include "platform/ui/resource.h"
#include "platform/ui/wnd.h"

namespace plat::ui {

// A long run (the import) works for seconds without taking input; a backend
// that must keep its window alive meanwhile runs it apart (see DESIGN).
enum class HandlerKind { Quick, LongRun };

}  // namespace plat::ui

class CDialog;

// Data exchange between controls and members (DoDataExchange).
class CDataExchange {
public:
    CDataExchange(CDialog* pDlgWnd, bool bSaveAndValidate)
        : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}
    // Ends the exchange as failed: UpdateData returns false, the focus goes
    // to the control last prepared.
    [[noreturn]] void Fail();
    void PrepareCtrl(int nIDC) { m_idLastControl = nIDC; }

    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;
    int m_idLastControl = 0;
};

// Edit or combo text <-> text member.
void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);
// Edit text <-> integer member, decimal. A text that is not an integer shows
// "Tapez un nombre entier." and fails the exchange.
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
// Check box <-> 0/1 member.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Combo or list selection index <-> member.
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);

class CDialog : public CWnd {
public:
    // Built on the application's template nIDTemplate (resources/).
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : CDialog(plat::ui::FindDialogTemplate(nIDTemplate), nIDTemplate, pParentWnd) {}
    // Built on a given template (tests, dialogs of the platform itself).
    CDialog(const plat::ui::DialogTemplate* tmpl, UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Shows the dialog modally; returns the EndDialog result (IDCANCEL when
    // the operator closed it), or -1 when it cannot be shown (no template,
    // or already shown).
    int DoModal();
    void EndDialog(int nResult);
    bool IsOpen() const { return open_; }
    int GetResult() const { return result_; }

    UINT GetTemplateId() const { return templateId_; }
    const plat::ui::DialogTemplate* GetTemplate() const { return template_; }

    // nullptr when the dialog has no such control (or is not open).
    CWnd* GetDlgItem(int nID) const;
    // The control nID when it is of type T, else nullptr.
    template <class T>
    T* GetControl(int nID) const {
        return dynamic_cast<T*>(GetDlgItem(nID));
    }
    // The controls in template order (while open).
    const std::vector<std::unique_ptr<CWnd>>& Controls() const { return controls_; }

    // true: controls -> members (validated); false: members -> controls.
    bool UpdateData(bool bSaveAndValidate = true);

    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse);
    bool KillTimer(UINT_PTR nIDEvent);
    bool HasTimer(UINT_PTR nIDEvent) const { return timers_.count(nIDEvent) != 0; }

    // nullptr when the platform or the template has no system menu.
    CMenu* GetSystemMenu(bool bRevert);
    const CMenu* SystemMenu() const { return sysMenu_.get(); }

    HICON SetIcon(HICON hIcon, bool bBigIcon);
    HICON GetIcon(bool bBigIcon) const { return bBigIcon ? bigIcon_ : smallIcon_; }
    bool IsIconic() const { return iconic_; }

    // ---- operator input (backends only) ----
    // Runs OnInitDialog; the backend calls it once from RunModal.
    bool RunInitDialog();
    // A click on button nID (also IDOK / IDCANCEL from the keyboard): ignored
    // when the dialog is closed or the control is hidden or disabled; IDCANCEL
    // always works (Escape, close box).
    void PressButton(int nID);
    // Fires the event of control nID: its bound handler, else the default
    // (Clicked on IDOK / IDCANCEL: OnOK / OnCancel).
    void FireEvent(int nID, plat::ui::Event event);
    // The handler kind bound to (nID, event); Quick when none.
    plat::ui::HandlerKind GetHandlerKind(int nID, plat::ui::Event event) const;
    void SystemCommand(UINT nID, LPARAM lParam = 0) { OnSysCommand(nID, lParam); }
    void TimerElapsed(UINT_PTR nIDEvent) { OnTimer(nIDEvent); }
    void PaintRequested() { OnPaint(); }
    HICON DragIconRequested() { return OnQueryDragIcon(); }
    void SetIconic(bool iconic) { iconic_ = iconic; }

    // ---- cancel of a long handler ----
    // The question asked before a long handler is stopped; empty (the
    // default) when it cannot be stopped.
    virtual std::string CancelQuestion() const { return {}; }
    // The operator confirmed that the long handler should stop; may be
    // called from any thread.
    void RequestCancel() { cancelRequested_ = true; }
    // Polled by the long handler at its boundaries: it should stop there.
    bool CancelRequested();

    // What a scripted run writes after the dialog's kind on its transcript
    // line; empty: the scripted backend describes the dialog from its
    // controls.
    virtual std::string GetScriptDescription() const { return {}; }

protected:
    virtual bool OnInitDialog();  // exchanges members -> controls; returns true
    virtual void OnOK();          // UpdateData(true), then EndDialog(IDOK) when valid
    virtual void OnCancel();      // EndDialog(IDCANCEL)
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnPaint() {}
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual void OnSysCommand(UINT nID, LPARAM lParam);  // SC_CLOSE cancels
    virtual HICON OnQueryDragIcon() { return bigIcon_; }

    template <class D>
    void Bind(int nID, plat::ui::Event event, void (D::*handler)(),
              plat::ui::HandlerKind kind = plat::ui::HandlerKind::Quick) {
        D* self = static_cast<D*>(this);
        BindFunction(
            nID, event, [self, handler] { (self->*handler)(); }, kind);
    }
    void BindFunction(int nID, plat::ui::Event event, std::function<void()> handler,
                      plat::ui::HandlerKind kind = plat::ui::HandlerKind::Quick);

private:
    struct Binding {
        int id;
        plat::ui::Event event;
        std::function<void()> handler;
        plat::ui::HandlerKind kind;
    };

    void CreateControls();
    void DestroyControls();
    const Binding* FindBinding(int nID, plat::ui::Event event) const;

    const plat::ui::DialogTemplate* template_;
    UINT templateId_;
    std::vector<std::unique_ptr<CWnd>> controls_;
    std::vector<Binding> bindings_;
    std::set<UINT_PTR> timers_;
    std::unique_ptr<CMenu> sysMenu_;
    HICON bigIcon_ = 0;
    HICON smallIcon_ = 0;
    bool open_ = false;
    bool iconic_ = false;
    // Set by the user-interface thread while the long handler reads it.
    std::atomic<bool> cancelRequested_{false};
    int result_ = IDCANCEL;
};
