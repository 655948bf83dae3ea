// Several alarms: their storage, one-off alarms and the ring as a set, in virtual time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AlarmFixture.h"
#include "alarm/AlarmList.h"

using namespace alarm_test;

namespace {
const std::string kKey = TestEnvironment::kKey;
std::string Sub(int id) { return kKey + "\\Alarms\\" + std::to_string(id); }

class AlarmListTest : public AlarmTest {
 protected:
  void TearDown() override {
    delete list;
    list = nullptr;
    AlarmTest::TearDown();
  }
  void CreateList() {
    if (!Reestr) Reestr = new CReestr();
    delete list;
    list = new CAlarmList();
    list->StartRinging = [this] { rung.push_back(list->RingNames()); };
    list->ReportMissed = [this](const std::string& text) { missed.push_back(text); };
  }
  static void Set(CAlarm& a, int h, int m, const std::string& label, int days = AlarmOptions::kAllDays,
                  bool once = false) {
    a.SetOnAndTime(true, h, m);
    a.SetDays(days);
    a.SetLabel(label);
    a.SetOnce(once);
    a.Save();
  }
  CAlarm& Add(int h, int m, const std::string& label, int days = AlarmOptions::kAllDays, bool once = false) {
    CAlarm* a = list->Add();
    EXPECT_NE(a, nullptr);
    Set(*a, h, m, label, days, once);
    return *a;
  }
  std::string LocalText() {
    const auto t = env.kernel.GetLocalTime();
    return std::to_string(t.day) + " " + TwoDigits(t.hour) + ":" + TwoDigits(t.minute);
  }
  // One check of the behaviour tick: the ring's own while it rings, else the full one.
  void Tick() {
    if (list->Ringing())
      list->CheckJoin();
    else
      list->CheckTime();
  }

