#include "platform/headless/script.h"

#include <nlohmann/json.hpp>

#include "platform/codepage.h"

namespace plat::headless {

namespace {

using nlohmann::json;

// Thrown while reading the answers; ParseScript turns it into the error line.
struct ScriptError {
    std::string message;
};

std::string Text1252(const json& value, const char* what) {
    if (!value.is_string()) throw ScriptError{std::string(what) + " must be a text"};
    return plat::Cp1252FromUtf8(value.get<std::string>());
}

int Integer(const json& value, const char* what) {
    if (!value.is_number_integer()) throw ScriptError{std::string(what) + " must be an integer"};
    const long long number = value.get<long long>();
    if (number < -1000000 || number > 1000000) {
        throw ScriptError{std::string(what) + " is out of range"};
    }
    return static_cast<int>(number);
}

FilePickerAnswer ReadPicker(const json& value) {
    if (!value.is_object()) throw ScriptError{"a file-picker answer must be an object or null"};
    FilePickerAnswer picker;
    if (value.contains("up")) picker.up = Integer(value["up"], "\"up\"");
    if (value.contains("enter")) {
        const json& enter = value["enter"];
        if (!enter.is_array()) throw ScriptError{"\"enter\" must be a list of names"};
        for (const json& name : enter) picker.enter.push_back(Text1252(name, "a folder name"));
    }
    if (!value.contains("pick")) throw ScriptError{"a file-picker answer needs \"pick\""};
    picker.pick = Text1252(value["pick"], "\"pick\"");
    if (value.contains("edit")) picker.edit = Text1252(value["edit"], "\"edit\"");
    return picker;
}

Answer ReadAnswer(const json& value) {
    if (!value.is_object() || value.size() != 1) {
        throw ScriptError{"each answer must be an object with one key"};
    }
    const auto entry = value.begin();
    const std::string& key = entry.key();
    const json& body = entry.value();
    Answer answer;
    answer.cancel = body.is_null();
    if (key == "open-file") {
        answer.kind = AnswerKind::OpenFile;
        if (!answer.cancel) answer.path = Text1252(body, "an open-file answer");
    } else if (key == "drive-chooser") {
        answer.kind = AnswerKind::DriveChooser;
        if (!answer.cancel) answer.index = Integer(body, "a drive-chooser answer");
    } else if (key == "file-picker") {
        answer.kind = AnswerKind::FilePicker;
        if (!answer.cancel) answer.picker = ReadPicker(body);
    } else if (key == "cancel" || key == "cancel-refused") {
        answer.kind = AnswerKind::Cancel;
        answer.cancel = false;
        answer.confirm = key == "cancel";
        answer.index = Integer(body, "a cancel answer");
        if (answer.index < 0) throw ScriptError{"a cancel answer counts boundaries from 0"};
    } else {
        throw ScriptError{"unknown answer \"" + key + "\""};
    }
    return answer;
}

int DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

}  // namespace

std::string_view AnswerName(AnswerKind kind) {
    switch (kind) {
        case AnswerKind::OpenFile:
            return "open-file";
        case AnswerKind::DriveChooser:
            return "drive-chooser";
        case AnswerKind::FilePicker:
            return "file-picker";
        case AnswerKind::Cancel:
            return "cancel";
    }
    return "";
}

std::optional<plat::FileTime> ParseIsoTime(std::string_view text) {
    // YYYY-MM-DDTHH:MM:SS
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' ||
        (text[10] != 'T' && text[10] != ' ') || text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    auto number = [&](std::size_t at, std::size_t length, int& out) {
        out = 0;
        for (std::size_t i = at; i < at + length; ++i) {
            if (text[i] < '0' || text[i] > '9') return false;
            out = out * 10 + (text[i] - '0');
        }
        return true;
    };
    int year, month, day, hour, minute, second;
    if (!number(0, 4, year) || !number(5, 2, month) || !number(8, 2, day) || !number(11, 2, hour) ||
        !number(14, 2, minute) || !number(17, 2, second)) {
        return std::nullopt;
    }
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1] || hour > 23 || minute > 59 ||
        second > 59) {
        return std::nullopt;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap) return std::nullopt;
    return static_cast<plat::FileTime>(DaysFromCivil(year, month, day)) * 86400 + hour * 3600 +
           minute * 60 + second;
}

std::optional<Script> ParseScript(std::string_view text, std::string& error) {
    const json root = json::parse(text, nullptr, false);
    if (root.is_discarded()) {
        error = "script.json is not valid JSON";
        return std::nullopt;
    }
    if (!root.is_object()) {
        error = "script.json must hold an object";
        return std::nullopt;
    }
    Script script;
    try {
        if (root.contains("now") && !root["now"].is_null()) {
            const json& now = root["now"];
            if (!now.is_string()) throw ScriptError{"\"now\" must be a text"};
            script.now = ParseIsoTime(now.get<std::string>());
            if (!script.now) throw ScriptError{"\"now\" is not a time like 2026-12-07T09:30:00"};
        }
        if (root.contains("ftp_port") && !root["ftp_port"].is_null()) {
            const int port = Integer(root["ftp_port"], "\"ftp_port\"");
            if (port <= 0 || port > 65535) throw ScriptError{"\"ftp_port\" is not a port"};
            script.ftpPort = port;
        }
        if (root.contains("answers")) {
            const json& answers = root["answers"];
            if (!answers.is_array()) throw ScriptError{"\"answers\" must be a list"};
            for (const json& answer : answers) script.answers.push_back(ReadAnswer(answer));
        }
    } catch (const ScriptError& e) {
        error = "script.json: " + e.message;
        return std::nullopt;
    }
    return script;
}

}  // namespace plat::headless
