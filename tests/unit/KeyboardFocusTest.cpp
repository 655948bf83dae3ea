// The keyboard focus of the toolkit's forms, seen in the program's own windows: the order
// Tab takes, the keys on each kind of control, the mark, and the pet's menu key.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestEnvironment.h"
#include "alarm/AlarmUnit.h"
#include "desktop/OptionsForm.h"
#include "setup/PlayListAlarm.h"
#include "setup/SimpleAlarmUnit.h"
#include "shell/main.h"

namespace {

constexpr const char* kKey = TestEnvironment::kKey;
constexpr std::uint32_t kMarkOuter = ui::Rgb(16, 16, 16);

class KeyboardFocusTest : public ::testing::Test {
 protected:
  // The stored alarm: 06:30, off, Monday to Friday, simple mode.
  void SetUp() override {
    env.registry.PutDword(kKey, "AlarmHour", 6);
    env.registry.PutDword(kKey, "AlarmMin", 30);
    env.registry.PutDword(kKey, "AlarmIsOn", 0);
    env.registry.PutDword(kKey, "UsePlayist", 0);
    env.registry.PutString(kKey, "AlarmSound", "Sounds\\Alarms\\alarm0.wav");
    ASSERT_FALSE(env.Start());
  }
  void OpenAlarm() {
    ASSERT_FALSE(env.ChooseFromTrayMenu("Alarm ["));
    ASSERT_TRUE(w().Visible());
    ASSERT_EQ(env.desktop.ActiveForm(), &w());
  }
  static TFormSimpleAlarm& w() { return *FormSimpleAlarm; }
  void Press(ui::Key key, int times = 1) {
    for (int i = 0; i < times; ++i) ASSERT_FALSE(env.Do([&] { env.desktop.PressKey(key); }));
  }
  void Tab(int times = 1) { Press(ui::kVkTab, times); }
  void ShiftTab() { ASSERT_FALSE(env.Do([&] { env.desktop.PressShifted(ui::kVkTab); })); }
  // Tab pressed until the focus comes round to where it was first, listing every stop.
  std::vector<const ui::Control*> Stops(ui::Form& form) {
    std::vector<const ui::Control*> stops;
    for (int i = 0; i < 40; ++i) {
      Tab();
      const ui::Control* c = form.FocusedControl();
      if (!stops.empty() && c == stops.front()) break;
      stops.push_back(c);
    }
    return stops;
  }
  // Dark mark pixels on the composed surface around a control.
  static int MarkPixels(ui::Form& form, const ui::Control& c) {
    const ui::Bitmap& surface = form.Compose();
    const ui::Rect r = form.ToScreenPart(ui::Form::FocusMarkBounds(c));
    int n = 0;
    for (int y = r.top; y < r.top + r.height; ++y)
      for (int x = r.left; x < r.left + r.width; ++x)
        if (x >= 0 && y >= 0 && x < surface.Width() && y < surface.Height() && surface.At(x, y) == kMarkOuter) ++n;
    return n;
  }
  std::string Shown() const { return w().MaskEditHour.Caption() + ":" + w().MaskEditMin.Caption(); }

