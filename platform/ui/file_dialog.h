// The standard open-file dialog: an initial file name that carries the
// starting folder and a pattern ("..\import\*.ZIP"), a filter of
// "Description|pattern|..." pairs (with or without a final "|"; a pattern may
// list several, "*.jo;*.ZIP"), a default extension. Patterns match names
// without regard to case. Paths in 1252, "\" or "/" as separators.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/types.h"

class CWnd;

class CFileDialog {
public:
    struct Request {
        bool open = true;
        std::string defaultExtension;
        std::string initialFile;
        DWORD flags = 0;
        std::string filter;
    };

    explicit CFileDialog(bool bOpenFileDialog, std::string_view lpszDefExt = {},
                         std::string_view lpszFileName = {},
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         std::string_view lpszFilter = {}, CWnd* pParentWnd = nullptr);

    // IDOK when the operator chose a file, else IDCANCEL.
    int DoModal();

    std::string GetPathName() const { return path_; }
    // The name after the last separator.
    std::string GetFileName() const;
    // The name without its extension (cut at its last ".").
    std::string GetFileTitle() const;
    // The extension of the name, without the ".".
    std::string GetFileExt() const;
    // The folder, without a final separator.
    std::string GetFolderPath() const;

    const Request& GetRequest() const { return request_; }
    CWnd* GetParent() const { return parent_; }
    // The backend's answer.
    void SetChosenPath(std::string_view path) { path_ = path; }

private:
    Request request_;
    CWnd* parent_;
    std::string path_;
};

namespace plat::ui {

struct FilterEntry {
    std::string description;
    std::vector<std::string> patterns;  // "*.jo;*.ZIP" gives two
};

// The pairs of a filter string; a final "|" or a description without a
// pattern is tolerated.
std::vector<FilterEntry> ParseFilter(std::string_view filter);

// The initial file name split into its folder (with its final separator,
// empty when none) and the pattern or name after it.
struct InitialFile {
    std::string folder;
    std::string name;
};
InitialFile SplitInitialFile(std::string_view initialFile);

}  // namespace plat::ui
