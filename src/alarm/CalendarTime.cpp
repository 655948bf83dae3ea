#include "alarm/CalendarTime.h"

namespace {
constexpr std::int64_t kDay = 86400;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar; linear in the day,
// so that a day beyond its month's end simply counts on.
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}
}  // namespace

std::int64_t LocalSeconds(const platform::LocalTime& t) {
  return DaysFromCivil(t.year, t.month, t.day) * kDay + std::int64_t(t.hour) * 3600 + t.minute * 60 + t.second;
}

platform::LocalTime LocalTimeAt(std::int64_t localSeconds) {
  const std::int64_t days = FloorDiv(localSeconds, kDay);
  const std::int64_t inDay = localSeconds - days * kDay;
  const std::int64_t z = days + 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  platform::LocalTime t;
  t.day = int(doy - (153 * mp + 2) / 5 + 1);
  t.month = int(mp < 10 ? mp + 3 : mp - 9);
  t.year = int(yoe + era * 400 + (t.month <= 2));
  t.dayOfWeek = int(((days + 4) % 7 + 7) % 7);  // 1970-01-01 was a Thursday (0: Sunday)
  t.hour = int(inDay / 3600);
  t.minute = int(inDay / 60 % 60);
  t.second = int(inDay % 60);
  t.milliseconds = 0;
  return t;
}
