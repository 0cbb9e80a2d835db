// The crash report: each test forks a child that installs the writer and
// faults for real; the child's reporter is this same executable (see main
// at the end), answering from QUERVANE_TEST_CRASH_ANSWER and logging what it
// was asked and told to QUERVANE_TEST_CRASH_LOG.
#include "app/mdump.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "platform/crash_symbols.h"
#include "tests/unit/test_support.h"

namespace {

// ---- deliberate faults, kept out of line so that they show in backtraces ----

extern "C" __attribute__((noinline)) void FaultByNullWrite() {
    int* volatile target = reinterpret_cast<int*>(0x10);
    *target = 1;
}

extern "C" __attribute__((noinline)) void FaultByDivision() {
    volatile int zero = 0;
    volatile int result = 7 / zero;
    (void)result;
}

extern "C" __attribute__((noinline)) void FaultByTrap() {
    __builtin_trap();
}

extern "C" __attribute__((noinline)) void FaultByAbort() {
    std::abort();
}

// Reading a mapped page past the end of a file gives SIGBUS.
extern "C" __attribute__((noinline)) void FaultByTruncatedMapping() {
    FILE* f = std::tmpfile();
    void* p = mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE, fileno(f), 0);
    volatile char c = *static_cast<volatile char*>(p);
    (void)c;
}

extern "C" int FaultByRecursion(int depth);
// Called through a pointer that the compiler cannot see through, so that the
// recursion stays a recursion.
int (*volatile g_recurse)(int) = FaultByRecursion;

extern "C" __attribute__((noinline)) int FaultByRecursion(int depth) {
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    return g_recurse(depth + 1) + frame[0];
}

extern "C" __attribute__((noinline)) void FaultOnWorkerThread() {
    std::thread worker([] {
        plat::PrepareThreadForCrashReport();
        FaultByNullWrite();
    });
    worker.join();
}

// ---- the test side ----

struct ChildResult {
    bool signalled = false;
    int signal = 0;
    std::string dump;  // empty when no dump file exists
    std::string log;   // what the reporter asked and told
    bool dumpExists = false;
};

using test_support::ReadFile;

class CrashTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.ok());
        dir_ = folder_.path().string();
    }

    std::string DumpPath() const { return dir_ + "/Quervane.dmp"; }

    ChildResult RunFaultingChild(const std::function<void()>& fault, const char* answer = "yes") {
        std::string log = dir_ + "/reporter.log";
        pid_t child = fork();
        if (child == 0) {
            rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            if (chdir(dir_.c_str()) != 0) _exit(90);
            setenv("QUERVANE_TEST_CRASH_ANSWER", answer, 1);
            setenv("QUERVANE_TEST_CRASH_LOG", log.c_str(), 1);
            fault();
            _exit(91);  // the fault did not happen
        }
        ChildResult result;
        int status = 0;
        waitpid(child, &status, 0);
        result.signalled = WIFSIGNALED(status);
        result.signal = result.signalled ? WTERMSIG(status) : -WEXITSTATUS(status);
        struct stat st {};
        result.dumpExists = lstat(DumpPath().c_str(), &st) == 0 && S_ISREG(st.st_mode);
        if (result.dumpExists) result.dump = ReadFile(DumpPath());
        result.log = ReadFile(log);
        return result;
    }

    test_support::TempFolder folder_{"quervane-crash"};
    std::string dir_;
};

const char kQuestionLine[] =
    "ask Quervane: Unexpected exception, would you like to save a diagnostic file?\n";

struct FaultCase {
    const char* name;
    void (*fault)();
    int signal;
    const char* signalText;
    const char* function;  // expected in the backtrace
};

void RecurseForever() {
    FaultByRecursion(0);
}

const FaultCase kFaults[] = {
    {"null write", FaultByNullWrite, SIGSEGV,
     "Signal: 11 SIGSEGV (Segmentation fault, address not mapped)", "FaultByNullWrite+"},
    {"bus error", FaultByTruncatedMapping, SIGBUS, "Signal: 7 SIGBUS (Bus error",
     "FaultByTruncatedMapping+"},
    {"division by zero", FaultByDivision, SIGFPE,
     "Signal: 8 SIGFPE (Floating-point exception, integer divide by zero)", "FaultByDivision+"},
    {"trap", FaultByTrap, SIGILL, "Signal: 4 SIGILL (Illegal instruction", "FaultByTrap+"},
    {"abort", FaultByAbort, SIGABRT, "Signal: 6 SIGABRT (Aborted, sent by a process)",
     "FaultByAbort+"},
    {"stack overflow", RecurseForever, SIGSEGV, "Signal: 11 SIGSEGV (Segmentation fault",
     "FaultByRecursion+"},
    {"worker thread", FaultOnWorkerThread, SIGSEGV, "Signal: 11 SIGSEGV (Segmentation fault",
     "FaultByNullWrite+"},
};

TEST_F(CrashTest, EachFaultWritesTheDumpAndEndsByItsSignal) {
    for (const auto& c : kFaults) {
        SCOPED_TRACE(c.name);
        unlink(DumpPath().c_str());
        unlink((dir_ + "/reporter.log").c_str());
        ChildResult r = RunFaultingChild([&] {
            MiniDumper dumper("Quervane");
            c.fault();
        });
        EXPECT_TRUE(r.signalled);
        EXPECT_EQ(r.signal, c.signal);
        ASSERT_TRUE(r.dumpExists);
        EXPECT_EQ(r.dump.rfind("Quervane version 1.0\nProgram: ", 0), 0u) << r.dump.substr(0, 200);
        EXPECT_NE(r.dump.find(c.signalText), std::string::npos) << r.dump.substr(0, 400);
        EXPECT_NE(r.dump.find(c.function), std::string::npos) << r.dump.substr(0, 2000);
        EXPECT_NE(r.dump.find("Loaded modules (/proc/self/maps):\n"), std::string::npos);
        EXPECT_NE(r.dump.find("mdump_test\n"), std::string::npos) << "the maps list the program";
        EXPECT_EQ(r.log, kQuestionLine + ("tell Quervane: Saved dump file to '" + DumpPath() +
                                          "'. Please send this file to ORBEL System.\n"));
    }
}

