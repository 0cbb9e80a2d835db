#include "platform/inet/curl_library.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

#if defined(__linux__)
bool LibcurlMapped() {
    std::ifstream maps("/proc/self/maps");
    std::stringstream text;
    text << maps.rdbuf();
    return text.str().find("libcurl") != std::string::npos;
}

// A program that never opens an FTP session never loads libcurl; the first
// session loads it, and its functions then work.
TEST(CurlLibrary, LoadedWhenFirstNeeded) {
    EXPECT_FALSE(LibcurlMapped());
    ASSERT_TRUE(plat::ftp::curl::Load());
    EXPECT_TRUE(LibcurlMapped());
    CURL* handle = plat::ftp::curl::easy_init();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(plat::ftp::curl::easy_setopt(handle, CURLOPT_NOSIGNAL, 1L), CURLE_OK);
    char* escaped = plat::ftp::curl::easy_escape(handle, "a b#", 4);
    ASSERT_NE(escaped, nullptr);
    EXPECT_EQ(std::string(escaped), "a%20b%23");
    plat::ftp::curl::free(escaped);
    plat::ftp::curl::easy_cleanup(handle);
}
#endif

}  // namespace
