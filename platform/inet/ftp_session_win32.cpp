// FtpSession on WinINet, the system's own FTP client. Names and credentials
// go through the A functions as the server's bytes (UTF-8): the W functions
// would convert them through the system's code page. WinINet lists a folder
// itself and hands back entries, not the server's lines: each entry is
// written back as one DOS listing line, which the shared parser reads.
#include <cstdio>

#include "platform/codepage.h"
#include "platform/inet/ftp_session.h"
#include "platform/inet/inet_errors.h"

// After the Internet client's headers: wininet.h defines some of the same
// names as macros (INTERNET_DEFAULT_FTP_PORT).
#include <windows.h>
// wininet.h needs windows.h first.
#include <wininet.h>

namespace plat::ftp {
namespace {

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle = nullptr) : handle_(handle) {}
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    ~InternetHandle() { reset(); }
    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void reset(HINTERNET handle = nullptr) {
        if (handle_ != nullptr) ::InternetCloseHandle(handle_);
        handle_ = handle;
    }

private:
    HINTERNET handle_;
};

// The code of the server's last reply (e.g. 550), when WinINet kept it.
int LastReplyCode() {
    DWORD error = 0;
    char text[512];
    DWORD length = sizeof text;
    if (!::InternetGetLastResponseInfoA(&error, text, &length) || length < 3) return 0;
    int code = 0;
    return std::sscanf(text, "%3d", &code) == 1 ? code : 0;
}

InternetError Classify(DWORD error) {
    switch (error) {
        case ERROR_INTERNET_INVALID_URL:
        case ERROR_INTERNET_UNRECOGNIZED_SCHEME:
            return InternetError::BadAddress;
        case ERROR_INTERNET_NAME_NOT_RESOLVED:
            return InternetError::HostNotFound;
        case ERROR_INTERNET_CANNOT_CONNECT:
            return InternetError::ConnectionRefused;
        case ERROR_INTERNET_LOGIN_FAILURE:
        case ERROR_INTERNET_INCORRECT_PASSWORD:
        case ERROR_INTERNET_INCORRECT_USER_NAME:
            return InternetError::LoginRefused;
        case ERROR_INTERNET_TIMEOUT:
            return InternetError::Timeout;
        case ERROR_INTERNET_CONNECTION_ABORTED:
        case ERROR_INTERNET_CONNECTION_RESET:
            return InternetError::ConnectionLost;
        default:
            return InternetError::ServerError;
    }
}

std::string ServerPath(std::string_view path1252) {
    return Utf8FromCp1252(path1252);
}

}  // namespace

struct FtpSession::Connection {
    InternetHandle internet;
    InternetHandle ftp;
    std::string loginFolder;  // as the server names it
};

FtpSession::FtpSession(Endpoint endpoint, const InternetTimeouts& timeouts)
    : endpoint_(std::move(endpoint)), timeouts_(timeouts) {}

FtpSession::~FtpSession() = default;

void FtpSession::Close() {
    connection_.reset();
}

