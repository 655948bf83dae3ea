#pragma once
// The length and name of the last timer the timer window started, kept in the program's
// key so that the window offers them again, also after a restart.
#include <cstdint>
#include <string>

class CReestr;

struct LastTimer {
  static constexpr std::int64_t kDefaultSeconds = 5 * 60;
  // What the hours, minutes and seconds fields can show: 99:59:59.
  static constexpr std::int64_t kMostSeconds = 99 * 3600 + 59 * 60 + 59;
  static constexpr const char* kSecondsValue = "TimerLastSeconds";
  static constexpr const char* kLabelValue = "TimerLastLabel";

  std::int64_t seconds = kDefaultSeconds;
  std::string label;
};

// Each value on its own: one missing, of another type or out of range gives its default
// (5 minutes, no name) and leaves the other as stored.
LastTimer ReadLastTimer(CReestr& store);
void WriteLastTimer(CReestr& store, const LastTimer& last);
