#include "platform/wx/wx_support.h"

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/thread.h>
#include <wx/translation.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <future>
#include <memory>

#include "platform/codepage.h"
#include "platform/ui/resource.h"

namespace plat::wx {

wxString ToWx(std::string_view text1252) {
    return wxString::FromUTF8(plat::Utf8FromCp1252(text1252));
}

std::string FromWx(const wxString& text) {
    return plat::Cp1252FromUtf8(text.utf8_string());
}

DialogUnits::DialogUnits(const wxFont& font) {
    wxBitmap bitmap(8, 8);
    wxMemoryDC dc(bitmap);
    dc.SetFont(font);
    wxCoord width = 0, height = 0;
    dc.GetTextExtent(wxString::FromUTF8("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
                     &width, &height);
    if (width > 0 && height > 0) {
        baseX_ = (width / 26 + 1) / 2;
        baseY_ = height;
    }
}

void LoadFrenchToolkitCatalog() {
    auto translations = std::make_unique<wxTranslations>();
    translations->SetLanguage(wxLANGUAGE_FRENCH);
    translations->AddStdCatalog();
    wxTranslations::Set(translations.release());  // wx owns it from here
}

wxBitmap IconBitmap(HICON icon) {
    const plat::ui::IconImage* image = icon ? plat::ui::FindIcon(icon) : nullptr;
    if (!image || image->width <= 0 || image->height <= 0 ||
        image->pixels.size() < static_cast<std::size_t>(image->width) * image->height) {
        return wxBitmap();
    }
    wxImage picture(image->width, image->height);
    picture.InitAlpha();
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            std::uint32_t argb = image->pixels[static_cast<std::size_t>(y) * image->width + x];
            picture.SetRGB(x, y, (argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
            picture.SetAlpha(x, y, (argb >> 24) & 0xFF);
        }
    }
    return wxBitmap(picture);
}

void RunOnUiThread(const std::function<void()>& work) {
    if (wxIsMainThread() || !wxTheApp) {
        work();
        return;
    }
    std::promise<void> done;
    wxTheApp->CallAfter([&work, &done] {
        try {
            work();
            done.set_value();
        } catch (...) {
            done.set_exception(std::current_exception());
        }
    });
    done.get_future().get();
}

}  // namespace plat::wx
