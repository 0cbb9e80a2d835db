// The crash report writer: offers the operator a diagnostic file when the
// process meets a fault that nothing handles. The program creates one
// instance, minidumper, before any other object; it stays for the whole
// process.
#pragma once

#include <string>

#include "platform/crash.h"

class MiniDumper {
public:
    // Without a name the dump is called "Application.dmp".
    explicit MiniDumper(const char* szAppName = nullptr);

    // Runs in the reporter process started by the fault: asks whether to
    // save the diagnostic file, writes "<name>.dmp" into the working folder
    // and tells the result. 1 when the file was written, else 0.
    static int TopLevelFilter(const plat::CrashReport& report, plat::CrashPrompt& prompt);

    static const std::string& AppName() { return m_szAppName; }

private:
    // Constant-initialised, so that it holds before any constructor runs.
    static constinit std::string m_szAppName;
};
