#include "platform/inet/ftp_list_parser.h"

#include <array>
#include <cctype>

namespace plat::ftp {
namespace {

struct Token {
    std::string_view text;
    std::size_t end = 0;  // offset in the line just after the token
};

// The first tokens of a line: enough to reach the date of every form.
struct Tokens {
    static constexpr std::size_t kMax = 12;
    std::array<Token, kMax> items;
    std::size_t count = 0;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

Tokens Tokenize(std::string_view line) {
    Tokens tokens;
    std::size_t i = 0;
    while (tokens.count < Tokens::kMax) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i == line.size()) break;
        const std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        tokens.items[tokens.count++] = {line.substr(start, i - start), i};
    }
    return tokens;
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!IsDigit(c)) return false;
    return true;
}

// Digits only; no more than 18 of them, so that the value fits.
std::optional<std::int64_t> Number(std::string_view text) {
    if (!AllDigits(text) || text.size() > 18) return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) value = value * 10 + (c - '0');
    return value;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view WithoutCarriageReturn(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

bool IsDots(std::string_view name) {
    return name == "." || name == "..";
}

// 1..12 for an English month abbreviation, 0 otherwise.
int MonthNumber(std::string_view text) {
    static constexpr std::array<std::string_view, 12> kMonths = {
        "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    for (std::size_t i = 0; i < kMonths.size(); ++i)
        if (EqualsNoCase(text, kMonths[i])) return static_cast<int>(i) + 1;
    return 0;
}

struct ClockTime {
    int hour = 0;
    int minute = 0;
};

// "H:MM" or "HH:MM".
std::optional<ClockTime> ParseClock(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2) return std::nullopt;
    const auto hour = Number(text.substr(0, colon));
    const std::string_view minutes = text.substr(colon + 1);
    const auto minute = minutes.size() == 2 ? Number(minutes) : std::nullopt;
    if (!hour || !minute || *hour > 23 || *minute > 59) return std::nullopt;
    return ClockTime{static_cast<int>(*hour), static_cast<int>(*minute)};
}

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
};

// "YYYY-MM-DD".
std::optional<Date> ParseIsoDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const auto year = Number(text.substr(0, 4));
    const auto month = Number(text.substr(5, 2));
    const auto day = Number(text.substr(8, 2));
    if (!year || !month || !day) return std::nullopt;
    return Date{static_cast<int>(*year), static_cast<int>(*month), static_cast<int>(*day)};
}

bool IsPermissionString(std::string_view text) {
    if (text.size() == 11 && (text[10] == '+' || text[10] == '@' || text[10] == '.'))
        text.remove_suffix(1);
    if (text.size() != 10) return false;
    if (std::string_view("-dlbcps").find(text[0]) == std::string_view::npos) return false;
    for (char c : text.substr(1))
        if (std::string_view("rwxsStTlL-").find(c) == std::string_view::npos) return false;
    return true;
}

// The name starts after exactly one blank that follows the date.
std::optional<std::string_view> NameAfter(std::string_view line, std::size_t dateEnd) {
    if (dateEnd >= line.size() || !IsBlank(line[dateEnd])) return std::nullopt;
    std::string_view name = line.substr(dateEnd + 1);
    if (name.empty()) return std::nullopt;
    return name;
}

int UniversalYear(FileTime t) {
    // Civil year from days since 1970 (proleptic Gregorian calendar).
    const std::int64_t days = (t >= 0 ? t : t - 86399) / 86400 + 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;  // 0 = March
    return static_cast<int>(yearOfEra + era * 400 + (monthIndex >= 10 ? 1 : 0));
}

// The latest year that does not put month/day in the future; a day of
// slack covers the time zone of the server.
int YearOfRecentDate(int month, int day, int hour, int minute, FileTime now) {
    const int nowYear = UniversalYear(now);
    const auto thisYear = UniversalSeconds(nowYear, month, day, hour, minute, 0);
    if (thisYear && *thisYear > now + 24 * 3600) return nowYear - 1;
    return nowYear;
}

