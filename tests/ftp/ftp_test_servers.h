// FTP servers for tests, started on free ports of 127.0.0.1 (always by
// address: a name lookup could leave the machine) and stopped on
// destruction:
//   - pyftpdlib: a user with a password; machine listings (MLSD);
//   - vsftpd: anonymous only, LIST only; needs root;
//   - slow_ftp_server.py: a misbehaving server (see its header), found
//     through QUERVANE_SOURCE_DIR.
// Start functions return a Server with a reason when the server cannot run
// here; tests then GTEST_SKIP with that reason (ServerSuite does it for a
// suite that shares one server).
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/settings.h"
#include "tests/unit/test_support.h"

extern char** environ;

namespace ftp_test {

namespace fs = std::filesystem;

using test_support::ReadFile;
using test_support::TempFolder;
using test_support::WriteFile;

// A port that was free a moment ago.
inline int FreePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(s);
    return port;
}

inline bool Accepts(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(s);
    return ok;
}

inline std::string FindProgram(const std::string& name, const std::vector<std::string>& extra) {
    std::vector<std::string> folders = extra;
    if (const char* path = ::getenv("PATH")) {
        std::string all = path;
        for (std::size_t start = 0; start <= all.size();) {
            const std::size_t colon = all.find(':', start);
            folders.push_back(all.substr(start, colon - start));
            if (colon == std::string::npos) break;
            start = colon + 1;
        }
    }
    for (const auto& folder : folders) {
        const std::string candidate = folder + "/" + name;
        if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

// A child process, ended (SIGTERM, then SIGKILL) on destruction.
class Process {
public:
    // stdoutPipe: receives the read end of the child's standard output;
    // otherwise output goes to logFile.
    static std::unique_ptr<Process> Spawn(const std::vector<std::string>& args,
                                          const fs::path& logFile, int* stdoutPipe = nullptr) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        int pipeEnds[2] = {-1, -1};
        if (stdoutPipe) {
            if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return nullptr;
            posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        } else {
            posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logFile.c_str(),
                                             O_WRONLY | O_CREAT | O_APPEND, 0644);
        }
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, logFile.c_str(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0644);
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        pid_t pid = 0;
        const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (stdoutPipe) {
            ::close(pipeEnds[1]);
            *stdoutPipe = pipeEnds[0];
        }
        if (rc != 0) return nullptr;
        return std::make_unique<Process>(pid);
    }

    explicit Process(pid_t pid) : pid_(pid) {}
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    ~Process() {
        if (Running()) {
            ::kill(pid_, SIGTERM);
            for (int i = 0; i < 50 && Running(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (Running()) ::kill(pid_, SIGKILL);
        }
        if (!reaped_) ::waitpid(pid_, nullptr, 0);
    }

    bool Running() {
        if (reaped_) return false;
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) reaped_ = true;
        return !reaped_;
    }

private:
    pid_t pid_;
    bool reaped_ = false;
};

// Waits until the process accepts connections on port, or has ended.
inline bool WaitUntilListening(Process& process, int port) {
    for (int i = 0; i < 250; ++i) {
        if (Accepts(port)) return true;
        if (!process.Running()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

struct Server {
    int port = 0;
    std::unique_ptr<Process> process;
    std::string skipReason;  // the server cannot run here (not installed, not root)
    std::string failure;     // the server is here but did not start
};

inline Server Skipped(std::string reason) {
    Server server;
    server.skipReason = std::move(reason);
    return server;
}

inline Server Failed(std::string reason) {
    Server server;
    server.failure = std::move(reason);
    return server;
}

inline const char* kPython = "/usr/bin/python3";

// pyftpdlib serving root for one user. Ports are picked free, then taken by
// the server: another process may take one first, hence the retries.
inline Server StartPyftpdlib(const fs::path& root, const std::string& user,
                             const std::string& password, const fs::path& logFile) {
    if (::access(kPython, X_OK) != 0) return Skipped("no python3 interpreter");
    const std::string probe = std::string(kPython) + " -c 'import pyftpdlib' 2>/dev/null";
    if (std::system(probe.c_str()) != 0) return Skipped("pyftpdlib is not installed");
    for (int attempt = 0; attempt < 3; ++attempt) {
        Server server;
        server.port = FreePort();
        server.process = Process::Spawn(
            {kPython, "-m", "pyftpdlib", "-i", "127.0.0.1", "-p", std::to_string(server.port), "-d",
             root.string(), "-u", user, "-P", password},
            logFile);
        if (server.process && WaitUntilListening(*server.process, server.port)) return server;
    }
    return Failed("pyftpdlib did not start (see " + logFile.string() + ")");
}

// vsftpd serving root to anonymous users only. root must not be writable.
inline Server StartVsftpd(const fs::path& root, const fs::path& workFolder) {
    const std::string program = FindProgram("vsftpd", {"/usr/sbin", "/usr/local/sbin"});
    if (program.empty()) return Skipped("vsftpd is not installed");
    if (::geteuid() != 0) return Skipped("vsftpd needs root");
    std::error_code ignored;
    fs::create_directories("/var/run/vsftpd/empty", ignored);
    const fs::path logFile = workFolder / "vsftpd.log";
    for (int attempt = 0; attempt < 3; ++attempt) {
        Server server;
        server.port = FreePort();
        const fs::path config = workFolder / ("vsftpd-" + std::to_string(attempt) + ".conf");
        std::ofstream(config) << "listen=YES\n"
                              << "listen_ipv6=NO\n"
                              << "listen_address=127.0.0.1\n"
                              << "listen_port=" << server.port << "\n"
                              << "background=NO\n"
                              << "anonymous_enable=YES\n"
                              << "local_enable=NO\n"
                              << "write_enable=NO\n"
                              << "no_anon_password=YES\n"
                              << "anon_root=" << root.string() << "\n"
                              << "pasv_enable=YES\n"
                              << "pasv_address=127.0.0.1\n";
        server.process = Process::Spawn({program, config.string()}, logFile);
        if (server.process && WaitUntilListening(*server.process, server.port)) return server;
    }
    return Failed("vsftpd did not start (see " + logFile.string() + ")");
}

// The port a scripted server tells in its first line ("PORT n"), read from
// out within timeoutMs milliseconds; 0 when it tells none. Closes out.
inline int ReadAnnouncedPort(int out, int timeoutMs) {
    std::string line;
    pollfd ready{out, POLLIN, 0};
    while (line.find('\n') == std::string::npos && ::poll(&ready, 1, timeoutMs) > 0) {
        char buffer[64];
        const ssize_t n = ::read(out, buffer, sizeof buffer);
        if (n <= 0) break;
        line.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(out);
    if (line.rfind("PORT ", 0) != 0) return 0;
    return std::stoi(line.substr(5));
}

// slow_ftp_server.py in one of its modes; it tells its port on its output.
inline Server StartSlowServer(const std::string& mode, const fs::path& logFile) {
    const fs::path script = fs::path(QUERVANE_SOURCE_DIR) / "tests" / "ftp" / "slow_ftp_server.py";
    if (::access(kPython, X_OK) != 0) return Skipped("no python3 interpreter");
    Server server;
    int out = -1;
    server.process = Process::Spawn({kPython, script.string(), mode}, logFile, &out);
    if (!server.process) return Failed("cannot start " + script.string());
    server.port = ReadAnnouncedPort(out, 5000);
    if (server.port == 0) return Failed("the slow server did not start");
    return server;
}

// A test suite that shares one server, started once in a folder of its
// own: Suite::StartServer(folder) writes what the server serves under folder
// and starts it. Every test is skipped when the server cannot run here and
// fails when it did not start; a Suite's own SetUp calls this one first and
// returns when !ServerReady().
template <class Suite>
class ServerSuite : public testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<TempFolder>();
        server_ = std::make_unique<Server>(Suite::StartServer(folder_->path()));
    }
    static void TearDownTestSuite() {
        server_.reset();
        folder_.reset();
    }
    void SetUp() override {
        if (!server_->skipReason.empty()) GTEST_SKIP() << server_->skipReason;
        ASSERT_TRUE(server_->failure.empty()) << server_->failure;
    }
    static bool ServerReady() { return !IsSkipped() && !HasFatalFailure(); }

    static inline std::unique_ptr<TempFolder> folder_;
    static inline std::unique_ptr<Server> server_;
};

// Points the product's FTP connections at a test server's port while it
// lives.
class ScopedPortOverride {
public:
    explicit ScopedPortOverride(int port) { plat::SetFtpPortOverride(port); }
    ~ScopedPortOverride() { plat::SetFtpPortOverride(std::nullopt); }
    ScopedPortOverride(const ScopedPortOverride&) = delete;
    ScopedPortOverride& operator=(const ScopedPortOverride&) = delete;
};

}  // namespace ftp_test
