// What a screen reader is told of each window (names, roles, states, values), and the
// system's colours in high contrast.
#include "ui/Accessible.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "RingHelpers.h"
#include "TestEnvironment.h"
#include "desktop/About.h"
#include "desktop/MyMessageBoxUnit.h"
#include "desktop/OptionsForm.h"
#include "setup/AddDirectoryDialog.h"
#include "setup/AlarmListWindow.h"
#include "setup/PlayListAlarm.h"
#include "setup/SimpleAlarmUnit.h"
#include "setup/TimerWindow.h"
#include "shell/main.h"
#include "ui/Contrast.h"
#include "ui/ListBox.h"
#include "ui/TreeView.h"

namespace {

// "role:name" of each control a reader is told of, in order.
std::vector<std::string> Heard(const ui::Form& form) {
  std::vector<std::string> heard;
  for (const ui::Control* c : ui::AccessibleControls(form))
    heard.push_back(std::string(ui::RoleName(c->Access().role)) + ":" + ui::NameOf(*c));
  return heard;
}

std::vector<ui::Form*> ShownWindows() {
  return {FormMain, FormSimpleAlarm, FormPlayListAlarm, DialogAddDir, AboutForm, FormMyMessageBox, FormOptions,
          FormAlarmList, FormTimerStart};
}

// The colours drawn within a part of a form's surface (design pixels).
std::set<std::uint32_t> ColoursIn(ui::Form& form, ui::Rect part) {
  const ui::Bitmap& shown = form.Compose();
  const ui::Rect r = form.ToScreenPart(part);
  std::set<std::uint32_t> colours;
  for (int y = r.top; y < r.top + r.height; ++y)
    for (int x = r.left; x < r.left + r.width; ++x) colours.insert(shown.At(x, y));
  return colours;
}

class AccessibleTest : public ::testing::Test {
 protected:
  void Start() { ASSERT_FALSE(env.Start()); }
  TestEnvironment env;
};

TEST_F(AccessibleTest, EveryControlThatActsIsToldToAReaderAndNamed) {
  Start();
  for (ui::Form* form : ShownWindows()) {
    ASSERT_NE(form, nullptr);
    const std::vector<ui::Control*> told = ui::AccessibleControls(*form);
    const auto where = [form](const ui::Control* c) {
      return form->Caption() + " at " + std::to_string(c->Left()) + "," + std::to_string(c->Top());
    };
    for (const ui::Control* c : form->Controls()) {
      const bool acts = c->OnMouseUp || c->OnClick || dynamic_cast<const ui::ListBox*>(c) ||
                        dynamic_cast<const ui::TreeView*>(c);
      if (acts) {
        EXPECT_NE(std::find(told.begin(), told.end(), c), told.end()) << where(c);
      }
    }
    std::set<std::string> names;
    for (const ui::Control* c : told) {
      const ui::Role role = c->Access().role;
      EXPECT_FALSE(ui::NameOf(*c).empty()) << where(c);
      // Two controls of one name could not be told apart (the static texts may repeat).
      if (role != ui::Role::StaticText) {
        EXPECT_TRUE(names.insert(ui::NameOf(*c)).second) << where(c) << " " << ui::NameOf(*c);
      }
    }
  }
}

TEST_F(AccessibleTest, TheSimpleModeWindowReadsInItsOrderWithItsStatesAndValues) {
  ring::PresetAlarm(env, 23, 5);
  env.registry.PutDword(TestEnvironment::kKey, "AlarmIsOn", 0);
  Start();
  ASSERT_FALSE(env.ChooseFromTrayMenu("Alarm ["));
  TFormSimpleAlarm& w = *FormSimpleAlarm;
  ASSERT_TRUE(w.Visible());
  const std::vector<std::string> expected = {
      "spin box:Hour",        "spin box:Minute",         "text:alarm0.wav",        "push button:Close",
      "check box:Alarm on",   "push button:Hour up",     "push button:Hour down",  "push button:Minute up",
      "push button:Minute down", "push button:Change...", "push button:Test",      "push button:OK",
      "push button:Cancel",   "push button:Playlist mode", "check box:Monday",     "check box:Tuesday",
      "check box:Wednesday",  "check box:Thursday",      "check box:Friday",       "check box:Saturday",
      "check box:Sunday",     "edit:Name",               "check box:Once",         "push button:All alarms"};
  EXPECT_EQ(Heard(w), expected);

  // The fields' values follow the arrows, across the wrap.
  EXPECT_EQ(ui::ValueOf(w.MaskEditHour), "23");
  EXPECT_EQ(ui::ValueOf(w.MaskEditMin), "05");
  env.desktop.Click({w.Left() + w.ImageUp1.Left() + 5, w.Top() + w.ImageUp1.Top() + 5});
  EXPECT_EQ(ui::ValueOf(w.MaskEditHour), "00");
  // A button has no value; a field is not a check box.
  EXPECT_EQ(ui::ValueOf(w.ImageOk), "");
  EXPECT_FALSE(ui::StateOf(w.MaskEditHour).checked);

  // The switches tell their state as it is now, without being declared again.
  EXPECT_FALSE(ui::StateOf(w.ImageOnOff).checked);
  env.desktop.Click({w.Left() + w.ImageOnOff.Left() + 5, w.Top() + w.ImageOnOff.Top() + 5});
  EXPECT_TRUE(ui::StateOf(w.ImageOnOff).checked);
  ui::Image& monday = w.Days.Button(0);
  const bool mondayOn = ui::StateOf(monday).checked;
  env.desktop.Click({w.Left() + monday.Left() + 5, w.Top() + monday.Top() + 5});
  EXPECT_NE(ui::StateOf(monday).checked, mondayOn);
  EXPECT_TRUE(ui::StateOf(w.ImageOk).focusable);
  EXPECT_FALSE(ui::StateOf(w.LabelMusic).focusable);
}

TEST_F(AccessibleTest, AReaderIsToldWhereTheKeyboardIsAndInHighContrastItsMarkIsTheHighlight) {
  ring::PresetAlarm(env, 7, 30);
  Start();
  ASSERT_FALSE(env.ChooseFromTrayMenu("Alarm ["));
  TFormSimpleAlarm& w = *FormSimpleAlarm;
  ASSERT_EQ(env.desktop.ActiveForm(), &w);
  for (const ui::Control* c : ui::AccessibleControls(w)) EXPECT_FALSE(ui::StateOf(*c).focused);
  ASSERT_FALSE(env.Do([&] { env.desktop.PressKey(ui::kVkTab); }));
  const ui::Control* focused = w.FocusedControl();
  ASSERT_NE(focused, nullptr);
  for (const ui::Control* c : ui::AccessibleControls(w)) EXPECT_EQ(ui::StateOf(*c).focused, c == focused) << ui::NameOf(*c);

  const ui::Rect mark = ui::Form::FocusMarkBounds(*focused);
  const std::uint32_t highlight = ui::Rgb(26, 235, 255);
  EXPECT_FALSE(ColoursIn(w, mark).count(highlight));
  env.desktop.SetHighContrast(true);
  ASSERT_FALSE(env.RunFor(10));
  EXPECT_TRUE(ColoursIn(w, mark).count(highlight));
  env.desktop.SetHighContrast(false);
  ASSERT_FALSE(env.RunFor(10));
  EXPECT_FALSE(ColoursIn(w, mark).count(highlight));
}

TEST_F(AccessibleTest, TheRingingButtonsAreHiddenUntilARingAndTheSnoozeButtonSaysItsLength) {
  env.kernel.SetTimeOfDay(11, 59, 58);
  ring::PresetAlarm(env, 12, 0);
  env.registry.PutDword(TestEnvironment::kKey, "SnoozeMinutes", 15);
  Start();
  EXPECT_TRUE(ui::StateOf(FormMain->ImageStop).invisible);
  EXPECT_TRUE(ui::StateOf(FormMain->Image10MinMore).invisible);
  ASSERT_TRUE(ring::RunUntil(env, ring::RingingLayout, 5000));
  EXPECT_FALSE(ui::StateOf(FormMain->ImageStop).invisible);
  EXPECT_EQ(Heard(*FormMain), (std::vector<std::string>{"push button:Stop", "push button:15 min more"}));
}

TEST_F(AccessibleTest, TheMessageBoxKeepsItsCaptionAndIsNamedByItsMessage) {
  Start();
  env.desktop.PostAfter(50, [] {
    ASSERT_TRUE(FormMyMessageBox->Modal());
    EXPECT_EQ(FormMyMessageBox->Caption(), "FormMyMessageBox");
    EXPECT_EQ(ui::NameOf(*FormMyMessageBox), "File not found");
    EXPECT_EQ(Heard(*FormMyMessageBox),
              (std::vector<std::string>{"push button:OK", "text:File not found", "push button:Close", "push button:Cancel"}));
    // Its Cancel shows only when it asks.
    EXPECT_TRUE(ui::StateOf(FormMyMessageBox->ImageCancel).invisible);
    ui::Application::Instance().Dispatch([] { FormMyMessageBox->HandleKeyPress(13); });
  });
  ASSERT_FALSE(env.Do([] { MyMessageBox("File not found"); }));
  EXPECT_FALSE(FormMyMessageBox->Visible());
  // Any other window is named by its caption.
  EXPECT_EQ(ui::NameOf(*AboutForm), "About");
}

TEST_F(AccessibleTest, HighContrastDrawsTheProgramsOwnTextInTheSystemColoursAndBack) {
  Start();
  ASSERT_FALSE(env.ChooseFromTrayMenu("About"));
  TAboutForm& about = *AboutForm;
  const ui::Rect caption = about.Label4.Bounds(), link = about.Label1.Bounds();
  const std::uint32_t black = ui::Rgb(0, 0, 0), white = ui::Rgb(255, 255, 255), yellow = ui::Rgb(255, 255, 0);
  EXPECT_TRUE(ColoursIn(about, caption).count(black));
  EXPECT_TRUE(ColoursIn(about, link).count(ui::Rgb(0, 0, 255)));
  EXPECT_EQ(ui::FocusMarkColour(ui::Rgb(1, 2, 3)), ui::Rgb(1, 2, 3));

  // The user switches it on: the window is drawn again by itself, its labels standing on the
  // system's window colour, in its text colour (links in the link colour), the art as it was.
  env.desktop.SetHighContrast(true);
  ASSERT_FALSE(env.RunFor(10));
  EXPECT_EQ(ColoursIn(about, caption), (std::set<std::uint32_t>{black, white}));
  const auto linkColours = ColoursIn(about, link);
  EXPECT_TRUE(linkColours.count(yellow));
  EXPECT_FALSE(linkColours.count(ui::Rgb(0, 0, 255)));
  EXPECT_EQ(ui::FocusMarkColour(ui::Rgb(1, 2, 3)), ui::Rgb(26, 235, 255));
  const ui::Rect ok = about.OkButtonImage.Bounds();
  const auto artColours = ColoursIn(about, ok);
  EXPECT_GT(artColours.size(), 2u);

  env.desktop.SetHighContrast(false);
  ASSERT_FALSE(env.RunFor(10));
  EXPECT_FALSE(ColoursIn(about, caption).count(white));
  EXPECT_TRUE(ColoursIn(about, link).count(ui::Rgb(0, 0, 255)));
  EXPECT_EQ(ColoursIn(about, ok), artColours);
}

}  // namespace
