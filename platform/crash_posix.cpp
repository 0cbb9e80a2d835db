#include "platform/crash.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>

#include "platform/crash_symbols.h"

extern char** environ;

namespace plat {
namespace {

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr char kReporterArgument[] = "--crash-report";
constexpr std::uint32_t kRecordMagic = 0x31524351;  // "QCR1"
constexpr int kMaxFrames = 64;
constexpr std::size_t kAltStackSize = 64 * 1024;

// The record that the handler sends to the reporter, followed by the bytes
// of /proc/self/maps up to the end of the pipe.
struct RawCrash {
    std::uint32_t magic;
    std::int32_t signal;
    std::int32_t code;
    std::int32_t frameCount;
    std::int32_t firstIsExact;
    std::uint64_t faultAddress;
    std::uint64_t pid;
    std::uint64_t tid;
    std::uint64_t frames[kMaxFrames];
    char program[PATH_MAX];
};

// Process-wide by nature: a signal handler can reach nothing else. Written
// once at installation, before any fault can happen.
CrashFilter g_filter = nullptr;
char g_program[PATH_MAX];
std::atomic<long> g_reportingThread{0};
RawCrash g_record;  // only the reporting thread touches it

// ---- inside the signal handler: async-signal-safe calls only ----

void WriteAll(int fd, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
}

void CopyMaps(int to) {
    int fd = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        WriteAll(to, buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
}

std::uint64_t FaultingInstruction(void* context) {
#if defined(__x86_64__)
    return static_cast<std::uint64_t>(
        static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return static_cast<ucontext_t*>(context)->uc_mcontext.pc;
#else
    (void)context;
    return 0;
#endif
}

void FillRecord(int signal, const siginfo_t* info, void* context, long tid) {
    RawCrash& r = g_record;
    r.magic = kRecordMagic;
    r.signal = signal;
    r.code = info ? info->si_code : 0;
    r.faultAddress = info ? reinterpret_cast<std::uintptr_t>(info->si_addr) : 0;
    r.pid = static_cast<std::uint64_t>(::getpid());
    r.tid = static_cast<std::uint64_t>(tid);
    std::memcpy(r.program, g_program, sizeof r.program);

    void* frames[kMaxFrames + 8];
    int count = ::backtrace(frames, kMaxFrames + 8);
    // Frames of the handler and of the signal trampoline come first: start
    // at the faulting instruction when the unwinder passed through it.
    std::uint64_t pc = context ? FaultingInstruction(context) : 0;
    int first = count > 1 ? 1 : 0;
    r.firstIsExact = 0;
    for (int i = 0; i < count; ++i) {
        if (pc != 0 && reinterpret_cast<std::uintptr_t>(frames[i]) == pc) {
            first = i;
            r.firstIsExact = 1;
            break;
        }
    }
    r.frameCount = 0;
    for (int i = first; i < count && r.frameCount < kMaxFrames; ++i)
        r.frames[r.frameCount++] = reinterpret_cast<std::uintptr_t>(frames[i]);
}

bool StartReporter() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    char argument[sizeof kReporterArgument];
    std::memcpy(argument, kReporterArgument, sizeof argument);
    char* argv[] = {g_program, argument, nullptr};
    // vfork: no fork handlers run and no memory is copied; the child only
    // rewires its input and executes the reporter.
    pid_t child = ::vfork();
    if (child == 0) {
        if (::dup2(fds[0], STDIN_FILENO) >= 0) ::execve(g_program, argv, environ);
        ::_exit(127);
    }
    ::close(fds[0]);
    if (child < 0) {
        ::close(fds[1]);
        return false;
    }
    WriteAll(fds[1], &g_record, sizeof g_record);
    CopyMaps(fds[1]);
    ::close(fds[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) != 127;
}

void DieBy(int signal) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
    ::syscall(SYS_tgkill, ::getpid(), ::syscall(SYS_gettid), signal);
    ::_exit(128 + signal);  // not reached
}

void OnFault(int signal, siginfo_t* info, void* context) {
    long tid = ::syscall(SYS_gettid);
    long expected = 0;
    if (!g_reportingThread.compare_exchange_strong(expected, tid)) {
        // A fault while reporting: give up at once. A fault on another
        // thread: the reporting thread ends the process soon.
        if (expected == tid) DieBy(signal);
        for (;;) ::pause();
    }
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, nullptr);

    FillRecord(signal, info, context, tid);
    if (!StartReporter()) {
        static const char kNoReporter[] = "fatal signal; no crash reporter could be started\n";
        WriteAll(STDERR_FILENO, kNoReporter, sizeof kNoReporter - 1);
        void* frames[kMaxFrames];
        ::backtrace_symbols_fd(frames, ::backtrace(frames, kMaxFrames), STDERR_FILENO);
    }
    DieBy(signal);
}

// ---- the reporter process ----

std::string ReadAllInput() {
    std::string data;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    return data;
}

std::string Hex(std::uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%016" PRIx64, value);
    return text;
}

std::string ReportText(const std::string& title, const CrashReport& report) {
    char now[64] = "";
    std::time_t t = std::time(nullptr);
    struct tm utc {};
    if (::gmtime_r(&t, &utc)) std::strftime(now, sizeof now, "%Y-%m-%d %H:%M:%S UTC", &utc);
    std::string text = title + "\n";
    text += "Program: " + report.program + "\n";
    text +=
        "Process: " + std::to_string(report.pid) + "  Thread: " + std::to_string(report.tid) + "\n";
    text += std::string("Time: ") + now + "\n";
    text += "Signal: " + std::to_string(report.signal) + " " +
            SignalDescription(report.signal, report.code) + "\n";
    // A signal sent by a process has no fault address (si_addr overlaps the
    // sender's pid then).
    const bool sent = report.code == SI_USER || report.code == SI_TKILL;
    text += "Fault address: " + (sent ? std::string("none") : Hex(report.faultAddress)) + "\n\n";
    text += "Backtrace (innermost first):\n";
    for (const auto& line : report.backtrace) text += line + "\n";
    text += "\nLoaded modules (/proc/self/maps):\n" + report.modules;
    if (!report.modules.empty() && report.modules.back() != '\n') text += "\n";
    return text;
}

struct AltStack {
    AltStack() : memory(kAltStackSize) {
        stack_t stack{};
        stack.ss_sp = memory.data();
        stack.ss_size = memory.size();
        ::sigaltstack(&stack, nullptr);
    }
    ~AltStack() {
        stack_t off{};
        off.ss_flags = SS_DISABLE;
        ::sigaltstack(&off, nullptr);
    }
    std::vector<char> memory;
};

}  // namespace

std::string SignalDescription(int signal, int code) {
    struct Name {
        int signal;
        const char* name;
        const char* meaning;
    };
    static constexpr Name kNames[] = {
        {SIGSEGV, "SIGSEGV", "Segmentation fault"},
        {SIGBUS, "SIGBUS", "Bus error"},
        {SIGFPE, "SIGFPE", "Floating-point exception"},
        {SIGILL, "SIGILL", "Illegal instruction"},
        {SIGABRT, "SIGABRT", "Aborted"},
    };
    std::string text = "signal";
    for (const auto& n : kNames) {
        if (n.signal == signal) text = std::string(n.name) + " (" + n.meaning;
    }
    if (text == "signal") text = "(unknown signal";
    const char* how = nullptr;
    if (code == SI_USER || code == SI_TKILL)
        how = "sent by a process";
    else if (signal == SIGSEGV && code == SEGV_MAPERR)
        how = "address not mapped";
    else if (signal == SIGSEGV && code == SEGV_ACCERR)
        how = "access not permitted";
    else if (signal == SIGBUS && code == BUS_ADRERR)
        how = "no such physical address";
    else if (signal == SIGFPE && code == FPE_INTDIV)
        how = "integer divide by zero";
    else if (signal == SIGILL && code == ILL_ILLOPN)
        how = "illegal operand";
    if (how) text += std::string(", ") + how;
    return text + ")";
}

bool UnattendedCrashPrompt::AskYesNo(const std::string& text, const std::string& caption) {
    std::cerr << caption << ": " << text << " -> yes (no display)\n";
    return true;
}

void UnattendedCrashPrompt::Tell(const std::string& text, const std::string& caption) {
    std::cerr << caption << ": " << text << "\n";
}

void PrepareThreadForCrashReport() {
    thread_local AltStack stack;
}

void InstallCrashHandler(CrashFilter filter) {
    g_filter = filter;
    ssize_t n = ::readlink("/proc/self/exe", g_program, sizeof g_program - 1);
    g_program[n > 0 ? n : 0] = '\0';
    // The first backtrace loads the unwinder, which allocates: do it now.
    void* frames[2];
    ::backtrace(frames, 2);
    PrepareThreadForCrashReport();

    struct sigaction action {};
    action.sa_sigaction = OnFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signal : kFaultSignals) sigaddset(&action.sa_mask, signal);
    for (int signal : kFaultSignals) ::sigaction(signal, &action, nullptr);
}

