#pragma once
// Dates and times of the local clock as a count of seconds, so that "the latest 07:30 at or
// before now" and "the next 07:30" are plain arithmetic across days, months and years.
#include <cstdint>

#include "platform/Kernel.h"

// Seconds from 1970-01-01 00:00:00 to the given date and time of the local clock.
// Milliseconds are ignored. A day past the end of its month counts on into the next.
std::int64_t LocalSeconds(const platform::LocalTime& t);
// The date and time (day of the week included) that is that many seconds after
// 1970-01-01 00:00:00.
platform::LocalTime LocalTimeAt(std::int64_t localSeconds);
