#include "app/mdump.h"

#include <cstdio>

#include "platform/codepage.h"

namespace {

constexpr char kVersion[] = "1.0";
constexpr char kQuestion[] = "Unexpected exception, would you like to save a diagnostic file?";

template <typename... Args>
std::string Format(const char* format, Args... args) {
    int length = std::snprintf(nullptr, 0, format, args...);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    std::snprintf(text.data(), text.size() + 1, format, args...);
    return text;
}

}  // namespace

constinit std::string MiniDumper::m_szAppName;

MiniDumper::MiniDumper(const char* szAppName) {
    m_szAppName = szAppName ? szAppName : "Application";
    plat::InstallCrashHandler(&MiniDumper::TopLevelFilter);
}

int MiniDumper::TopLevelFilter(const plat::CrashReport& report, plat::CrashPrompt& prompt) {
    int verdict = 0;
    std::string result;
    std::string dumpPath = plat::CrashDumpFolder() + m_szAppName + ".dmp";
    std::string shownPath = plat::Cp1252FromUtf8(dumpPath);
    if (!prompt.AskYesNo(kQuestion, m_szAppName)) return verdict;

    plat::CrashDumpFile file;
    if (int error = file.Create(dumpPath)) {
        result = Format("Failed to create dump file '%s' (error %d)", shownPath.c_str(), error);
    } else if (int error = file.Write(m_szAppName + " version " + kVersion, report)) {
        result = Format("Failed to save dump file to '%s' (error %d)", shownPath.c_str(), error);
    } else {
        result = Format("Saved dump file to '%s'. Please send this file to ORBEL System.",
                        shownPath.c_str());
        verdict = 1;
    }
    prompt.Tell(result, m_szAppName);
    return verdict;
}
