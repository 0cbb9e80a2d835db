// Message boxes drawn like the dialogs of the templates: the dialog font,
// buttons as wide as their text needs (at least the templates' 50 units),
// French labels, and an icon that tells an error, a warning, a question or
// an information apart. GTK's own message dialog has a larger font and
// buttons that take the whole width.
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <vector>

#include "platform/wx/wx_backend.h"
#include "platform/wx/wx_support.h"

namespace plat::wx {
namespace {

struct BoxButton {
    int id;
    const char* label;
};

std::vector<BoxButton> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {{wxID_OK, "OK"}, {wxID_CANCEL, "Annuler"}};
        case MB_YESNO:
            return {{wxID_YES, "&Oui"}, {wxID_NO, "&Non"}};
        case MB_YESNOCANCEL:
            return {{wxID_YES, "&Oui"}, {wxID_NO, "&Non"}, {wxID_CANCEL, "Annuler"}};
        default:
            return {{wxID_OK, "OK"}};
    }
}

// Every box the run shows with OK alone and no icon of its own reports
// something that went wrong: it gets the warning icon.
const char* IconOf(UINT type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONHAND:
            return wxART_ERROR;
        case MB_ICONQUESTION:
            return wxART_QUESTION;
        case MB_ICONEXCLAMATION:
            return wxART_WARNING;
        case MB_ICONASTERISK:
            return wxART_INFORMATION;
        default:
            return (type & MB_TYPEMASK) == MB_OK ? wxART_WARNING : nullptr;
    }
}

int ResultOf(int wxAnswer) {
    switch (wxAnswer) {
        case wxID_OK:
            return IDOK;
        case wxID_YES:
            return IDYES;
        case wxID_NO:
            return IDNO;
        default:
            return IDCANCEL;
    }
}

int WxIdOf(int answer) {
    switch (answer) {
        case IDOK:
            return wxID_OK;
        case IDYES:
            return wxID_YES;
        case IDNO:
            return wxID_NO;
        default:
            return wxID_CANCEL;
    }
}

class MessageWindow : public wxDialog {
public:
    MessageWindow(wxWindow* parent, const wxString& text, const wxString& caption, UINT type)
        : wxDialog(parent, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize,
                   wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
        const wxFont font = DialogFont(8);
        SetFont(font);
        const DialogUnits units(font);

        auto* content = new wxBoxSizer(wxHORIZONTAL);
        if (const char* art = IconOf(type)) {
            const wxBitmap icon = wxArtProvider::GetBitmap(wxString::FromAscii(art),
                                                           wxString::FromAscii(wxART_MESSAGE_BOX));
            if (icon.IsOk()) {
                content->Add(new wxStaticBitmap(this, wxID_ANY, icon), 0, wxRIGHT | wxALIGN_TOP,
                             units.X(8));
            }
        }
        auto* label = new wxStaticText(this, wxID_ANY, text);
        label->Wrap(units.X(280));
        content->Add(label, 1, wxALIGN_CENTER_VERTICAL);

        auto* row = new wxBoxSizer(wxHORIZONTAL);
        const std::vector<BoxButton> buttons = ButtonsOf(type);
        for (const BoxButton& choice : buttons) {
            auto* button = new wxButton(this, choice.id, wxString::FromUTF8(choice.label),
                                        wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
            const wxSize text = button->GetTextExtent(button->GetLabelText());
            button->SetMinSize(wxSize(std::max(units.X(50), text.x + units.X(12)), units.Y(14)));
            button->Bind(wxEVT_BUTTON, [this, id = choice.id](wxCommandEvent&) { EndModal(id); });
            row->Add(button, 0, wxLEFT | wxRIGHT, units.X(3));
            if (&choice == &buttons.front()) {
                button->SetDefault();
                button->SetFocus();
            }
        }
        // Escape and the close box give the box's negative answer.
        const int negative = WxIdOf(plat::ui::NegativeAnswer(type));
        SetEscapeId(negative);
        SetAffirmativeId(buttons.front().id);
        Bind(wxEVT_CLOSE_WINDOW, [this, negative](wxCloseEvent&) { EndModal(negative); });

        auto* top = new wxBoxSizer(wxVERTICAL);
        top->Add(content, 0, wxALL | wxEXPAND, units.X(8));
        top->Add(row, 0, wxALIGN_CENTER_HORIZONTAL | wxBOTTOM, units.Y(7));
        SetSizerAndFit(top);
        if (parent)
            CentreOnParent();
        else
            CentreOnScreen();
    }
};

}  // namespace

int ShowMessageBox(wxWindow* parent, std::string_view text, std::string_view caption, UINT type) {
    MessageWindow box(parent, ToWx(text), ToWx(caption), type);
    return ResultOf(box.ShowModal());
}

}  // namespace plat::wx
