// The whole program through sleeps, a held-up process and clock changes: the alarm rings
// late after a wake (at once, not at the end of a movie), reports an alarm missed by more
// than an hour, and over days of use rings for every alarm time exactly once.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "PetProbe.h"
#include "RingHelpers.h"
#include "TestEnvironment.h"
#include "alarm/AlarmUnit.h"
#include "pet/AnimatorUnit.h"
#include "pet/LogicWindow.h"
#include "shell/main.h"

namespace {
using namespace ring;
const char* kKey = TestEnvironment::kKey;

// Every ring the alarm starts, by the local clock.
std::vector<std::int64_t>& CountRings(TestEnvironment& env) {
  static std::vector<std::int64_t> rang;
  rang.clear();
  auto start = Alarm->StartRinging;
  Alarm->StartRinging = [&env, start] {
    rang.push_back(Clock(env));
    start();
  };
  return rang;
}
}  // namespace

TEST(Wake, AnAlarmTimeSleptThroughRingsWithinASecondOfTheWakeOrIsReportedMissed) {
  enum Way { SleepForty, SleepThreeHours, ClockPutOnThreeMinutes };
  for (Way way : {SleepForty, SleepThreeHours, ClockPutOnThreeMinutes}) {
    SCOPED_TRACE(way);
    TestEnvironment env;
    env.kernel.SetTimeOfDay(7, 57, 0);
    PresetAlarm(env, 8, 0);
    ASSERT_FALSE(env.Start());
    // The pet is shown and an idle movie of a few seconds has just begun, so that only an
    // immediate check can ring within the second.
    auto longMovieJustBegun = [] {
      const int shown = Showing();
      return shown >= CAnimator::kControlCount && Animator->View()->FrameIndex() == 0 && Animator->IsPlaying() &&
             Duration(shown) >= 1500;
    };
    bool found = false;
    while (!found && Clock(env) < SecondsOfDay(7, 59, 55)) {
      ASSERT_FALSE(env.RunFor(10));
      found = longMovieJustBegun() && Clock(env) >= SecondsOfDay(7, 57, 40);
    }
    ASSERT_TRUE(found);
    const std::size_t wakeCalls = env.wakeTimer.calls.size();
    const std::int64_t eight = SecondsOfDay(8, 0, 0);
    if (way == ClockPutOnThreeMinutes) {
      env.kernel.clockChangeMs = 180'000;
      env.desktop.BroadcastTimeChange();
    } else {
      env.desktop.Suspend((eight + (way == SleepForty ? 40 * 60 : 3 * 3600) - Clock(env)) * 1000);
      env.desktop.BroadcastPowerResume();
    }
    ASSERT_FALSE(env.RunFor(900));
    if (way == SleepThreeHours) {
      EXPECT_FALSE(RingingLayout());
      ASSERT_EQ(env.notifyIcon.balloons.size(), 1u);
      EXPECT_EQ(env.notifyIcon.balloons[0].title, "Ravilo");
      EXPECT_EQ(env.notifyIcon.balloons[0].text, "Missed alarm at 08:00");
      ASSERT_FALSE(env.RunFor(60'000));
      EXPECT_FALSE(RingingLayout());
    } else {
      EXPECT_TRUE(RingingLayout());
      EXPECT_TRUE(env.media.Sounding());
      EXPECT_TRUE(env.notifyIcon.balloons.empty());
      env.desktop.Click(StopButton());
      EXPECT_FALSE(env.media.Sounding());
    }
    // Woken or told, the wake timer is set again, for 08:00 the next day.
    ASSERT_GT(env.wakeTimer.calls.size(), wakeCalls);
    ASSERT_TRUE(env.wakeTimer.armed);
    EXPECT_EQ(env.wakeTimer.armed->day, 2);
    EXPECT_EQ(env.wakeTimer.armed->hour, 8);
    EXPECT_EQ(env.wakeTimer.armed->minute, 0);
  }
}

TEST(Wake, SevenDaysOfADailyAlarmWithSnoozesStopsAndSleepsRingEachTimeOnce) {
  TestEnvironment env;
  env.kernel.SetTimeOfDay(6, 0, 0);
  PresetAlarm(env, 7, 30);
  env.registry.PutDword(kKey, "hidden", 1);  // hidden between rings: only the 3-s ticks run
  ASSERT_FALSE(env.Start());
  std::vector<std::int64_t>& rang = CountRings(env);
  std::vector<std::int64_t> due;  // when each ring should start
  std::mt19937 random(20261209);
  auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };

  // Runs to the given clock; false if a ring started on the way.
  auto quietUntil = [&](std::int64_t clock) {
    const std::size_t before = rang.size();
    while (Clock(env) < clock && rang.size() == before)
      if (env.RunFor(std::min<std::int64_t>(clock - Clock(env), 600) * 1000)) return false;
    return rang.size() == before;
  };
  auto ringWithin = [&](int seconds) {
    const std::size_t before = rang.size();
    for (int i = 0; i < seconds * 10 && rang.size() == before; ++i) env.RunFor(100);
    return rang.size() > before && RingingLayout();
  };
  auto sleepUntil = [&](std::int64_t clock) {
    env.desktop.Suspend((clock - Clock(env)) * 1000);
    env.desktop.BroadcastPowerResume();
  };
  auto press = [&](ui::Point (*button)()) {
    ASSERT_FALSE(env.RunFor(between(3, 50) * 1000));
    env.desktop.Click(button());
    ASSERT_FALSE(RingingLayout());
  };

  for (int day = 0; day < 7; ++day) {
    SCOPED_TRACE(day);
    const std::int64_t alarm = day * 86400 + SecondsOfDay(7, 30, 0);
    if (day == 2) {  // asleep from 07:20 to 07:50: rings at the wake
      ASSERT_TRUE(quietUntil(alarm - 600));
      sleepUntil(alarm + 1200);
      due.push_back(alarm + 1200);
      ASSERT_TRUE(ringWithin(1));
      press(StopButton);
    } else if (day == 4) {  // asleep from 07:00 to 09:00: missed, and said so
      ASSERT_TRUE(quietUntil(alarm - 1800));
      sleepUntil(alarm + 5400);
      ASSERT_TRUE(quietUntil(alarm + 5400 + 120));
      EXPECT_EQ(env.notifyIcon.balloons.size(), 1u);
    } else {
      ASSERT_TRUE(quietUntil(alarm - 30));
      due.push_back(alarm);
      ASSERT_TRUE(ringWithin(40));
      const int snoozes = day == 5 ? 2 : between(0, 3);
      for (int i = 0; i < snoozes; ++i) {
        press(SnoozeButton);
        due.push_back(Clock(env) + 600);
        if (day == 5 && i == 0) {  // asleep over the snoozed time: rings at the wake
          ASSERT_TRUE(quietUntil(due.back() - 120));
          due.back() += 300;
          sleepUntil(due.back());
          ASSERT_TRUE(ringWithin(1));
        } else {
          ASSERT_TRUE(quietUntil(due.back() - 2));
          ASSERT_TRUE(ringWithin(8));
        }
      }
      press(StopButton);
    }
    ASSERT_TRUE(Logic->IsHidden());
    ASSERT_TRUE(quietUntil(day * 86400 + SecondsOfDay(12, 0, 0)));
  }
  ASSERT_EQ(rang.size(), due.size());
  for (std::size_t i = 0; i < due.size(); ++i) {
    EXPECT_GE(rang[i], due[i]) << i;
    EXPECT_LE(rang[i], due[i] + 3) << i;  // the first 3-s tick at or after it
  }
  EXPECT_EQ(env.notifyIcon.balloons.size(), 1u);
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
}
