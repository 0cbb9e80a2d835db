// The crash reporter's questions as message boxes, when the reporter
// process can open a display.
#pragma once

#include "platform/crash.h"

namespace plat::wx {

class WxCrashPrompt : public plat::CrashPrompt {
public:
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void Tell(const std::string& text, const std::string& caption) override;
};

// The reporter process's body: message boxes when a display can be opened,
// else the unattended answers (the dump is written without asking).
int RunCrashReporterProcess(int argc, char** argv);

}  // namespace plat::wx
