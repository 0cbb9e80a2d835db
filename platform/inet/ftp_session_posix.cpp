#include "platform/inet/ftp_session.h"

#include <algorithm>
#include <cctype>

#include "platform/codepage.h"
#include "platform/inet/curl_library.h"
#include "platform/inet/inet_errors.h"

namespace plat::ftp {
namespace {

// A listing larger than this is not a listing the picker could show.
constexpr std::size_t kMaxListingBytes = 64 * 1024 * 1024;

// A host name or address, and nothing that could change the meaning of the
// URL built from it (no credentials, port, path or escape).
bool IsPlainHost(std::string_view host) {
    if (host.empty()) return false;
    for (char c : host) {
        const auto u = static_cast<unsigned char>(c);
        if (!std::isalnum(u) && c != '.' && c != '-' && c != '_') return false;
    }
    return true;
}

struct CurlFree {
    void operator()(char* p) const { curl::free(p); }
};

// Each path segment escaped, so that blanks, "#", "%" and accents reach the
// server as written. A leading "/" becomes "%2F": the path is then absolute
// on the server rather than relative to the login folder.
std::string UrlPath(CURL* handle, std::string_view path1252) {
    const std::string path = Utf8FromCp1252(path1252);
    std::string url;
    std::string_view rest = path;
    if (!rest.empty() && rest.front() == '/') {
        url = "%2F";
        rest.remove_prefix(1);
    }
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view segment = rest.substr(0, slash);
        if (!segment.empty()) {
            std::unique_ptr<char, CurlFree> escaped(
                curl::easy_escape(handle, segment.data(), static_cast<int>(segment.size())));
            if (escaped) url += escaped.get();
        }
        if (slash == std::string_view::npos) break;
        url += '/';
        rest.remove_prefix(slash + 1);
    }
    return url;
}

// Server replies as the header callback sees them: the code of the last
// complete reply, and the features listed in a FEAT reply.
struct ReplyLog {
    int lastCode = 0;
    bool inFeatures = false;
    ServerFeatures* features = nullptr;

    void Line(std::string_view line) {
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
        const bool coded = line.size() >= 4 && std::isdigit(static_cast<unsigned char>(line[0])) &&
                           std::isdigit(static_cast<unsigned char>(line[1])) &&
                           std::isdigit(static_cast<unsigned char>(line[2]));
        if (coded && line.substr(0, 4) == "211-") {
            inFeatures = true;
        } else if (coded && line[3] == ' ') {
            lastCode = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
            inFeatures = false;
        } else if (inFeatures && features && !line.empty() && line[0] == ' ') {
            Feature(line.substr(1));
        }
    }

    void Feature(std::string_view text) {
        std::string word;
        for (char c : text.substr(0, text.find(' ')))
            word += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (word == "MLST" || word == "MLSD") features->mlsd = true;
        if (word == "MDTM") features->mdtm = true;
    }
};

// Requests without a body still deliver what they learnt (time, size) as
// text; it must not reach the standard output.
size_t Discard(char*, size_t size, size_t count, void*) {
    return size * count;
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    static_cast<ReplyLog*>(user)->Line(std::string_view(data, size * count));
    return size * count;
}

struct BodyToString {
    std::string* text;
    static size_t Write(char* data, size_t size, size_t count, void* user) {
        auto* self = static_cast<BodyToString*>(user);
        if (self->text->size() + size * count > kMaxListingBytes) return 0;
        self->text->append(data, size * count);
        return size * count;
    }
};

struct BodyToSink {
    const FtpSession::Sink* sink;
    bool failed = false;
    static size_t Write(char* data, size_t size, size_t count, void* user) {
        auto* self = static_cast<BodyToSink*>(user);
        if (!(*self->sink)(data, size * count)) {
            self->failed = true;
            return 0;
        }
        return size * count;
    }
};

bool IsUnknownCommand(int reply) {
    return reply == 500 || reply == 501 || reply == 502 || reply == 504;
}

InternetError Classify(CURLcode code) {
    switch (code) {
        case CURLE_URL_MALFORMAT:
            return InternetError::BadAddress;
        case CURLE_COULDNT_RESOLVE_HOST:
            return InternetError::HostNotFound;
        case CURLE_COULDNT_CONNECT:
            return InternetError::ConnectionRefused;
        case CURLE_LOGIN_DENIED:
            return InternetError::LoginRefused;
        case CURLE_REMOTE_ACCESS_DENIED:  // the server refused to enter the folder
            return InternetError::FolderMissing;
        case CURLE_REMOTE_FILE_NOT_FOUND:
        case CURLE_FTP_COULDNT_RETR_FILE:
            return InternetError::FileMissing;
        case CURLE_OPERATION_TIMEDOUT:
            return InternetError::Timeout;
        case CURLE_PARTIAL_FILE:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_WEIRD_SERVER_REPLY:
            return InternetError::ConnectionLost;
        case CURLE_FTP_ACCEPT_FAILED:
        case CURLE_FTP_ACCEPT_TIMEOUT:
        case CURLE_FTP_WEIRD_PASV_REPLY:
        case CURLE_FTP_WEIRD_227_FORMAT:
        case CURLE_FTP_CANT_GET_HOST:
        case CURLE_FTP_PORT_FAILED:
            return InternetError::DataConnectionFailed;
        case CURLE_WRITE_ERROR:
            return InternetError::LocalFileFailed;
        default:
            return InternetError::ServerError;
    }
}

}  // namespace