void FtpSession::Connect() {
    const ErrorContext context{endpoint_.host, {}, {}, 0};
    if (endpoint_.host.empty() || endpoint_.host.find_first_of(":/@ ") != std::string::npos) {
        throw MakeInternetException(InternetError::BadAddress, Operation::Connect, context);
    }
    auto connection = std::make_unique<Connection>();
    connection->internet.reset(
        ::InternetOpenW(L"Quervane", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!connection->internet)
        throw MakeInternetException(InternetError::ServerError, Operation::Connect, context);
    DWORD connect = static_cast<DWORD>(timeouts_.connectSeconds) * 1000;
    DWORD response = static_cast<DWORD>(timeouts_.responseSeconds) * 1000;
    ::InternetSetOptionW(connection->internet.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &connect,
                         sizeof connect);
    ::InternetSetOptionW(connection->internet.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &response,
                         sizeof response);
    ::InternetSetOptionW(connection->internet.get(), INTERNET_OPTION_SEND_TIMEOUT, &response,
                         sizeof response);
    connection->ftp.reset(::InternetConnectA(connection->internet.get(), endpoint_.host.c_str(),
                                             static_cast<INTERNET_PORT>(endpoint_.port),
                                             endpoint_.user.c_str(), endpoint_.password.c_str(),
                                             INTERNET_SERVICE_FTP,
                                             endpoint_.passive ? INTERNET_FLAG_PASSIVE : 0, 0));
    if (!connection->ftp) {
        const DWORD error = ::GetLastError();
        throw MakeInternetException(Classify(error), Operation::Connect,
                                    {endpoint_.host, {}, {}, LastReplyCode()});
    }
    char folder[MAX_PATH + 1] = {};
    DWORD length = sizeof folder;
    if (::FtpGetCurrentDirectoryA(connection->ftp.get(), folder, &length))
        connection->loginFolder.assign(folder, length);
    // WinINet offers neither machine listings nor exact file times.
    features_ = ServerFeatures{};
    connection_ = std::move(connection);
}

bool FtpSession::Download(std::string_view remotePath, std::string_view localName,
                          const Sink& sink) {
    const ErrorContext context{endpoint_.host, remotePath, localName, 0};
    if (!connection_)
        throw MakeInternetException(InternetError::ConnectionLost, Operation::Download, context);
    InternetHandle file(::FtpOpenFileA(connection_->ftp.get(), ServerPath(remotePath).c_str(),
                                       GENERIC_READ, FTP_TRANSFER_TYPE_BINARY, 0));
    if (!file) {
        const DWORD error = ::GetLastError();
        // The server's refusal of this one file (a 5xx reply) is no failure
        // of the connection.
        if (error == ERROR_INTERNET_EXTENDED_ERROR && LastReplyCode() >= 500) return false;
        throw MakeInternetException(Classify(error), Operation::Download,
                                    {endpoint_.host, remotePath, localName, LastReplyCode()});
    }
    char block[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!::InternetReadFile(file.get(), block, sizeof block, &read)) {
            InternetError error = Classify(::GetLastError());
            if (error == InternetError::ServerError) error = InternetError::ConnectionLost;
            throw MakeInternetException(error, Operation::Download, context);
        }
        if (read == 0) break;
        if (!sink(block, read))
            throw MakeInternetException(InternetError::LocalFileFailed, Operation::Download,
                                        context);
    }
    return true;
}

FtpSession::Listing FtpSession::List(std::string_view folder) {
    const ErrorContext context{endpoint_.host, folder, {}, 0};
    if (!connection_)
        throw MakeInternetException(InternetError::ConnectionLost, Operation::List, context);
    Listing listing;
    listing.kind = ListingKind::List;
    const std::string path = ServerPath(folder);
    auto failed = [&](DWORD error) {
        InternetError kind = Classify(error);
        if (error == ERROR_INTERNET_EXTENDED_ERROR && LastReplyCode() >= 500)
            kind = InternetError::FolderMissing;
        return MakeInternetException(kind, Operation::List,
                                     {endpoint_.host, folder, {}, LastReplyCode()});
    };
    // The folder is entered and listed as the current one: a folder given
    // to the listing itself is taken as a pattern by some servers and by
    // Wine's WinINet. Relative folders are relative to the login folder,
    // which is entered again afterwards.
    if (!path.empty() && !::FtpSetCurrentDirectoryA(connection_->ftp.get(), path.c_str()))
        throw failed(::GetLastError());
    struct Return {
        Connection& connection;
        bool entered;
        ~Return() {
            if (entered && !connection.loginFolder.empty())
                ::FtpSetCurrentDirectoryA(connection.ftp.get(), connection.loginFolder.c_str());
        }
    } back{*connection_, !path.empty()};
    WIN32_FIND_DATAA data;
    // WinINet allows one listing at a time per connection; the handle is
    // closed before anything else is asked.
    InternetHandle find(
        ::FtpFindFirstFileA(connection_->ftp.get(), nullptr, &data, INTERNET_FLAG_RELOAD, 0));
    if (!find) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_NO_MORE_FILES) return listing;
        throw failed(error);
    }
    do {
        SYSTEMTIME time{};
        ::FileTimeToSystemTime(&data.ftLastWriteTime, &time);
        const bool folderEntry = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const unsigned long long size =
            (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        char line[64];
        if (folderEntry) {
            std::snprintf(line, sizeof line, "%02u-%02u-%04u  %02u:%02u       <DIR>          ",
                          time.wMonth, time.wDay, time.wYear, time.wHour, time.wMinute);
        } else {
            std::snprintf(line, sizeof line, "%02u-%02u-%04u  %02u:%02u %20llu ", time.wMonth,
                          time.wDay, time.wYear, time.wHour, time.wMinute, size);
        }
        listing.text += line;
        listing.text += data.cFileName;
        listing.text += "\r\n";
    } while (::InternetFindNextFileA(find.get(), &data));
    return listing;
}

std::optional<FileTime> FtpSession::ModificationTime(std::string_view) {
    return std::nullopt;
}

}  // namespace plat::ftp
