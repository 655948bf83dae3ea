// Timers in the running program, in virtual time: on time to the second whatever the local
// clock does, kept across a restart and a sleep, "+1 min", and a ring shared with an alarm.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "RingHelpers.h"
#include "TestEnvironment.h"
#include "alarm/AlarmList.h"
#include "shell/RingBubble.h"
#include "shell/main.h"

namespace {
using namespace ring;
const std::string kTimers = std::string(TestEnvironment::kKey) + "\\Timers";

std::int64_t Utc(TestEnvironment& env) { return env.kernel.GetSystemTimeMs(); }

void PutEnd(TestEnvironment& env, int id, const std::string& label, std::int64_t endUtcMs) {
  const std::string key = kTimers + "\\" + std::to_string(id);
  env.registry.PutString(key, "TimerLabel", label);
  std::vector<std::uint8_t> bytes(8);
  std::memcpy(bytes.data(), &endUtcMs, 8);
  env.registry.PutRaw(key, "TimerEndUtc", platform::RegType::Qword, bytes);
}

std::vector<std::string> MenuCaptions(TestEnvironment& env) {
  env.desktop.MenuChooser = [](const ui::headless::RecordedMenu&) { return -1; };
  EXPECT_FALSE(env.ClickTrayIcon(ui::TrayEvent::RightClick));
  return env.desktop.Menus().back().captions;
}

bool Has(const std::vector<std::string>& list, const std::string& text) {
  return std::find(list.begin(), list.end(), text) != list.end();
}
}  // namespace

