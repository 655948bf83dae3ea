#pragma once
// The alarm's settings beyond on/off, time and sound: the days it rings on, the snooze
// length, the gentle start, the time after which an unanswered ring ends, and whether it
// rings through muted speakers; and the pet's own: its size, and whether it gives way to
// full-screen programs. Each is kept in a registry value of its own and read on
// its own: a value that is missing, of the wrong type or out of range takes its default,
// which is how the alarm behaves without these settings, and leaves every other value be.
#include <string>

class CReestr;

struct AlarmOptions {
  // Monday is bit 0, Sunday bit 6.
  static constexpr int kAllDays = 127;
  static constexpr int kSnoozeChoices[] = {5, 10, 15, 20, 30};
  static constexpr int kRampChoices[] = {0, 15, 30, 60};
  static constexpr int kAutoStopChoices[] = {0, 5, 10, 15, 30, 60};
  static constexpr int kMaxAutoStopMinutes = 240;
  // 0 is Auto: the scale of the display the pet stands on.
  static constexpr int kPetSizeChoices[] = {0, 100, 150, 200, 300};

  int days = kAllDays;       // "AlarmDays"
  int snoozeMinutes = 10;    // "SnoozeMinutes"
  int rampSeconds = 0;       // "RampSeconds": 0 is off
  int autoStopMinutes = 0;   // "AutoStopMinutes": 0 is never
  bool ringWhenMuted = true; // "RingWhenMuted"
  int petSize = 0;           // "PetSize": 0 is Auto (the monitor's scale), else 100, 150, 200 or 300
  bool hideFullScreen = true; // "HideFullScreen"

  static AlarmOptions Load(CReestr& store);
  // The days alone ("AlarmDays"), or every day.
  static int LoadDays(CReestr& store);
  // Writes the values that are not the alarm's days (the set-up windows store those).
  void Save(CReestr& store) const;
  friend bool operator==(const AlarmOptions&, const AlarmOptions&) = default;
};

// The bit of a day of the week as the clock counts it (0 Sunday to 6 Saturday).
inline int DayBit(int dayOfWeek) { return 1 << ((dayOfWeek + 6) % 7); }
// "Mon" ... "Sun" by the clock's day of the week.
std::string DayName(int dayOfWeek);
