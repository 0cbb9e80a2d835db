// Unhandled exceptions on Windows: an unhandled-exception filter, run in the
// faulting process as the system calls it, asks the operator through a
// message box and writes a minidump (dbghelp's MiniDumpWriteDump) that a
// debugger opens with the program's symbols.
#include <io.h>
#include <windows.h>
// dbghelp.h needs windows.h first.
#include <dbghelp.h>

#include <cstdio>
#include <iostream>

#include "platform/codepage.h"
#include "platform/crash.h"
#include "platform/fs/native_win32.h"

namespace plat {
namespace {

CrashFilter g_filter = nullptr;
// The exception being reported, for CrashDumpFile::Write: the filter runs
// on the faulting thread, inside the system's call of ours.
EXCEPTION_POINTERS* g_exception = nullptr;
DWORD g_faultingThread = 0;

// The question as the system shows it: the program's own window may be the
// one that faulted, so no window of it is asked.
class MessageBoxPrompt : public CrashPrompt {
public:
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        return Show(text, caption, MB_YESNO | MB_ICONERROR) == IDYES;
    }
    void Tell(const std::string& text, const std::string& caption) override {
        Show(text, caption, MB_OK | MB_ICONINFORMATION);
    }

private:
    static int Show(const std::string& text, const std::string& caption, UINT style) {
        return ::MessageBoxW(nullptr, native::Wide(Utf8FromCp1252(text)).c_str(),
                             native::Wide(Utf8FromCp1252(caption)).c_str(),
                             style | MB_TASKMODAL | MB_SETFOREGROUND | MB_TOPMOST);
    }
};

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception) {
    if (g_filter == nullptr) return EXCEPTION_CONTINUE_SEARCH;
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    CrashReport report;
    report.signal = static_cast<int>(record.ExceptionCode);
    report.faultAddress = reinterpret_cast<std::uintptr_t>(record.ExceptionAddress);
    // An access violation tells the address it touched.
    if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2)
        report.faultAddress = static_cast<std::uint64_t>(record.ExceptionInformation[1]);
    report.pid = ::GetCurrentProcessId();
    report.tid = ::GetCurrentThreadId();
    wchar_t program[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    report.program = native::Utf8(std::wstring_view(program, length));
    g_exception = exception;
    g_faultingThread = report.tid;
    MessageBoxPrompt prompt;
    // The filter's verdict, 1 once the dump is written, is the system's
    // "handled": the process then ends without the system's own report.
    return g_filter(report, prompt) == 1 ? EXCEPTION_EXECUTE_HANDLER : EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

std::string SignalDescription(int signal, int) {
    switch (static_cast<DWORD>(signal)) {
        case EXCEPTION_ACCESS_VIOLATION:
            return "EXCEPTION_ACCESS_VIOLATION";
        case EXCEPTION_INT_DIVIDE_BY_ZERO:
            return "EXCEPTION_INT_DIVIDE_BY_ZERO";
        case EXCEPTION_ILLEGAL_INSTRUCTION:
            return "EXCEPTION_ILLEGAL_INSTRUCTION";
        case EXCEPTION_STACK_OVERFLOW:
            return "EXCEPTION_STACK_OVERFLOW";
        default: {
            char text[32];
            std::snprintf(text, sizeof text, "exception 0x%08lX",
                          static_cast<unsigned long>(signal));
            return text;
        }
    }
}

bool UnattendedCrashPrompt::AskYesNo(const std::string& text, const std::string& caption) {
    std::cerr << caption << ": " << text << " -> yes (unattended)\n";
    return true;
}

void UnattendedCrashPrompt::Tell(const std::string& text, const std::string& caption) {
    std::cerr << caption << ": " << text << "\n";
}

void PrepareThreadForCrashReport() {
    // Room for the filter after a stack overflow of this thread.
    ULONG guarantee = 64 * 1024;
    ::SetThreadStackGuarantee(&guarantee);
}

void InstallCrashHandler(CrashFilter filter) {
    g_filter = filter;
    PrepareThreadForCrashReport();
    ::SetUnhandledExceptionFilter(OnUnhandledException);
}

bool IsCrashReporterProcess(int, char**) {
    // The filter runs in the faulting process itself.
    return false;
}

int RunCrashReporter(CrashPrompt&) {
    return 0;
}

CrashDumpFile::~CrashDumpFile() {
    if (fd_ >= 0) ::_close(fd_);
}

int CrashDumpFile::Create(const std::string& path) {
    native::Handle file(::CreateFileW(native::WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return static_cast<int>(::GetLastError());
    fd_ = ::_open_osfhandle(reinterpret_cast<intptr_t>(file.get()), 0);
    if (fd_ < 0) return static_cast<int>(ERROR_INVALID_HANDLE);
    file.release();
    return 0;
}

int CrashDumpFile::Write(const std::string&, const CrashReport& report) {
    if (fd_ < 0) return static_cast<int>(ERROR_INVALID_HANDLE);
    MINIDUMP_EXCEPTION_INFORMATION exception{};
    exception.ThreadId = g_faultingThread != 0 ? g_faultingThread : static_cast<DWORD>(report.tid);
    exception.ExceptionPointers = g_exception;
    exception.ClientPointers = FALSE;
    const HANDLE file = reinterpret_cast<HANDLE>(::_get_osfhandle(fd_));
    if (!::MiniDumpWriteDump(::GetCurrentProcess(), ::GetCurrentProcessId(), file, MiniDumpNormal,
                             g_exception != nullptr ? &exception : nullptr, nullptr, nullptr)) {
        return static_cast<int>(::GetLastError());
    }
    return 0;
}

std::string CrashDumpFolder() {
    // The root of drive C, where the operator's support looks for it.
    return "c:\\";
}

}  // namespace plat
