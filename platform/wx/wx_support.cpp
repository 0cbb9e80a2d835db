#include "platform/wx/wx_support.h"

#include <dlfcn.h>
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

wxFont DialogFont(int points) {
    return wxFont(
        wxFontInfo(points > 0 ? points : 8).FaceName(wxString::FromUTF8("Liberation Sans")));
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

void ApplyDialogStyleSheet() {
    // GTK is loaded by wx, but its headers are not part of the build: the
    // four calls are looked up in the running process.
    using NewProvider = void* (*)();
    using LoadData = int (*)(void*, const char*, long, void**);
    using DefaultScreen = void* (*)();
    using AddProvider = void (*)(void*, void*, unsigned);
    auto newProvider = reinterpret_cast<NewProvider>(dlsym(RTLD_DEFAULT, "gtk_css_provider_new"));
    auto loadData =
        reinterpret_cast<LoadData>(dlsym(RTLD_DEFAULT, "gtk_css_provider_load_from_data"));
    auto defaultScreen =
        reinterpret_cast<DefaultScreen>(dlsym(RTLD_DEFAULT, "gdk_screen_get_default"));
    auto addProvider = reinterpret_cast<AddProvider>(
        dlsym(RTLD_DEFAULT, "gtk_style_context_add_provider_for_screen"));
    if (!newProvider || !loadData || !defaultScreen || !addProvider) return;
    void* screen = defaultScreen();
    void* provider = newProvider();
    if (!screen || !provider) return;
    static const char kCss[] =
        "button, entry, combobox, combobox button, combobox entry, spinbutton, "
        "checkbutton, radiobutton {"
        " min-height: 0; padding-top: 0; padding-bottom: 0; }"
        "button { padding-left: 4px; padding-right: 4px; }"
        "entry { padding-left: 3px; padding-right: 3px; }";
    constexpr unsigned kApplicationPriority = 600;
    if (loadData(provider, kCss, -1, nullptr)) addProvider(screen, provider, kApplicationPriority);
}

void PrepareFrenchToolkitTexts() {
    // GTK takes its texts from gettext, which follows LANGUAGE before the
    // locale, except under the "C" locale, where it translates nothing; and
    // wx keeps GTK from setting the locale from the environment. The
    // messages take the desktop's locale, else "C.UTF-8", the one locale
    // that every system has and that lets LANGUAGE work.
    ::setenv("LANGUAGE", "fr", 1);
    const char* messages = std::setlocale(LC_MESSAGES, "");
    if (messages == nullptr || std::strcmp(messages, "C") == 0 ||
        std::strcmp(messages, "POSIX") == 0) {
        std::setlocale(LC_MESSAGES, "C.UTF-8");
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
