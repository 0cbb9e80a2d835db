// The Internet client: FTP connections in passive mode, binary downloads and
// remote folder listings, under the names that the import run and the file
// picker use. Every text at this interface (host, credentials, paths, names,
// messages) is 1252; names and credentials travel to and from the server as
// UTF-8 (a name that is not valid UTF-8 is taken as 1252 as it is).
//
//   CInternetSession session;
//   std::unique_ptr<CFtpConnection> connection =
//       session.GetFtpConnection(host, user, password);        // throws
//   connection->GetFile("/in/J0412_1.TXT", "..\\TEMP\\J0412_1.TXT", false);
//   CFtpFileFind finder(*connection);
//   bool more = finder.FindFile("/in/*.ZIP");                  // throws
//   while (more) {
//       more = finder.FindNextFile();
//       ... finder.GetFileName(), IsDirectory(), GetLength(), GetLastWriteTime()
//   }
//
// Failures of the connection, the login, a transfer or a listing throw
// CInternetException, whose GetErrorMessage is a French text for the
// operator that names what failed. No text ever holds the user name or the
// password. Time-outs are bounded: a server that stops answering ends the
// operation with an exception instead of blocking.
//
// Connections to the default port go to plat::FtpPortOverride() instead when
// it is set (platform/settings.h; scripted runs only).
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fs/fs.h"

inline constexpr int INTERNET_DEFAULT_FTP_PORT = 21;

namespace plat {

// What went wrong, for callers that tell cases apart; the operator reads
// GetErrorMessage.
enum class InternetError {
    BadAddress,         // no host, or a host with characters no host name has
    HostNotFound,       // the name does not resolve
    ConnectionRefused,  // nothing answers at that port
    LoginRefused,       // user or password refused
    FolderMissing,      // the remote folder does not exist
    FileMissing,        // the remote file does not exist or cannot be read
    Timeout,            // the server stopped answering
    ConnectionLost,     // the server closed the connection, e.g. mid-file
    DataConnectionFailed,
    LocalFileFailed,  // the local copy could not be written
    ServerError,      // any other refusal or protocol failure
};

struct InternetTimeouts {
    int connectSeconds = 20;   // TCP connection, greeting and login
    int responseSeconds = 30;  // each reply of the server to a command
    int stallSeconds = 30;     // a transfer that moves nothing for this long
};

}  // namespace plat

class CInternetException : public std::exception {
public:
    CInternetException(plat::InternetError error, std::string message)
        : error_(error), message_(std::move(message)) {}

    plat::InternetError GetError() const { return error_; }
    // The displayable text (1252).
    std::string GetErrorMessage() const { return message_; }
    // The same, into a buffer of `size` bytes, cut and zero-terminated; false
    // when size is 0.
    bool GetErrorMessage(char* buffer, std::size_t size) const;
    const char* what() const noexcept override { return message_.c_str(); }

private:
    plat::InternetError error_;
    std::string message_;
};

class CFtpConnection;

// Holds the settings of the connections it opens. Connections do not depend
// on the session: either may be destroyed first.
class CInternetSession {
public:
    CInternetSession();
    ~CInternetSession();

    // Connects and logs in. Passive mode unless `passive` is false. Throws
    // CInternetException when the server cannot be reached or refuses the
    // login.
    std::unique_ptr<CFtpConnection> GetFtpConnection(std::string_view server,
                                                     std::string_view userName,
                                                     std::string_view password,
                                                     int port = INTERNET_DEFAULT_FTP_PORT,
                                                     bool passive = true);

    void SetTimeouts(const plat::InternetTimeouts& timeouts) { timeouts_ = timeouts; }

private:
    plat::InternetTimeouts timeouts_;
};

class CFtpConnection {
public:
    ~CFtpConnection();
    CFtpConnection(const CFtpConnection&) = delete;
    CFtpConnection& operator=(const CFtpConnection&) = delete;

    // Copies remoteFile byte for byte (image type) to localFile. Paths of the
    // server are absolute from "/" or relative to the login folder. The copy
    // first goes to a sibling file and replaces localFile only once complete,
    // so a failed transfer leaves localFile as it was and no partial file.
    // Returns false, without a message, when the server has no such file or
    // refuses to send it, or when bFailIfExists and localFile exists. Throws
    // CInternetException for anything else (missing remote folder, time-out,
    // connection closed mid-file, local file not writable).
    bool GetFile(std::string_view remoteFile, std::string_view localFile,
                 bool bFailIfExists = false);

    // Ends the connection; later calls throw. The destructor closes too.
    void Close();

    struct Impl;
    // Only the session makes connections.
    class Key {
        friend class CInternetSession;
        Key() = default;
    };
    CFtpConnection(Key, std::unique_ptr<Impl> impl);

private:
    friend class CFtpFileFind;
    std::unique_ptr<Impl> impl_;
};

// Lists a remote folder. FindFile reads the whole listing at once (machine
// listing when the server offers it, else LIST parsed here); entries then
// come one at a time, as with the local finder: call FindNextFile before
// reading the first one.
class CFtpFileFind {
public:
    explicit CFtpFileFind(CFtpConnection& connection);
    ~CFtpFileFind();

    // pattern: a folder followed by a name pattern ("/in/*.ZIP", "/in/J*_1.TXT",
    // "*"), or a folder alone ending with "/" ("/in/"), which lists all of it.
    // "*" and "?" match without regard to case; "*.*" matches every name.
    // Entries come in ascending order of their names without regard to case;
    // "." and ".." never come. Returns false when nothing matches. Throws
    // CInternetException when the folder is missing or the listing fails.
    bool FindFile(std::string_view pattern = "*");
    // Moves to the next entry; false when the entry it moved to is the last.
    bool FindNextFile();
    void Close();

    std::string GetFileName() const;  // 1252
    std::string GetFilePath() const;  // the folder of the pattern + the name
    bool IsDirectory() const;
    std::int64_t GetLength() const;
    // Universal time, to the second when the server tells it (machine
    // listing, or MDTM asked here when the listing gave only the minute or
    // the day); else the time of the listing. Never throws.
    plat::FileTime GetLastWriteTime();

    struct Entry {
        std::string name;  // 1252
        bool isFolder = false;
        std::int64_t size = 0;
        plat::FileTime lastWrite = 0;
        bool exactTime = false;  // no MDTM to ask
    };

private:
    const Entry& Current() const;

    CFtpConnection& connection_;
    std::string folder_;
    std::vector<Entry> entries_;
    std::size_t next_ = 0;           // entries_[next_ - 1] is the current entry
    bool timesUnavailable_ = false;  // MDTM failed for want of a connection
};