std::optional<ListEntry> ParseUnixLine(std::string_view line, const Tokens& tokens, FileTime now) {
    ListEntry entry;
    const char kind = tokens.items[0].text[0];
    entry.isFolder = kind == 'd';
    entry.isLink = kind == 'l';
    for (std::size_t i = 2; i + 1 < tokens.count; ++i) {
        const auto size = Number(tokens.items[i - 1].text);
        if (!size) continue;
        std::optional<FileTime> time;
        std::size_t dateEnd = 0;
        TimePrecision precision = TimePrecision::Minute;
        if (const auto iso = ParseIsoDate(tokens.items[i].text)) {
            const auto clock = ParseClock(tokens.items[i + 1].text);
            if (!clock) continue;
            time = UniversalSeconds(iso->year, iso->month, iso->day, clock->hour, clock->minute, 0);
            dateEnd = tokens.items[i + 1].end;
        } else if (const int month = MonthNumber(tokens.items[i].text);
                   month != 0 && i + 2 < tokens.count) {
            const std::string_view dayText = tokens.items[i + 1].text;
            const std::string_view yearOrClock = tokens.items[i + 2].text;
            const auto day = dayText.size() <= 2 ? Number(dayText) : std::nullopt;
            if (!day) continue;
            if (const auto clock = ParseClock(yearOrClock)) {
                const int year = YearOfRecentDate(month, static_cast<int>(*day), clock->hour,
                                                  clock->minute, now);
                time = UniversalSeconds(year, month, static_cast<int>(*day), clock->hour,
                                        clock->minute, 0);
            } else if (yearOrClock.size() == 4 && AllDigits(yearOrClock)) {
                time = UniversalSeconds(static_cast<int>(*Number(yearOrClock)), month,
                                        static_cast<int>(*day), 0, 0, 0);
                precision = TimePrecision::Day;
            }
            dateEnd = tokens.items[i + 2].end;
        }
        if (!time) continue;
        auto name = NameAfter(line, dateEnd);
        if (!name) return std::nullopt;
        if (entry.isLink) {
            if (const std::size_t arrow = name->find(" -> "); arrow != std::string_view::npos)
                name = name->substr(0, arrow);
        }
        if (name->empty() || IsDots(*name)) return std::nullopt;
        entry.name = std::string(*name);
        entry.size = *size;
        entry.time = *time;
        entry.precision = precision;
        return entry;
    }
    return std::nullopt;
}

// "MM-DD-YY", "MM-DD-YYYY" (or DD-MM when the first cannot be a month),
// with "-", "/" or "." between; or "YYYY-MM-DD".
std::optional<Date> ParseDosDate(std::string_view text) {
    if (const auto iso = ParseIsoDate(text)) return iso;
    const std::size_t first = text.find_first_of("-/.");
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t second = text.find(text[first], first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const auto a = Number(text.substr(0, first));
    const auto b = Number(text.substr(first + 1, second - first - 1));
    const std::string_view yearText = text.substr(second + 1);
    const auto y = Number(yearText);
    if (!a || !b || !y || (yearText.size() != 2 && yearText.size() != 4)) return std::nullopt;
    int year = static_cast<int>(*y);
    if (yearText.size() == 2) year += year < 70 ? 2000 : 1900;
    int month = static_cast<int>(*a);
    int day = static_cast<int>(*b);
    if (month > 12 && day <= 12) std::swap(month, day);
    return Date{year, month, day};
}

// Sizes such as "1234", "1,234,567" or "1.234.567".
std::optional<std::int64_t> ParseGroupedSize(std::string_view text) {
    std::string digits;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            digits += c;
        } else if ((c == ',' || c == '.') && i > 0 && i + 1 < text.size() && IsDigit(text[i - 1]) &&
                   IsDigit(text[i + 1])) {
            continue;
        } else {
            return std::nullopt;
        }
    }
    return Number(digits);
}

std::optional<ListEntry> ParseDosLine(std::string_view line, const Tokens& tokens) {
    if (tokens.count < 4) return std::nullopt;
    const auto date = ParseDosDate(tokens.items[0].text);
    if (!date) return std::nullopt;

    std::size_t next = 1;
    std::string_view clockText = tokens.items[next++].text;
    std::string_view meridiem;
    if (clockText.size() > 2) {
        const std::string_view suffix = clockText.substr(clockText.size() - 2);
        if (EqualsNoCase(suffix, "AM") || EqualsNoCase(suffix, "PM")) {
            meridiem = suffix;
            clockText.remove_suffix(2);
        }
    }
    if (meridiem.empty() && (EqualsNoCase(tokens.items[next].text, "AM") ||
                             EqualsNoCase(tokens.items[next].text, "PM")))
        meridiem = tokens.items[next++].text;
    auto clock = ParseClock(clockText);
    if (!clock || next + 1 > tokens.count) return std::nullopt;
    if (!meridiem.empty()) {
        if (clock->hour < 1 || clock->hour > 12) return std::nullopt;
        clock->hour %= 12;
        if (EqualsNoCase(meridiem, "PM")) clock->hour += 12;
    }

    ListEntry entry;
    const Token& sizeToken = tokens.items[next];
    if (EqualsNoCase(sizeToken.text, "<DIR>")) {
        entry.isFolder = true;
    } else {
        const auto size = ParseGroupedSize(sizeToken.text);
        if (!size) return std::nullopt;
        entry.size = *size;
    }
    const auto time =
        UniversalSeconds(date->year, date->month, date->day, clock->hour, clock->minute, 0);
    if (!time) return std::nullopt;

    std::size_t start = sizeToken.end;
    while (start < line.size() && IsBlank(line[start])) ++start;
    const std::string_view name = line.substr(start);
    if (name.empty() || IsDots(name)) return std::nullopt;
    entry.name = std::string(name);
    entry.time = *time;
    entry.precision = TimePrecision::Minute;
    return entry;
}

