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

// "host:2121" -> "host" and 2121; a host without a valid port is kept whole.
void SplitPort(std::string& host, int& port) {
    const std::size_t colon = host.rfind(':');
    if (colon == std::string::npos || colon + 1 == host.size() || host.size() - colon > 6) return;
    int value = 0;
    for (std::size_t i = colon + 1; i < host.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(host[i]))) return;
        value = value * 10 + (host[i] - '0');
    }
    if (value < 1 || value > 65535) return;
    port = value;
    host.resize(colon);
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
    SplitPort(result.host, result.port);
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

namespace plat::ftp {

std::string WithoutPassword(std::string_view address) {
    const std::optional<FtpAddress> parsed = ParseFtpAddress(address);
    const std::string shown = WithoutCredentials(address);
    const std::string site =
        WithoutBackslashes(address.substr(std::min(address.size(), kScheme.size())));
    if (!parsed || site.find('@') == std::string::npos) return shown;
    return std::string(kScheme) + parsed->user + "@" + shown.substr(kScheme.size());
}

}  // namespace plat::ftp
