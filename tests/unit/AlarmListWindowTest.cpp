// The alarm list window and the set-up windows editing one alarm each, in the running
// program on the headless desktop.
#include "setup/AlarmListWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "RingHelpers.h"
#include "TestEnvironment.h"
#include "alarm/AlarmList.h"
#include "alarm/AlarmTexts.h"
#include "desktop/MyMessageBoxUnit.h"
#include "setup/PlayListAlarm.h"
#include "setup/SimpleAlarmUnit.h"
#include "shell/main.h"
#include "ui/headless/HeadlessControls.h"

namespace {
using namespace ring;
const std::string kKey = TestEnvironment::kKey;
std::string Sub(int id) { return kKey + "\\Alarms\\" + std::to_string(id); }

constexpr ui::Key kVkEnd = 0x23, kVkHome = 0x24, kVkDown = 0x28, kVkUp = 0x26, kVkSpace = 0x20, kVkDelete = 0x2E;

class AlarmListWindowTest : public ::testing::Test {
 protected:
  void Further(int id, int h, int m, const std::string& label, int days = 127, bool once = false) {
    env.registry.PutDword(Sub(id), "AlarmIsOn", 1);
    env.registry.PutDword(Sub(id), "AlarmHour", std::uint32_t(h));
    env.registry.PutDword(Sub(id), "AlarmMin", std::uint32_t(m));
    env.registry.PutDword(Sub(id), "AlarmDays", std::uint32_t(days));
    if (once) env.registry.PutDword(Sub(id), "AlarmOnce", 1);
    if (!label.empty()) env.registry.PutString(Sub(id), "AlarmLabel", label);
  }
  void Open() {
    ASSERT_FALSE(env.ChooseFromTrayMenu("Alarm ["));
    ASSERT_TRUE(list().Visible());
  }
  static TFormAlarmList& list() { return *FormAlarmList; }
  static TFormSimpleAlarm& simple() { return *FormSimpleAlarm; }
  void Key(ui::Key key) {
    ASSERT_FALSE(env.Do([&] { env.desktop.PressKey(key); }));
  }
  void Char(ui::Form& form, char c) {
    ASSERT_FALSE(env.Do([&] { ui::Application::Instance().Dispatch([&] { form.HandleKeyPress(c); }); }));
  }
  void Click(ui::Form& form, const ui::Control& c, int dx = -1, int dy = -1) {
    const ui::Point at{form.Left() + c.Left() + (dx < 0 ? c.Width() / 2 : dx),
                       form.Top() + c.Top() + (dy < 0 ? c.Height() / 2 : dy)};
    ASSERT_FALSE(env.Do([&] { env.desktop.Click(at); }));
  }
  // The row's place on the window, from the top of the rows.
  void ClickRow(int row) { Click(list(), list().Area, 200, row * kRowHeight + 20); }
  // Answers the skinned message box that `act` opens (OK or Cancel); returns its text.
  std::string Answered(bool ok, const std::function<void()>& act) {
    std::string text = "(no message)";
    env.desktop.PostAfter(50, [&, ok] {
      if (!FormMyMessageBox->Modal()) return;
      text = FormMyMessageBox->LabelText.Caption();
      ui::Application::Instance().Dispatch([ok] { FormMyMessageBox->HandleKeyPress(ok ? 13 : 27); });
    });
    act();
    return text;
  }
  std::vector<std::string> RowTimes() {
    std::vector<std::string> out;
    for (int id : list().Order()) out.push_back(TextsOf(*Alarms->ById(id), LocalNow()).time);
    return out;
  }

