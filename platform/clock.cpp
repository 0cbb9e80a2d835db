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
    std::tm tm{};
    tm.tm_year = c.year - 1900;
    tm.tm_mon = c.month - 1;
    tm.tm_mday = c.day;
    tm.tm_hour = c.hour;
    tm.tm_min = c.minute;
    tm.tm_sec = c.second;
    return static_cast<FileTime>(timegm(&tm));
}

}  // namespace plat
