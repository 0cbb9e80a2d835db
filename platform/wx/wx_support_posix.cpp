// The wx backend on GTK: the font that gives Windows' dialog units, a style
// sheet that lets controls take the templates' sizes, and GTK's own texts in
// French.
#include <dlfcn.h>
#include <wx/font.h>

#include <clocale>
#include <cstdlib>
#include <cstring>

#include "platform/wx/wx_support.h"

namespace plat::wx {

wxFont DialogFont(int points) {
    return wxFont(
        wxFontInfo(points > 0 ? points : 8).FaceName(wxString::FromUTF8("Liberation Sans")));
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

}  // namespace plat::wx