  TestEnvironment env;  // noon on Saturday 1 January 2000
};

TEST(AlarmTexts, WaitsRoundUpToTheMinuteAndRepeatsNameTheDays) {
  EXPECT_EQ(WaitText(7 * 3600 + 12 * 60), "7 h 12 min");
  EXPECT_EQ(WaitText(7 * 3600 + 12 * 60 - 59), "7 h 12 min");
  EXPECT_EQ(WaitText(7 * 3600 + 12 * 60 + 1), "7 h 13 min");
  EXPECT_EQ(WaitText(30), "1 min");
  EXPECT_EQ(WaitText(3 * 3600), "3 h");
  EXPECT_EQ(WaitText(2 * 86400 + 60), "2 d 1 min");
}

TEST_F(AlarmListWindowTest, RowsAreSortedByTimeAndSayRepeatNameAndState) {
  env.kernel.SetTimeOfDay(23, 47, 30);
  PresetAlarm(env, 21, 0);
  env.registry.PutString(kKey, "AlarmLabel", "Pills");
  Further(1, 7, 0, "Work", 0x1F);
  Further(2, 9, 0, "", 0x60);
  Further(3, 14, 30, "Dentist, and ask about the bill and the next visit", 127, true);
  Further(4, 6, 15, "Gym", 0x15);
  env.registry.PutDword(Sub(4), "AlarmIsOn", 0);
  ASSERT_FALSE(env.Start());
  Open();
  EXPECT_EQ(RowTimes(), (std::vector<std::string>{"06:15", "07:00", "09:00", "14:30", "21:00"}));
  auto row = [](int i) -> ListRow& { return list().Rows[std::size_t(i)]; };
  EXPECT_EQ(row(0).Repeat.Caption(), "Mon, Wed, Fri");
  EXPECT_EQ(row(0).State.Caption(), "") << "an alarm that is off tells no state";
  EXPECT_EQ(row(1).Name.Caption(), "Work");
  EXPECT_EQ(row(1).Repeat.Caption(), "Weekdays");
  // Saturday 23:47:30 to Monday 07:00.
  EXPECT_EQ(row(1).State.Caption(), "in 1 d 7 h 13 min");
  EXPECT_EQ(row(2).Repeat.Caption(), "Weekends");
  EXPECT_EQ(row(2).State.Caption(), "in 9 h 13 min");
  EXPECT_EQ(row(3).Repeat.Caption(), "Once");
  const std::string name = row(3).Name.Caption();
  EXPECT_LT(name.size(), std::string("Dentist, and ask about the bill and the next visit").size());
  EXPECT_EQ(name.substr(name.size() - 3), "\u2026");
  EXPECT_EQ(row(4).Repeat.Caption(), "Every day");
  EXPECT_EQ(row(4).Time.Caption(), "21:00");
  EXPECT_TRUE(row(4).Switch.Visible());
  EXPECT_FALSE(row(5).Switch.Visible()) << "a row below the last alarm is empty";
  // A skip shows on its own row.
  Alarms->ById(2)->ToggleSkip();
  ASSERT_FALSE(env.Do([] { list().Refresh(); }));
  EXPECT_EQ(row(2).State.Caption(), "Skipped: Sun 09:00");
}

TEST_F(AlarmListWindowTest, AddThenCancelAddsNothingAndAddThenOkAddsANewAlarmOnly) {
  PresetAlarm(env, 7, 30);
  Further(1, 21, 0, "Pills");
  ASSERT_FALSE(env.Start());
  Open();
  Click(list(), list().ImageAdd);
  ASSERT_TRUE(simple().Visible());
  EXPECT_TRUE(simple().Editing().isNew);
  // A new alarm: on, the next whole hour, every day, no name, the program's own sound.
  EXPECT_TRUE(simple().OnOffState());
  EXPECT_EQ(simple().MaskEditHour.Caption() + ":" + simple().MaskEditMin.Caption(), "13:00");
  EXPECT_EQ(simple().Days.Days(), 127);
  EXPECT_EQ(simple().Extras.Name(), "");
  EXPECT_EQ(simple().SoundFile(), kDefaultAlarmSound);
  Click(simple(), simple().ImageCancel);
  EXPECT_EQ(Alarms->Count(), 2);
  EXPECT_FALSE(env.registry.HasKey(Sub(2)));

  Click(list(), list().ImageAdd);
  ui::headless::HeadlessEditPeer::Of(simple().Extras.NameField).Type("Таблетки 21:00");
  const std::string before = env.registry.String(kKey, "AlarmLabel");
  Click(simple(), simple().ImageOk);
  ASSERT_EQ(Alarms->Count(), 3);
  EXPECT_EQ(env.registry.String(Sub(2), "AlarmLabel"), "Таблетки 21:00");
  EXPECT_EQ(env.registry.Dword(Sub(2), "AlarmHour"), 13u);
  EXPECT_EQ(env.registry.Dword(Sub(2), "AlarmIsOn"), 1u);
  EXPECT_EQ(env.registry.String(kKey, "AlarmLabel"), before);
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmHour"), 7u);
  ASSERT_FALSE(env.notifyIcon.balloons.empty());
  EXPECT_EQ(env.notifyIcon.balloons.back().text, "Alarm set for 1 h from now (Sat 13:00)");
  EXPECT_EQ(RowTimes(), (std::vector<std::string>{"07:30", "13:00", "21:00"}));
}

TEST_F(AlarmListWindowTest, EditStoresOnlyThatAlarmAndOnceGreysTheDays) {
  PresetAlarm(env, 7, 30);
  Further(1, 21, 0, "Pills");
  ASSERT_FALSE(env.Start());
  Open();
  // Double-click on the second row (21:00) edits it.
  ClickRow(1);
  ClickRow(1);
  ASSERT_TRUE(simple().Visible());
  EXPECT_EQ(simple().Editing().id, 1);
  EXPECT_EQ(simple().Extras.Name(), "Pills");
  EXPECT_EQ(simple().MaskEditHour.Caption(), "21");
  // Once: the days grey out and take no click; they are kept for later.
  Click(simple(), simple().Extras.OnceSwitch);
  EXPECT_TRUE(simple().Extras.Once());
  EXPECT_FALSE(simple().Days.Button(0).Enabled());
  Click(simple(), simple().Days.Button(2));
  EXPECT_EQ(simple().Days.Days(), 127);
  Click(simple(), simple().ImageUp1);
  Click(simple(), simple().ImageOk);
  EXPECT_EQ(env.registry.Dword(Sub(1), "AlarmHour"), 22u);
  EXPECT_EQ(env.registry.Dword(Sub(1), "AlarmOnce"), 1u);
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmHour"), 7u);
  EXPECT_FALSE(env.registry.Has(kKey, "AlarmOnce"));
  EXPECT_EQ(list().Rows[1].Repeat.Caption(), "Once");
  // Opened again, Once is on and the days grey; off again, they come back.
  ClickRow(1);
  Char(list(), '\r');
  EXPECT_TRUE(simple().Extras.Once());
  EXPECT_FALSE(simple().Days.Button(0).Enabled());
  Click(simple(), simple().Extras.OnceSwitch);
  EXPECT_TRUE(simple().Days.Button(0).Enabled());
}

TEST_F(AlarmListWindowTest, DeletingTheFirstAlarmAsksThenAnotherTakesItsPlace) {
  PresetAlarm(env, 7, 30);
  env.registry.PutString(kKey, "AlarmLabel", "Work");
  Further(3, 21, 0, "Pills");
  ASSERT_FALSE(env.Start());
  Open();
  ClickRow(0);
  EXPECT_EQ(list().Chosen(), 0);
  // Cancel keeps it.
  EXPECT_EQ(Answered(false, [&] { Click(list(), list().ImageDelete); }), TFormAlarmList::kDeleteQuestion);
  EXPECT_EQ(Alarms->Count(), 2);
  EXPECT_EQ(Answered(true, [&] { Click(list(), list().ImageDelete); }), TFormAlarmList::kDeleteQuestion);
  ASSERT_EQ(Alarms->Count(), 1);
  EXPECT_EQ(env.registry.String(kKey, "AlarmLabel"), "Pills");
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmHour"), 21u);
  EXPECT_FALSE(env.registry.HasKey(Sub(3)));
  EXPECT_EQ(RowTimes(), (std::vector<std::string>{"21:00"}));
  EXPECT_EQ(list().Rows[0].Name.Caption(), "Pills");
  // With one alarm left the tray's item opens its own window again.
  ASSERT_FALSE(env.ChooseFromTrayMenu("Alarm ["));
  EXPECT_TRUE(simple().Visible());
  EXPECT_EQ(simple().Editing().id, 0);
}

TEST_F(AlarmListWindowTest, TheKeyboardMovesSwitchesEditsDeletesAndCloses) {
  PresetAlarm(env, 7, 30);
  for (int id = 1; id <= 8; ++id) Further(id, 8 + id, 0, "A" + std::to_string(id));
  ASSERT_FALSE(env.Start());
  Open();
  EXPECT_EQ(list().FocusedControl(), &list().Area);
  EXPECT_EQ(list().Chosen(), 0);
  Key(kVkDown);
  Key(kVkDown);
  EXPECT_EQ(list().Chosen(), 2);
  Key(kVkEnd);
  EXPECT_EQ(list().Chosen(), 8);
  EXPECT_EQ(list().FirstShown(), 3) << "the chosen row scrolls into sight";
  EXPECT_TRUE(list().ImageThumb.Visible());
  Key(kVkHome);
  EXPECT_EQ(list().FirstShown(), 0);
  // The wheel scrolls without choosing.
  ASSERT_FALSE(env.Do([] { list().HandleMouseWheel(-240); }));
  EXPECT_EQ(list().FirstShown(), 2);
  EXPECT_EQ(list().Chosen(), 0);
  Key(kVkUp);
  EXPECT_EQ(list().Chosen(), 0);
  // Space switches the chosen alarm off, and on again.
  Key(kVkSpace);
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmIsOn"), 0u);
  Key(kVkSpace);
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmIsOn"), 1u);
  // Delete asks; Enter edits; Esc closes.
  Key(kVkDown);
  Answered(true, [&] { Key(kVkDelete); });
  EXPECT_EQ(Alarms->Count(), 8);
  EXPECT_FALSE(env.registry.HasKey(Sub(1)));
  EXPECT_EQ(list().Chosen(), 1);
  Char(list(), '\r');
  ASSERT_TRUE(simple().Visible());
  EXPECT_EQ(simple().Editing().id, 2);
  Char(list(), 27);
  EXPECT_FALSE(list().Visible());
}

TEST_F(AlarmListWindowTest, TheHundredAndFirstAlarmIsRefused) {
  PresetAlarm(env, 7, 30);
  for (int id = 1; id < CAlarmList::kMaxAlarms; ++id) Further(id, id % 24, id % 60, "");
  ASSERT_FALSE(env.Start());
  ASSERT_EQ(Alarms->Count(), CAlarmList::kMaxAlarms);
  Open();
  EXPECT_EQ(Answered(true, [&] { Click(list(), list().ImageAdd); }), CAlarmList::kTooMany);
  EXPECT_FALSE(simple().Visible());
  EXPECT_EQ(Alarms->Count(), CAlarmList::kMaxAlarms);
}

}  // namespace
