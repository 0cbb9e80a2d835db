#include "platform/ui/file_dialog.h"

#include "platform/ui/backend.h"

namespace {

std::size_t LastSeparator(std::string_view path) {
    return path.find_last_of("\\/");
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

}  // namespace

CFileDialog::CFileDialog(bool bOpenFileDialog, std::string_view lpszDefExt,
                         std::string_view lpszFileName, DWORD dwFlags, std::string_view lpszFilter,
                         CWnd* pParentWnd)
    : request_{bOpenFileDialog, std::string(lpszDefExt), std::string(lpszFileName), dwFlags,
               std::string(lpszFilter)},
      parent_(pParentWnd) {}

int CFileDialog::DoModal() {
    path_.clear();
    const int result = plat::ui::CurrentBackend().RunFileDialog(*this);
    if (result != IDOK) path_.clear();
    return result == IDOK && !path_.empty() ? IDOK : IDCANCEL;
}

std::string CFileDialog::GetFileName() const {
    const std::size_t sep = LastSeparator(path_);
    return sep == std::string::npos ? path_ : path_.substr(sep + 1);
}

std::string CFileDialog::GetFileTitle() const {
    const std::string name = GetFileName();
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string CFileDialog::GetFileExt() const {
    const std::string name = GetFileName();
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string CFileDialog::GetFolderPath() const {
    const std::size_t sep = LastSeparator(path_);
    return sep == std::string::npos ? std::string() : path_.substr(0, sep);
}

namespace plat::ui {

std::vector<FilterEntry> ParseFilter(std::string_view filter) {
    std::vector<std::string_view> parts;
    while (!filter.empty()) {
        const std::size_t bar = filter.find('|');
        parts.push_back(filter.substr(0, bar));
        if (bar == std::string_view::npos) break;
        filter.remove_prefix(bar + 1);
    }
    std::vector<FilterEntry> entries;
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        FilterEntry entry;
        entry.description = parts[i];
        if (i + 1 < parts.size()) {
            std::string_view patterns = parts[i + 1];
            while (!patterns.empty()) {
                const std::size_t semi = patterns.find(';');
                const std::string_view one = Trim(patterns.substr(0, semi));
                if (!one.empty()) entry.patterns.emplace_back(one);
                if (semi == std::string_view::npos) break;
                patterns.remove_prefix(semi + 1);
            }
        }
        if (entry.description.empty() && entry.patterns.empty()) continue;
        entries.push_back(std::move(entry));
    }
    return entries;
}

InitialFile SplitInitialFile(std::string_view initialFile) {
    const std::size_t sep = LastSeparator(initialFile);
    if (sep == std::string_view::npos) return {std::string(), std::string(initialFile)};
    return {std::string(initialFile.substr(0, sep + 1)), std::string(initialFile.substr(sep + 1))};
}

}  // namespace plat::ui
