// The alarm against the calendar: late rings, clock changes, the wake timer, days and skips.
#include "AlarmFixture.h"

using namespace alarm_test;

TEST_F(AlarmTest, AnAlarmTimePassedUncheckedRingsUpToAnHourLateThenIsReportedMissed) {
  // Checks every 3 s; from 07:29:57 none (the computer sleeps) until the wake.
  struct Case {
    int wakeAfter;  // seconds after 07:30:00
    bool rings;
  } cases[] = {{45, true}, {59 * 60, true}, {61 * 60, false}};
  CreateAt(7, 30);
  int day = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wakeAfter);
    At(7, 0, 0, day);
    EXPECT_TRUE(RunChecks(Hms(0, 29, 57)).empty());
    clockMs = (std::int64_t(day) * 86400 + Hms(7, 30, 0) + c.wakeAfter) * 1000;
    const auto rang = RunChecks(3600);
    if (c.rings) {
      EXPECT_EQ(rang, std::vector<std::int64_t>{day * 86400 + Hms(7, 30, 0) + c.wakeAfter});
      EXPECT_TRUE(missed.empty());
    } else {
      EXPECT_TRUE(rang.empty());
      EXPECT_EQ(missed, std::vector<std::string>{"Missed alarm at 07:30"});
    }
    missed.clear();
    ++day;
  }
  // A snooze slept through: late by ten minutes it rings; by more than an hour it is
  // reported, and the next day the alarm keeps its own time.
  for (int sleptUntil : {Hms(7, 50, 0), Hms(9, 0, 0)}) {
    At(7, 29, 57, day);
    ASSERT_EQ(RunChecks(10, /*snoozes=*/1).size(), 1u);  // rang at 07:30:00, snoozed at 07:30:06
    EXPECT_EQ(alarm->Target(), Hms(7, 40, 6));
    RunChecks(60);
    clockMs = (std::int64_t(day) * 86400 + sleptUntil) * 1000;
    const auto rang = RunChecks(60);
    if (sleptUntil == Hms(7, 50, 0)) {
      EXPECT_EQ(rang.size(), 1u);
      EXPECT_TRUE(missed.empty());
    } else {
      EXPECT_TRUE(rang.empty());
      EXPECT_EQ(missed, std::vector<std::string>{"Missed alarm at 07:40"});
      EXPECT_EQ(alarm->Target(), Hms(7, 30, 0));
    }
    RunChecks(3600);
    ++day;
  }
}

TEST_F(AlarmTest, NightsWhenTheClocksChangeRingOnce) {
  // The zone moves on or back by an hour at 01:00 UTC of day 0.
  auto zone = [this](std::int64_t before, std::int64_t after) {
    env.kernel.zoneOffsetMs = [=](std::int64_t utc) { return utc < Ms(1, 0, 0) ? before : after; };
  };
  const std::int64_t hour = 3600'000;
  struct Case {
    int h, m;
    std::int64_t rings;  // local time of the one ring
  };
  // Forward: the local clock goes from 01:59:59 to 03:00:00; an alarm in the skipped hour
  // rings at the first check past it.
  // (Checks at one second past every third: 02:00 is an hour and a second late by the
  // local clock at the first check after the jump, and rings all the same.)
  zone(hour, 2 * hour);
  for (const Case& c : {Case{1, 59, Hms(1, 59, 1)}, Case{2, 0, Hms(3, 0, 1)}, Case{2, 30, Hms(3, 0, 1)},
                        Case{2, 59, Hms(3, 0, 1)}, Case{3, 0, Hms(3, 0, 1)}}) {
    SCOPED_TRACE(testing::Message() << "forward " << c.h << ":" << c.m);
    CreateAt(c.h, c.m);
    clockMs = 1000;  // 01:00:01 local
    EXPECT_EQ(RunChecks(4 * 3600), std::vector<std::int64_t>{c.rings});
  }
  // A snooze is ten real minutes: 01:55 snoozed rings at 03:05.
  CreateAt(1, 55);
  clockMs = 1000;
  EXPECT_EQ(RunChecks(4 * 3600, /*snoozes=*/1), (std::vector<std::int64_t>{Hms(1, 55, 1), Hms(3, 5, 7)}));
  // Back: the local clock goes from 02:59:59 to 02:00:00; an alarm in the repeated hour
  // rings the first time round only.
  zone(2 * hour, hour);
  for (const Case& c : {Case{2, 0, Hms(2, 0, 0)}, Case{2, 30, Hms(2, 30, 0)}, Case{2, 59, Hms(2, 59, 0)},
                        Case{3, 0, Hms(3, 0, 0)}, Case{3, 30, Hms(3, 30, 0)}}) {
    SCOPED_TRACE(testing::Message() << "back " << c.h << ":" << c.m);
    CreateAt(c.h, c.m);
    clockMs = 0;  // 02:00 local
    EXPECT_EQ(RunChecks(4 * 3600), std::vector<std::int64_t>{c.rings});
  }
  // Snoozed through the change: each snooze rings once, ten real minutes after its press,
  // the last in the repeated hour; 02:30 does not ring again when it comes round.
  CreateAt(2, 30);
  clockMs = 0;
  EXPECT_EQ(RunChecks(4 * 3600, /*snoozes=*/3),
            (std::vector<std::int64_t>{Hms(2, 30, 0), Hms(2, 40, 6), Hms(2, 50, 12), Hms(2, 0, 18)}));
  EXPECT_TRUE(missed.empty());
}