TEST_F(CrashTest, TheDumpNamesTheFaultAddressAndTheFaultingThread) {
    ChildResult r = RunFaultingChild([] {
        MiniDumper dumper("Quervane");
        FaultOnWorkerThread();
    });
    ASSERT_TRUE(r.dumpExists);
    EXPECT_NE(r.dump.find("Fault address: 0x0000000000000010\n"), std::string::npos);
    unsigned long pid = 0, tid = 0;
    std::size_t at = r.dump.find("Process: ");
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(std::sscanf(r.dump.c_str() + at, "Process: %lu  Thread: %lu", &pid, &tid), 2);
    EXPECT_NE(pid, tid) << "the fault happened on the worker, not the main thread";
    // The faulting function comes first, its callers after it.
    std::size_t frame0 = r.dump.find("#0 ");
    ASSERT_NE(frame0, std::string::npos);
    EXPECT_NE(r.dump.substr(frame0, r.dump.find('\n', frame0) - frame0).find("FaultByNullWrite+"),
              std::string::npos);
}

TEST_F(CrashTest, AnsweringNoWritesNothingAndTellsNothing) {
    ChildResult r = RunFaultingChild(
        [] {
            MiniDumper dumper("Quervane");
            FaultByNullWrite();
        },
        "no");
    EXPECT_TRUE(r.signalled);
    EXPECT_EQ(r.signal, SIGSEGV);
    EXPECT_FALSE(r.dumpExists);
    EXPECT_EQ(r.log, kQuestionLine);
}

TEST_F(CrashTest, FailuresToCreateOrToWriteAreToldWithTheErrorNumber) {
    struct {
        const char* name;
        std::function<void(const std::string&)> prepare;
        std::string expected;
    } cases[] = {
        {"a folder where the file goes", [](const std::string& path) { mkdir(path.c_str(), 0755); },
         "tell Quervane: Failed to create dump file '%s' (error " + std::to_string(EISDIR) + ")\n"},
        {"a full device",
         [](const std::string& path) { ASSERT_EQ(symlink("/dev/full", path.c_str()), 0); },
         "tell Quervane: Failed to save dump file to '%s' (error " + std::to_string(ENOSPC) +
             ")\n"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::system(("rm -rf '" + DumpPath() + "' '" + dir_ + "/reporter.log'").c_str());
        c.prepare(DumpPath());
        ChildResult r = RunFaultingChild([] {
            MiniDumper dumper("Quervane");
            FaultByNullWrite();
        });
        EXPECT_EQ(r.signal, SIGSEGV);
        std::string expected = c.expected;
        expected.replace(expected.find("%s"), 2, DumpPath());
        EXPECT_EQ(r.log, kQuestionLine + expected);
    }
}

TEST_F(CrashTest, WithoutANameTheWriterCallsItselfApplication) {
    MiniDumper dumper(nullptr);
    EXPECT_EQ(MiniDumper::AppName(), "Application");
    MiniDumper named("Quervane");
    EXPECT_EQ(MiniDumper::AppName(), "Quervane");
}

extern "C" __attribute__((noinline)) void KnownFunction() {
    asm volatile("");
}

TEST(SymbolizeFrames, NamesFunctionsOfThisProcessAndMarksUnknownAddresses) {
    std::string maps = ReadFile("/proc/self/maps");
    auto known = reinterpret_cast<std::uintptr_t>(&KnownFunction);
    auto lines = plat::SymbolizeFrames({known, known + 1, 0x8}, true, maps);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].find("KnownFunction+0x0  ("), std::string::npos) << lines[0];
    // A return address right after the function's first byte still lies in it.
    EXPECT_NE(lines[1].find("KnownFunction+0x0  ("), std::string::npos) << lines[1];
    EXPECT_NE(lines[0].find("mdump_test+0x"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[2].substr(lines[2].size() - 2), "??");
    EXPECT_EQ(lines[2].rfind("#2 ", 0), 0u);
}

TEST(SymbolizeFrames, DemanglesNamesOfSharedLibraries) {
    std::string maps = ReadFile("/proc/self/maps");
    auto address = reinterpret_cast<std::uintptr_t>(&std::abort);
    auto lines = plat::SymbolizeFrames({address}, true, maps);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("abort+0x0  (/"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("libc"), std::string::npos) << lines[0];
}

// Answers as the test asked and logs every box to a file.
class LoggingPrompt : public plat::CrashPrompt {
public:
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        Log("ask " + caption + ": " + text);
        const char* answer = std::getenv("QUERVANE_TEST_CRASH_ANSWER");
        return !answer || std::string(answer) != "no";
    }
    void Tell(const std::string& text, const std::string& caption) override {
        Log("tell " + caption + ": " + text);
    }

private:
    static void Log(const std::string& line) {
        const char* path = std::getenv("QUERVANE_TEST_CRASH_LOG");
        if (!path) return;
        std::ofstream out(path, std::ios::app);
        out << line << "\n";
    }
};

}  // namespace

// Replaces gtest_main: the faulting children start this executable again as
// their reporter.
int main(int argc, char** argv) {
    if (plat::IsCrashReporterProcess(argc, argv)) {
        MiniDumper dumper("Quervane");
        LoggingPrompt prompt;
        return plat::RunCrashReporter(prompt);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