  CAlarmList* list = nullptr;
  std::vector<std::string> rung;  // the names of each ring as it started
};

TEST_F(AlarmListTest, AMonthOfFiveAlarmsRingsOnTimeAcrossBothClockChangesAndARestart) {
  // Day 0 is Saturday 1 January 2000. Clocks go on an hour at 01:00 UTC of Monday 10
  // January and back at 01:00 UTC of Monday 24 January.
  constexpr std::int64_t kHour = 3600'000, kDay = 86400'000;
  env.kernel.zoneOffsetMs = [=](std::int64_t utc) {
    return utc < 9 * kDay + kHour ? kHour : utc < 23 * kDay + kHour ? 2 * kHour : kHour;
  };
  CreateList();
  Set(list->First(), 7, 0, "Work", 0b0011111);
  Add(9, 0, "", 0b1100000);
  Add(14, 30, "Dentist", AlarmOptions::kAllDays, true);
  Add(21, 0, "Pills");
  Add(21, 0, "Call mum");
  ASSERT_EQ(list->Count(), 5);

  std::vector<std::string> rang, armed;
  bool restarted = false;
  bool snoozed = false;
  for (clockMs = 0; clockMs < 31 * kDay;) {
    const auto t = env.kernel.GetLocalTime();
    if (list->Ringing()) {
      // Sunday 16 January, 21:00: snoozed, then a restart while the snooze runs, with
      // Monday's Work skipped from the tray meanwhile.
      if (t.day == 16 && t.hour == 21 && !snoozed) {
        snoozed = true;
        list->RecordSnooze();
      } else {
        list->RecordStop();
      }
      armed.push_back(Armed(env.wakeTimer).substr(8));
    } else {
      const std::size_t before = rung.size();
      list->CheckTime();
      if (rung.size() > before) rang.push_back(LocalText() + " " + rung.back());
    }
    if (snoozed && !restarted && t.hour == 21 && t.minute == 5) {
      restarted = true;
      ASSERT_EQ(list->SkipCandidate(), &list->First());
      list->SkipCandidate()->ToggleSkip();
      CreateList();
    }
    clockMs += (t.hour == 7 || t.hour == 9 || t.hour == 14 || t.hour == 21) && t.minute < 45 ? 3000 : 60'000;
  }

  std::vector<std::string> want, wantArmed;
  auto at = [](int day, const char* hm) { return std::to_string(day) + " " + hm; };
  for (int day = 1; day <= 31; ++day) {
    const int dayOfWeek = (day + 5) % 7;  // 0 Sunday
    const bool weekendDay = dayOfWeek == 0 || dayOfWeek == 6;
    if (!weekendDay && day != 17) want.push_back(at(day, "07:00 Work"));
    if (weekendDay) want.push_back(at(day, "09:00 09:00"));
    if (day == 1) want.push_back(at(day, "14:30 Dentist"));
    want.push_back(at(day, "21:00 Pills, Call mum"));
    if (day == 16) want.push_back(at(day, "21:10 Pills, Call mum"));
  }
  // After each answer the wake timer stands at the next ring of all.
  for (std::size_t i = 1; i < want.size(); ++i) wantArmed.push_back(want[i].substr(0, want[i].find(' ', 3)));
  wantArmed.push_back("1 07:00");  // Tuesday 1 February
  std::vector<std::string> armedDays;
  for (const std::string& a : armed) {
    // "DD Ddd hh:mm" as the wake timer's text ends; the day without its leading zero.
    const int day = std::stoi(a.substr(0, 2));
    armedDays.push_back(std::to_string(day) + " " + a.substr(7));
  }
  EXPECT_EQ(rang, want);
  EXPECT_EQ(armedDays, wantArmed);
  EXPECT_TRUE(missed.empty());
  // The one-off alarm stays in the list, switched off, with its time and name.
  EXPECT_EQ(env.registry.Dword(Sub(2), "AlarmIsOn"), 0u);
  EXPECT_EQ(env.registry.String(Sub(2), "AlarmLabel"), "Dentist");
  EXPECT_EQ(env.registry.Dword(Sub(2), "AlarmHour"), 14u);
}

TEST_F(AlarmListTest, AOneOffAlarmSwitchesOffAfterStopOrMissedButNotAfterSnooze) {
  CreateList();
  Set(list->First(), 8, 0, "Once", AlarmOptions::kAllDays, true);
  CAlarm& missedOne = Add(9, 0, "Late", AlarmOptions::kAllDays, true);
  At(8, 0, 0);
  Tick();
  ASSERT_EQ(rung, std::vector<std::string>{"Once"});
  At(8, 0, 5);
  list->RecordSnooze();
  EXPECT_TRUE(list->First().IsOn());
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmIsOn"), 1u);
  At(8, 10, 5);
  Tick();
  ASSERT_EQ(rung.size(), 2u);
  At(8, 10, 8);
  list->RecordStop();
  EXPECT_FALSE(list->First().IsOn());
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmIsOn"), 0u);
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmOnce"), 1u);
  EXPECT_EQ(list->First().GetHour(), 8);
  // Asleep from 08:30 to 10:30: the 09:00 one-off is missed, and goes off too.
  At(8, 30, 0);
  Tick();
  At(10, 30, 0);
  Tick();
  EXPECT_EQ(missed, std::vector<std::string>{"Missed alarm at 09:00 Late"});
  EXPECT_FALSE(missedOne.IsOn());
  EXPECT_EQ(env.registry.Dword(Sub(1), "AlarmIsOn"), 0u);
  // Nothing rings the next day, and the wake timer is cancelled.
  At(8, 0, 0, 1);
  Tick();
  At(9, 0, 0, 1);
  Tick();
  EXPECT_EQ(rung.size(), 2u);
  EXPECT_EQ(Armed(env.wakeTimer), "none");
  // Switched on again, it rings at its next time whatever the days say.
  list->First().SetDays(1 << 6);  // Sunday only; day 2 is a Monday
  list->First().TurnOn();
  list->First().Save();
  At(8, 0, 0, 2);
  Tick();
  EXPECT_EQ(rung.size(), 3u);
}

TEST_F(AlarmListTest, AlarmsDueTogetherOrDuringTheRingRingAsOneAndAreAnsweredTogether) {
  CreateList();
  Set(list->First(), 21, 0, "Pills");
  Add(21, 0, "Call mum");
  CAlarm& third = Add(21, 1, "");
  third.SetPlaylistMode();
  CAlarm& alone = Add(22, 0, "Alone");
  At(21, 0, 0);
  Tick();
  EXPECT_EQ(rung, std::vector<std::string>{"Pills, Call mum"});
  EXPECT_EQ(&list->SoundAlarm(), &list->First());
  At(21, 1, 0);
  Tick();
  EXPECT_EQ(list->RingNames(), "Pills, Call mum, 21:01");
  EXPECT_EQ(rung.size(), 1u);
  EXPECT_TRUE(missed.empty());
  At(21, 1, 3);
  list->RecordSnooze();
  EXPECT_FALSE(list->Ringing());
  At(21, 11, 3);
  Tick();
  EXPECT_EQ(rung.back(), "Pills, Call mum, 21:01");
  EXPECT_EQ(rung.size(), 2u);
  At(21, 11, 6);
  list->RecordStop();
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(list->At(i).RingInProgressNow());
  // Snoozed on its own, it comes back on its own while the others come and go.
  At(22, 0, 0);
  Tick();
  EXPECT_EQ(rung.back(), "Alone");
  At(22, 0, 3);
  list->RecordSnooze();
  list->First().SetOnAndTime(true, 22, 5);
  list->First().Save();
  At(22, 5, 0);
  Tick();
  EXPECT_EQ(rung.back(), "Pills");
  At(22, 5, 3);
  list->RecordStop();
  EXPECT_TRUE(alone.Snoozed());
  At(22, 10, 3);
  Tick();
  EXPECT_EQ(rung.back(), "Alone");
  At(22, 10, 6);
  list->RecordStop();
  // After sleep: each alarm at most an hour late rings in one ring with the earliest one's
  // sound, whatever the ids; those later than that are named in one notice.
  CAlarm& early = Add(6, 30, "");
  Add(6, 40, "Walk");
  CAlarm& sevenThirty = Add(7, 30, "Tea");
  sevenThirty.SetPlaylistMode();
  list->First().SetOnAndTime(true, 7, 45);
  list->First().Save();
  At(6, 0, 0, 1);
  Tick();
  At(8, 0, 0, 1);
  Tick();
  EXPECT_EQ(rung.back(), "Tea, Pills");
  EXPECT_EQ(&list->SoundAlarm(), &sevenThirty);
  EXPECT_EQ(missed, std::vector<std::string>{"Missed alarms: 06:30, 06:40 Walk"});
  EXPECT_TRUE(early.IsOn());
}

TEST_F(AlarmListTest, EachAlarmsValuesAreReadOnTheirOwnAndBadKeysLeaveTheOthersBe) {
  env.registry.PutDword(kKey, "AlarmIsOn", 1);
  env.registry.PutDword(kKey, "AlarmHour", 6);
  env.registry.PutDword(kKey, "AlarmMin", 15);
  env.registry.PutDword(kKey, "UsePlayist", 0);
  env.registry.PutString(kKey, "AlarmSound", "a.wav");
  // Alarm 2: a damaged hour and a long name with line breaks; its list file is missing.
  env.registry.PutString(Sub(2), "AlarmHour", "seven");
  env.registry.PutDword(Sub(2), "AlarmMin", 45);
  env.registry.PutDword(Sub(2), "AlarmIsOn", 1);
  env.registry.PutDword(Sub(2), "AlarmDays", 999);
  std::string longName = "Таблетки\r\n";
  while (longName.size() < 400) longName += "ё";
  env.registry.PutString(Sub(2), "AlarmLabel", longName);
  // Alarm 7: all good, with its list.
  env.registry.PutDword(Sub(7), "AlarmHour", 21);
  env.registry.PutDword(Sub(7), "AlarmMin", 0);
  env.registry.PutDword(Sub(7), "UsePlayist", 1);
  env.registry.PutDword(Sub(7), "AlarmOnce", 1);
  env.registry.PutDword(Sub(7), "AlarmDays", 3);
  env.files.Put(CReestr::ListPath("Playlist-7"), "1\r\nC:\\x.wav\r\n");
  for (const char* bad : {"abc", "05", "0", "-3", "12345678901"}) env.registry.PutDword(kKey + "\\Alarms\\" + bad, "AlarmHour", 1);
  CreateList();
  ASSERT_EQ(list->Count(), 3);
  EXPECT_EQ(list->First().GetHour(), 6);
  EXPECT_EQ(list->First().GetSound(), "a.wav");
  CAlarm& two = list->At(1);
  EXPECT_EQ(list->IdAt(1), 2);
  EXPECT_EQ(two.GetHour(), 8);
  EXPECT_EQ(two.GetMinute(), 45);
  EXPECT_TRUE(two.IsOn());
  EXPECT_EQ(two.Days(), AlarmOptions::kAllDays);
  EXPECT_EQ(two.PlaylistCount(), 0);
  EXPECT_EQ(two.GetSound(), kDefaultAlarmSound);
  EXPECT_EQ(two.Label().substr(0, 16), "Таблетки");
  EXPECT_EQ(two.Label().find('\n'), std::string::npos);
  EXPECT_EQ(two.Label().size(), 16u + 92u * 2u);  // 100 characters, 8 + 92, two bytes each
  CAlarm& seven = list->At(2);
  EXPECT_EQ(seven.GetHour(), 21);
  EXPECT_TRUE(seven.IsOnce());
  EXPECT_EQ(seven.Days(), 3);
  EXPECT_TRUE(seven.IsPlaylistMode());
  ASSERT_EQ(seven.PlaylistCount(), 1);
  EXPECT_EQ(seven.PlaylistItem(0), "C:\\x.wav");
  int logged = 0;
  for (const std::string& line : env.kernel.debugLog) logged += line.find("is not an alarm's number") != std::string::npos;
  EXPECT_EQ(logged, 5);
  // Nothing of that was written back, and the first alarm gained no values.
  EXPECT_EQ(env.registry.String(Sub(2), "AlarmHour"), "seven");
  EXPECT_FALSE(env.registry.Has(kKey, "AlarmLabel"));
  EXPECT_FALSE(env.registry.Has(kKey, "AlarmOnce"));
}

TEST_F(AlarmListTest, DeletingTheFirstMovesAnotherIntoItsPlaceAndTheOnlyOneGoesBackToDefaults) {
  CreateList();
  Set(list->First(), 6, 0, "Work");
  CAlarm& second = Add(7, 30, "Pills", 0b1000001, true);
  second.SavePlaylist({"C:\\a.wav", "C:\\b.wav"});
  Add(8, 0, "Gym");
  second.ToggleSkip();
  const int idSecond = list->IdAt(1);
  ASSERT_TRUE(env.files.FileExists(CReestr::ListPath("Playlist-1")));
  ASSERT_TRUE(list->Delete(0));
  ASSERT_EQ(list->Count(), 2);
  EXPECT_EQ(list->First().Label(), "Pills");
  EXPECT_EQ(env.registry.String(kKey, "AlarmLabel"), "Pills");
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmHour"), 7u);
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmDays"), 0b1000001u);
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmOnce"), 1u);
  EXPECT_TRUE(list->First().SkipSet());
  EXPECT_FALSE(env.registry.HasKey(Sub(idSecond)));
  EXPECT_FALSE(env.files.FileExists(CReestr::ListPath("Playlist-1")));
  std::vector<std::string> moved;
  ASSERT_TRUE(Reestr->LoadList("Playlist", moved));
  EXPECT_EQ(moved, (std::vector<std::string>{"C:\\a.wav", "C:\\b.wav"}));
  // A new alarm never takes the number of one that is there.
  EXPECT_EQ(list->IdAt(1), 2);
  list->Add();
  EXPECT_EQ(list->IdAt(2), 3);
  // What is stored reads back the same.
  CreateList();
  ASSERT_EQ(list->Count(), 3);
  EXPECT_EQ(list->First().GetMinute(), 30);
  EXPECT_EQ(list->At(1).Label(), "Gym");
  while (list->Count() > 1) ASSERT_TRUE(list->Delete(list->IdAt(list->Count() - 1)));
  ASSERT_TRUE(list->Delete(0));
  EXPECT_EQ(list->Count(), 1);
  EXPECT_FALSE(list->First().IsOn());
  EXPECT_EQ(list->First().GetHour(), 8);
  EXPECT_EQ(list->First().Label(), "");
  EXPECT_FALSE(list->First().IsOnce());
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmIsOn"), 0u);
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmOnce"), 0u);
  EXPECT_EQ(list->First().PlaylistCount(), 0);
}

TEST_F(AlarmListTest, AHundredAlarmsLoadWithFewQueriesEachAndTheHundredAndFirstIsRefused) {
  CreateList();
  for (int i = 1; i < CAlarmList::kMaxAlarms; ++i) Add(i % 24, i % 60, "A" + std::to_string(i));
  std::string refusal;
  EXPECT_EQ(list->Add(&refusal), nullptr);
  EXPECT_EQ(refusal, CAlarmList::kTooMany);
  // Under Wine each query is a round trip to the wine server: an alarm asks for its own
  // values once each, and the program's settings are read once for all.
  const int before = env.registry.queries;
  CreateList();
  EXPECT_LE(env.registry.queries - before, 12 * CAlarmList::kMaxAlarms);
  ASSERT_EQ(list->Count(), CAlarmList::kMaxAlarms);
  EXPECT_EQ(list->At(99).Label(), "A99");
  EXPECT_EQ(list->At(99).GetMinute(), 39);
}

}  // namespace
