// Fetching a picked set from FTP servers of 127.0.0.1.
#include "import/TelechargementFtp.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/settings.h"
#include "tests/ftp/ftp_test_servers.h"

namespace {

namespace fs = std::filesystem;
using ftp_test::ReadFile;
using ftp_test::WriteFile;

TEST(DossierDistantTest, TheFolderFollowsTheHost) {
    struct Row {
        const char* adresse;
        const char* dossier;
    };
    for (const Row& row : {
             Row{"ftp://u:p@10.0.0.5/in/", "/in/"},
             Row{"ftp://10.0.0.5/in/data/", "/in/data/"},
             Row{"FTP://10.0.0.5/", "/"},
             Row{"ftp://10.0.0.5", "/"},
             Row{"ftp://u:p/q@10.0.0.5/in/", "/in/"},
             Row{"ftp://", "/"},
         }) {
        EXPECT_EQ(DossierDistant(row.adresse), row.dossier) << row.adresse;
    }
}

std::string Binary(int seed) {
    std::string bytes;
    for (int i = 0; i < 600; ++i) bytes += static_cast<char>((i * 7 + seed) % 256);
    return bytes + "\r\n\x1a\r";
}

class TelechargementFtpTest : public ftp_test::ServerSuite<TelechargementFtpTest> {
public:
    static ftp_test::Server StartServer(const fs::path& folder) {
        const fs::path in = folder / "root" / "in";
        for (int n : {1, 2, 3, 5})
            WriteFile(in / ("J0412_" + std::to_string(n) + ".TXT"), Binary(n));
        for (int n = 1; n <= 10; ++n) WriteFile(in / ("K" + std::to_string(n) + ".TXT"), "k");
        WriteFile(in / "SET 1.ZIP", Binary(9));
        WriteFile(in / "ONE.TXT", "one");
        return ftp_test::StartPyftpdlib(folder / "root", "jean", "secret",
                                        folder / "pyftpdlib.log");
    }

protected:
    void SetUp() override {
        ServerSuite::SetUp();
        if (!ServerReady()) return;
        ASSERT_TRUE(local_.ok());
        session_.SetTimeouts({5, 5, 3});
        connection_ = session_.GetFtpConnection("127.0.0.1", "jean", "secret", server_->port);
        staging_ = (local_.path() / "TEMP").string() + "\\";
        fs::create_directories(local_.path() / "TEMP");
    }

    std::vector<std::string> Staged() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(local_.path() / "TEMP"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path In(const std::string& name) const { return folder_->path() / "root" / "in" / name; }

    ftp_test::TempFolder local_;
    CInternetSession session_;
    std::unique_ptr<CFtpConnection> connection_;
    std::string staging_;
    std::string CheminFichier;
};

TEST_F(TelechargementFtpTest, ATemplateSetIsFetchedUntilTheFirstMissingNumber) {
    TelechargerJeu(*connection_, "/in/", "J{id}_{n}.TXT", "0412", staging_, CheminFichier);
    EXPECT_EQ(Staged(), (std::vector<std::string>{"J0412_1.TXT", "J0412_2.TXT", "J0412_3.TXT"}));
    EXPECT_EQ(CheminFichier, staging_ + "J0412_4.TXT");
    for (int n : {1, 2, 3}) {
        const std::string name = "J0412_" + std::to_string(n) + ".TXT";
        EXPECT_EQ(ReadFile(local_.path() / "TEMP" / name), ReadFile(In(name))) << name;
    }
}

TEST_F(TelechargementFtpTest, ASetHasAtMostNineFiles) {
    TelechargerJeu(*connection_, "/in/", "{id}{n}.TXT", "K", staging_, CheminFichier);
    EXPECT_EQ(Staged().size(), 9u);
    EXPECT_EQ(CheminFichier, staging_ + "K9.TXT");
}

TEST_F(TelechargementFtpTest, ATemplateWithoutNumberNamesOneFile) {
    TelechargerJeu(*connection_, "/in/", "{id}.TXT", "ONE", staging_, CheminFichier);
    EXPECT_EQ(Staged(), std::vector<std::string>{"ONE.TXT"});
    EXPECT_EQ(CheminFichier, staging_ + "ONE.TXT");
}

TEST_F(TelechargementFtpTest, APlainFileIsFetchedOrQuietlyMissed) {
    WriteFile(local_.path() / "TEMP" / "SET 1.ZIP", "an earlier copy");
    TelechargerJeu(*connection_, "/in/", "ZIP", "SET 1.ZIP", staging_, CheminFichier);
    EXPECT_EQ(CheminFichier, staging_ + "SET 1.ZIP");
    EXPECT_EQ(ReadFile(local_.path() / "TEMP" / "SET 1.ZIP"), Binary(9));

    TelechargerJeu(*connection_, "/in/", "ZIP", "NONE.ZIP", staging_, CheminFichier);
    EXPECT_EQ(CheminFichier, staging_ + "NONE.ZIP");
    EXPECT_EQ(Staged(), std::vector<std::string>{"SET 1.ZIP"});
}

TEST_F(TelechargementFtpTest, ANameThatWouldLeaveTheStagingFolderIsNotFetched) {
    for (const char* name : {"../ONE.TXT", "..\\ONE.TXT", "..", "", "sub/ONE.TXT"}) {
        TelechargerJeu(*connection_, "/in/", "*", name, staging_, CheminFichier);
        EXPECT_EQ(CheminFichier, staging_ + name);
    }
    TelechargerJeu(*connection_, "/in/", "{id}_{n}.TXT", "../J0412", staging_, CheminFichier);
    EXPECT_TRUE(Staged().empty());
    EXPECT_FALSE(fs::exists(local_.path() / "ONE.TXT"));
    EXPECT_FALSE(fs::exists(local_.path() / "J0412_1.TXT"));
}

TEST_F(TelechargementFtpTest, AMissingRemoteFolderThrows) {
    EXPECT_THROW(
        TelechargerJeu(*connection_, "/out/", "J{id}_{n}.TXT", "0412", staging_, CheminFichier),
        CInternetException);
}

// A server that breaks off a transfer: the error reaches the caller, and no
// partial file stays in the staging folder.
class TelechargementServeurDefaillantTest : public ::testing::TestWithParam<const char*> {};

TEST_P(TelechargementServeurDefaillantTest, TheTransferFailsWithoutLeavingAPartialFile) {
    ftp_test::TempFolder folder;
    ftp_test::Server server = ftp_test::StartSlowServer(GetParam(), folder.path() / "log");
    if (!server.skipReason.empty()) GTEST_SKIP() << server.skipReason;
    ASSERT_TRUE(server.failure.empty()) << server.failure;
    CInternetSession session;
    session.SetTimeouts({3, 3, 2});
    auto connection = session.GetFtpConnection("127.0.0.1", "jean", "secret", server.port);
    fs::create_directories(folder.path() / "TEMP");
    std::string CheminFichier;
    EXPECT_THROW(TelechargerJeu(*connection, "/in/", "J{id}_{n}.TXT", "0412",
                                (folder.path() / "TEMP").string() + "\\", CheminFichier),
                 CInternetException);
    EXPECT_TRUE(fs::is_empty(folder.path() / "TEMP"));
}

INSTANTIATE_TEST_SUITE_P(Modes, TelechargementServeurDefaillantTest,
                         ::testing::Values("close-mid-file", "stall-file", "abort-mid-file"));

}  // namespace
