#include "setup/TimeFields.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "TestEnvironment.h"
#include "setup/SimpleAlarmUnit.h"
#include "shell/main.h"

namespace {

// The fields as the simple-mode window shows them.
class TimeFieldsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(env.Start());
    ASSERT_FALSE(env.Do([] { FormSimpleAlarm->OpenWindow(); }));
    ASSERT_TRUE(w().Visible());
  }
  static TFormSimpleAlarm& w() { return *FormSimpleAlarm; }
  static ui::Point Middle(const ui::Control& c) {
    return {w().Left() + c.Left() + c.Width() / 2, w().Top() + c.Top() + c.Height() / 2};
  }
  void Set(const char* hour, const char* minute) {
    w().MaskEditHour.SetCaption(hour);
    w().MaskEditMin.SetCaption(minute);
  }
  std::string Shown() const { return w().MaskEditHour.Caption() + ":" + w().MaskEditMin.Caption(); }

  TestEnvironment env;
};

TEST_F(TimeFieldsTest, EachClickStepsOnceAndWrapsWithoutTouchingTheOtherField) {
  EXPECT_EQ((ui::Point{w().MaskEditHour.Left(), w().MaskEditHour.Top()}), (ui::Point{104, 128}));
  EXPECT_EQ(w().MaskEditMin.GetFont().height, -19);
  const struct Case {
    const char *hour, *minute;
    ui::Image* arrow;
    ui::MouseButton button;
    const char* want;
  } cases[] = {
      {"23", "15", &w().ImageUp1, ui::MouseButton::Left, "00:15"},
      {"00", "15", &w().ImageDown1, ui::MouseButton::Right, "23:15"},
      {"07", "59", &w().ImageUp2, ui::MouseButton::Left, "07:00"},
      {"07", "00", &w().ImageDown2, ui::MouseButton::Middle, "07:59"},
      {"12", "34", &w().ImageUp2, ui::MouseButton::Left, "12:35"},
      // A stored hour out of range, as shown.
      {"30", "00", &w().ImageUp1, ui::MouseButton::Left, "00:00"},
      {"30", "00", &w().ImageDown1, ui::MouseButton::Left, "29:00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.hour) + ":" + c.minute + " -> " + c.want);
    Set(c.hour, c.minute);
    env.desktop.Click(Middle(*c.arrow), c.button);
    EXPECT_EQ(Shown(), c.want);
    EXPECT_FALSE(w().Timer.Enabled());
  }
}

TEST_F(TimeFieldsTest, AHeldArrowRepeatsAfter400MsThenEvery100MsUntilReleased) {
  Set("09", "00");
  ui::Image& up = w().ImageUp2;
  const ui::Point rest{up.Left(), up.Top()};
  const auto restPicture = up.Picture();
  const ui::Point at = Middle(up);

  // Released before the first repeat: exactly one step.
  env.desktop.Press(at);
  EXPECT_FALSE(env.RunFor(399));
  env.desktop.Release(at);
  EXPECT_FALSE(env.RunFor(1000));
  EXPECT_EQ(Shown(), "09:01");

  // Held for a second: the press, then 400, 500, ..., 1000 ms.
  Set("09", "00");
  env.desktop.Press(at);
  EXPECT_EQ((ui::Point{up.Left(), up.Top()}), (ui::Point{rest.x - 2, rest.y - 2}));
  EXPECT_NE(up.Picture(), restPicture);
  EXPECT_FALSE(env.RunFor(1000));
  EXPECT_EQ(Shown(), "09:08");
  env.desktop.Release(at);
  EXPECT_EQ((ui::Point{up.Left(), up.Top()}), rest);
  EXPECT_EQ(up.Picture(), restPicture);
  EXPECT_FALSE(env.RunFor(2000));
  EXPECT_EQ(Shown(), "09:08");
  EXPECT_EQ(w().Time.RepeatAction(), TimeFields::kMinuteUp);

  // Opening the window again forgets the repeat.
  ASSERT_FALSE(env.Do([] { FormSimpleAlarm->OpenWindow(); }));
  EXPECT_EQ(w().Time.RepeatAction(), TimeFields::kNone);
}

// Win+L, Ctrl+Alt+Del or Alt+Tab while an arrow is held: no release ever comes, and the
// field once went on stepping, even hidden, until the window was next opened.
TEST_F(TimeFieldsTest, AHeldArrowStopsWhenTheWindowLosesTheMouseOrItsActivation) {
  const struct Way {
    const char* name;
    std::function<void()> loseIt;
  } ways[] = {{"capture taken", [&] { env.desktop.TakeCapture(); }},
              {"cancel mode", [&] { env.desktop.CancelMode(w()); }},
              {"deactivated", [&] { env.desktop.LoseFocus(w()); }},
              {"another window captures", [&] { FormMain->SetCapture(); }}};
  ui::Image& down = w().ImageDown1;
  const ui::Point rest{down.Left(), down.Top()};
  const auto restPicture = down.Picture();
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    Set("12", "30");
    env.desktop.Press(Middle(down));
    EXPECT_FALSE(env.RunFor(450));  // the press, then the first repeat
    EXPECT_EQ(Shown(), "10:30");
    way.loseIt();
    EXPECT_FALSE(w().Timer.Enabled());
    EXPECT_EQ((ui::Point{down.Left(), down.Top()}), rest);
    EXPECT_EQ(down.Picture(), restPicture);
    EXPECT_FALSE(env.RunFor(3000));
    EXPECT_EQ(Shown(), "10:30");
    // The release that comes at last steps nothing more.
    env.desktop.Release(Middle(down));
    EXPECT_FALSE(env.RunFor(1000));
    EXPECT_EQ(Shown(), "10:30");
  }
}

TEST_F(TimeFieldsTest, AStepOtherThanOneEitherWayIsAnAssertionFailure) {
  for (int d : {0, 2, -2}) {
    SCOPED_TRACE(d);
    for (auto step : {&TimeFields::StepHour, &TimeFields::StepMinute}) {
      try {
        (w().Time.*step)(d);
        ADD_FAILURE() << "no assertion";
      } catch (const std::logic_error& e) {
        EXPECT_NE(std::string(e.what()).find("Assertion failure (SimpleAlarmUnit"), std::string::npos) << e.what();
      }
    }
  }
}

}  // namespace
