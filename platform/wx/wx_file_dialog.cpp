// The open-file dialog as a wxFileDialog. GTK's chooser matches patterns
// with regard to case and wx rejects a filter that ends with "|", so the
// filter is rebuilt from its pairs with every letter of a pattern written
// as a class of both cases ("*.ZIP" -> "*.[Zz][Ii][Pp]").
#include <wx/filedlg.h>
#include <wx/filename.h>

#include <cctype>

#include "platform/fs/fs.h"
#include "platform/ui/file_dialog.h"
#include "platform/wx/wx_backend.h"
#include "platform/wx/wx_support.h"

namespace plat::wx {
namespace {

std::string AnyCase(std::string_view pattern) {
    std::string result;
    for (char c : pattern) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (std::isalpha(u)) {
            result += '[';
            result += static_cast<char>(std::toupper(u));
            result += static_cast<char>(std::tolower(u));
            result += ']';
        } else {
            result += c;
        }
    }
    return result;
}

bool HasWildcard(std::string_view name) {
    return name.find_first_of("*?") != std::string_view::npos;
}

void AddFilter(wxString& wildcard, std::string_view description,
               const std::vector<std::string>& patterns) {
    std::string joined;
    for (const std::string& pattern : patterns) {
        if (!joined.empty()) joined += ';';
        joined += AnyCase(pattern);
    }
    if (joined.empty()) return;
    if (!wildcard.empty()) wildcard += wxString::FromUTF8("|");
    wildcard += ToWx(description) + wxString::FromUTF8("|") + wxString::FromUTF8(joined);
}

}  // namespace

wxString FileDialogWildcard(const CFileDialog::Request& request) {
    const plat::ui::InitialFile initial = plat::ui::SplitInitialFile(request.initialFile);
    wxString wildcard;
    // A pattern as the initial name filters the list first, as on Windows.
    if (HasWildcard(initial.name)) AddFilter(wildcard, initial.name, {initial.name});
    for (const plat::ui::FilterEntry& entry : plat::ui::ParseFilter(request.filter))
        AddFilter(wildcard, entry.description, entry.patterns);
    // GTK's chooser lists only what the chosen filter matches, and a pattern
    // typed in its name field does not filter: the operator needs a way to
    // see every file of the folder. "*" also matches names without a dot.
    if (!wildcard.empty()) wildcard += wxString::FromUTF8("|");
    wildcard += wxString::FromUTF8("Tous les fichiers (*.*)|*");
    return wildcard;
}

int ShowFileDialog(CFileDialog& dlg, wxWindow* parent) {
    const CFileDialog::Request& request = dlg.GetRequest();
    const plat::ui::InitialFile initial = plat::ui::SplitInitialFile(request.initialFile);
    const wxString wildcard = FileDialogWildcard(request);
    const std::string defaultName = HasWildcard(initial.name) ? std::string() : initial.name;

    wxString folder;
    if (!initial.folder.empty()) {
        wxFileName path = wxFileName::DirName(wxString::FromUTF8(plat::NativePath(initial.folder)));
        path.MakeAbsolute();
        folder = path.GetPath();
    } else {
        folder = wxGetCwd();
    }

    long style = request.open ? wxFD_OPEN : (wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (request.open && (request.flags & OFN_FILEMUSTEXIST)) style |= wxFD_FILE_MUST_EXIST;
    wxFileDialog chooser(parent, wxString::FromUTF8(request.open ? "Ouvrir" : "Enregistrer sous"),
                         folder, ToWx(defaultName), wildcard, style);
    if (chooser.ShowModal() != wxID_OK) return IDCANCEL;

    wxFileName chosen(chooser.GetPath());
    if (!chosen.HasExt() && !request.defaultExtension.empty() && !request.open)
        chosen.SetExt(ToWx(request.defaultExtension));
    dlg.SetChosenPath(FromWx(chosen.GetFullPath()));
    return IDOK;
}

}  // namespace plat::wx
