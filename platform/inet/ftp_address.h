// "ftp://" addresses of candidate source folders, taken apart as the import
// run and the file picker take them:
//
//   ftp://[user[:password]@]host[/folder/.../]
//
// - "ftp://" without regard to case; every backslash is removed first.
// - Credentials end at the last "@". The user is the text before the first
//   ":" of the address, the password the text between that ":" and the "@"
//   (empty when the ":" comes after the "@"). A user without ":" keeps the
//   anonymous password; without "@" the login is anonymous.
// - The host runs up to the first "/" after the credentials; the folder is
//   the text from that "/" on ("" when there is none).
// - A host may end with ":port" (digits, 1 to 65535); without it the port is
//   the default FTP port. Text after ":" that is no port stays in the host.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plat::ftp {

inline constexpr int kDefaultPort = 21;
inline constexpr std::string_view kAnonymousUser = "anonymous";
// The e-mail-style password of an anonymous login.
inline constexpr std::string_view kAnonymousPassword = "quervane@import.invalid";

struct FtpAddress {
    std::string user;
    std::string password;
    std::string host;
    std::string folder;  // "/in/data/", or "" when the address names no folder
    int port = kDefaultPort;

    bool operator==(const FtpAddress&) const = default;
};

// True when text begins with "ftp://" (without regard to case).
bool IsFtpAddress(std::string_view text);

// std::nullopt when the text is not an "ftp://" address.
std::optional<FtpAddress> ParseFtpAddress(std::string_view address);

// The address as it may be shown: "ftp://" followed by what comes after the
// credentials (backslashes removed). Text that is not an "ftp://" address
// comes back unchanged.
std::string WithoutCredentials(std::string_view address);

// The same with the user name kept ("ftp://user@host/in/"): what tells
// apart addresses that differ only by their credentials. Without
// credentials, as WithoutCredentials.
std::string WithoutPassword(std::string_view address);

}  // namespace plat::ftp