struct FtpSession::Connection {
    CURL* handle = nullptr;
    ReplyLog replies;

    Connection() : handle(curl::easy_init()) {}
    ~Connection() {
        if (handle) curl::easy_cleanup(handle);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
};

namespace {

struct Outcome {
    CURLcode code = CURLE_OK;
    int reply = 0;  // code of the last complete reply of the server
};

// Every request starts from a clean handle (the open connection survives
// curl_easy_reset) with the options common to all of them.
void SetCommonOptions(CURL* h, const Endpoint& endpoint, const InternetTimeouts& timeouts,
                      ReplyLog& replies) {
    curl::easy_reset(h);
    curl::easy_setopt(h, CURLOPT_PROTOCOLS_STR, "ftp");
    curl::easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl::easy_setopt(h, CURLOPT_USERNAME, endpoint.user.c_str());
    curl::easy_setopt(h, CURLOPT_PASSWORD, endpoint.password.c_str());
    curl::easy_setopt(h, CURLOPT_CONNECTTIMEOUT, static_cast<long>(timeouts.connectSeconds));
    curl::easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                      static_cast<long>(timeouts.responseSeconds));
    curl::easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl::easy_setopt(h, CURLOPT_LOW_SPEED_TIME, static_cast<long>(timeouts.stallSeconds));
    curl::easy_setopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD));
    if (endpoint.passive) {
        curl::easy_setopt(h, CURLOPT_FTP_USE_EPSV, 1L);
    } else {
        curl::easy_setopt(h, CURLOPT_FTPPORT, "-");
        curl::easy_setopt(h, CURLOPT_ACCEPTTIMEOUT_MS, timeouts.connectSeconds * 1000L);
    }
    curl::easy_setopt(h, CURLOPT_WRITEFUNCTION, &Discard);
    curl::easy_setopt(h, CURLOPT_HEADERFUNCTION, &OnHeader);
    curl::easy_setopt(h, CURLOPT_HEADERDATA, &replies);
}

}  // namespace

FtpSession::FtpSession(Endpoint endpoint, const InternetTimeouts& timeouts)
    : endpoint_(std::move(endpoint)), timeouts_(timeouts) {
    connection_ = std::make_unique<Connection>();
}

FtpSession::~FtpSession() {
    Close();
}

void FtpSession::Close() {
    connection_.reset();
    // Not left lying in memory longer than the connection.
    std::fill(endpoint_.password.begin(), endpoint_.password.end(), '\0');
}

namespace {

template <typename Configure>
Outcome Perform(FtpSession::Connection& curl, const Endpoint& endpoint,
                const InternetTimeouts& timeouts, std::string_view path, ServerFeatures* features,
                Configure configure) {
    curl.replies = ReplyLog{};
    curl.replies.features = features;
    SetCommonOptions(curl.handle, endpoint, timeouts, curl.replies);
    const std::string url = "ftp://" + endpoint.host + ":" + std::to_string(endpoint.port) + "/" +
                            UrlPath(curl.handle, path);
    curl::easy_setopt(curl.handle, CURLOPT_URL, url.c_str());
    configure(curl.handle);
    Outcome outcome;
    outcome.code = curl::easy_perform(curl.handle);
    outcome.reply = curl.replies.lastCode;
    return outcome;
}

int Detail(const Outcome& outcome) {
    return outcome.reply >= 400 ? outcome.reply : 0;
}

[[noreturn]] void ThrowListingFailure(const Outcome& outcome, ErrorContext context) {
    context.detail = Detail(outcome);
    InternetError error = Classify(outcome.code);
    // A refused listing is no missing file, and a listing too large to keep
    // is no local file: both are the server's doing.
    if (error == InternetError::FileMissing || error == InternetError::LocalFileFailed)
        error = InternetError::ServerError;
    throw MakeInternetException(error, Operation::List, context);
}

}  // namespace

