// What every part of the wx backend shares: text conversion at the edge
// (the program's 1252 to wxString), the dialog font and its dialog units,
// the application style sheet, icons, and running work on the
// user-interface thread.
#pragma once

#include <wx/bitmap.h>
#include <wx/font.h>
#include <wx/gdicmn.h>
#include <wx/string.h>

#include <functional>
#include <string>
#include <string_view>

#include "platform/ui/dialog_template.h"
#include "platform/ui/types.h"

namespace plat::wx {

wxString ToWx(std::string_view text1252);
std::string FromWx(const wxString& text);  // 1252; "?" for what 1252 lacks

// The templates name the Windows dialog font; "Liberation Sans" at the same
// size has its metrics (a base of 6 x 13 pixels at 8 points, 96 DPI).
wxFont DialogFont(int points);

// Dialog units to pixels for a font, as Windows computes them: the average
// width of the 52 letters and the character height.
class DialogUnits {
public:
    explicit DialogUnits(const wxFont& font);
    int X(int units) const { return (units * baseX_ + 2) / 4; }
    int Y(int units) const { return (units * baseY_ + 4) / 8; }
    wxPoint Point(int x, int y) const { return {X(x), Y(y)}; }
    wxSize Size(int cx, int cy) const { return {X(cx), Y(cy)}; }
    int BaseX() const { return baseX_; }
    int BaseY() const { return baseY_; }

private:
    int baseX_ = 6;
    int baseY_ = 13;
};

// Grid widths are in twips: 15 to a pixel at 96 DPI.
inline int TwipsToPixels(long twips) {
    return static_cast<int>((twips + 7) / 15);
}

inline wxColour ToColour(COLORREF c) {
    return {static_cast<unsigned char>(GetRValue(c)), static_cast<unsigned char>(GetGValue(c)),
            static_cast<unsigned char>(GetBValue(c))};
}

// GTK's themes give buttons, entries and combo boxes minimum heights and
// paddings larger than the templates' sizes; this style sheet lets the
// controls take the sizes that the templates give. Needs GTK initialised.
void ApplyDialogStyleSheet();

// The toolkit's own texts (file dialog, stock buttons) in French whatever
// the desktop's language, from the French catalogs that are installed.
// PrepareFrenchToolkitTexts runs before the toolkit starts (it sets the
// process's environment); LoadFrenchToolkitCatalog once it has started.
void PrepareFrenchToolkitTexts();
void LoadFrenchToolkitCatalog();

// The application's icon id as a bitmap; an invalid bitmap when none.
wxBitmap IconBitmap(HICON icon);

// Runs work on the user-interface thread and waits for it; runs it at once
// when called there.
void RunOnUiThread(const std::function<void()>& work);

}  // namespace plat::wx
