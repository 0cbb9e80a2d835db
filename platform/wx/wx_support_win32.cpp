// The wx backend's look on Windows: the system's dialog font, whose
// average character gives the dialog units, as for any dialog of the
// system. The native controls take the templates' sizes as they are.
#include <wx/font.h>

#include "platform/wx/wx_support.h"

namespace plat::wx {

wxFont DialogFont(int points) {
    // "MS Shell Dlg 2" is the system's alias for its dialog face.
    return wxFont(
        wxFontInfo(points > 0 ? points : 8).FaceName(wxString::FromUTF8("MS Shell Dlg 2")));
}

void ApplyDialogStyleSheet() {}

// The Windows controls take their texts from the system, not from gettext.
void PrepareFrenchToolkitTexts() {}

}  // namespace plat::wx
