// quervane-scenario [--log] ROOT: runs one import as an operator would by pressing
// "Lire les données", with ROOT/work as the working directory, the dialogs
// answered from ROOT/script.json, and writes what the operator would have
// seen to ROOT/transcript.txt.
//
// With --log the run also appends its block to work/Quervane.log, as the
// product does at every run (without it the tree stays as the run left it).
//
// Exit 0 when the run was carried out (whatever it ended with), 2 with one
// line on stderr when the scenario is unusable, 1 when the run failed
// unexpectedly (the transcript so far is still written).
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include "app/QuervaneDlg.h"
#include "platform/clock.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/script.h"
#include "platform/settings.h"
#include "resources/resource.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kHelp =
    "usage: quervane-scenario [--log] ROOT\n"
    "Runs one import as an operator pressing \"Lire les donn\xC3\xA9"
    "es\" would, in ROOT/work,\n"
    "answering its dialogs from ROOT/script.json, and writes ROOT/transcript.txt.\n"
    "  --log   also append the run's block to ROOT/work/Quervane.log\n"
    "Answers of script.json, besides open-file, drive-chooser and file-picker:\n"
    "  {\"cancel\": N}          once the run has passed N more of its record or file\n"
    "                          boundaries, the operator asks to stop it (Escape) and\n"
    "                          answers Oui: the transcript shows the question as a\n"
    "                          message, the run stops at that boundary\n"
    "  {\"cancel-refused\": N}  the same question, answered Non: the run goes on\n";

int Unusable(const std::string& reason) {
    std::cerr << "quervane-scenario: " << reason << '\n';
    return 2;
}

bool ReadWholeFile(const fs::path& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteWholeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    // A full disk shows at the close, when the buffer goes out.
    out.close();
    return !out.fail();
}

// The operator presses the action button once, then closes the window.
void PressLireLesDonneesThenOk(CDialog& dlg) {
    dlg.PressButton(IDC_QUERVANE);
    if (dlg.IsOpen()) dlg.PressButton(IDOK);
}

}  // namespace

int main(int argc, char** argv) {
    bool log = false;
    const char* rootArgument = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::cout << kHelp;
            return 0;
        }
        if (argument == "--log") {
            log = true;
        } else if (rootArgument == nullptr) {
            rootArgument = argv[i];
        } else {
            return Unusable("usage: quervane-scenario [--log] ROOT");
        }
    }
    if (rootArgument == nullptr) return Unusable("usage: quervane-scenario [--log] ROOT");
    std::error_code error;
    const fs::path root = fs::absolute(rootArgument, error);
    if (error || !fs::is_directory(root / "work", error)) {
        return Unusable("no work folder in " + std::string(rootArgument));
    }
    std::string scriptText;
    if (!fs::is_regular_file(root / "script.json", error) ||
        !ReadWholeFile(root / "script.json", scriptText)) {
        return Unusable("no script.json in " + std::string(rootArgument));
    }
    std::string reason;
    std::optional<plat::headless::Script> script = plat::headless::ParseScript(scriptText, reason);
    if (!script) return Unusable(reason);

    fs::current_path(root / "work", error);
    if (error) return Unusable("cannot enter " + (root / "work").string());

    plat::SetFixedNow(script->now);
    plat::SetFtpPortOverride(script->ftpPort);
    plat::headless::HeadlessBackend backend(std::move(script->answers));
    plat::ui::ScopedBackend installed(backend);

    int status = 0;
    try {
        auto dlg = std::make_unique<CQuervaneDlg>();
        dlg->bJournalExecution = log;
        backend.PushOperator(PressLireLesDonneesThenOk);
        dlg->DoModal();
    } catch (const std::exception& e) {
        std::cerr << "quervane-scenario: the run failed: " << e.what() << '\n';
        status = 1;
    }
    if (!WriteWholeFile(root / "transcript.txt", backend.Transcript())) {
        std::cerr << "quervane-scenario: cannot write " << (root / "transcript.txt").string()
                  << '\n';
        return 1;
    }
    return status;
}
