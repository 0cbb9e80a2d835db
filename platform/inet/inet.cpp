#include "platform/inet/inet.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "platform/codepage.h"
#include "platform/inet/ftp_address.h"
#include "platform/inet/ftp_session.h"
#include "platform/inet/inet_errors.h"
#include "platform/settings.h"

using plat::InternetError;
using plat::ftp::ErrorContext;
using plat::ftp::MakeInternetException;
using plat::ftp::Operation;

struct CFtpConnection::Impl {
    Impl(plat::ftp::Endpoint endpoint, const plat::InternetTimeouts& timeouts)
        : server(endpoint.host), session(std::move(endpoint), timeouts) {}
    std::string server;
    plat::ftp::FtpSession session;
};

namespace {

// The download's bytes go to a sibling of the local file, which replaces
// the local file only once the transfer is complete; otherwise it is
// removed, so that a failed transfer leaves no partial file.
class PartialFile {
public:
    explicit PartialFile(std::string_view target)
        : target_(target), path_(std::string(target) + ".part") {}
    ~PartialFile() {
        if (committed_ || !opened_) return;
        file_->Close();
        plat::DeleteFile(path_);
    }
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    bool Write(const char* data, std::size_t size) {
        return Open() && file_->Write(data, 1, size) == size;
    }

    bool Commit() {
        if (!Open() || !file_->Close()) return false;
        if (plat::FileExists(target_) && !plat::DeleteFile(target_)) return false;
        if (!plat::MoveFile(path_, target_)) return false;
        committed_ = true;
        return true;
    }

private:
    bool Open() {
        if (!tried_) {
            tried_ = true;
            file_.emplace(plat::File::Open(path_, "wb"));
            opened_ = file_->IsOpen();
        }
        return opened_;
    }

    std::string target_;
    std::string path_;
    std::optional<plat::File> file_;  // engaged once the first bytes arrive
    bool tried_ = false;
    bool opened_ = false;
    bool committed_ = false;
};

// Listings without a year are dated against the server's clock, which is the
// real one even when a scripted run fixes the program's "now".
plat::FileTime RealNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string NameFromServer(const std::string& name) {
    return plat::IsValidUtf8(name) ? plat::Cp1252FromUtf8(name) : name;
}

}  // namespace

CInternetSession::CInternetSession() = default;
CInternetSession::~CInternetSession() = default;

std::unique_ptr<CFtpConnection> CInternetSession::GetFtpConnection(std::string_view server,
                                                                   std::string_view userName,
                                                                   std::string_view password,
                                                                   int port, bool passive) {
    plat::ftp::Endpoint endpoint;
    endpoint.host = std::string(server);
    endpoint.port = port;
    if (port == INTERNET_DEFAULT_FTP_PORT || port == 0) {
        endpoint.port = INTERNET_DEFAULT_FTP_PORT;
        if (const auto override = plat::FtpPortOverride()) endpoint.port = *override;
    }
    if (userName.empty()) {
        endpoint.user = plat::ftp::kAnonymousUser;
        endpoint.password = plat::ftp::kAnonymousPassword;
    } else {
        endpoint.user = plat::Utf8FromCp1252(userName);
        endpoint.password = plat::Utf8FromCp1252(password);
    }
    endpoint.passive = passive;

    auto impl = std::make_unique<CFtpConnection::Impl>(std::move(endpoint), timeouts_);
    impl->session.Connect();
    return std::make_unique<CFtpConnection>(CFtpConnection::Key(), std::move(impl));
}

CFtpConnection::CFtpConnection(Key, std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
CFtpConnection::~CFtpConnection() = default;

void CFtpConnection::Close() {
    if (impl_) impl_->session.Close();
}

bool CFtpConnection::GetFile(std::string_view remoteFile, std::string_view localFile,
                             bool bFailIfExists) {
    if (bFailIfExists && plat::FileExists(localFile)) return false;
    PartialFile partial(localFile);
    const bool found = impl_->session.Download(
        remoteFile, localFile,
        [&partial](const char* data, std::size_t size) { return partial.Write(data, size); });
    if (!found) return false;
    if (!partial.Commit())
        throw MakeInternetException(InternetError::LocalFileFailed, Operation::Download,
                                    ErrorContext{impl_->server, remoteFile, localFile, 0});
    return true;
}

CFtpFileFind::CFtpFileFind(CFtpConnection& connection) : connection_(connection) {}
CFtpFileFind::~CFtpFileFind() = default;

void CFtpFileFind::Close() {
    folder_.clear();
    entries_.clear();
    next_ = 0;
}

bool CFtpFileFind::FindFile(std::string_view pattern) {
    Close();
    plat::ftp::FtpSession& session = connection_.impl_->session;
    const std::size_t slash = pattern.rfind('/');
    folder_ = slash == std::string_view::npos ? "" : pattern.substr(0, slash + 1);
    std::string_view namePattern =
        slash == std::string_view::npos ? pattern : pattern.substr(slash + 1);
    if (namePattern.empty()) namePattern = "*";

    const auto listing = session.List(folder_);
    for (auto& listed : plat::ftp::ParseListing(listing.text, listing.kind, RealNow())) {
        std::string name = NameFromServer(listed.name);
        if (!plat::MatchesPattern(name, namePattern)) continue;
        const bool exact = listed.isFolder || listed.precision == plat::ftp::TimePrecision::Second;
        entries_.push_back(
            Entry{std::move(name), listed.isFolder, listed.size, listed.time, exact});
    }
    std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
        return plat::CompareNames(a.name, b.name) < 0;
    });
    return !entries_.empty();
}

bool CFtpFileFind::FindNextFile() {
    if (next_ < entries_.size()) ++next_;
    return next_ < entries_.size();
}

const CFtpFileFind::Entry& CFtpFileFind::Current() const {
    static const Entry kNone;
    return next_ == 0 || next_ > entries_.size() ? kNone : entries_[next_ - 1];
}

std::string CFtpFileFind::GetFileName() const {
    return Current().name;
}
std::string CFtpFileFind::GetFilePath() const {
    return folder_ + Current().name;
}
bool CFtpFileFind::IsDirectory() const {
    return Current().isFolder;
}
std::int64_t CFtpFileFind::GetLength() const {
    return Current().size;
}

plat::FileTime CFtpFileFind::GetLastWriteTime() {
    if (next_ == 0 || next_ > entries_.size()) return 0;
    Entry& entry = entries_[next_ - 1];
    // Asked only for the entries a caller shows, so that a folder listing
    // costs no request per file.
    if (!entry.exactTime && !timesUnavailable_) {
        try {
            if (const auto exact = connection_.impl_->session.ModificationTime(GetFilePath()))
                entry.lastWrite = *exact;
        } catch (const CInternetException&) {
            timesUnavailable_ = true;
        }
        entry.exactTime = true;
    }
    return entry.lastWrite;
}
