// Reading script.json.
#include "platform/headless/script.h"

#include <gtest/gtest.h>

namespace {

using plat::headless::AnswerKind;
using plat::headless::ParseIsoTime;
using plat::headless::ParseScript;

TEST(ScriptTest, ReadsEveryAnswerKind) {
    std::string error;
    const auto script = ParseScript(R"({
        "now": "2026-12-07T09:30:00", "ftp_port": 2121,
        "answers": [
            {"open-file": "..\\import\\SET1.ZIP"}, {"open-file": null},
            {"drive-chooser": 2}, {"drive-chooser": null},
            {"file-picker": {"up": 1, "enter": ["LOT1", "Été"], "pick": "0412", "edit": "X"}},
            {"file-picker": {"pick": "JOURNAL.CYB"}}, {"file-picker": null}]})",
                                    error);
    ASSERT_TRUE(script) << error;
    EXPECT_EQ(script->now, plat::FileTime{1796635800});
    EXPECT_EQ(script->ftpPort, 2121);
    ASSERT_EQ(script->answers.size(), 7u);
    const auto& a = script->answers;
    EXPECT_EQ(a[0].kind, AnswerKind::OpenFile);
    EXPECT_EQ(a[0].path, "..\\import\\SET1.ZIP");
    EXPECT_TRUE(a[1].cancel);
    EXPECT_EQ(a[2].kind, AnswerKind::DriveChooser);
    EXPECT_EQ(a[2].index, 2);
    EXPECT_TRUE(a[3].cancel);
    EXPECT_EQ(a[4].picker.up, 1);
    EXPECT_EQ(a[4].picker.enter, (std::vector<std::string>{"LOT1", "\xC9t\xE9"}))
        << "names reach the program in 1252";
    EXPECT_EQ(a[4].picker.pick, "0412");
    EXPECT_EQ(a[4].picker.edit, "X");
    EXPECT_FALSE(a[5].picker.edit);
    EXPECT_TRUE(a[5].picker.enter.empty());
    EXPECT_EQ(a[6].kind, AnswerKind::FilePicker);
    EXPECT_TRUE(a[6].cancel);
}

TEST(ScriptTest, OptionalPartsMayBeLeftOut) {
    std::string error;
    const auto script = ParseScript("{}", error);
    ASSERT_TRUE(script) << error;
    EXPECT_FALSE(script->now);
    EXPECT_FALSE(script->ftpPort);
    EXPECT_TRUE(script->answers.empty());
}

TEST(ScriptTest, UnusableScriptsSayWhyOnOneLine) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"not json", "not valid JSON"},
        {"[]", "must hold an object"},
        {R"({"now": "07/12/2026"})", "\"now\""},
        {R"({"now": "2026-02-30T00:00:00"})", "\"now\""},
        {R"({"ftp_port": "21"})", "\"ftp_port\""},
        {R"({"ftp_port": 70000})", "\"ftp_port\""},
        {R"({"answers": {}})", "\"answers\""},
        {R"({"answers": [{"open-file": 3}]})", "open-file"},
        {R"({"answers": [{"drive-chooser": "0"}]})", "drive-chooser"},
        {R"({"answers": [{"file-picker": {"enter": ["A"]}}]})", "\"pick\""},
        {R"({"answers": [{"file-picker": {"pick": "A", "enter": "B"}}]})", "\"enter\""},
        {R"({"answers": [{"file-picker": {"pick": "A"}, "open-file": null}]})", "one key"},
        {R"({"answers": [{"lecteur": 0}]})", "unknown answer"},
    };
    for (const auto& [json, reason] : cases) {
        std::string error;
        EXPECT_FALSE(ParseScript(json, error)) << json;
        EXPECT_NE(error.find(reason), std::string::npos) << json << " -> " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

TEST(ScriptTest, IsoTimesInUniversalTime) {
    const std::vector<std::pair<std::string, std::optional<plat::FileTime>>> cases{
        {"1970-01-01T00:00:00", 0},
        {"2024-02-29T23:59:59", 1709251199},
        {"2024-03-01T10:00:00", 1709287200},
        {"2023-02-29T00:00:00", std::nullopt},
        {"2024-13-01T00:00:00", std::nullopt},
        {"2024-01-01T24:00:00", std::nullopt},
        {"2024-01-01", std::nullopt},
        {"2024-01-01T00:00:00Z", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParseIsoTime(text), expected) << text;
}

}  // namespace