TEST(Timers, EndOnTimeToTheSecondAcrossAClockPutBackAndANewZoneAndAreCountedDownAndCancelled) {
  TestEnvironment env;  // noon, UTC and local alike
  // Ten minutes in the clocks go back an hour; at half an hour the computer is in a zone
  // three hours on.
  env.kernel.zoneOffsetMs = [start = env.kernel.GetSystemTimeMs()](std::int64_t utc) -> std::int64_t {
    if (utc - start < 10 * 60'000) return 0;
    return utc - start < 30 * 60'000 ? -3600'000 : 2 * 3600'000;
  };
  ASSERT_FALSE(env.Start());
  const std::int64_t start = Utc(env);
  ASSERT_TRUE(Alarms->StartTimer("Tea", 60));
  ASSERT_TRUE(Alarms->StartTimer("Work", 25 * 60));
  ASSERT_TRUE(Alarms->StartTimer("", 60 * 60));
  ASSERT_TRUE(Alarms->StartTimer("Bread", 50 * 60));
  EXPECT_EQ(env.registry.String(kTimers + "\\1", "TimerLabel"), "Tea");
  ASSERT_TRUE(env.registry.Get(kTimers + "\\1", "TimerEndUtc"));
  EXPECT_EQ(env.registry.Get(kTimers + "\\1", "TimerEndUtc")->type, platform::RegType::Qword);
  // The computer would wake for the first end.
  ASSERT_TRUE(env.wakeTimer.armed);
  EXPECT_EQ(env.wakeTimer.armed->hour * 3600 + env.wakeTimer.armed->minute * 60 + env.wakeTimer.armed->second,
            12 * 3600 + 60);
  ASSERT_FALSE(env.RunFor(19'500));
  EXPECT_EQ(env.notifyIcon.shownRecord.tip, "I\"m here\nTea: 0:41 left\nAlarm off");
  const auto menu = MenuCaptions(env);
  EXPECT_TRUE(Has(menu, "Cancel timer Tea (41 s left)"));
  EXPECT_TRUE(Has(menu, "Cancel timer Work (24 min left)"));
  EXPECT_TRUE(Has(menu, "Cancel timer Timer (59 min left)"));
  ASSERT_FALSE(env.ChooseFromTrayMenu("Cancel timer Bread (49 min left)"));
  EXPECT_FALSE(env.registry.HasKey(kTimers + "\\4"));

  struct Expected {
    std::string name;
    std::int64_t endMs;
  };
  for (const Expected& e : {Expected{"Tea", 60'000}, Expected{"Work", 25 * 60'000}, Expected{"Timer", 3600'000}}) {
    SCOPED_TRACE(e.name);
    ASSERT_TRUE(RunUntil(env, RingingLayout, e.endMs + 2000 - (Utc(env) - start), 10));
    const std::int64_t at = Utc(env) - start;
    EXPECT_GE(at, e.endMs);
    EXPECT_LE(at, e.endMs + 1000);
    EXPECT_EQ(FormMain->Caption(), "Ravilo: " + e.name);
    EXPECT_EQ(FormMain->Bubble->Names.Caption(), e.name);
    EXPECT_TRUE(env.media.Sounding());
    EXPECT_EQ(FormMain->Image10MinMore.AccessibleName(), "+1 min");
    env.desktop.Click(StopButton());
    EXPECT_FALSE(env.media.Sounding());
    EXPECT_EQ(FormMain->Caption(), "Ravilo");
  }
  // Stopped, each is gone for good; nothing counts down and nothing wakes the computer.
  EXPECT_TRUE(Alarms->Timers().All().empty());
  EXPECT_TRUE(env.registry.HasKey(kTimers));
  for (int id : {1, 2, 3}) EXPECT_FALSE(env.registry.HasKey(kTimers + "\\" + std::to_string(id)));
  EXPECT_FALSE(env.wakeTimer.armed);
  EXPECT_EQ(env.notifyIcon.shownRecord.tip, "I\"m here\nAlarm off");
  EXPECT_FALSE(FormMain->TimerCountdown.Enabled());
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
}

TEST(Timers, ARestartKeepsThemOneEndedInSleepRingsOnWakeTwoHoursLateIsMissedAndDamagedOnesGo) {
  TestEnvironment env;  // noon
  const std::int64_t now = env.kernel.GetSystemTimeMs();
  PutEnd(env, 3, "Bread", now - 2 * 3600'000);
  PutEnd(env, 5, "Tea", now + 20 * 60'000);
  PutEnd(env, 6, "Washing", now + 99 * 3600'000);
  PutEnd(env, 7, "Far", now + 101 * 3600'000);
  env.registry.PutString(kTimers + "\\8", "TimerEndUtc", "soon");
  PutEnd(env, 9, "Odd", now + 60'000);
  env.registry.PutDword(kTimers + "\\9", "TimerLabel", 4);
  env.registry.PutDword(kTimers + "\\notanumber", "TimerEndUtc", 1);
  ASSERT_FALSE(env.Start());
  ASSERT_FALSE(env.RunFor(1500));
  ASSERT_EQ(env.notifyIcon.balloons.size(), 1u);
  EXPECT_EQ(env.notifyIcon.balloons[0].text, "Missed timer Bread at 10:00");
  EXPECT_FALSE(RingingLayout());
  // The damaged ones are removed alone; what is not a timer's key is left.
  for (int id : {3, 7, 8, 9}) EXPECT_FALSE(env.registry.HasKey(kTimers + "\\" + std::to_string(id))) << id;
  EXPECT_TRUE(env.registry.HasKey(kTimers + "\\5"));
  EXPECT_TRUE(env.registry.HasKey(kTimers + "\\6"));
  EXPECT_TRUE(env.registry.HasKey(kTimers + "\\notanumber"));
  ASSERT_EQ(Alarms->Timers().All().size(), 2u);
  EXPECT_EQ(env.notifyIcon.shownRecord.tip, "I\"m here\nTea: 19:59 left\nAlarm off");

  // Asleep for half an hour: Tea ended ten minutes into it and rings on the wake.
  env.desktop.Suspend(30 * 60'000);
  env.desktop.BroadcastPowerResume();
  ASSERT_FALSE(env.RunFor(1000));
  EXPECT_TRUE(RingingLayout());
  EXPECT_EQ(FormMain->Caption(), "Ravilo: Tea");
  env.desktop.Click(StopButton());
  ASSERT_EQ(Alarms->Timers().All().size(), 1u);
  EXPECT_EQ(Alarms->Timers().All()[0].label, "Washing");
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
}

TEST(Timers, PlusOneMinRingsAgainAMinuteOnAndARingWithAnAlarmKeepsTheSnoozeForBoth) {
  TestEnvironment env;
  env.kernel.SetTimeOfDay(12, 0, 0);
  PresetAlarm(env, 12, 5);
  env.registry.PutDword(TestEnvironment::kKey, "AutoStopMinutes", 1);
  ASSERT_FALSE(env.Start());
  ASSERT_TRUE(Alarms->StartTimer("Tea", 60));
  ASSERT_TRUE(RunUntil(env, RingingLayout, 62'000));
  EXPECT_EQ(FormMain->Image10MinMore.AccessibleName(), "+1 min");
  env.desktop.Click(SnoozeButton());
  EXPECT_FALSE(env.media.Sounding());
  const std::int64_t pressed = Utc(env);
  ASSERT_TRUE(RunUntil(env, RingingLayout, 62'000));
  EXPECT_GE(Utc(env) - pressed, 60'000);
  EXPECT_LE(Utc(env) - pressed, 61'000);
  // Left to ring, auto-stop ends it; the notice stays until the icon is clicked, a next
  // ring and all.
  ASSERT_TRUE(RunUntil(env, [] { return !RingingLayout(); }, 62'000, 100));
  EXPECT_TRUE(Alarms->Timers().All().empty());
  EXPECT_EQ(env.notifyIcon.shownRecord.tip, "I\"m here\nTimer Tea rang unanswered");

  // A timer ending at the alarm's minute: one ring, both names, and the snooze.
  const std::int64_t toAlarm = (12 * 3600 + 5 * 60) * 1000LL - Utc(env);
  ASSERT_TRUE(Alarms->StartTimer("", toAlarm / 1000 + 10));
  // The alarm rings at the first check of its minute, the timer joins it.
  ASSERT_TRUE(RunUntil(env, RingingLayout, toAlarm + 5000));
  ASSERT_TRUE(RunUntil(env, [] { return FormMain->Caption() == "Ravilo: 12:05, Timer"; }, 12'000, 100));
  EXPECT_EQ(FormMain->Bubble->Names.Caption(), "12:05\nTimer");
  EXPECT_EQ(FormMain->Image10MinMore.AccessibleName(), "10 min more");
  EXPECT_NE(env.notifyIcon.shownRecord.tip.find("Timer Tea rang unanswered"), std::string::npos);
  env.desktop.Click(SnoozeButton());
  // Both come back together ten minutes on.
  ASSERT_TRUE(RunUntil(env, RingingLayout, 10 * 60'000 + 31'000, 100));
  ASSERT_TRUE(RunUntil(env, [] { return FormMain->Caption() == "Ravilo: 12:05, Timer"; }, 2'000, 100));
  env.desktop.Click(StopButton());
  EXPECT_TRUE(Alarms->Timers().All().empty());
  EXPECT_FALSE(Alarms->Ringing());
  ASSERT_FALSE(env.ClickTrayIcon());
  EXPECT_EQ(env.notifyIcon.shownRecord.tip.find("rang unanswered"), std::string::npos);
}
