#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "alarm/AlarmUnit.h"
#include "alarm/Reestr.h"

namespace {

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
    Reestr = new CReestr();
    alarm = new CAlarm();
    alarm->StartRinging = [this] { ++rings; };
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

  TestEnvironment env;
  std::int64_t clockMs = 0;
  CAlarm* alarm = nullptr;
  int rings = 0;
};

int Hms(int h, int m, int s) { return SecondsOfDay(h, m, s); }

}  // namespace

TEST_F(AlarmTest, RingsAtTheFirstCheckWithinThirtySecondsOfTheTarget) {
  CreateAt(8, 0);
  EXPECT_FALSE(CheckAt(7, 59, 58));
  EXPECT_TRUE(CheckAt(8, 0, 1));
  EXPECT_TRUE(alarm->RingInProgressNow());
}

TEST_F(AlarmTest, TheWindowIsThirtySecondsNotAMinute) {
  CreateAt(8, 0);
  EXPECT_FALSE(CheckAt(7, 59, 59));
  EXPECT_FALSE(CheckAt(8, 0, 30));
  EXPECT_FALSE(CheckAt(8, 0, 59));
  EXPECT_EQ(rings, 0);
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

TEST_F(AlarmTest, ASnoozeOffsetMovesANewAlarmTimeToo) {
  CreateAt(8, 0);
  ASSERT_TRUE(CheckAt(8, 0, 0));
  At(8, 0, 5);
  alarm->RecordSnooze();
  alarm->SetHour(9);  // set in a set-up window, no stop in between
  alarm->Save();
  EXPECT_FALSE(CheckAt(9, 0, 0));
  EXPECT_TRUE(CheckAt(9, 10, 5));
  At(9, 10, 9);
  alarm->RecordStop();
  EXPECT_EQ(alarm->Target(), Hms(9, 0, 0));
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

TEST_F(AlarmTest, DefaultsAreWrittenBackWhenAValueIsMissing) {
  env.files.Put(std::string(TestEnvironment::kProgramDir) + "Playlist.txt", "1\r\nC:\\x.wav\r\n");
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
  EXPECT_EQ(alarm->PlaylistCount(), 0);
  const auto* key = TestEnvironment::kKey;
  EXPECT_EQ(env.registry.Dword(key, "AlarmIsOn"), 0u);
  EXPECT_EQ(env.registry.String(key, "AlarmSound"), "Sounds\\Alarms\\alarm0.wav");
  EXPECT_EQ(env.registry.Dword(key, "UsePlayist"), 0u);
  EXPECT_EQ(env.registry.Dword(key, "AlarmMin"), 0u);
  EXPECT_EQ(env.registry.Dword(key, "AlarmHour"), 8u);
  EXPECT_EQ(*env.files.Peek(std::string(TestEnvironment::kProgramDir) + "Playlist.txt"), "0\r\n");
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
