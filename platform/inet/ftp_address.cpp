#include "platform/inet/ftp_address.h"

#include <cctype>

namespace plat::ftp {
namespace {

constexpr std::string_view kScheme = "ftp://";

std::string WithoutBackslashes(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text)
        if (c != '\\') result += c;
    return result;
}

}  // namespace

bool IsFtpAddress(std::string_view text) {
    if (text.size() < kScheme.size()) return false;
    for (std::size_t i = 0; i < kScheme.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != kScheme[i]) return false;
    return true;
}

std::optional<FtpAddress> ParseFtpAddress(std::string_view address) {
    if (!IsFtpAddress(address)) return std::nullopt;
    const std::string site = WithoutBackslashes(address.substr(kScheme.size()));

    FtpAddress result;
    result.user = kAnonymousUser;
    result.password = kAnonymousPassword;
    std::string_view rest = site;
    if (const std::size_t at = site.rfind('@'); at != std::string::npos) {
        const std::string_view credentials = std::string_view(site).substr(0, at);
        rest = std::string_view(site).substr(at + 1);
        result.user = credentials;
        if (const std::size_t colon = site.find(':'); colon != std::string::npos) {
            result.password = colon < at ? credentials.substr(colon + 1) : std::string_view();
            result.user = credentials.substr(0, std::min(colon, at));
        }
    }
    const std::size_t slash = rest.find('/');
    result.host = rest.substr(0, slash);
    if (slash != std::string_view::npos) result.folder = rest.substr(slash);
    return result;
}

std::string WithoutCredentials(std::string_view address) {
    if (!IsFtpAddress(address)) return std::string(address);
    const std::string site = WithoutBackslashes(address.substr(kScheme.size()));
    const std::size_t at = site.rfind('@');
    return std::string(kScheme) + (at == std::string::npos ? site : site.substr(at + 1));
}

}  // namespace plat::ftp
