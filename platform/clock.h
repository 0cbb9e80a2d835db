// The clock of the run. A scripted run fixes "now"; the product reads the
// system clock. In a scripted run local time equals universal time.
#pragma once

#include <optional>

#include "platform/fs/fs.h"

namespace plat {

FileTime Now();  // universal time, seconds since 1970
CalendarTime NowLocal();
CalendarTime NowUniversal();

// Fixes the clock until reset with std::nullopt. While it is fixed, local
// time is universal time everywhere, ToLocalTime of file times included, so
// that a scripted run gives the same result in every time zone. Test and
// scripted runs only.
void SetFixedNow(std::optional<FileTime> now);

}  // namespace plat