TEST_F(AlarmTest, AClockSetAFewMinutesEitherWayNeitherRingsTwiceNorSkips) {
  const std::int64_t threeMinutes = 180'000;
  struct Case {
    int changeAt;                 // seconds of the day at which the clock is set
    std::int64_t byMs;            // how far
    std::int64_t rings;           // local time of the one ring
  } cases[] = {
      {Hms(7, 58, 30), threeMinutes, Hms(8, 1, 30)},   // on, across the alarm time
      {Hms(7, 59, 0), -threeMinutes, Hms(8, 0, 0)},    // back, before it
      {Hms(8, 1, 0), -threeMinutes, Hms(8, 0, 0)},     // back, after the ring: not again
      {Hms(8, 0, 12), threeMinutes, Hms(8, 0, 0)},     // on, just after the stop
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.changeAt);
    CreateAt(8, 0);
    env.kernel.clockChangeMs = 0;
    At(7, 50, 0);
    auto rang = RunChecks(c.changeAt - Hms(7, 50, 0));
    env.kernel.clockChangeMs = c.byMs;
    const auto after = RunChecks(3600);
    rang.insert(rang.end(), after.begin(), after.end());
    EXPECT_EQ(rang, std::vector<std::int64_t>{c.rings});
    // The next day as usual.
    clockMs = Ms(7, 59, 0) + 86400'000 - c.byMs;
    EXPECT_EQ(RunChecks(120), std::vector<std::int64_t>{86400 + Hms(8, 0, 0)});
  }
}

TEST_F(AlarmTest, AnAlarmMovedEarlierRingsWhenTheClockIsSetBackPastIt) {
  CreateAt(8, 0);
  env.kernel.clockChangeMs = 0;
  At(7, 50, 0);
  ASSERT_EQ(RunChecks(Hms(8, 5, 0) - Hms(7, 50, 0)), std::vector<std::int64_t>{Hms(8, 0, 0)});
  // At 08:05 the user moves the alarm to 07:30 and puts the clock back an hour: another
  // alarm, not the one that rang.
  alarm->SetOnAndTime(true, 7, 30);
  env.kernel.clockChangeMs = -3600'000;
  EXPECT_EQ(RunChecks(3600), std::vector<std::int64_t>{Hms(7, 30, 0)});
  // The same alarm time set again is the same alarm: after a second hour back it does not
  // ring twice.
  alarm->SetOnAndTime(true, 7, 30);
  env.kernel.clockChangeMs = -2 * 3600'000;
  EXPECT_TRUE(RunChecks(3600).empty());
}

