#include "AlarmFixture.h"

using namespace alarm_test;


TEST_F(AlarmTest, RingsAtTheFirstCheckWithinThirtySecondsOfTheTarget) {
  CreateAt(8, 0);
  EXPECT_FALSE(CheckAt(7, 59, 58));
  EXPECT_TRUE(CheckAt(8, 0, 1));
  EXPECT_TRUE(alarm->RingInProgressNow());
}

TEST_F(AlarmTest, TheWindowIsThirtySecondsNotAMinute) {
  // The clock passes 08:00 while the alarm is off; switched on just after, it rings only at
  // a check within 30 s of 08:00.
  CreateAt(8, 0);
  alarm->TurnOff();
  EXPECT_FALSE(CheckAt(7, 59, 59));
  EXPECT_FALSE(CheckAt(8, 0, 1));
  alarm->TurnOn();
  EXPECT_FALSE(CheckAt(8, 0, 30));
  EXPECT_FALSE(CheckAt(8, 0, 59));
  EXPECT_EQ(rings, 0);
  alarm->TurnOff();
  EXPECT_FALSE(CheckAt(8, 0, 1, 1));
  alarm->TurnOn();
  EXPECT_TRUE(CheckAt(8, 0, 29, 1));
  // The same window across midnight.
  alarm->SetHour(23);
  alarm->SetMinute(59);
  EXPECT_FALSE(CheckAt(23, 58, 59));
  EXPECT_TRUE(CheckAt(23, 59, 29));
}

TEST_F(AlarmTest, AStopHoldsUntilTheNextDay) {
  CreateAt(8, 0);
  EXPECT_EQ(ChecksEvery3s(Hms(8, 0, 0), Hms(8, 0, 0)), std::vector<int>{Hms(8, 0, 0)});
  At(8, 0, 5);
  alarm->RecordStop();
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
  EXPECT_TRUE(ChecksEvery3s(Hms(8, 0, 8), Hms(23, 59, 59)).empty());
  // The next day it rings again from 08:00:00 (the logic stops checking while it rings).
  const auto nextDay = ChecksEvery3s(Hms(0, 0, 0), Hms(8, 0, 29), 1);
  ASSERT_FALSE(nextDay.empty());
  EXPECT_EQ(nextDay.front(), Hms(8, 0, 0));
}

TEST_F(AlarmTest, SnoozesMoveTheTargetToTenMinutesAfterEachPress) {
  CreateAt(8, 0);
  ASSERT_TRUE(CheckAt(8, 0, 0));
  At(8, 0, 5);
  alarm->RecordSnooze();
  EXPECT_EQ(alarm->Target(), Hms(8, 10, 5));
  EXPECT_FALSE(CheckAt(8, 0, 8));
  EXPECT_FALSE(CheckAt(8, 10, 4));
  EXPECT_TRUE(CheckAt(8, 10, 6));
  At(8, 10, 7);
  alarm->RecordSnooze();
  EXPECT_EQ(alarm->Target(), Hms(8, 20, 7));
  EXPECT_FALSE(CheckAt(8, 20, 6));
  EXPECT_TRUE(CheckAt(8, 20, 7));
  // A stop brings the alarm back to its own time.
  At(8, 20, 9);
  alarm->RecordStop();
  EXPECT_EQ(alarm->Target(), Hms(8, 0, 0));
}

TEST_F(AlarmTest, SnoozesAcrossMidnight) {
  CreateAt(23, 55);
  ASSERT_TRUE(CheckAt(23, 55, 2));
  At(23, 55, 20);
  alarm->RecordSnooze();
  EXPECT_EQ(alarm->Target(), Hms(0, 5, 20));
  EXPECT_FALSE(CheckAt(23, 59, 59));
  EXPECT_TRUE(CheckAt(0, 5, 21, 1));

  alarm->SetHour(23);
  alarm->SetMinute(59);
  At(0, 5, 30, 1);
  alarm->RecordStop();
  ASSERT_TRUE(CheckAt(23, 59, 0, 1));
  At(23, 59, 30, 1);
  alarm->RecordSnooze();
  EXPECT_EQ(alarm->Target(), Hms(0, 9, 30));
}

