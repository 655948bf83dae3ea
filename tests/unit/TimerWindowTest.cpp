// The timer window in the running program on the headless desktop: what Start hands on,
// the fields' range, a refused start, and the length and name it offers again.
#include "setup/TimerWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestEnvironment.h"
#include "alarm/Reestr.h"
#include "desktop/MyMessageBoxUnit.h"
#include "setup/TimerLast.h"
#include "ui/Application.h"
#include "ui/headless/HeadlessControls.h"

namespace {
const std::string kKey = TestEnvironment::kKey;

struct Started {
  std::string label;
  std::int64_t seconds;
};

class TimerWindowTest : public ::testing::Test {
 protected:
  void Start() {
    ASSERT_FALSE(env.Start());
    w().OnStart = [this](const std::string& label, std::int64_t seconds, std::string* refusal) {
      started.push_back({label, seconds});
      if (!refuse.empty()) *refusal = refuse;
      return refuse.empty();
    };
  }
  void Open() {
    ASSERT_FALSE(env.Do([] { FormTimerStart->OpenWindow(); }));
    ASSERT_TRUE(w().Visible());
  }
  static TFormTimerStart& w() { return *FormTimerStart; }
  void Click(const ui::Control& c) {
    const ui::Point at{w().Left() + c.Left() + c.Width() / 2, w().Top() + c.Top() + c.Height() / 2};
    ASSERT_FALSE(env.Do([&] { env.desktop.Click(at); }));
  }
  void Char(char c) {
    ASSERT_FALSE(env.Do([c] { ui::Application::Instance().Dispatch([c] { w().HandleKeyPress(c); }); }));
  }
  ui::Image& Quick(int minutes) {
    for (std::size_t i = 0; i < TFormTimerStart::kQuickMinutes.size(); ++i)
      if (TFormTimerStart::kQuickMinutes[i] == minutes) return w().QuickImages[i];
    throw std::logic_error("no quick choice of " + std::to_string(minutes) + " min");
  }
  std::string Shown() const {
    return w().EditHours.Caption() + ":" + w().EditMinutes.Caption() + ":" + w().EditSeconds.Caption();
  }
  // The text of the skinned message box that `act` opens (answered with OK).
  std::string Message(const std::function<void()>& act) {
    std::string text = "(no message)";
    env.desktop.PostAfter(50, [&] {
      if (!FormMyMessageBox->Modal()) return;
      text = FormMyMessageBox->LabelText.Caption();
      ui::Application::Instance().Dispatch([] { FormMyMessageBox->HandleKeyPress(13); });
    });
    act();
    return text;
  }
  // As the next start reads them (the reader's own test checks it against the registry).
  static LastTimer Stored() { return ReadLastTimer(*Reestr); }

  TestEnvironment env;
  std::vector<Started> started;
  std::string refuse;
};

TEST_F(TimerWindowTest, AQuickChoiceFillsTheFieldsAndStartHandsOnThatLengthAndTheNameThenOffersThemAgain) {
  Start();
  Open();
  EXPECT_EQ(w().Caption(), "Timer");
  EXPECT_EQ(Shown(), "00:05:00") << "the first use";
  EXPECT_EQ(w().NameField.Text(), "");
  Click(Quick(25));
  EXPECT_EQ(Shown(), "00:25:00");
  Click(Quick(1));
  EXPECT_EQ(Shown(), "00:01:00");
  EXPECT_TRUE(started.empty()) << "a quick choice only fills the fields";
  EXPECT_TRUE(w().Visible());
  ui::headless::HeadlessEditPeer::Of(w().NameField).Type("Tea");
  Click(w().ImageStart);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].label, "Tea");
  EXPECT_EQ(started[0].seconds, 60);
  EXPECT_FALSE(w().Visible());

  // Cancel (and Esc) start nothing and forget nothing; Enter is Start.
  Open();
  EXPECT_EQ(Shown(), "00:01:00");
  EXPECT_EQ(w().NameField.Text(), "Tea");
  Click(Quick(45));
  Click(w().ImageCancel);
  EXPECT_FALSE(w().Visible());
  Open();
  Char(27);
  EXPECT_FALSE(w().Visible());
  EXPECT_EQ(started.size(), 1u);
  EXPECT_EQ(Stored().seconds, 60);
  Open();
  Click(Quick(3));
  ui::headless::HeadlessEditPeer::Of(w().NameField).Type(" and biscuits");
  Char(13);
  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[1].label, "Tea and biscuits");
  EXPECT_EQ(started[1].seconds, 180);
  EXPECT_EQ(Stored().seconds, 180);
  EXPECT_EQ(Stored().label, "Tea and biscuits");
}