// "YYYYMMDDHHMMSS", optionally followed by a fraction.
std::optional<FileTime> ParseMlsdTime(std::string_view text) {
    if (text.size() < 14) return std::nullopt;
    if (text.size() > 14 && text[14] != '.') return std::nullopt;
    const auto field = [&](std::size_t at, std::size_t width) {
        return Number(text.substr(at, width));
    };
    const auto year = field(0, 4), month = field(4, 2), day = field(6, 2);
    const auto hour = field(8, 2), minute = field(10, 2), second = field(12, 2);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
    return UniversalSeconds(static_cast<int>(*year), static_cast<int>(*month),
                            static_cast<int>(*day), static_cast<int>(*hour),
                            static_cast<int>(*minute), static_cast<int>(*second));
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

std::optional<FileTime> UniversalSeconds(int year, int month, int day, int hour, int minute,
                                         int second) {
    static constexpr std::array<int, 12> kDaysInMonth = {31, 29, 31, 30, 31, 30,
                                                         31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kDaysInMonth[month - 1] || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60)
        return std::nullopt;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap) return std::nullopt;
    // Days from 1970-01-01 in the proleptic Gregorian calendar.
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const std::int64_t days = static_cast<std::int64_t>(era) * 146097 + dayOfEra - 719468;
    return days * 86400 + hour * 3600 + minute * 60 + second;
}

std::optional<ListEntry> ParseListLine(std::string_view line, FileTime now) {
    line = WithoutCarriageReturn(line);
    const Tokens tokens = Tokenize(line);
    if (tokens.count == 0) return std::nullopt;
    if (IsPermissionString(tokens.items[0].text)) return ParseUnixLine(line, tokens, now);
    if (IsDigit(tokens.items[0].text[0])) return ParseDosLine(line, tokens);
    return std::nullopt;
}

std::optional<ListEntry> ParseMlsdLine(std::string_view line) {
    line = WithoutCarriageReturn(line);
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos) return std::nullopt;
    const std::string_view name = line.substr(blank + 1);
    if (name.empty() || IsDots(name)) return std::nullopt;

    ListEntry entry;
    entry.name = std::string(name);
    std::string_view facts = line.substr(0, blank);
    while (!facts.empty()) {
        const std::size_t semicolon = facts.find(';');
        const std::string_view fact = facts.substr(0, semicolon);
        facts =
            semicolon == std::string_view::npos ? std::string_view() : facts.substr(semicolon + 1);
        const std::size_t equals = fact.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = fact.substr(0, equals);
        const std::string_view value = fact.substr(equals + 1);
        if (EqualsNoCase(key, "type")) {
            if (EqualsNoCase(value, "cdir") || EqualsNoCase(value, "pdir")) return std::nullopt;
            entry.isFolder = EqualsNoCase(value, "dir");
            entry.isLink = StartsWithNoCase(value, "OS.unix=slink") ||
                           StartsWithNoCase(value, "OS.unix=symlink");
        } else if (EqualsNoCase(key, "size") || EqualsNoCase(key, "sizd")) {
            if (const auto size = Number(value)) entry.size = *size;
        } else if (EqualsNoCase(key, "modify")) {
            if (const auto time = ParseMlsdTime(value)) {
                entry.time = *time;
                entry.precision = TimePrecision::Second;
            }
        }
    }
    return entry;
}

std::vector<ListEntry> ParseListing(std::string_view text, ListingKind kind, FileTime now) {
    std::vector<ListEntry> entries;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        auto entry = kind == ListingKind::Mlsd ? ParseMlsdLine(line) : ParseListLine(line, now);
        if (entry) entries.push_back(std::move(*entry));
    }
    return entries;
}

}  // namespace plat::ftp
