#include "alarm/AlarmTexts.h"

#include "alarm/AlarmOptions.h"
#include "alarm/AlarmUnit.h"
#include "alarm/CalendarTime.h"
#include "app/Globals.h"
#include "platform/Platform.h"

namespace {
constexpr int kWeekdays = 0x1F;  // Monday to Friday
constexpr int kWeekends = 0x60;  // Saturday and Sunday
constexpr const char* kShortDays[7] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
}  // namespace

std::string RepeatText(const CAlarm& alarm) {
  if (alarm.IsOnce()) return "Once";
  const int days = alarm.Days() & AlarmOptions::kAllDays;
  if (days == AlarmOptions::kAllDays) return "Every day";
  if (days == kWeekdays) return "Weekdays";
  if (days == kWeekends) return "Weekends";
  std::string out;
  for (int d = 0; d < 7; ++d) {
    if (!(days & (1 << d))) continue;
    if (!out.empty()) out += ", ";
    out += kShortDays[d];
  }
  return out.empty() ? "No day" : out;
}

std::string WaitText(std::int64_t seconds) {
  const std::int64_t minutes = seconds <= 0 ? 0 : (seconds + 59) / 60;
  const std::int64_t d = minutes / 1440, h = minutes / 60 % 24, m = minutes % 60;
  std::string out;
  auto part = [&out](std::int64_t n, const char* unit) {
    if (!out.empty()) out += ' ';
    out += std::to_string(n) + " " + unit;
  };
  if (d) part(d, "d");
  if (h) part(h, "h");
  if (m || out.empty()) part(m, "min");
  return out;
}

std::string StateText(const CAlarm& alarm, std::int64_t nowLocal) {
  if (!alarm.IsOn()) return {};
  if (alarm.Snoozed()) {
    const int t = alarm.Target();
    return "Snoozed until " + TwoDigits(t / 3600 % 24) + ":" + TwoDigits(t / 60 % 60);
  }
  if (alarm.SkipSet())
    if (const auto skipped = alarm.SkippableRing()) return "Skipped: " + CAlarm::RingText(*skipped);
  const auto next = alarm.NextRing();
  return next ? "in " + WaitText(*next - nowLocal) : std::string();
}

std::string SetBalloonText(const CAlarm& alarm, std::int64_t nowLocal) {
  const auto next = alarm.IsOn() ? alarm.NextRing() : std::nullopt;
  if (!next) return {};
  return "Alarm set for " + WaitText(*next - nowLocal) + " from now (" + CAlarm::RingText(*next) + ")";
}

std::int64_t LocalNow() { return LocalSeconds(platform::kernel().GetLocalTime()); }
