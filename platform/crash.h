// Unhandled faults (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT) on Linux.
//
// The signal handler does only what is safe inside a fault: it takes the
// backtrace and copies /proc/self/maps, then starts this same program again
// as a reporter process and hands it that record through a pipe. The
// reporter, a fresh process with a sound heap, symbolizes the frames, runs
// the filter (which may ask the operator and writes the dump file) and
// exits; the faulting process then dies by its signal as it would have
// without a handler. This works from any thread.
//
// A program that installs a filter must call IsCrashReporterProcess first
// thing in main, and hand over to RunCrashReporter when it is true.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// What the fault handler gathered, as the reporter process sees it.
struct CrashReport {
    int signal = 0;
    int code = 0;                    // si_code
    std::uint64_t faultAddress = 0;  // si_addr
    std::uint64_t pid = 0;
    std::uint64_t tid = 0;
    std::string program;                 // path of the executable
    std::vector<std::string> backtrace;  // one line per frame, innermost first
    std::string modules;                 // the process's /proc/self/maps
};

// The name of a signal with its meaning, e.g. "SIGSEGV (Segmentation fault)".
std::string SignalDescription(int signal, int code);

// How the reporter process talks to the operator: message boxes without an
// owner window. Texts are 1252.
class CrashPrompt {
public:
    virtual ~CrashPrompt() = default;
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    virtual void Tell(const std::string& text, const std::string& caption) = 0;
};

// For a reporter without a display: every question is answered yes (so the
// dump is written without asking) and every text goes to the standard error.
class UnattendedCrashPrompt : public CrashPrompt {
public:
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void Tell(const std::string& text, const std::string& caption) override;
};

// Runs in the reporter process; returns 1 when a dump was written, else 0.
using CrashFilter = int (*)(const CrashReport& report, CrashPrompt& prompt);

// Installs the handler for the whole process, with an alternate signal
// stack for the calling thread, and remembers the filter that the reporter
// process will run.
void InstallCrashHandler(CrashFilter filter);
// Gives the calling thread an alternate signal stack, so that a stack
// overflow on it is reported too. Threads that run long work call it once.
void PrepareThreadForCrashReport();

bool IsCrashReporterProcess(int argc, char** argv);
// Reads the record from the faulting process, runs the filter with prompt
// and returns the process exit status (0).
int RunCrashReporter(CrashPrompt& prompt);

// The dump file, written by the reporter process. Both return 0 or the
// errno of the failure. Create replaces an existing file.
class CrashDumpFile {
public:
    CrashDumpFile() = default;
    CrashDumpFile(const CrashDumpFile&) = delete;
    CrashDumpFile& operator=(const CrashDumpFile&) = delete;
    ~CrashDumpFile();

    int Create(const std::string& path);
    // title: the first line (program name and version).
    int Write(const std::string& title, const CrashReport& report);

private:
    int fd_ = -1;
};

// The working directory as a native path with a final "/", for the dump's
// location.
std::string CrashDumpFolder();

}  // namespace plat