  TestEnvironment env;
};

TEST_F(KeyboardFocusTest, TabGoesRoundInReadingOrderTheDaysOneStopSkippingHiddenAndDisabledControls) {
  OpenAlarm();
  // A mouse user's window: no focus, no mark.
  EXPECT_EQ(w().FocusedControl(), nullptr);
  EXPECT_EQ(MarkPixels(w(), w().ImageOnOff), 0);
  const std::vector<const ui::Control*> all = {
      &w().ImageClose,  &w().ImageOnOff,        &w().Extras.NameField,  &w().MaskEditHour, &w().MaskEditMin,
      &w().Extras.OnceSwitch, &w().Days.Button(0), &w().ImageChange, &w().ImageTest,    &w().ImageOk,
      &w().ImageCancel, &w().ImagePlayListMode, &w().Extras.AllAlarms};
  EXPECT_EQ(Stops(w()), all);
  // Shift+Tab from the first goes round to the last.
  ASSERT_EQ(w().FocusedControl(), &w().ImageClose);
  ShiftTab();
  EXPECT_EQ(w().FocusedControl(), &w().Extras.AllAlarms);
  ShiftTab();
  EXPECT_EQ(w().FocusedControl(), &w().ImagePlayListMode);
  ShiftTab();
  EXPECT_EQ(w().FocusedControl(), &w().ImageCancel);
  // The mark shows round the focused control only, and goes with the focus.
  EXPECT_GT(MarkPixels(w(), w().ImageCancel), 0);
  EXPECT_EQ(MarkPixels(w(), w().ImageTest), 0);

  w().ImageTest.SetVisible(false);
  w().ImageChange.SetEnabled(false);
  std::vector<const ui::Control*> left = all;
  std::erase(left, &w().ImageTest);
  std::erase(left, &w().ImageChange);
  ShiftTab();
  EXPECT_EQ(w().FocusedControl(), &w().ImageOk);
  ShiftTab();
  EXPECT_EQ(w().FocusedControl(), &w().Days.Button(0)) << "the hidden and the disabled button are passed over";

  // Shown again, the window starts without a mark.
  Press(ui::kVkEscape);
  ASSERT_FALSE(w().Visible());
  OpenAlarm();
  EXPECT_EQ(w().FocusedControl(), nullptr);
  EXPECT_EQ(Stops(w()), left);
}

TEST_F(KeyboardFocusTest, SpaceAndEnterClickButtonsAndSwitchesAndElsewhereEnterIsOk) {
  OpenAlarm();
  Tab(2);
  ASSERT_EQ(w().FocusedControl(), &w().ImageOnOff);
  Press(ui::kVkSpace);
  EXPECT_TRUE(w().OnOffState());
  Press(ui::kVkReturn);
  EXPECT_FALSE(w().OnOffState()) << "Enter flips a switch of its own, and is not OK there";
  EXPECT_TRUE(w().Visible());
  // In the row of days Space flips the day, Enter is OK.
  Tab(5);
  ASSERT_EQ(w().FocusedControl(), &w().Days.Button(0));
  const int days = w().Days.Days();
  Press(ui::kVkSpace);
  EXPECT_EQ(w().Days.Days(), days ^ 1);
  Press(ui::kVkSpace);
  EXPECT_EQ(w().Days.Days(), days);
  // A push button: Space runs its release; the test plays and Enter stops it again.
  Tab(2);
  ASSERT_EQ(w().FocusedControl(), &w().ImageTest);
  Press(ui::kVkSpace);
  EXPECT_EQ(w().TestState(), "Stop");
  Press(ui::kVkReturn);
  EXPECT_EQ(w().TestState(), "Test");
  EXPECT_TRUE(w().Visible());
  // Enter in the time field is OK; so it is in the days.
  Tab(8);
  ASSERT_EQ(w().FocusedControl(), &w().MaskEditHour);
  Press(ui::kVkUpArrow);
  Press(ui::kVkReturn);
  EXPECT_FALSE(w().Visible());
  EXPECT_EQ(Alarm->GetHour(), 7);
  OpenAlarm();
  Tab(7);
  ASSERT_EQ(w().FocusedControl(), &w().Days.Button(0));
  Press(ui::kVkReturn);
  EXPECT_FALSE(w().Visible());
}

TEST_F(KeyboardFocusTest, UpAndDownStepATimeFieldRepeatingWhileHeldAndDigitsTypeIt) {
  OpenAlarm();
  // The first arrow key only shows the focus, on the first control.
  Press(ui::kVkDownArrow);
  EXPECT_EQ(w().FocusedControl(), &w().ImageClose);
  EXPECT_EQ(Shown(), "06:30");
  Tab(3);
  ASSERT_EQ(w().FocusedControl(), &w().MaskEditHour);
  // Held: one step at once, then the arrows' own repeat; the keyboard's repeat adds none.
  ASSERT_FALSE(env.Do([&] { env.desktop.KeyGoesDown(ui::kVkUpArrow); }));
  EXPECT_EQ(Shown(), "07:30");
  EXPECT_EQ(w().ImageUp1.Picture(), w().Time.aArrowUp) << "the arrow shows held";
  ASSERT_FALSE(env.RunFor(TimeFields::kFirstRepeatMs + 1));
  EXPECT_EQ(Shown(), "08:30");
  ASSERT_FALSE(env.Do([&] { env.desktop.KeyGoesDown(ui::kVkUpArrow, true); }));
  EXPECT_EQ(Shown(), "08:30");
  ASSERT_FALSE(env.RunFor(TimeFields::kRepeatMs));
  EXPECT_EQ(Shown(), "09:30");
  ASSERT_FALSE(env.Do([&] { env.desktop.KeyComesUp(ui::kVkUpArrow); }));
  ASSERT_FALSE(env.RunFor(1000));
  EXPECT_EQ(Shown(), "09:30");
  EXPECT_EQ(w().ImageUp1.Picture(), w().Time.iArrowUp);
  // Down, wrapping at the start of the range.
  Press('0');
  EXPECT_EQ(Shown(), "00:30");
  Press(ui::kVkDownArrow);
  EXPECT_EQ(Shown(), "23:30");
  // A held key that can no longer come up here (the window lost the keyboard) stops.
  ASSERT_FALSE(env.Do([&] { env.desktop.KeyGoesDown(ui::kVkDownArrow); }));
  ASSERT_FALSE(env.Do([&] { env.desktop.LoseFocus(w()); }));
  ASSERT_FALSE(env.RunFor(2000));
  EXPECT_EQ(Shown(), "22:30");
  ASSERT_FALSE(env.Do([] { w().Activate(); }));

  // Digits: two make a number in range, else each starts a new one.
  const struct {
    const char* typed;
    const char* hour;
  } cases[] = {{"23", "23"}, {"7", "07"}, {"25", "05"}, {"19", "19"}, {"123", "03"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    Tab();
    ShiftTab();  // the focus comes back: a new number
    for (const char* d = c.typed; *d; ++d) Press(ui::Key(*d));
    EXPECT_EQ(w().MaskEditHour.Caption(), c.hour);
  }
  Tab();
  ASSERT_EQ(w().FocusedControl(), &w().MaskEditMin);
  Press('5');
  Press('9');
  Press(ui::kVkUpArrow);
  EXPECT_EQ(Shown(), "03:00");
}

TEST_F(KeyboardFocusTest, ARowOfChoicesIsOneStopInsideWhichLeftAndRightMoveAndSpaceChooses) {
  ASSERT_FALSE(env.ChooseFromTrayMenu("Options\u2026"));
  TFormOptions& o = *FormOptions;
  ASSERT_EQ(env.desktop.ActiveForm(), &o);
  // Close, then the snooze row at its chosen 10 minutes.
  Tab(2);
  ASSERT_EQ(o.FocusedControl(), o.ChoiceImage(TFormOptions::Snooze, 10));
  Press(ui::kVkRightArrow, 2);
  EXPECT_EQ(o.FocusedControl(), o.ChoiceImage(TFormOptions::Snooze, 20));
  EXPECT_EQ(o.Edited().snoozeMinutes, 10) << "moving chooses nothing";
  Press(ui::kVkSpace);
  EXPECT_EQ(o.Edited().snoozeMinutes, 20);
  // Round at both ends of the row.
  Press(ui::kVkRightArrow, 2);
  EXPECT_EQ(o.FocusedControl(), o.ChoiceImage(TFormOptions::Snooze, 5));
  Press(ui::kVkLeftArrow);
  EXPECT_EQ(o.FocusedControl(), o.ChoiceImage(TFormOptions::Snooze, 30));
  // The next row is the next stop; coming back lands on the one left last.
  Tab();
  EXPECT_EQ(o.FocusedControl(), o.ChoiceImage(TFormOptions::GentleStart, 0));
  ShiftTab();
  EXPECT_EQ(o.FocusedControl(), o.ChoiceImage(TFormOptions::Snooze, 30));
  // Enter in a row is OK.
  Press(ui::kVkReturn);
  EXPECT_FALSE(o.Visible());
  EXPECT_EQ(Alarm->GetOptions().snoozeMinutes, 20);
}

TEST_F(KeyboardFocusTest, TheNativeListTakesTheKeyboardAndKeepsItsKeys) {
  ASSERT_FALSE(env.Do([] { FormPlayListAlarm->OpenWindow(); }));
  TFormPlayListAlarm& p = *FormPlayListAlarm;
  ASSERT_EQ(env.desktop.ActiveForm(), &p);
  for (int i = 0; i < 30 && p.FocusedControl() != &p.ListBoxPlayList; ++i) Tab();
  ASSERT_EQ(p.FocusedControl(), &p.ListBoxPlayList);
  const std::vector<ui::Control*> order = p.FocusOrder();
  const auto list = std::ranges::find(order, &p.ListBoxPlayList);
  // Its arrows are its own: the focus stays, and the time is not stepped.
  const std::string hour = p.MaskEditHour.Caption();
  Press(ui::kVkDownArrow);
  Press(ui::kVkSpace);
  EXPECT_EQ(p.FocusedControl(), &p.ListBoxPlayList);
  EXPECT_EQ(p.MaskEditHour.Caption(), hour);
  Tab();
  EXPECT_EQ(p.FocusedControl(), *(list + 1));
}

TEST_F(KeyboardFocusTest, TheMenuKeyAndShiftF10OpenThePetsMenuOverIt) {
  env.desktop.MenuChooser = [](const ui::headless::RecordedMenu&) { return -1; };
  ASSERT_FALSE(env.Do([] { FormMain->Activate(); }));
  ASSERT_EQ(env.desktop.ActiveForm(), FormMain);
  const ui::Point middle{FormMain->Left() + FormMain->Width() / 2, FormMain->Top() + FormMain->Height() / 2};
  std::size_t menus = env.desktop.Menus().size();
  Press(ui::kVkF10);
  EXPECT_EQ(env.desktop.Menus().size(), menus) << "F10 alone is no menu key";
  ASSERT_FALSE(env.Do([&] { env.desktop.PressShifted(ui::kVkF10); }));
  ASSERT_EQ(env.desktop.Menus().size(), ++menus);
  EXPECT_EQ(env.desktop.Menus().back().at, middle);
  Press(ui::kVkApps);
  ASSERT_EQ(env.desktop.Menus().size(), ++menus);
  EXPECT_EQ(env.desktop.Menus().back().at, middle);
}

}  // namespace
