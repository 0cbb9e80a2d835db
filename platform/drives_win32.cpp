// Drive roots on Windows: the system's own drive types and volume labels.
#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/fs/native_win32.h"

namespace plat {
namespace {

// The system takes a root with its final separator.
std::wstring Root(std::string_view rootPath) {
    std::wstring root = native::Wide(Utf8FromCp1252(rootPath));
    for (wchar_t& c : root) {
        if (c == L'/') c = L'\\';
    }
    if (!root.empty() && root.back() != L'\\') root += L'\\';
    return root;
}

}  // namespace

int GetDriveType(std::string_view rootPath) {
    if (rootPath.empty()) return DRIVE_NO_ROOT_DIR;
    return static_cast<int>(::GetDriveTypeW(Root(rootPath).c_str()));
}

bool GetVolumeLabel(std::string_view rootPath, std::string& label) {
    label.clear();
    if (rootPath.empty()) return false;
    wchar_t name[MAX_PATH + 1] = {};
    // A drive without a medium (an empty reader) would ask the operator to
    // insert one: the question is turned off for this call.
    const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const bool ok = ::GetVolumeInformationW(Root(rootPath).c_str(), name, MAX_PATH + 1, nullptr,
                                            nullptr, nullptr, nullptr, 0) != 0;
    ::SetErrorMode(previous);
    if (!ok) return false;
    label = Cp1252FromUtf8(native::Utf8(name));
    if (label.size() > 256) label.resize(256);
    return true;
}

}  // namespace plat