TEST_F(TimerWindowTest, HoursGoTo99AndMinutesAndSecondsWrapAt59AsTheAlarmFieldsDo) {
  Start();
  Open();
  const struct Case {
    const char* from;
    ui::Image* arrow;
    const char* want;
  } cases[] = {
      {"99:00:00", &w().ImageUp1, "00:00:00"},   {"00:10:00", &w().ImageDown1, "99:10:00"},
      {"23:00:00", &w().ImageUp1, "24:00:00"},   {"01:59:30", &w().ImageUp2, "01:00:30"},
      {"00:00:59", &w().ImageUp3, "00:00:00"},   {"00:07:00", &w().ImageDown3, "00:07:59"},
      {"05:06:07", &w().ImageDown3, "05:06:06"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.from) + " -> " + c.want);
    const std::string from = c.from;
    w().Time.Load(std::stoi(from.substr(0, 2)), std::stoi(from.substr(3, 2)), std::stoi(from.substr(6, 2)));
    Click(*c.arrow);
    EXPECT_EQ(Shown(), c.want);
  }
  // Typed: the hours take two digits up to 99, the seconds no more than 59.
  w().Time.Load(0, 0, 0);
  w().SetFocusedControl(&w().EditHours);
  Char('9');
  Char('9');
  w().SetFocusedControl(&w().EditSeconds);
  Char('7');
  Char('5');
  EXPECT_EQ(Shown(), "99:00:05");
  w().Time.Load(99, 59, 59);
  Click(w().ImageStart);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].seconds, 99 * 3600 + 59 * 60 + 59);
  Open();
  EXPECT_EQ(Shown(), "99:59:59");
}

TEST_F(TimerWindowTest, ARefusedStartKeepsTheWindowOpenAndSaysWhyAndNothingIsRemembered) {
  Start();
  Open();
  // No length: refused here, before anyone is asked.
  w().Time.Load(0, 0, 0);
  EXPECT_EQ(Message([&] { Click(w().ImageStart); }), TFormTimerStart::kNoTime);
  EXPECT_TRUE(started.empty());
  EXPECT_TRUE(w().Visible());

  refuse = "There are 20 timers already.";
  Click(Quick(10));
  ui::headless::HeadlessEditPeer::Of(w().NameField).Type("Washing");
  EXPECT_EQ(Message([&] { Click(w().ImageStart); }), refuse);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_TRUE(w().Visible());
  // The user's choice stays for another try, also when the window is asked for again.
  Open();
  EXPECT_EQ(Shown(), "00:10:00");
  EXPECT_EQ(w().NameField.Text(), "Washing");
  EXPECT_FALSE(env.registry.Has(kKey, LastTimer::kSecondsValue));
  EXPECT_FALSE(env.registry.Has(kKey, LastTimer::kLabelValue));

  // Refused without a reason: a reason all the same.
  refuse.clear();
  w().OnStart = [this](const std::string&, std::int64_t, std::string*) { return false; };
  EXPECT_EQ(Message([&] { Click(w().ImageStart); }), TFormTimerStart::kNotStarted);
  EXPECT_TRUE(w().Visible());
}

TEST(TimerWindow, EachRememberedValueIsReadOnItsOwnAndADamagedOneGivesItsDefaultAlone) {
  using Registry = platform::fake::FakeRegistry;
  const struct Case {
    const char* what;
    std::function<void(Registry&)> damage;
    const char* shown;
    const char* name;
  } cases[] = {
      {"length as text", [](Registry& r) { r.PutString(kKey, LastTimer::kSecondsValue, "600"); }, "00:05:00", "Call"},
      {"length 0", [](Registry& r) { r.PutDword(kKey, LastTimer::kSecondsValue, 0); }, "00:05:00", "Call"},
      {"length past 99:59:59", [](Registry& r) { r.PutDword(kKey, LastTimer::kSecondsValue, 360000); }, "00:05:00",
       "Call"},
      {"name as a number", [](Registry& r) { r.PutDword(kKey, LastTimer::kLabelValue, 7); }, "00:01:30", ""},
      {"name too long", [](Registry& r) { r.PutString(kKey, LastTimer::kLabelValue, std::string(101, 'x')); },
       "00:01:30", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestEnvironment fresh;
    fresh.registry.PutDword(kKey, LastTimer::kSecondsValue, 90);
    fresh.registry.PutString(kKey, LastTimer::kLabelValue, "Call");
    c.damage(fresh.registry);
    ASSERT_FALSE(fresh.Start());
    ASSERT_FALSE(fresh.Do([] { FormTimerStart->OpenWindow(); }));
    const TFormTimerStart& w = *FormTimerStart;
    EXPECT_EQ(w.EditHours.Caption() + ":" + w.EditMinutes.Caption() + ":" + w.EditSeconds.Caption(), c.shown);
    EXPECT_EQ(w.NameField.Text(), c.name);
    // Reading changes nothing.
    EXPECT_TRUE(fresh.registry.Has(kKey, LastTimer::kSecondsValue));
    EXPECT_TRUE(fresh.registry.Has(kKey, LastTimer::kLabelValue));
  }
}

}  // namespace
