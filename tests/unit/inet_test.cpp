// The Internet client against real servers on 127.0.0.1: pyftpdlib (MLSD,
// a user with a password), vsftpd (anonymous, LIST only) and a scripted bad
// server (time-outs, connections closed mid-file, DOS listings).
#include "platform/inet/inet.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/inet/ftp_address.h"
#include "platform/inet/ftp_session.h"
#include "platform/inet/inet_errors.h"
#include "platform/settings.h"
#include "tests/ftp/ftp_test_servers.h"
#include "tests/unit/test_support.h"

namespace {

namespace fs = std::filesystem;
using ftp_test::ReadFile;
using ftp_test::WriteFile;
using plat::InternetError;
using test_support::Utc;
using testing::HasSubstr;
using testing::Not;

constexpr const char* kHost = "127.0.0.1";
constexpr const char* kUser = "jean";
// Characters that would break a URL if the password travelled in one.
constexpr const char* kPassword = "s3c:r/t@pw";

void SetTime(const fs::path& path, plat::FileTime time) {
    const timespec times[2] = {{time, 0}, {time, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// Every byte value, line ends and zeros among them: a text-mode transfer
// would change it.
std::string BinaryContent(std::size_t size) {
    std::string content(size, '\0');
    for (std::size_t i = 0; i < size; ++i) content[i] = static_cast<char>((i * 7 + i / 256) % 256);
    return content;
}

struct Listed {
    std::string name;
    bool isFolder;
    std::int64_t size;
    plat::FileTime time;
    bool operator==(const Listed&) const = default;
};

void PrintTo(const Listed& l, std::ostream* os) {
    *os << "{\"" << l.name << "\" " << (l.isFolder ? "folder" : "file") << " " << l.size << " "
        << l.time << "}";
}

std::vector<Listed> ListAll(CFtpConnection& connection, std::string_view pattern) {
    CFtpFileFind finder(connection);
    std::vector<Listed> listed;
    bool more = finder.FindFile(pattern);
    while (more) {
        more = finder.FindNextFile();
        listed.push_back({finder.GetFileName(), finder.IsDirectory(), finder.GetLength(),
                          finder.GetLastWriteTime()});
    }
    return listed;
}

std::vector<std::string> Names(const std::vector<Listed>& listed) {
    std::vector<std::string> names;
    for (const auto& l : listed) names.push_back(l.name);
    return names;
}

// Runs f, which must throw CInternetException; returns it.
template <typename F>
std::optional<CInternetException> Thrown(F f) {
    try {
        f();
    } catch (const CInternetException& e) {
        return e;
    }
    return std::nullopt;
}

bool HasPartialFiles(const fs::path& folder) {
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".part") return true;
    return false;
}

// pyftpdlib, like many servers, answers a refused password after a pause of
// a few seconds.
const plat::InternetTimeouts kTimeouts{5, 10, 5};
const plat::InternetTimeouts kShortTimeouts{3, 3, 2};

// ---- pyftpdlib: machine listings, a user with a password ----

const std::string kAccented1252 = "\xE9 t.TXT";  // "é t.TXT"

class Pyftpdlib : public ftp_test::ServerSuite<Pyftpdlib> {
public:
    static ftp_test::Server StartServer(const fs::path& folder) {
        const fs::path root = folder / "root";
        WriteFile(root / "in" / "A.ZIP", "AAAAAAAAA");
        WriteFile(root / "in" / "B.ZIP", "BBBBBBBBBB");
        WriteFile(root / "in" / "ARCH" / "old.zip", "old");
        WriteFile(root / "in" / plat::Utf8FromCp1252(kAccented1252), "acc");
        WriteFile(root / "in" / "J0412_1.TXT", "one\r\n");
        WriteFile(root / "in" / "J0412_2.TXT", "two\r\n");
        WriteFile(root / "in" / "big.bin", BinaryContent(3 * 1024 * 1024 + 17));
        WriteFile(root / "in" / "empty.dat", "");
        SetTime(root / "in" / "A.ZIP", Utc(2024, 3, 5, 14, 7, 9));
        SetTime(root / "in" / "B.ZIP", Utc(2023, 1, 2, 3, 4, 5));
        return ftp_test::StartPyftpdlib(root, kUser, kPassword, folder / "pyftpdlib.log");
    }

protected:
    void SetUp() override {
        ServerSuite::SetUp();
        if (!ServerReady()) return;
        ASSERT_TRUE(local_.ok());
        session_.SetTimeouts(kTimeouts);
    }

    std::unique_ptr<CFtpConnection> Connect() {
        return session_.GetFtpConnection(kHost, kUser, kPassword, server_->port);
    }
    std::string Local(const std::string& name) const { return (local_.path() / name).string(); }

    ftp_test::TempFolder local_;
    CInternetSession session_;
};

TEST_F(Pyftpdlib, ListsFoldersSizesAndExactTimesInNameOrder) {
    auto connection = Connect();
    const auto listed = ListAll(*connection, "/in/*");
    EXPECT_THAT(Names(listed),
                testing::ElementsAre("A.ZIP", "ARCH", "B.ZIP", "big.bin", "empty.dat",
                                     "J0412_1.TXT", "J0412_2.TXT", kAccented1252));
    ASSERT_EQ(listed.size(), 8u);
    EXPECT_EQ(listed[0], (Listed{"A.ZIP", false, 9, Utc(2024, 3, 5, 14, 7, 9)}));
    EXPECT_TRUE(listed[1].isFolder);
    EXPECT_EQ(listed[2], (Listed{"B.ZIP", false, 10, Utc(2023, 1, 2, 3, 4, 5)}));
    EXPECT_EQ(listed[3].size, 3 * 1024 * 1024 + 17);
    EXPECT_EQ(listed[7].size, 3);
}

TEST_F(Pyftpdlib, ServerOffersMachineListings) {
    plat::ftp::FtpSession session({kHost, server_->port, kUser, kPassword, true}, kTimeouts);
    session.Connect();
    EXPECT_TRUE(session.Features().mlsd);
    EXPECT_TRUE(session.Features().mdtm);
    const auto listing = session.List("/in/");
    EXPECT_EQ(listing.kind, plat::ftp::ListingKind::Mlsd);
    EXPECT_THAT(listing.text, HasSubstr("type=dir"));
}

TEST_F(Pyftpdlib, PatternsMatchWithoutRegardToCase) {
    auto connection = Connect();
    EXPECT_THAT(Names(ListAll(*connection, "/in/*.zip")), testing::ElementsAre("A.ZIP", "B.ZIP"));
    EXPECT_THAT(Names(ListAll(*connection, "/in/j*_1.TXT")), testing::ElementsAre("J0412_1.TXT"));
    EXPECT_THAT(Names(ListAll(*connection, "/in/?.ZIP")), testing::ElementsAre("A.ZIP", "B.ZIP"));
    EXPECT_THAT(Names(ListAll(*connection, "/in/*.*")).size(), 8u);
    EXPECT_THAT(Names(ListAll(*connection, "/in/")).size(), 8u);
    EXPECT_THAT(Names(ListAll(*connection, "/in/ARCH/*.ZIP")), testing::ElementsAre("old.zip"));
    EXPECT_THAT(Names(ListAll(*connection, "/*")), testing::ElementsAre("in"));
}

TEST_F(Pyftpdlib, NothingMatchingIsNoError) {
    auto connection = Connect();
    CFtpFileFind finder(*connection);
    EXPECT_FALSE(finder.FindFile("/in/*.SIT"));
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_EQ(finder.GetFileName(), "");
}

TEST_F(Pyftpdlib, FinderGivesTheFolderWithTheName) {
    auto connection = Connect();
    CFtpFileFind finder(*connection);
    ASSERT_TRUE(finder.FindFile("/in/A.*"));
    EXPECT_FALSE(finder.FindNextFile());  // the only entry is also the last
    EXPECT_EQ(finder.GetFilePath(), "/in/A.ZIP");
}

TEST_F(Pyftpdlib, DownloadsBinaryAndReplacesTheLocalFile) {
    auto connection = Connect();
    WriteFile(Local("big.bin"), std::string(5 * 1024 * 1024, 'x'));  // longer than the remote
    ASSERT_TRUE(connection->GetFile("/in/big.bin", Local("big.bin"), false));
    EXPECT_TRUE(ReadFile(Local("big.bin")) == BinaryContent(3 * 1024 * 1024 + 17));
    ASSERT_TRUE(connection->GetFile("/in/J0412_1.TXT", Local("J0412_1.TXT")));
    EXPECT_EQ(ReadFile(Local("J0412_1.TXT")), "one\r\n");
    EXPECT_FALSE(HasPartialFiles(local_.path()));
}

TEST_F(Pyftpdlib, DownloadsAnEmptyFileAndAnAccentedName) {
    auto connection = Connect();
    ASSERT_TRUE(connection->GetFile("/in/empty.dat", Local("empty.dat")));
    EXPECT_TRUE(fs::exists(Local("empty.dat")));
    EXPECT_EQ(fs::file_size(Local("empty.dat")), 0u);
    ASSERT_TRUE(connection->GetFile("/in/" + kAccented1252, Local("accented.txt")));
    EXPECT_EQ(ReadFile(Local("accented.txt")), "acc");
}

TEST_F(Pyftpdlib, MissingFileIsFalseAndLeavesTheLocalFile) {
    auto connection = Connect();
    WriteFile(Local("J0412_9.TXT"), "from an earlier run");
    EXPECT_FALSE(connection->GetFile("/in/J0412_9.TXT", Local("J0412_9.TXT")));
    EXPECT_EQ(ReadFile(Local("J0412_9.TXT")), "from an earlier run");
    EXPECT_FALSE(HasPartialFiles(local_.path()));
    // The connection is still good after the refusal.
    EXPECT_TRUE(connection->GetFile("/in/J0412_2.TXT", Local("J0412_2.TXT")));
}

TEST_F(Pyftpdlib, FailIfExistsKeepsTheLocalFile) {
    auto connection = Connect();
    WriteFile(Local("A.ZIP"), "mine");
    EXPECT_FALSE(connection->GetFile("/in/A.ZIP", Local("A.ZIP"), true));
    EXPECT_EQ(ReadFile(Local("A.ZIP")), "mine");
}

TEST_F(Pyftpdlib, MissingFolderThrowsWithItsName) {
    auto connection = Connect();
    const auto listing = Thrown([&] { ListAll(*connection, "/nowhere/*.ZIP"); });
    ASSERT_TRUE(listing);
    EXPECT_EQ(listing->GetError(), InternetError::FolderMissing);
    EXPECT_THAT(listing->GetErrorMessage(), HasSubstr("/nowhere/"));
    const auto download = Thrown([&] { connection->GetFile("/nowhere/A.ZIP", Local("A.ZIP")); });
    ASSERT_TRUE(download);
    EXPECT_EQ(download->GetError(), InternetError::FolderMissing);
    EXPECT_FALSE(fs::exists(Local("A.ZIP")));
}

TEST_F(Pyftpdlib, UnwritableLocalFileThrowsAndLeavesNothing) {
    auto connection = Connect();
    const std::string target = Local("no-such-folder/A.ZIP");
    const auto error = Thrown([&] { connection->GetFile("/in/A.ZIP", target); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->GetError(), InternetError::LocalFileFailed);
    EXPECT_THAT(error->GetErrorMessage(), HasSubstr(target));
}

TEST_F(Pyftpdlib, RefusedLoginNamesNeitherUserNorPassword) {
    const auto error =
        Thrown([&] { session_.GetFtpConnection(kHost, kUser, "wrong-pw", server_->port); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->GetError(), InternetError::LoginRefused);
    EXPECT_THAT(error->GetErrorMessage(), HasSubstr("Identification refus"));
    EXPECT_THAT(error->GetErrorMessage(), Not(HasSubstr(kUser)));
    EXPECT_THAT(error->GetErrorMessage(), Not(HasSubstr("wrong-pw")));
}

TEST_F(Pyftpdlib, AnonymousIsRefusedWhereOnlyAUserMayLogIn) {
    const auto error = Thrown([&] { session_.GetFtpConnection(kHost, "", "", server_->port); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->GetError(), InternetError::LoginRefused);
}

TEST_F(Pyftpdlib, DefaultPortGoesToTheOverride) {
    ftp_test::ScopedPortOverride override(server_->port);
    auto connection = session_.GetFtpConnection(kHost, kUser, kPassword);
    EXPECT_THAT(Names(ListAll(*connection, "/in/A.*")), testing::ElementsAre("A.ZIP"));
}

TEST_F(Pyftpdlib, ActiveModeWorksToo) {
    auto connection = session_.GetFtpConnection(kHost, kUser, kPassword, server_->port, false);
    ASSERT_TRUE(connection->GetFile("/in/B.ZIP", Local("B.ZIP")));
    EXPECT_EQ(ReadFile(Local("B.ZIP")), "BBBBBBBBBB");
}

TEST_F(Pyftpdlib, ClosedConnectionThrows) {
    auto connection = Connect();
    connection->Close();
    EXPECT_TRUE(Thrown([&] { connection->GetFile("/in/A.ZIP", Local("A.ZIP")); }));
    EXPECT_TRUE(Thrown([&] { ListAll(*connection, "/in/*"); }));
}

// ---- no server, bad addresses ----

TEST(InternetClient, NothingListeningIsConnectionRefused) {
    CInternetSession session;
    session.SetTimeouts(kShortTimeouts);
    const int port = ftp_test::FreePort();
    const auto error = Thrown([&] { session.GetFtpConnection(kHost, kUser, kPassword, port); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->GetError(), InternetError::ConnectionRefused);
    EXPECT_THAT(error->GetErrorMessage(), HasSubstr(kHost));
}

TEST(InternetClient, HostsThatAreNoHostNamesAreRefusedWithoutEchoingThem) {
    CInternetSession session;
    for (const char* host : {"", "jean:pw@127.0.0.1", "127.0.0.1/in", "127.0.0.1:21", "a b"}) {
        SCOPED_TRACE(host);
        const auto error = Thrown([&] { session.GetFtpConnection(host, kUser, kPassword, 21); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->GetError(), InternetError::BadAddress);
        EXPECT_THAT(error->GetErrorMessage(), Not(HasSubstr("pw")));
    }
}

TEST(InternetClient, ErrorTextsAreFrench1252AndNameWhatFailed) {
    using plat::ftp::ErrorText;
    using plat::ftp::Operation;
    const plat::ftp::ErrorContext context{"ftp.example.org", "/in/X.ZIP", "..\\TEMP\\X.ZIP", 0};
    struct Row {
        InternetError error;
        Operation operation;
        std::string expected;  // UTF-8 here, 1252 in the text
    };
    const std::vector<Row> rows = {
        {InternetError::ConnectionRefused, Operation::Connect,
         "Connexion refusée par le serveur FTP ftp.example.org."},
        {InternetError::LoginRefused, Operation::Connect,
         "Identification refusée par le serveur FTP ftp.example.org : utilisateur ou mot de "
         "passe incorrect."},
        {InternetError::FileMissing, Operation::Download,
         "Fichier absent sur le serveur FTP ftp.example.org : /in/X.ZIP"},
        {InternetError::Timeout, Operation::Connect,
         "Délai dépassé : le serveur FTP ftp.example.org ne répond pas."},
        {InternetError::Timeout, Operation::Download,
         "Délai dépassé : le serveur FTP ftp.example.org ne répond plus pendant le transfert de "
         "/in/X.ZIP."},
        {InternetError::ConnectionLost, Operation::Download,
         "Connexion interrompue par le serveur FTP ftp.example.org pendant le transfert de "
         "/in/X.ZIP."},
        {InternetError::LocalFileFailed, Operation::Download,
         "Impossible d'écrire le fichier ..\\TEMP\\X.ZIP pendant le transfert de /in/X.ZIP."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        EXPECT_EQ(ErrorText(row.error, row.operation, context), plat::Cp1252FromUtf8(row.expected));
    }
    const plat::ftp::ErrorContext withCode{"h", "/in/", {}, 550};
    EXPECT_EQ(ErrorText(InternetError::ServerError, Operation::List, withCode),
              "Erreur lors de la lecture d'un dossier du serveur FTP h (/in/), code 550.");
}

TEST(InternetClient, ErrorMessageIntoABuffer) {
    const CInternetException e(InternetError::ServerError, "abcdef");
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_TRUE(e.GetErrorMessage(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "abc");
    EXPECT_FALSE(e.GetErrorMessage(buffer, 0));
}

// ---- vsftpd: anonymous, LIST only ----

class Vsftpd : public ftp_test::ServerSuite<Vsftpd> {
public:
    static ftp_test::Server StartServer(const fs::path& folder) {
        const fs::path root = folder / "anon";
        WriteFile(root / "in" / "SET1.ZIP", "zipped set");
        WriteFile(root / "in" / "my file.txt", "blanks");
        WriteFile(root / "in" /
                      plat::Utf8FromCp1252("donn\xE9"
                                           "es.TXT"),
                  "accents");
        WriteFile(root / "in" / "sub dir" / "inner.txt", "inner");
        SetTime(root / "in" / "SET1.ZIP", Utc(2023, 11, 20, 10, 11, 12));
        // Recent enough for the listing to show the time instead of the year.
        const plat::FileTime recent = (std::time(nullptr) - 3 * 86400) / 60 * 60 + 37;
        recentTime_ = recent;
        SetTime(root / "in" / "my file.txt", recent);
        fs::permissions(root / "in",
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        fs::permissions(root, fs::perms(0555));
        return ftp_test::StartVsftpd(root, folder);
    }

protected:
    void SetUp() override {
        ServerSuite::SetUp();
        if (!ServerReady()) return;
        session_.SetTimeouts(kShortTimeouts);
    }

    std::unique_ptr<CFtpConnection> Connect() {
        return session_.GetFtpConnection(kHost, std::string(plat::ftp::kAnonymousUser),
                                         std::string(plat::ftp::kAnonymousPassword), server_->port);
    }
    std::string Local(const std::string& name) const { return (local_.path() / name).string(); }

    static inline plat::FileTime recentTime_ = 0;
    ftp_test::TempFolder local_;
    CInternetSession session_;
};

TEST_F(Vsftpd, ListsWithLISTAndTakesExactTimesFromMDTM) {
    auto connection = Connect();
    const auto listed = ListAll(*connection, "/in/*");
    ASSERT_EQ(listed.size(), 4u) << testing::PrintToString(listed);
    EXPECT_EQ(listed[0], (Listed{"donn\xE9"
                                 "es.TXT",
                                 false, 7, listed[0].time}));
    EXPECT_EQ(listed[1], (Listed{"my file.txt", false, 6, recentTime_}));
    EXPECT_EQ(listed[2], (Listed{"SET1.ZIP", false, 10, Utc(2023, 11, 20, 10, 11, 12)}));
    EXPECT_EQ(listed[3].name, "sub dir");
    EXPECT_TRUE(listed[3].isFolder);
}

TEST_F(Vsftpd, ServerListsWithLISTOnly) {
    plat::ftp::FtpSession session({kHost, server_->port, "anonymous", "a@b", true}, kTimeouts);
    session.Connect();
    EXPECT_FALSE(session.Features().mlsd);
    EXPECT_TRUE(session.Features().mdtm);
    EXPECT_EQ(session.List("/in/").kind, plat::ftp::ListingKind::List);
}

TEST_F(Vsftpd, AnonymousLoginWithoutAUserName) {
    auto connection = session_.GetFtpConnection(kHost, "", "", server_->port);
    EXPECT_THAT(Names(ListAll(*connection, "/in/sub dir/")), testing::ElementsAre("inner.txt"));
}

TEST_F(Vsftpd, DownloadsNamesWithBlanksAndAccents) {
    auto connection = Connect();
    ASSERT_TRUE(connection->GetFile("/in/my file.txt", Local("my file.txt")));
    EXPECT_EQ(ReadFile(Local("my file.txt")), "blanks");
    ASSERT_TRUE(
        connection->GetFile("/in/donn\xE9"
                            "es.TXT",
                            Local("d.txt")));
    EXPECT_EQ(ReadFile(Local("d.txt")), "accents");
    EXPECT_FALSE(connection->GetFile("/in/SET2.ZIP", Local("SET2.ZIP")));
    EXPECT_FALSE(fs::exists(Local("SET2.ZIP")));
}

TEST_F(Vsftpd, MissingFolder) {
    auto connection = Connect();
    const auto error = Thrown([&] { ListAll(*connection, "/out/*"); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->GetError(), InternetError::FolderMissing);
}

// ---- the scripted bad server ----

class BadServer : public testing::Test {
protected:
    void Start(const std::string& mode) {
        ASSERT_TRUE(folder_.ok());
        server_ = ftp_test::StartSlowServer(mode, folder_.path() / "server.log");
        if (!server_.skipReason.empty()) GTEST_SKIP() << server_.skipReason;
        ASSERT_TRUE(server_.failure.empty()) << server_.failure;
        session_.SetTimeouts(kShortTimeouts);
    }
    std::unique_ptr<CFtpConnection> Connect() {
        return session_.GetFtpConnection(kHost, kUser, kPassword, server_.port);
    }
    std::string Local(const std::string& name) const { return (folder_.path() / name).string(); }

    // The download fails with `expected`; the earlier local file is intact
    // and no partial file is left.
    void ExpectFailedDownload(InternetError expected) {
        auto connection = Connect();
        WriteFile(Local("J0412_1.TXT"), "earlier");
        const auto error =
            Thrown([&] { connection->GetFile("/in/J0412_1.TXT", Local("J0412_1.TXT")); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->GetError(), expected) << error->GetErrorMessage();
        EXPECT_THAT(error->GetErrorMessage(), HasSubstr("/in/J0412_1.TXT"));
        EXPECT_EQ(ReadFile(Local("J0412_1.TXT")), "earlier");
        EXPECT_FALSE(HasPartialFiles(folder_.path()));
    }

    ftp_test::TempFolder folder_;
    ftp_test::Server server_;
    CInternetSession session_;
};

TEST_F(BadServer, DosListingWithoutFeatOrMdtm) {
    Start("normal");
    auto connection = Connect();
    const auto listed = ListAll(*connection, "/in/*");
    EXPECT_THAT(listed,
                testing::ElementsAre(Listed{"J0412_1.TXT", false, 1000, Utc(2024, 3, 5, 9, 15, 0)},
                                     Listed{"Old Sets", true, 0, Utc(2024, 3, 5, 14, 7, 0)}));
    ASSERT_TRUE(connection->GetFile("/in/J0412_1.TXT", Local("J0412_1.TXT")));
    EXPECT_EQ(fs::file_size(Local("J0412_1.TXT")), 1000u);
}

TEST_F(BadServer, SilentServerTimesOutAtConnection) {
    Start("silent");
    const auto error = Thrown([&] { Connect(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->GetError(), InternetError::Timeout);
    EXPECT_THAT(error->GetErrorMessage(), HasSubstr(plat::Cp1252FromUtf8("Délai dépassé")));
}

TEST_F(BadServer, RefusedPassword) {
    Start("refuse-login");
    const auto error = Thrown([&] { Connect(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->GetError(), InternetError::LoginRefused);
    EXPECT_THAT(error->GetErrorMessage(), Not(HasSubstr(kPassword)));
}

TEST_F(BadServer, StalledListingTimesOut) {
    Start("stall-list");
    auto connection = Connect();
    const auto error = Thrown([&] { ListAll(*connection, "/in/*"); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->GetError(), InternetError::Timeout);
}

// A transfer the server spoils: the mode of the scripted server and the
// error the download fails with.
struct SpoiledTransfer {
    const char* name;
    const char* mode;
    InternetError error;
};

void PrintTo(const SpoiledTransfer& row, std::ostream* os) {
    *os << row.mode;
}

class BadServerTransfer : public BadServer, public testing::WithParamInterface<SpoiledTransfer> {};

TEST_P(BadServerTransfer, FailsKeepingTheEarlierFile) {
    Start(GetParam().mode);
    ExpectFailedDownload(GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, BadServerTransfer,
    testing::Values(
        SpoiledTransfer{"StalledTransferTimesOut", "stall-file", InternetError::Timeout},
        SpoiledTransfer{"ConnectionClosedMidFile", "close-mid-file", InternetError::ConnectionLost},
        SpoiledTransfer{"TransferAbortedMidFile", "abort-mid-file", InternetError::ConnectionLost},
        SpoiledTransfer{"ShortFileReportedComplete", "short-file", InternetError::ConnectionLost}),
    [](const testing::TestParamInfo<SpoiledTransfer>& info) { return info.param.name; });

TEST_F(BadServer, SlowButSteadyTransferCompletes) {
    Start("trickle");
    auto connection = Connect();
    ASSERT_TRUE(connection->GetFile("/in/J0412_1.TXT", Local("J0412_1.TXT")));
    EXPECT_EQ(fs::file_size(Local("J0412_1.TXT")), 1000u);
}

}  // namespace