TEST_F(AlarmTest, TheWakeTimerIsSetToTheNextAlarmTimeWhileTheAlarmIsOn) {
  auto& wake = env.wakeTimer;
  auto armedAt = [&]() -> std::string {
    if (!wake.armed) return "none";
    const auto& t = *wake.armed;
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %d %02d:%02d:%02d", t.year, t.month, t.day, t.dayOfWeek,
                  t.hour, t.minute, t.second);
    return text;
  };
  At(7, 0, 0);  // Saturday 1 January 2000 on the test clock
  Create();
  EXPECT_EQ(armedAt(), "none");  // off
  alarm->SetHour(8);
  alarm->TurnOn();
  alarm->Save();
  EXPECT_EQ(armedAt(), "2000-01-01 6 08:00:00");
  std::size_t calls = wake.calls.size();
  EXPECT_FALSE(CheckAt(7, 0, 3));
  EXPECT_EQ(wake.calls.size(), calls);  // nothing changed, nothing set
  EXPECT_TRUE(CheckAt(8, 0, 0));
  EXPECT_EQ(armedAt(), "2000-01-02 0 08:00:00");  // once it rang, for the next day
  EXPECT_TRUE(wake.awake);  // kept awake while it rings
  At(8, 0, 5);
  alarm->RecordSnooze();
  EXPECT_FALSE(wake.awake);
  EXPECT_EQ(armedAt(), "2000-01-01 6 08:10:05");
  EXPECT_TRUE(CheckAt(8, 10, 6));
  EXPECT_TRUE(wake.awake);
  At(8, 10, 9);
  calls = wake.calls.size();
  alarm->RecordStop();
  EXPECT_EQ(wake.calls.size(), calls + 1);
  EXPECT_FALSE(wake.awake);
  EXPECT_EQ(armedAt(), "2000-01-02 0 08:00:00");
  alarm->SetHour(6);
  alarm->Save();
  EXPECT_EQ(armedAt(), "2000-01-02 0 06:00:00");
  // Across the end of the month.
  At(23, 0, 0, 30);
  alarm->SetMinute(30);
  alarm->SetHour(0);
  alarm->Save();
  EXPECT_EQ(armedAt(), "2000-02-01 2 00:30:00");
  alarm->TurnOff();
  alarm->Save();
  EXPECT_EQ(armedAt(), "none");
  ASSERT_FALSE(wake.calls.back().arm);
  calls = wake.calls.size();
  EXPECT_FALSE(CheckAt(0, 30, 0, 31));
  EXPECT_EQ(wake.calls.size(), calls);
}