void FtpSession::Connect() {
    const ErrorContext context{endpoint_.host, {}, {}, 0};
    if (!IsPlainHost(endpoint_.host))
        throw MakeInternetException(InternetError::BadAddress, Operation::Connect, context);
    if (!connection_ || !connection_->handle)
        throw MakeInternetException(InternetError::ServerError, Operation::Connect, context);
    features_ = ServerFeatures{};
    curl_slist* quote = curl::slist_append(nullptr, "*FEAT");  // "*": a refusal is no failure
    const Outcome outcome = Perform(*connection_, endpoint_, timeouts_, "", &features_, [&](CURL* h) {
        curl::easy_setopt(h, CURLOPT_NOBODY, 1L);
        curl::easy_setopt(h, CURLOPT_QUOTE, quote);
    });
    curl::slist_free_all(quote);
    if (outcome.code != CURLE_OK) {
        const ErrorContext failed{endpoint_.host, {}, {}, Detail(outcome)};
        throw MakeInternetException(Classify(outcome.code), Operation::Connect, failed);
    }
}

bool FtpSession::Download(std::string_view remotePath, std::string_view localName,
                          const Sink& sink) {
    if (!connection_)
        throw MakeInternetException(InternetError::ConnectionLost, Operation::Download,
                                    {endpoint_.host, remotePath, localName, 0});
    BodyToSink body{&sink};
    const Outcome outcome =
        Perform(*connection_, endpoint_, timeouts_, remotePath, nullptr, [&](CURL* h) {
            curl::easy_setopt(h, CURLOPT_WRITEFUNCTION, &BodyToSink::Write);
            curl::easy_setopt(h, CURLOPT_WRITEDATA, &body);
        });
    if (outcome.code == CURLE_OK) return true;
    const InternetError error =
        body.failed ? InternetError::LocalFileFailed : Classify(outcome.code);
    if (error == InternetError::FileMissing) return false;
    throw MakeInternetException(error, Operation::Download,
                                {endpoint_.host, remotePath, localName, Detail(outcome)});
}

FtpSession::Listing FtpSession::List(std::string_view folder) {
    const ErrorContext context{endpoint_.host, folder.empty() ? "." : folder, {}, 0};
    if (!connection_)
        throw MakeInternetException(InternetError::ConnectionLost, Operation::List, context);
    Listing listing;
    const auto run = [&](const char* command) {
        listing.text.clear();
        BodyToString body{&listing.text};
        return Perform(*connection_, endpoint_, timeouts_, folder, nullptr, [&](CURL* h) {
            if (command) curl::easy_setopt(h, CURLOPT_CUSTOMREQUEST, command);
            curl::easy_setopt(h, CURLOPT_WRITEFUNCTION, &BodyToString::Write);
            curl::easy_setopt(h, CURLOPT_WRITEDATA, &body);
        });
    };
    if (features_.mlsd) {
        const Outcome outcome = run("MLSD");
        if (outcome.code == CURLE_OK) {
            listing.kind = ListingKind::Mlsd;
            return listing;
        }
        // Announced but refused: this server lists with LIST from now on.
        if (!IsUnknownCommand(outcome.reply)) ThrowListingFailure(outcome, context);
        features_.mlsd = false;
    }
    const Outcome outcome = run(nullptr);
    if (outcome.code == CURLE_OK) {
        listing.kind = ListingKind::List;
        return listing;
    }
    ThrowListingFailure(outcome, context);
}

std::optional<FileTime> FtpSession::ModificationTime(std::string_view remotePath) {
    if (!features_.mdtm || !connection_) return std::nullopt;
    const Outcome outcome = Perform(*connection_, endpoint_, timeouts_, remotePath, nullptr, [](CURL* h) {
        curl::easy_setopt(h, CURLOPT_NOBODY, 1L);
        curl::easy_setopt(h, CURLOPT_FILETIME, 1L);
    });
    if (outcome.code == CURLE_OK) {
        curl_off_t time = -1;
        if (curl::easy_getinfo(connection_->handle, CURLINFO_FILETIME_T, &time) == CURLE_OK && time >= 0)
            return static_cast<FileTime>(time);
        return std::nullopt;
    }
    const InternetError error = Classify(outcome.code);
    // The listing stands when the server will not tell the time of one
    // file; a server that stopped answering ends the listing.
    if (error == InternetError::Timeout || error == InternetError::ConnectionLost ||
        error == InternetError::ConnectionRefused)
        throw MakeInternetException(error, Operation::List,
                                    {endpoint_.host, remotePath, {}, Detail(outcome)});
    return std::nullopt;
}

}  // namespace plat::ftp
