// quervane-scenario ROOT: runs one import as an operator would by pressing
// "Lire les données", with ROOT/work as the working directory, the dialogs
// answered from ROOT/script.json, and writes what the operator would have
// seen to ROOT/transcript.txt.
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
    if (argc != 2) return Unusable("usage: quervane-scenario ROOT");
    std::error_code error;
    const fs::path root = fs::absolute(argv[1], error);
    if (error || !fs::is_directory(root / "work", error)) {
        return Unusable("no work folder in " + std::string(argv[1]));
    }
    std::string scriptText;
    if (!fs::is_regular_file(root / "script.json", error) ||
        !ReadWholeFile(root / "script.json", scriptText)) {
        return Unusable("no script.json in " + std::string(argv[1]));
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
