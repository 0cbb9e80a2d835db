// One FTP control connection, kept open between operations: libcurl on
// Linux (ftp_session_posix.cpp), WinINet on Windows (ftp_session_win32.cpp).
// The Internet client's classes are thin layers over it; nothing else sees
// curl or WinINet.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/inet/ftp_list_parser.h"
#include "platform/inet/inet.h"

namespace plat::ftp {

struct Endpoint {
    std::string host;  // a host name or address, nothing else
    int port = INTERNET_DEFAULT_FTP_PORT;
    std::string user;      // as sent to the server
    std::string password;  // as sent to the server
    bool passive = true;
};

struct ServerFeatures {
    bool mlsd = false;  // machine listings
    bool mdtm = false;  // exact modification time of a file
};

class FtpSession {
public:
    FtpSession(Endpoint endpoint, const InternetTimeouts& timeouts);
    ~FtpSession();
    FtpSession(const FtpSession&) = delete;
    FtpSession& operator=(const FtpSession&) = delete;

    // Logs in and asks the server what it supports. Throws CInternetException.
    void Connect();

    const ServerFeatures& Features() const { return features_; }
    const std::string& Host() const { return endpoint_.host; }

    // Receives the file's bytes in order; false stops the transfer as a
    // local write failure.
    using Sink = std::function<bool(const char* data, std::size_t size)>;

    // remotePath and localName (used only in messages) are 1252. False when
    // the server has no such file or will not send it; throws otherwise.
    bool Download(std::string_view remotePath, std::string_view localName, const Sink& sink);

    // The raw listing of a folder ("" is the login folder; otherwise it ends
    // with "/"), MLSD when the server has it, else LIST; kind tells which.
    struct Listing {
        std::string text;
        ListingKind kind = ListingKind::List;
    };
    Listing List(std::string_view folder);

    // The time MDTM gives, or nullopt when the server does not tell it.
    std::optional<FileTime> ModificationTime(std::string_view remotePath);

    void Close();

    struct Connection;

private:
    Endpoint endpoint_;
    InternetTimeouts timeouts_;
    ServerFeatures features_;
    std::unique_ptr<Connection> connection_;
};

}  // namespace plat::ftp