bool IsCrashReporterProcess(int argc, char** argv) {
    return argc == 2 && argv[1] && std::strcmp(argv[1], kReporterArgument) == 0;
}

int RunCrashReporter(CrashPrompt& prompt) {
    std::string input = ReadAllInput();
    RawCrash raw{};
    if (input.size() < sizeof raw) return 1;
    std::memcpy(&raw, input.data(), sizeof raw);
    if (raw.magic != kRecordMagic || raw.frameCount < 0 || raw.frameCount > kMaxFrames) return 1;
    raw.program[sizeof raw.program - 1] = '\0';

    CrashReport report;
    report.signal = raw.signal;
    report.code = raw.code;
    report.faultAddress = raw.faultAddress;
    report.pid = raw.pid;
    report.tid = raw.tid;
    report.program = raw.program;
    report.modules = input.substr(sizeof raw);
    std::vector<std::uint64_t> frames(raw.frames, raw.frames + raw.frameCount);
    report.backtrace = SymbolizeFrames(frames, raw.firstIsExact != 0, report.modules);
    if (g_filter) g_filter(report, prompt);
    return 0;
}

CrashDumpFile::~CrashDumpFile() {
    if (fd_ >= 0) ::close(fd_);
}

int CrashDumpFile::Create(const std::string& path) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return fd_ < 0 ? errno : 0;
}

int CrashDumpFile::Write(const std::string& title, const CrashReport& report) {
    if (fd_ < 0) return EBADF;
    std::string text = ReportText(title, report);
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(fd_, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? 0 : errno;
}

std::string CrashDumpFolder() {
    char path[PATH_MAX];
    if (!::getcwd(path, sizeof path)) return "./";
    std::string folder = path;
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace plat
