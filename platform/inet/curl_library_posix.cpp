#include "platform/inet/curl_library.h"

#include <mutex>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace plat::ftp::curl {
namespace {

// The library's names as the systems install it, most usual first.
#if defined(_WIN32)
constexpr const char* kNames[] = {"libcurl.dll", "libcurl-x64.dll", "curl.dll"};
#elif defined(__APPLE__)
constexpr const char* kNames[] = {"libcurl.4.dylib", "libcurl.dylib"};
#else
constexpr const char* kNames[] = {"libcurl.so.4", "libcurl-gnutls.so.4", "libcurl-nss.so.4",
                                  "libcurl.so"};
#endif

struct Functions {
    CURLcode (*global_init)(long) = nullptr;
    CURL* (*easy_init)() = nullptr;
    void (*easy_cleanup)(CURL*) = nullptr;
    void (*easy_reset)(CURL*) = nullptr;
    CURLcode (*easy_perform)(CURL*) = nullptr;
    char* (*easy_escape)(CURL*, const char*, int) = nullptr;
    void (*free)(void*) = nullptr;
    curl_slist* (*slist_append)(curl_slist*, const char*) = nullptr;
    void (*slist_free_all)(curl_slist*) = nullptr;
    detail::Setopt easy_setopt = nullptr;
    detail::Getinfo easy_getinfo = nullptr;
};

void* OpenLibrary() {
    for (const char* name : kNames) {
#if defined(_WIN32)
        if (HMODULE module = ::LoadLibraryA(name)) return reinterpret_cast<void*>(module);
#else
        if (void* library = ::dlopen(name, RTLD_NOW | RTLD_LOCAL)) return library;
#endif
    }
    return nullptr;
}

void* Symbol(void* library, const char* name) {
#if defined(_WIN32)
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(library), name));
#else
    return ::dlsym(library, name);
#endif
}

template <class Function>
bool Bind(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(Symbol(library, name));
    return function != nullptr;
}

// Every function, or none: a library that lacks one is not used. The library
// stays loaded until the program ends (libcurl cannot be unloaded safely
// once initialised).
Functions LoadFunctions() {
    void* library = OpenLibrary();
    if (library == nullptr) return {};
    Functions f;
    const bool complete = Bind(library, "curl_global_init", f.global_init) &&
                          Bind(library, "curl_easy_init", f.easy_init) &&
                          Bind(library, "curl_easy_cleanup", f.easy_cleanup) &&
                          Bind(library, "curl_easy_reset", f.easy_reset) &&
                          Bind(library, "curl_easy_perform", f.easy_perform) &&
                          Bind(library, "curl_easy_escape", f.easy_escape) &&
                          Bind(library, "curl_free", f.free) &&
                          Bind(library, "curl_slist_append", f.slist_append) &&
                          Bind(library, "curl_slist_free_all", f.slist_free_all) &&
                          Bind(library, "curl_easy_setopt", f.easy_setopt) &&
                          Bind(library, "curl_easy_getinfo", f.easy_getinfo);
    if (!complete || f.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return {};
    return f;
}

const Functions& Loaded() {
    static std::once_flag once;
    static Functions functions;
    std::call_once(once, [] { functions = LoadFunctions(); });
    return functions;
}

}  // namespace

bool Load() {
    return Loaded().easy_init != nullptr;
}

CURL* easy_init() {
    const Functions& f = Loaded();
    return f.easy_init ? f.easy_init() : nullptr;
}

void easy_cleanup(CURL* handle) {
    if (const Functions& f = Loaded(); f.easy_cleanup) f.easy_cleanup(handle);
}

void easy_reset(CURL* handle) {
    if (const Functions& f = Loaded(); f.easy_reset) f.easy_reset(handle);
}

CURLcode easy_perform(CURL* handle) {
    const Functions& f = Loaded();
    return f.easy_perform ? f.easy_perform(handle) : CURLE_FAILED_INIT;
}

char* easy_escape(CURL* handle, const char* text, int length) {
    const Functions& f = Loaded();
    return f.easy_escape ? f.easy_escape(handle, text, length) : nullptr;
}

void free(void* p) {
    if (const Functions& f = Loaded(); f.free) f.free(p);
}

curl_slist* slist_append(curl_slist* list, const char* text) {
    const Functions& f = Loaded();
    return f.slist_append ? f.slist_append(list, text) : nullptr;
}

void slist_free_all(curl_slist* list) {
    if (const Functions& f = Loaded(); f.slist_free_all) f.slist_free_all(list);
}

namespace detail {

Setopt SetoptFunction() {
    return Loaded().easy_setopt;
}

Getinfo GetinfoFunction() {
    return Loaded().easy_getinfo;
}

}  // namespace detail

}  // namespace plat::ftp::curl
