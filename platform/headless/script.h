// The script of a scripted run (script.json): the clock, the FTP port and
// the operator's answers, consumed in order.
//
//   {"now": "2026-12-07T09:30:00", "ftp_port": 2121,
//    "answers": [{"open-file": "../import/SET1.ZIP"}, {"open-file": null},
//                {"drive-chooser": 0}, {"drive-chooser": null},
//                {"file-picker": {"up": 1, "enter": ["A", "B"], "pick": "NAME",
//                                 "edit": "TEXT"}},
//                {"file-picker": null}, {"cancel": 120}, {"cancel-refused": 0}]}
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fs/fs.h"

namespace plat::headless {

// Cancel: the operator asks to stop the long run (Escape, close box) once it
// has passed `index` more of its boundaries, then answers the question Oui
// (confirm) or Non.
enum class AnswerKind { OpenFile, DriveChooser, FilePicker, Cancel };

std::string_view AnswerName(AnswerKind kind);  // "open-file" ...

struct FilePickerAnswer {
    int up = 0;                       // clicks on the up row first
    std::vector<std::string> enter;   // folder rows clicked, in order (1252)
    std::string pick;                 // the file row clicked (1252)
    std::optional<std::string> edit;  // the name field's text before OK (1252)
};

struct Answer {
    AnswerKind kind = AnswerKind::OpenFile;
    bool cancel = false;  // null: the dialog is cancelled
    std::string path;     // open-file, as written (1252)
    int index = 0;        // drive-chooser; cancel: boundaries passed first
    bool confirm = true;  // cancel: the question is answered Oui
    FilePickerAnswer picker;
};

struct Script {
    std::optional<plat::FileTime> now;
    std::optional<int> ftpPort;
    std::vector<Answer> answers;
};

// Parses script.json (UTF-8). On failure returns std::nullopt and sets error
// to one line saying what is wrong.
std::optional<Script> ParseScript(std::string_view json, std::string& error);

// "2026-12-07T09:30:00" (universal time) as seconds since 1970.
std::optional<plat::FileTime> ParseIsoTime(std::string_view text);

}  // namespace plat::headless