TEST_F(AlarmTest, SwitchingOffOrANewTimeOrNewDaysEndASnoozeAsAStopDoes) {
  // Weekdays at 07:30; day 6 is Friday 7 January 2000. What the set-up windows' OK does.
  const int weekdays = 0b0011111;
  auto setUp = [this](bool on, int h, int m, int days) {
    alarm->SetOnAndTime(on, h, m);
    alarm->SetDays(days);
    alarm->Save();
  };
  CreateAt(7, 30);
  setUp(true, 7, 30, weekdays);
  auto snoozeAt = [this](int day) {
    ASSERT_TRUE(CheckAt(7, 30, 0, day));
    At(7, 30, 5, day);
    alarm->RecordSnooze();
    ASSERT_EQ(alarm->Target(), Hms(7, 40, 5));
  };
  // Snoozed on Friday, switched off, on again that evening: Saturday stays quiet and
  // Monday rings at 07:30.
  snoozeAt(6);
  At(7, 31, 0, 6);
  setUp(false, 7, 30, weekdays);
  EXPECT_TRUE(ChecksEvery3s(Hms(7, 31, 3), Hms(20, 0, 0), 6).empty());
  setUp(true, 7, 30, weekdays);
  EXPECT_EQ(Armed(env.wakeTimer), "2000-01-10 Mon 07:30");
  EXPECT_TRUE(ChecksEvery3s(Hms(7, 0, 0), Hms(9, 0, 0), 7).empty());
  EXPECT_EQ(ChecksEvery3s(Hms(7, 0, 0), Hms(7, 30, 0), 9), std::vector<int>{Hms(7, 30, 0)});
  At(7, 30, 5, 9);
  alarm->RecordStop();
  // A new time rings at that time; a new set of days at the alarm's own time.
  snoozeAt(10);
  setUp(true, 9, 0, weekdays);
  EXPECT_EQ(ChecksEvery3s(Hms(7, 30, 9), Hms(9, 0, 0), 10), std::vector<int>{Hms(9, 0, 0)});
  At(9, 0, 5, 10);
  alarm->RecordStop();
  setUp(true, 7, 30, weekdays);
  snoozeAt(11);
  setUp(true, 7, 30, weekdays | 1 << 5);
  EXPECT_TRUE(ChecksEvery3s(Hms(7, 30, 9), Hms(9, 0, 0), 11).empty());
  // The same values given again leave a snooze as it is.
  snoozeAt(12);
  setUp(true, 7, 30, weekdays | 1 << 5);
  EXPECT_EQ(ChecksEvery3s(Hms(7, 30, 9), Hms(7, 41, 0), 12), std::vector<int>{Hms(7, 40, 6)});
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
}

TEST_F(AlarmTest, AnAlarmThatIsOffNeitherRingsNorClearsItsLatch) {
  CreateAt(8, 0);
  ASSERT_TRUE(CheckAt(8, 0, 0));
  At(8, 0, 5);
  alarm->RecordStop();
  alarm->TurnOff();
  EXPECT_FALSE(CheckAt(8, 0, 40));  // would clear the latch if on
  alarm->TurnOn();
  EXPECT_FALSE(CheckAt(8, 0, 20));  // the latch still holds this window
}

TEST_F(AlarmTest, StopOrSnoozeWithoutARingSaysSoAndStillLatches) {
  CreateAt(8, 0);
  At(8, 0, 1);
  alarm->RecordStop();
  ASSERT_EQ(env.desktop.MessageBoxes().size(), 1u);
  EXPECT_EQ(env.desktop.MessageBoxes()[0].text, "дык будильник не звенит ! ");
  EXPECT_EQ(env.desktop.MessageBoxes()[0].caption, "error");
  EXPECT_FALSE(CheckAt(8, 0, 3));
  alarm->RecordSnooze();
  EXPECT_EQ(env.desktop.MessageBoxes().size(), 2u);
}

TEST_F(AlarmTest, ALatchFromBeforeTheTargetDoesNotHoldTheRing) {
  CreateAt(8, 0);
  At(7, 59, 50);
  alarm->RecordStop();  // pressed before the target (with the box)
  EXPECT_TRUE(CheckAt(8, 0, 0));
}

