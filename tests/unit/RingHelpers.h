#pragma once
// What the tests of whole rings share: an alarm stored before the start, running until a
// condition holds, and where the ringing layout's buttons are.
#include <cstdint>
#include <functional>

#include "TestEnvironment.h"
#include "pet/LogicWindow.h"
#include "shell/main.h"

namespace ring {

// An alarm that is on at h:m, with the program's own sound, stored before the start.
inline void PresetAlarm(TestEnvironment& env, int h, int m, bool playlist = false) {
  const char* key = TestEnvironment::kKey;
  env.registry.PutDword(key, "AlarmIsOn", 1);
  env.registry.PutString(key, "AlarmSound", kFallbackAlarmSound);
  env.registry.PutDword(key, "UsePlayist", playlist ? 1 : 0);
  env.registry.PutDword(key, "AlarmMin", std::uint32_t(m));
  env.registry.PutDword(key, "AlarmHour", std::uint32_t(h));
}

// Runs in steps until done() holds; false when limitMs passed first.
inline bool RunUntil(TestEnvironment& env, const std::function<bool()>& done, std::int64_t limitMs,
                     std::int64_t stepMs = 10) {
  for (std::int64_t t = 0; t < limitMs; t += stepMs) {
    if (env.RunFor(stepMs)) return false;
    if (done()) return true;
  }
  return false;
}

// The local clock in seconds since the midnight before the start (no zone, no clock change).
inline std::int64_t Clock(TestEnvironment& env) { return env.kernel.startSecondOfDay + env.desktop.Now() / 1000; }

inline bool RingingLayout() { return FormMain->Width() == TFormMain::kRingingWidth; }
inline ui::Point StopButton() { return {FormMain->Left() + 70, FormMain->Top() + 136 + 50}; }
inline ui::Point SnoozeButton() { return {FormMain->Left() + 312 + 70, FormMain->Top() + 136 + 50}; }

}  // namespace ring
