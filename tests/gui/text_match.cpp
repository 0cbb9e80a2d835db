// Tells how well texts, drawn in the dialog font, match a screenshot near a
// point: the window tests read status lines and grid cells this way,
// without reading text back.
//
// Usage (needs an X display): text_match PICTURE X Y TEXT...
//
// For each TEXT, one line "SCORE @ X,Y": the best normalised cross
// correlation of the text's picture (black on white) with the screenshot's
// grey levels, where the text's top left corner lies within 3 pixels of
// (X, Y), and the place of that best match. 1 means the same pixels; the
// same text drawn by a window scores about 0.9 and more, another text far
// less (texts that differ in one character excepted).
#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/init.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/wx/wx_support.h"

namespace {

// A white margin around the text: the match also sees where the text ends.
constexpr int kMargin = 2;
constexpr int kReach = 3;

struct Grey {
    int width = 0;
    int height = 0;
    std::vector<double> level;
    double At(int x, int y) const { return level[static_cast<std::size_t>(y * width + x)]; }
};

Grey ToGrey(const wxImage& image) {
    Grey grey{image.GetWidth(), image.GetHeight(), {}};
    grey.level.reserve(static_cast<std::size_t>(grey.width * grey.height));
    const unsigned char* rgb = image.GetData();
    for (int i = 0; i < grey.width * grey.height; ++i, rgb += 3)
        grey.level.push_back(0.2126 * rgb[0] + 0.7152 * rgb[1] + 0.0722 * rgb[2]);
    return grey;
}

Grey DrawText(const wxString& text) {
    const wxFont font = plat::wx::DialogFont(8);
    wxCoord width = 0, height = 0;
    {
        wxBitmap probe(8, 8, 24);
        wxMemoryDC dc(probe);
        dc.SetFont(font);
        dc.GetTextExtent(text, &width, &height);
    }
    wxBitmap picture(std::max(1, width) + 2 * kMargin, std::max(1, height) + 2 * kMargin, 24);
    {
        wxMemoryDC dc(picture);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        dc.SetFont(font);
        dc.SetTextForeground(*wxBLACK);
        dc.DrawText(text, kMargin, kMargin);
    }
    return ToGrey(picture.ConvertToImage());
}

// The normalised cross correlation of the text with the screenshot's pixels
// under it when its picture's corner is at (left, top); 0 where either is
// uniform or the picture would leave the screenshot.
double Correlation(const Grey& shot, const Grey& text, int left, int top) {
    if (left < 0 || top < 0 || left + text.width > shot.width || top + text.height > shot.height)
        return 0;
    const double n = static_cast<double>(text.width) * text.height;
    double sumS = 0, sumT = 0, sumSS = 0, sumTT = 0, sumST = 0;
    for (int y = 0; y < text.height; ++y) {
        for (int x = 0; x < text.width; ++x) {
            const double s = shot.At(left + x, top + y);
            const double t = text.At(x, y);
            sumS += s;
            sumT += t;
            sumSS += s * s;
            sumTT += t * t;
            sumST += s * t;
        }
    }
    const double covariance = sumST - sumS * sumT / n;
    const double spreadS = sumSS - sumS * sumS / n;
    const double spreadT = sumTT - sumT * sumT / n;
    if (spreadS <= 1e-9 || spreadT <= 1e-9) return 0;
    return covariance / std::sqrt(spreadS * spreadT);
}

void PrintBestMatch(const Grey& shot, const wxString& textString, int x, int y) {
    const Grey text = DrawText(textString);
    double best = -1;
    int bestX = x, bestY = y;
    for (int dy = -kReach; dy <= kReach; ++dy) {
        for (int dx = -kReach; dx <= kReach; ++dx) {
            const double score = Correlation(shot, text, x + dx - kMargin, y + dy - kMargin);
            if (score > best) {
                best = score;
                bestX = x + dx;
                bestY = y + dy;
            }
        }
    }
    std::printf("%.3f @ %d,%d\n", best, bestX, bestY);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: text_match PICTURE X Y TEXT...\n");
        return 2;
    }
    int wxArgc = 1;
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(wxArgc, argv)) {
        std::fprintf(stderr, "text_match: no display\n");
        return 1;
    }
    wxImage::AddHandler(new wxPNGHandler);
    int status = 0;
    {
        wxImage picture;
        if (picture.LoadFile(wxString::FromUTF8(argv[1]), wxBITMAP_TYPE_PNG)) {
            const Grey shot = ToGrey(picture);
            const int x = std::atoi(argv[2]);
            const int y = std::atoi(argv[3]);
            for (int i = 4; i < argc; ++i) PrintBestMatch(shot, wxString::FromUTF8(argv[i]), x, y);
        } else {
            std::fprintf(stderr, "text_match: cannot read %s\n", argv[1]);
            status = 1;
        }
    }
    wxEntryCleanup();
    return status;
}