TEST_F(AlarmTest, AMonthOfWeekdayAlarmsRingsMondayToFridayOnlyAcrossBothClockChanges) {
  // The test clock's day 0 is Saturday 1 January 2000. The zone moves on by an hour at
  // 01:00 UTC of Monday 10 January (02:00 local becomes 03:00) and back at 01:00 UTC of
  // Monday 24 January (03:00 local becomes 02:00).
  constexpr std::int64_t kHour = 3600'000, kDay = 86400'000;
  env.kernel.zoneOffsetMs = [=](std::int64_t utc) {
    return utc < 9 * kDay + kHour ? kHour : utc < 23 * kDay + kHour ? 2 * kHour : kHour;
  };
  CreateAt(2, 30);
  alarm->SetDays(0b0011111);
  alarm->Save();
  std::vector<std::string> rang, armedAfter, want, wantArmed;
  int armedOnADayOff = 0;
  for (clockMs = 0; clockMs < 31 * kDay;) {
    const auto t = env.kernel.GetLocalTime();
    if (alarm->RingInProgressNow()) {
      alarm->RecordStop();
      armedAfter.push_back(Armed(env.wakeTimer));
    } else {
      const int before = rings;
      alarm->CheckTime();
      if (rings > before) rang.push_back(std::to_string(t.day) + " " + TwoDigits(t.hour) + ":" + TwoDigits(t.minute));
    }
    if (!env.wakeTimer.armed || !(alarm->Days() & DayBit(env.wakeTimer.armed->dayOfWeek))) ++armedOnADayOff;
    // Every 3 s through the night's small hours, every 5 minutes at other times.
    clockMs += t.hour >= 1 && t.hour <= 3 ? 3000 : 300'000;
  }
  for (int day = 1; day <= 31; ++day) {
    const int dayOfWeek = (day + 5) % 7;  // 0 Sunday
    if (dayOfWeek == 0 || dayOfWeek == 6) continue;
    // The forward night has no 02:30: it rings at the first check after the jump.
    want.push_back(std::to_string(day) + (day == 10 ? " 03:00" : " 02:30"));
    char text[40];
    const int next = day + (dayOfWeek == 5 ? 3 : 1);
    const char* names[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::snprintf(text, sizeof text, "2000-%02d-%02d %s 02:30", next > 31 ? 2 : 1, next > 31 ? next - 31 : next,
                  names[(next + 5) % 7]);
    wantArmed.push_back(text);
  }
  EXPECT_EQ(rang, want);
  EXPECT_EQ(armedAfter, wantArmed);
  EXPECT_EQ(armedOnADayOff, 0);
  EXPECT_TRUE(missed.empty());
}

TEST_F(AlarmTest, ASkipLeavesOutOneRingSurvivesARestartAndGoesWithAnotherTimeOrDays) {
  At(6, 0, 0);  // Saturday
  CreateAt(7, 30);
  alarm->Save();
  EXPECT_FALSE(alarm->SkipSet());
  EXPECT_EQ(CAlarm::RingText(*alarm->SkippableRing()), "Sat 07:30");
  alarm->ToggleSkip();
  EXPECT_TRUE(alarm->SkipSet());
  EXPECT_EQ(env.registry.String(TestEnvironment::kKey, "AlarmSkip"), "2000-01-01 07:30");
  EXPECT_EQ(Armed(env.wakeTimer), "2000-01-02 Sun 07:30");
  // A restart keeps it.
  Create();
  EXPECT_TRUE(alarm->SkipSet());
  EXPECT_EQ(CAlarm::RingText(*alarm->NextRing()), "Sun 07:30");
  EXPECT_EQ(Armed(env.wakeTimer), "2000-01-02 Sun 07:30");
  EXPECT_TRUE(ChecksEvery3s(Hms(7, 0, 0), Hms(9, 0, 0)).empty());
  // Its moment has passed: gone, also from the store; the next day rings.
  EXPECT_FALSE(alarm->SkipSet());
  EXPECT_EQ(env.registry.String(TestEnvironment::kKey, "AlarmSkip"), "");
  EXPECT_EQ(ChecksEvery3s(Hms(7, 29, 0), Hms(7, 31, 0), 1), std::vector<int>{Hms(7, 30, 0)});
  At(7, 31, 3, 1);
  alarm->RecordStop();
  EXPECT_TRUE(missed.empty());
  // A skip goes when the alarm's time or days change, or when it is chosen again.
  alarm->ToggleSkip();
  EXPECT_EQ(CAlarm::RingText(*alarm->SkippableRing()), "Mon 07:30");
  alarm->SetOnAndTime(true, 7, 45);
  EXPECT_FALSE(alarm->SkipSet());
  alarm->ToggleSkip();
  alarm->SetDays(0b0011111);
  EXPECT_FALSE(alarm->SkipSet());
  alarm->ToggleSkip();
  EXPECT_TRUE(alarm->SkipSet());
  alarm->ToggleSkip();
  EXPECT_FALSE(alarm->SkipSet());
  // Mondays only, the next one skipped on a Tuesday: the Monday after is the next ring,
  // thirteen days on.
  At(12, 0, 0, 3);
  alarm->SetDays(1 << 0);
  alarm->ToggleSkip();
  alarm->Save();
  EXPECT_EQ(CAlarm::RingText(*alarm->SkippableRing()), "Mon 07:45");
  EXPECT_EQ(Armed(env.wakeTimer), "2000-01-17 Mon 07:45");
}

TEST_F(AlarmTest, EachSnoozeLengthIsHonouredAndDaysOffNeitherRingNorAreReportedMissed) {
  const auto* key = TestEnvironment::kKey;
  for (const int minutes : {5, 10, 15, 20, 30, 7 /* not offered: the default */}) {
    SCOPED_TRACE(minutes);
    env.registry.PutDword(key, "SnoozeMinutes", std::uint32_t(minutes));
    // The last round's snooze is kept across the restart; this round starts without one.
    env.registry.PutString(key, "AlarmSnooze", "");
    CreateAt(8, 0);
    ASSERT_TRUE(CheckAt(8, 0, 0));
    At(8, 0, 5);
    alarm->RecordSnooze();
    EXPECT_EQ(alarm->Target(), Hms(8, minutes == 7 ? 10 : minutes, 5));
  }
  // A wrong value of one setting leaves the alarm's own values as they were.
  EXPECT_EQ(env.registry.Dword(key, "AlarmHour"), 8u);
  // Saturday only: a snooze past midnight still rings on the Sunday.
  CreateAt(23, 55);
  alarm->SetDays(1 << 5);
  ASSERT_TRUE(CheckAt(23, 55, 0));
  At(23, 55, 5);
  alarm->RecordSnooze();
  EXPECT_TRUE(CheckAt(0, 5, 6, 1));
  At(0, 5, 9, 1);
  alarm->RecordStop();
  // Sunday's and Monday's alarm times pass unchecked (the computer slept): neither rings nor
  // is reported; Saturday's is.
  EXPECT_FALSE(CheckAt(22, 0, 0, 1));
  EXPECT_FALSE(CheckAt(2, 0, 0, 3));
  EXPECT_TRUE(missed.empty());
  EXPECT_FALSE(CheckAt(22, 0, 0, 7));
  EXPECT_FALSE(CheckAt(2, 0, 0, 8));
  EXPECT_EQ(missed, std::vector<std::string>{"Missed alarm at 23:55"});
}
