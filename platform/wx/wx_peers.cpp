#include "platform/wx/wx_peers.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/dcclient.h>
#include <wx/gauge.h>
#include <wx/listbox.h>
#include <wx/scrolbar.h>
#include <wx/slider.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/wx/wx_dialog.h"

using plat::ui::Change;
using plat::ui::ControlChange;
using plat::ui::ControlKind;
namespace style = plat::ui::style;

namespace plat::wx {

// The line a control shows over itself (the status line over its edit
// field): a read-only field with its own copy of the text, which the
// operator can select and copy but not change, and which keeps its place
// in the keyboard's Tab order.
class ControlPeer::PaintedLine : public wxTextCtrl {
public:
    PaintedLine(wxWindow* parent, const wxRect& rect)
        : wxTextCtrl(parent, wxID_ANY, wxString(), rect.GetPosition(), rect.GetSize(),
                     wxTE_READONLY | wxBORDER_SIMPLE) {
        SetBackgroundColour(*wxWHITE);
    }

    void SetLine(const wxString& text) {
        if (text == text_) return;
        text_ = text;
        ChangeValue(text);
    }
    const wxString& Line() const { return text_; }

private:
    wxString text_;
};

ControlPeer::ControlPeer(CWnd& model, DialogWindow& dialog, wxWindow* window)
    : model_(model), dialog_(dialog), window_(window) {}

ControlPeer::~ControlPeer() = default;  // the windows belong to the dialog

const wxString& ControlPeer::PaintedText() const {
    return paintedText_;
}

void ControlPeer::Apply(const ControlChange& change) {
    switch (change.what) {
        case Change::Text:
            ApplyText();
            break;
        case Change::Shown:
            ApplyVisibility();
            break;
        case Change::Enabled:
            window_->Enable(model_.IsWindowEnabled());
            break;
        case Change::Focus:
            // GTK brings a window that is not the active one above all
            // others to give one of its controls the focus: while a run
            // works, its statuses move the focus only within the active
            // window, never taking it from another window or program.
            if (!dialog_.AcceptsInput() && !dialog_.IsActive()) break;
            if (window_->IsShown() && window_->IsEnabled()) {
                dialog_.Focus(window_);
            } else if (painted_ && painted_->IsShown() && window_->IsEnabled()) {
                dialog_.Focus(painted_);
            }
            break;
        case Change::ToTop:
            if (painted_) painted_->Raise();
            break;
        case Change::Painted:
            ApplyPainted();
            break;
        default:
            ApplySpecific(change);
            break;
    }
}

void ControlPeer::ApplyAll() {
    ApplyText();
    // A disabled progress bar still shows its position, as on Windows (GTK
    // would hide the filled part): the main window's bar is disabled.
    window_->Enable(model_.IsWindowEnabled() || dynamic_cast<wxGauge*>(window_) != nullptr);
    ApplyAllSpecific();
    if (!model_.GetPaintedLine().empty()) ApplyPainted();
    ApplyVisibility();
}

void ControlPeer::ApplyText() {
    window_->SetLabel(ToWx(model_.GetWindowText()));
}

void ControlPeer::ApplyVisibility() {
    const bool shown = model_.IsWindowVisible();
    const bool painted = painted_ && !paintedText_.empty();
    window_->Show(shown && !painted);
    if (painted_) painted_->Show(shown && painted);
}

bool ControlPeer::ShowsPaintedInItself(const wxString&) {
    return false;
}

void ControlPeer::ApplyPainted() {
    const wxString line = ToWx(model_.GetPaintedLine());
    paintedText_ = line;
    if (ShowsPaintedInItself(line)) return;
    if (!painted_ && line.empty()) return;
    if (!painted_) {
        painted_ = new PaintedLine(window_->GetParent(), window_->GetRect());
        painted_->MoveAfterInTabOrder(window_);
    }
    painted_->SetLine(line);
    ApplyVisibility();
}

namespace {

class ButtonPeer : public ControlPeer {
public:
    ButtonPeer(CButton& model, DialogWindow& dialog, wxWindow* window)
        : ControlPeer(model, dialog, window) {
        if (auto* check = dynamic_cast<wxCheckBox*>(window)) {
            check->Bind(wxEVT_CHECKBOX, [this, &model, check](wxCommandEvent&) {
                if (!Dialog().AcceptsInput()) {
                    check->SetValue(model.GetCheck() != 0);
                    return;
                }
                model.InputCheck(check->GetValue() ? 1 : 0);
            });
        } else {
            window->Bind(wxEVT_BUTTON, [this, &model](wxCommandEvent&) {
                Dialog().PressButton(model.GetDlgCtrlID());
            });
        }
    }

protected:
    void ApplySpecific(const ControlChange& change) override {
        if (change.what == Change::Check) ApplyCheck();
    }
    void ApplyAllSpecific() override { ApplyCheck(); }

private:
    void ApplyCheck() {
        if (auto* check = dynamic_cast<wxCheckBox*>(Window()))
            check->SetValue(static_cast<CButton&>(Model()).GetCheck() != 0);
    }
};

class EditPeer : public ControlPeer {
public:
    EditPeer(CEdit& model, DialogWindow& dialog, wxTextCtrl* window)
        : ControlPeer(model, dialog, window), edit_(window) {
        window->Bind(wxEVT_TEXT, [this, &model](wxCommandEvent&) {
            if (Dialog().AcceptsInput()) model.InputText(FromWx(edit_->GetValue()));
        });
    }

protected:
    void ApplyText() override {
        // The painted line, while there is one, covers the field's text.
        const wxString text = PaintedText().empty() ? ToWx(Model().GetWindowText()) : PaintedText();
        if (edit_->GetValue() != text) edit_->ChangeValue(text);
    }
    // A read-only field shows the line itself: one control, one place in
    // the Tab order, the text selectable and never editable.
    bool ShowsPaintedInItself(const wxString&) override {
        if (!static_cast<CEdit&>(Model()).GetReadOnly()) return false;
        ApplyText();
        return true;
    }
    void ApplySpecific(const ControlChange& change) override {
        if (change.what == Change::ReadOnly) ApplyReadOnly();
    }
    void ApplyAllSpecific() override { ApplyReadOnly(); }

private:
    void ApplyReadOnly() { edit_->SetEditable(!static_cast<CEdit&>(Model()).GetReadOnly()); }

