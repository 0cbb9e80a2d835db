// libcurl, loaded when the first FTP session opens rather than when the
// program starts: the library and the TLS, directory and Kerberos libraries
// it needs cost every start several milliseconds, and most runs never use
// FTP. The functions below call the loaded library; before it is loaded, or
// when it cannot be, they fail as libcurl fails (no handle, an error code).
#pragma once

#include <curl/curl.h>

namespace plat::ftp::curl {

// Loads the library and initialises it, once; false when it cannot be
// loaded.
bool Load();

CURL* easy_init();
void easy_cleanup(CURL* handle);
void easy_reset(CURL* handle);
CURLcode easy_perform(CURL* handle);
char* easy_escape(CURL* handle, const char* text, int length);
void free(void* p);
curl_slist* slist_append(curl_slist* list, const char* text);
void slist_free_all(curl_slist* list);

// The options and informations used here take a long, a pointer or a
// function pointer: each goes through the variadic call as it is.
namespace detail {
using Setopt = CURLcode (*)(CURL*, CURLoption, ...);
using Getinfo = CURLcode (*)(CURL*, CURLINFO, ...);
Setopt SetoptFunction();
Getinfo GetinfoFunction();
}  // namespace detail

template <class Value>
CURLcode easy_setopt(CURL* handle, CURLoption option, Value value) {
    const detail::Setopt setopt = detail::SetoptFunction();
    return setopt ? setopt(handle, option, value) : CURLE_FAILED_INIT;
}

template <class Value>
CURLcode easy_getinfo(CURL* handle, CURLINFO info, Value value) {
    const detail::Getinfo getinfo = detail::GetinfoFunction();
    return getinfo ? getinfo(handle, info, value) : CURLE_FAILED_INIT;
}

}  // namespace plat::ftp::curl