TEST_F(AlarmTest, EndlessSnoozingKeepsItsArithmetic) {
  CreateAt(8, 0);
  // Each press at 08:00 moves the alarm almost a whole day on (to 08:10, 08:20, ... the next
  // day), so 30,000 presses add up to more than 2^31 seconds of snoozing: beyond what 32-bit
  // offsets could hold without being kept within a day.
  for (int day = 0; day < 200; ++day) {
    for (int i = 0; i < 150; ++i) {
      At(8, 0, 0, day);
      alarm->RecordSnooze();
    }
  }
  const int t = alarm->Target();
  EXPECT_GE(t, 0);
  EXPECT_LT(t, kSecondsPerDay);
  EXPECT_EQ(t, Hms(8, 10, 0));
}

TEST_F(AlarmTest, DefaultsAreWrittenBackWhenAValueIsMissingAndTheListIsKept) {
  // The user's list survives values gone missing (another PC or account, a registry
  // cleaner): only the five values take their defaults.
  env.files.Put(std::string(TestEnvironment::kProgramDir) + "Playlist.txt", "2\r\nC:\\x.wav\r\nC:\\y.wav");
  env.registry.PutDword(TestEnvironment::kKey, "AlarmIsOn", 1);
  env.registry.PutString(TestEnvironment::kKey, "AlarmSound", "");  // present but empty
  env.registry.PutDword(TestEnvironment::kKey, "UsePlayist", 1);
  env.registry.PutDword(TestEnvironment::kKey, "AlarmMin", 30);
  env.registry.PutDword(TestEnvironment::kKey, "AlarmHour", 6);
  Create();
  EXPECT_FALSE(alarm->IsOn());
  EXPECT_EQ(alarm->GetHour(), 8);
  EXPECT_EQ(alarm->GetMinute(), 0);
  EXPECT_EQ(alarm->GetSound(), "Sounds\\Alarms\\alarm0.wav");
  EXPECT_FALSE(alarm->IsPlaylistMode());
  EXPECT_EQ(alarm->PlaylistCount(), 2);
  const auto* key = TestEnvironment::kKey;
  EXPECT_EQ(env.registry.Dword(key, "AlarmIsOn"), 0u);
  EXPECT_EQ(env.registry.String(key, "AlarmSound"), "Sounds\\Alarms\\alarm0.wav");
  EXPECT_EQ(env.registry.Dword(key, "UsePlayist"), 0u);
  EXPECT_EQ(env.registry.Dword(key, "AlarmMin"), 0u);
  EXPECT_EQ(env.registry.Dword(key, "AlarmHour"), 8u);
  EXPECT_EQ(*env.files.Peek(std::string(TestEnvironment::kProgramDir) + "Playlist.txt"),
            "2\r\nC:\\x.wav\r\nC:\\y.wav");
}

TEST_F(AlarmTest, StoredValuesLoadAndADamagedPlaylistIsEmpty) {
  const auto* key = TestEnvironment::kKey;
  env.registry.PutDword(key, "AlarmIsOn", 7);
  env.registry.PutString(key, "AlarmSound", "C:\\Sounds\\wake.wav");
  env.registry.PutDword(key, "UsePlayist", 1);
  env.registry.PutDword(key, "AlarmMin", 45);
  env.registry.PutDword(key, "AlarmHour", 30);  // out of range is kept as it is
  env.files.Put(std::string(TestEnvironment::kProgramDir) + "Playlist.txt", "lots\r\nC:\\x.wav\r\n");
  Create();
  EXPECT_TRUE(alarm->IsOn());
  EXPECT_EQ(alarm->GetSound(), "C:\\Sounds\\wake.wav");
  EXPECT_TRUE(alarm->IsPlaylistMode());
  EXPECT_EQ(alarm->GetMinute(), 45);
  EXPECT_EQ(alarm->GetHour(), 30);
  EXPECT_EQ(alarm->PlaylistCount(), 0);
  EXPECT_THROW(alarm->PlaylistItem(0), std::logic_error);
}

TEST_F(AlarmTest, AFailedWriteInSaveStopsThere) {
  Create();
  env.registry.failingWrites.insert("UsePlayist");
  alarm->SetHour(5);
  alarm->SetPlaylist({"a.wav"});
  try {
    alarm->Save();
    FAIL();
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'UsePlayist'");
  }
  EXPECT_EQ(env.registry.Dword(TestEnvironment::kKey, "AlarmHour"), 8u);  // not reached
}