    wxTextCtrl* edit_;
};

class StaticPeer : public ControlPeer {
public:
    using ControlPeer::ControlPeer;

protected:
    void ApplyText() override {
        if (dynamic_cast<wxStaticText*>(Window())) ControlPeer::ApplyText();
    }
    void ApplySpecific(const ControlChange& change) override {
        if (change.what == Change::Icon) ApplyIcon();
    }
    void ApplyAllSpecific() override { ApplyIcon(); }

private:
    void ApplyIcon() {
        auto* picture = dynamic_cast<wxStaticBitmap*>(Window());
        if (!picture) return;
        wxBitmap bitmap = IconBitmap(static_cast<CStatic&>(Model()).GetIcon());
        picture->SetBitmap(bitmap.IsOk() ? bitmap : wxBitmap());
        if (bitmap.IsOk()) picture->SetSize(bitmap.GetSize());
    }
};

class RangePeer : public ControlPeer {
public:
    RangePeer(CRangeCtrl& model, DialogWindow& dialog, wxWindow* window)
        : ControlPeer(model, dialog, window) {}

protected:
    void ApplyText() override {}
    void ApplySpecific(const ControlChange& change) override {
        if (change.what == Change::Range || change.what == Change::Position) ApplyRange();
    }
    void ApplyAllSpecific() override { ApplyRange(); }

private:
    void ApplyRange() {
        auto& model = static_cast<CRangeCtrl&>(Model());
        int lower = 0, upper = 0;
        model.GetRange(lower, upper);
        const int span = std::max(1, std::abs(upper - lower));
        const int position = std::clamp(model.GetPos() - std::min(lower, upper), 0, span);
        if (auto* gauge = dynamic_cast<wxGauge*>(Window())) {
            if (gauge->GetRange() != span) gauge->SetRange(span);
            gauge->SetValue(position);
            gauge->Update();
        } else if (auto* slider = dynamic_cast<wxSlider*>(Window())) {
            slider->SetRange(std::min(lower, upper), std::max(lower, upper));
            slider->SetValue(model.GetPos());
        } else if (auto* bar = dynamic_cast<wxScrollBar*>(Window())) {
            bar->SetScrollbar(position, 1, span + 1, 1);
        }
    }
};

// List boxes and combo boxes.
class ItemListPeer : public ControlPeer {
public:
    ItemListPeer(CItemList& model, DialogWindow& dialog, wxControlWithItems* window)
        : ControlPeer(model, dialog, window), items_(window) {
        const auto select = [this, &model](wxCommandEvent& event) {
            if (!Dialog().AcceptsInput()) {
                ApplySelection();
                return;
            }
            model.InputSelect(event.GetSelection());
        };
        if (auto* combo = dynamic_cast<wxComboBox*>(window)) {
            combo->Bind(wxEVT_COMBOBOX, select);
            combo->Bind(wxEVT_TEXT, [this, combo](wxCommandEvent&) {
                auto* comboModel = dynamic_cast<CComboBox*>(&Model());
                if (comboModel && Dialog().AcceptsInput())
                    comboModel->InputText(FromWx(combo->GetValue()));
            });
        } else {
            window->Bind(wxEVT_LISTBOX, select);
            window->Bind(wxEVT_LISTBOX_DCLICK, [this](wxCommandEvent&) {
                Dialog().Input([this] {
                    Dialog().Model().FireEvent(Model().GetDlgCtrlID(),
                                               plat::ui::Event::DoubleClicked);
                });
            });
        }
    }

protected:
    void ApplyText() override {
        if (auto* combo = dynamic_cast<wxComboBox*>(items_)) {
            const wxString text = ToWx(Model().GetWindowText());
            if (combo->GetValue() != text) combo->ChangeValue(text);
        }
    }
    void ApplySpecific(const ControlChange& change) override {
        auto& model = static_cast<CItemList&>(Model());
        switch (change.what) {
            case Change::Items:
                ApplyItems();
                break;
            case Change::ItemAdded:
                if (change.index >= 0 && change.index < model.GetCount() &&
                    static_cast<unsigned>(change.index) <= items_->GetCount()) {
                    items_->Insert(ToWx(model.Items()[change.index]), change.index);
                } else {
                    ApplyItems();
                }
                break;
            case Change::ItemRemoved:
                if (change.index >= 0 && static_cast<unsigned>(change.index) < items_->GetCount())
                    items_->Delete(change.index);
                else
                    ApplyItems();
                break;
            case Change::Selection:
                ApplySelection();
                break;
            default:
                break;
        }
    }
    void ApplyAllSpecific() override { ApplyItems(); }

private:
    void ApplyItems() {
        auto& model = static_cast<CItemList&>(Model());
        wxArrayString texts;
        for (const std::string& item : model.Items()) texts.Add(ToWx(item));
        items_->Set(texts);
        ApplySelection();
        ApplyText();
    }
    void ApplySelection() {
        const int selection = static_cast<CItemList&>(Model()).GetCurSel();
        if (selection >= 0 && static_cast<unsigned>(selection) < items_->GetCount())
            items_->SetSelection(selection);
        else if (auto* list = dynamic_cast<wxListBox*>(items_))
            list->SetSelection(wxNOT_FOUND);
        else
            items_->SetSelection(wxNOT_FOUND);
        ApplyText();
    }

