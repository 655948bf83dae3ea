#pragma once
// The alarm alone on the fake platform, with a clock the test sets: checks at chosen
// moments, 3-second check loops and the wake timer's text.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "TestEnvironment.h"
#include "alarm/AlarmUnit.h"
#include "alarm/Reestr.h"
#include "app/Globals.h"

namespace alarm_test {

class AlarmTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.kernel.startSecondOfDay = 0;
    env.kernel.virtualMs = [this] { return clockMs; };
  }
  void TearDown() override {
    delete alarm;
    delete Reestr;
    Reestr = nullptr;
  }
  void Create() {
    if (!Reestr) Reestr = new CReestr();
    delete alarm;
    alarm = new CAlarm();
    alarm->StartRinging = [this] { ++rings; };
    alarm->ReportMissed = [this](const std::string& text) { missed.push_back(text); };
  }
  void CreateAt(int h, int m) {
    Create();
    alarm->SetHour(h);
    alarm->SetMinute(m);
    alarm->TurnOn();
  }
  void At(int h, int m, int s, int day = 0) { clockMs = (std::int64_t(day) * 86400 + h * 3600 + m * 60 + s) * 1000; }
  // A check at the given time; true when it started a ring.
  bool CheckAt(int h, int m, int s, int day = 0) {
    At(h, m, s, day);
    const int before = rings;
    alarm->CheckTime();
    return rings > before;
  }
  // Checks every 3 s over [from, to] (seconds of day, day 0 unless given); the times that rang.
  std::vector<int> ChecksEvery3s(int from, int to, int day = 0) {
    std::vector<int> rang;
    for (int t = from; t <= to; t += 3)
      if (CheckAt(0, 0, t, day)) rang.push_back(t);
    return rang;
  }

  // The local clock, as seconds since midnight of day 0.
  std::int64_t Local() {
    const auto t = env.kernel.GetLocalTime();
    return std::int64_t(t.day - 1) * 86400 + SecondsOfDay(t.hour, t.minute, t.second);
  }
  // Checks every 3 s for the next `seconds` of real time (the UTC clock); the local times
  // at which a ring started. A ring is stopped, or snoozed while `snoozes` lasts, 5 s on.
  std::vector<std::int64_t> RunChecks(std::int64_t seconds, int snoozes = 0) {
    std::vector<std::int64_t> rang;
    std::int64_t pressAt = -1;
    for (std::int64_t end = clockMs + seconds * 1000; clockMs < end; clockMs += 3000) {
      if (pressAt >= 0 && clockMs >= pressAt) {
        if (snoozes-- > 0)
          alarm->RecordSnooze();
        else
          alarm->RecordStop();
        pressAt = -1;
      }
      if (alarm->RingInProgressNow()) continue;  // the logic asks nothing while it rings
      const int before = rings;
      alarm->CheckTime();
      if (rings > before) {
        rang.push_back(Local());
        pressAt = clockMs + 5000;
      }
    }
    return rang;
  }

  TestEnvironment env;
  std::int64_t clockMs = 0;
  CAlarm* alarm = nullptr;
  int rings = 0;
  std::vector<std::string> missed;
};

inline int Hms(int h, int m, int s) { return SecondsOfDay(h, m, s); }
inline std::string Armed(const platform::fake::FakeWakeTimer& wake) {
  if (!wake.armed) return "none";
  const auto& t = *wake.armed;
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %s %02d:%02d", t.year, t.month, t.day, DayName(t.dayOfWeek).c_str(),
                t.hour, t.minute);
  return text;
}
inline std::int64_t Ms(int h, int m, int s) { return std::int64_t(SecondsOfDay(h, m, s)) * 1000; }

}  // namespace alarm_test
