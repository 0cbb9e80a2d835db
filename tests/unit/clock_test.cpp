#include "platform/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

// Runs with a time zone an hour east of universal time, so that local and
// universal time differ unless the clock is fixed.
class ClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* tz = std::getenv("TZ")) saved_ = tz, hadTz_ = true;
        ::setenv("TZ", "CET-1", 1);
        ::tzset();
    }
    void TearDown() override {
        plat::SetFixedNow(std::nullopt);
        if (hadTz_) {
            ::setenv("TZ", saved_.c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }

    std::string saved_;
    bool hadTz_ = false;
};

constexpr plat::FileTime kDecember7 = 1796635800;  // 2026-12-07 09:30:00 UTC

TEST_F(ClockTest, FixedNowIsReturnedAndLocalEqualsUniversal) {
    plat::SetFixedNow(kDecember7);
    EXPECT_EQ(plat::Now(), kDecember7);
    const plat::CalendarTime local = plat::NowLocal();
    const plat::CalendarTime universal = plat::NowUniversal();
    EXPECT_EQ(universal.year, 2026);
    EXPECT_EQ(universal.month, 12);
    EXPECT_EQ(universal.day, 7);
    EXPECT_EQ(universal.hour, 9);
    EXPECT_EQ(universal.minute, 30);
    EXPECT_EQ(local.hour, universal.hour);
    EXPECT_EQ(local.day, universal.day);
    // File times too, so that a scripted run reads the same in every zone.
    EXPECT_EQ(plat::ToLocalTime(kDecember7 - 3600).hour, 8);
}

TEST_F(ClockTest, RealClockUsesTheTimeZone) {
    plat::SetFixedNow(kDecember7);
    plat::SetFixedNow(std::nullopt);
    const plat::FileTime before = static_cast<plat::FileTime>(std::time(nullptr));
    const plat::FileTime now = plat::Now();
    EXPECT_GE(now, before);
    EXPECT_LE(now, before + 5);
    EXPECT_EQ(plat::ToLocalTime(kDecember7).hour, 10);
    EXPECT_EQ(plat::ToUniversalTime(kDecember7).hour, 9);
    const plat::CalendarTime local = plat::ToLocalTime(kDecember7 + 13 * 3600 + 1800);
    EXPECT_EQ(local.day, 8);  // 00:00 local, still the 7th in universal time
    EXPECT_EQ(local.hour, 0);
    EXPECT_EQ(plat::ToUniversalTime(kDecember7 + 13 * 3600 + 1800).day, 7);
}

}  // namespace