    wxControlWithItems* items_;
};

long TextStyle(unsigned style) {
    long wxStyle = (style & style::Border) ? wxBORDER_SUNKEN : wxBORDER_NONE;
    if (style & style::ReadOnly) wxStyle |= wxTE_READONLY;
    if (style & style::VScroll) wxStyle |= wxTE_MULTILINE;
    return wxStyle;
}

}  // namespace

std::unique_ptr<ControlPeer> MakePeer(CWnd& model, DialogWindow& dialog, const DialogUnits& units) {
    const CRect rect = model.GetWindowRect();
    const wxPoint position = units.Point(rect.left, rect.top);
    const wxSize size = units.Size(rect.Width(), rect.Height());
    const unsigned style = model.GetStyle();
    const wxWindowID id = wxID_ANY;
    const wxString text = ToWx(model.GetWindowText());

    switch (model.GetKind()) {
        case ControlKind::PushButton:
        case ControlKind::DefPushButton: {
            auto* button = new wxButton(&dialog, id, text, position, size);
            if (model.GetKind() == ControlKind::DefPushButton) button->SetDefault();
            return std::make_unique<ButtonPeer>(static_cast<CButton&>(model), dialog, button);
        }
        case ControlKind::CheckBox: {
            auto* check = new wxCheckBox(&dialog, id, text, position, size);
            return std::make_unique<ButtonPeer>(static_cast<CButton&>(model), dialog, check);
        }
        case ControlKind::Edit: {
            auto* edit = new wxTextCtrl(&dialog, id, text, position, size, TextStyle(style));
            return std::make_unique<EditPeer>(static_cast<CEdit&>(model), dialog, edit);
        }
        case ControlKind::StaticText: {
            auto* label = new wxStaticText(&dialog, id, text, position, size, wxST_NO_AUTORESIZE);
            return std::make_unique<StaticPeer>(model, dialog, label);
        }
        case ControlKind::StaticIcon: {
            auto* picture = new wxStaticBitmap(&dialog, id, wxBitmap(), position, size);
            return std::make_unique<StaticPeer>(model, dialog, picture);
        }
        case ControlKind::ProgressBar: {
            auto* gauge =
                new wxGauge(&dialog, id, 100, position, size, wxGA_HORIZONTAL | wxGA_SMOOTH);
            return std::make_unique<RangePeer>(static_cast<CRangeCtrl&>(model), dialog, gauge);
        }
        case ControlKind::Slider: {
            auto* slider = new wxSlider(&dialog, id, 0, 0, 100, position, size);
            return std::make_unique<RangePeer>(static_cast<CRangeCtrl&>(model), dialog, slider);
        }
        case ControlKind::ScrollBar: {
            const long orientation = size.x >= size.y ? wxSB_HORIZONTAL : wxSB_VERTICAL;
            auto* bar = new wxScrollBar(&dialog, id, position, size, orientation);
            return std::make_unique<RangePeer>(static_cast<CRangeCtrl&>(model), dialog, bar);
        }
        case ControlKind::ComboBox: {
            // The template's height includes the dropped-down list.
            auto* combo =
                new wxComboBox(&dialog, id, wxString(), position, wxSize(size.x, units.Y(14)),
                               wxArrayString(), wxCB_DROPDOWN);
            return std::make_unique<ItemListPeer>(static_cast<CItemList&>(model), dialog, combo);
        }
        case ControlKind::ListBox: {
            long listStyle = wxLB_SINGLE | ((style & style::Border) ? wxBORDER_SUNKEN : 0);
            if (style & style::VScroll) listStyle |= wxLB_ALWAYS_SB;
            auto* list = new wxListBox(&dialog, id, position, size, wxArrayString(), listStyle);
            return std::make_unique<ItemListPeer>(static_cast<CItemList&>(model), dialog, list);
        }
        case ControlKind::Grid:
            return MakeGridPeer(static_cast<CGrid&>(model), dialog, position, size);
    }
    auto* other = new wxWindow(&dialog, id, position, size);
    return std::make_unique<ControlPeer>(model, dialog, other);
}

}  // namespace plat::wx
