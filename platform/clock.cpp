#include "platform/clock.h"

#include <atomic>
#include <ctime>

namespace plat {
namespace {

// Set once by a scripted run before it starts; read by whichever thread runs
// the import.
std::atomic<bool> fixed_set{false};
std::atomic<FileTime> fixed_now{0};

CalendarTime FromTm(const std::tm& tm) {
    CalendarTime c;
    c.year = tm.tm_year + 1900;
    c.month = tm.tm_mon + 1;
    c.day = tm.tm_mday;
    c.hour = tm.tm_hour;
    c.minute = tm.tm_min;
    c.second = tm.tm_sec;
    c.weekday = tm.tm_wday;
    c.yearday = tm.tm_yday;
    return c;
}

}  // namespace

void SetFixedNow(std::optional<FileTime> now) {
    fixed_now.store(now.value_or(0));
    fixed_set.store(now.has_value());
}

FileTime Now() {
    if (fixed_set.load()) return fixed_now.load();
    return static_cast<FileTime>(std::time(nullptr));
}

CalendarTime NowLocal() {
    return ToLocalTime(Now());
}
CalendarTime NowUniversal() {
    return ToUniversalTime(Now());
}

CalendarTime ToUniversalTime(FileTime t) {
    const auto tt = static_cast<std::time_t>(t);
    std::tm tm{};
    gmtime_r(&tt, &tm);
    return FromTm(tm);
}

CalendarTime ToLocalTime(FileTime t) {
    if (fixed_set.load()) return ToUniversalTime(t);
    const auto tt = static_cast<std::time_t>(t);
    std::tm tm{};
    localtime_r(&tt, &tm);
    return FromTm(tm);
}

FileTime FromUniversalTime(const CalendarTime& c) {
    // Days since 1970 of the proleptic Gregorian date, computed here rather
    // than by timegm, which not every C library has. Months and days out of
    // range carry over as timegm carries them.
    const std::int64_t months = static_cast<std::int64_t>(c.year) * 12 + (c.month - 1);
    std::int64_t year = months / 12;
    std::int64_t month = months % 12;
    if (month < 0) {
        month += 12;
        --year;
    }
    // Years start in March, so that the leap day ends them.
    const std::int64_t y = month < 2 ? year - 1 : year;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t shifted = (month + 10) % 12;
    const std::int64_t dayOfYear = (153 * shifted + 2) / 5;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const std::int64_t days = era * 146097 + dayOfEra - 719468 + (c.day - 1);
    return static_cast<FileTime>(((days * 24 + c.hour) * 60 + c.minute) * 60 + c.second);
}

}  // namespace plat
