// Draws a text in the dialog font, black on white, into a PNG file: the
// picture that the window tests look for in their screenshots to tell what
// a status line or a grid cell shows, without reading text back.
//
// Usage (needs an X display): text_picture OUT.png TEXT
#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/init.h>

#include <cstdio>

#include "platform/wx/wx_support.h"

namespace {

// A white margin keeps the whole glyphs inside the picture when it is
// matched against a screenshot.
constexpr int kMargin = 2;

bool DrawText(const wxString& text, const wxString& file) {
    const wxFont font = plat::wx::DialogFont(8);
    wxCoord width = 0, height = 0;
    {
        wxBitmap probe(8, 8, 24);
        wxMemoryDC dc(probe);
        dc.SetFont(font);
        dc.GetTextExtent(text, &width, &height);
    }
    if (width <= 0 || height <= 0) return false;
    wxBitmap picture(width + 2 * kMargin, height + 2 * kMargin, 24);
    {
        wxMemoryDC dc(picture);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        dc.SetFont(font);
        dc.SetTextForeground(*wxBLACK);
        dc.DrawText(text, kMargin, kMargin);
    }
    return picture.ConvertToImage().SaveFile(file, wxBITMAP_TYPE_PNG);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: text_picture OUT.png TEXT\n");
        return 2;
    }
    const wxString file = wxString::FromUTF8(argv[1]);
    const wxString text = wxString::FromUTF8(argv[2]);
    int wxArgc = 1;
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(wxArgc, argv)) {
        std::fprintf(stderr, "text_picture: no display\n");
        return 1;
    }
    wxImage::AddHandler(new wxPNGHandler);
    const bool written = DrawText(text, file);
    wxEntryCleanup();
    if (!written) {
        std::fprintf(stderr, "text_picture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
