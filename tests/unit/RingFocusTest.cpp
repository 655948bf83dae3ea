// What a ring does to the desktop around it: it never takes the keyboard from the program
// the user types in, only a fresh Enter or Esc in a pet the user chose ends it, and an end of
// the program during a ring keeps the pet's own place.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "RingHelpers.h"
#include "TestEnvironment.h"
#include "desktop/About.h"
#include "desktop/OptionsForm.h"
#include "pet/LogicWindow.h"
#include "shell/main.h"

namespace {
using namespace ring;
const char* kKey = TestEnvironment::kKey;

// Starts at 11:59:58 with the alarm at 12:00, the pet at 700, 400.
void StartBeforeNoon(TestEnvironment& env, bool hidden) {
  env.kernel.SetTimeOfDay(11, 59, 58);
  PresetAlarm(env, 12, 0);
  env.registry.PutDword(kKey, "xpos", 700);
  env.registry.PutDword(kKey, "ypos", 400);
  if (hidden) env.registry.PutDword(kKey, "hidden", 1);
  ASSERT_FALSE(env.Start());
}

// Enter then Esc, typed; whether the ring is still on after each.
bool RingsThroughEnterAndEsc(TestEnvironment& env) {
  env.desktop.PressKey(ui::kVkReturn);
  if (!RingingLayout()) return false;
  env.desktop.PressKey(ui::kVkEscape);
  return RingingLayout() && env.media.Sounding();
}
}  // namespace

TEST(RingFocus, TheRingComesWithoutTheKeyboardAndTypingMeantElsewhereLeavesItRinging) {
  struct Case {
    const char* what;
    bool hidden;
    // Before the ring: where the keyboard is.
    std::function<void(TestEnvironment&)> before;
  } cases[] = {
      {"typing in another program, the pet shown", false, [](TestEnvironment&) {}},
      {"typing in another program, the pet hidden", true, [](TestEnvironment&) {}},
      {"the pet given way to a full-screen program", false,
       [](TestEnvironment& env) {
         env.desktop.SetOtherProgramInFront(ui::Rect{0, 0, 1280, 800});
         ASSERT_TRUE(RunUntil(env, [] { return !FormMain->Visible(); }, 1000));
       }},
      // The pet had the keyboard, then the user went back to the other program.
      {"the pet clicked, then another program", false,
       [](TestEnvironment& env) {
         env.ClickTrayIcon();
         ASSERT_EQ(env.desktop.ActiveForm(), FormMain);
         env.desktop.ActivateOtherProgram();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestEnvironment env;
    StartBeforeNoon(env, c.hidden);
    c.before(env);
    ASSERT_TRUE(RunUntil(env, RingingLayout, 10'000));
    ASSERT_TRUE(FormMain->Visible());
    EXPECT_EQ(env.desktop.ActiveForm(), nullptr);
    EXPECT_TRUE(RingsThroughEnterAndEsc(env));
    // The user clicks the tray icon: the pet has the keyboard, and Enter stops.
    env.ClickTrayIcon();
    EXPECT_EQ(env.desktop.ActiveForm(), FormMain);
    env.desktop.PressKey(ui::kVkReturn);
    EXPECT_FALSE(RingingLayout());
    EXPECT_FALSE(env.media.Sounding());
  }
}

TEST(RingFocus, OnlyAFreshPressAfterTheRingBeganInAPetTheUserChoseEndsIt) {
  // Enter held down in the pet from before the ring: its repeats come on.
  {
    TestEnvironment env;
    StartBeforeNoon(env, false);
    env.ClickTrayIcon();
    env.desktop.KeyGoesDown(ui::kVkReturn);
    ASSERT_TRUE(RunUntil(env, RingingLayout, 10'000));
    for (int i = 0; i < 5; ++i) env.desktop.KeyGoesDown(ui::kVkReturn, /*repeat=*/true);
    EXPECT_TRUE(RingingLayout());
    env.desktop.KeyComesUp(ui::kVkReturn);
    env.desktop.PressKey(ui::kVkEscape);  // fresh: snoozes
    EXPECT_FALSE(RingingLayout());
    EXPECT_FALSE(env.media.Sounding());
  }
  // The tray menu opened and closed without a choice has made the pet the foreground window,
  // without the user choosing it.
  {
    TestEnvironment env;
    StartBeforeNoon(env, false);
    ASSERT_TRUE(RunUntil(env, RingingLayout, 10'000));
    env.ClickTrayIcon(ui::TrayEvent::RightClick);
    ASSERT_EQ(env.desktop.Menus().size(), 1u);
    ASSERT_EQ(env.desktop.ActiveForm(), FormMain);
    EXPECT_TRUE(RingsThroughEnterAndEsc(env));
  }
  // Options or About closed with Enter during the ring: the keyboard goes back to the program
  // that had it, not to the pet, and the held Enter's repeats or the next Enter go there.
  for (const std::string& box : {"Options\u2026", "About"}) {
    SCOPED_TRACE(box);
    TestEnvironment env;
    StartBeforeNoon(env, false);
    ASSERT_TRUE(RunUntil(env, RingingLayout, 10'000));
    ASSERT_FALSE(env.ChooseFromTrayMenu(box));
    ui::Form* shown = box == "About" ? static_cast<ui::Form*>(AboutForm) : FormOptions;
    ASSERT_TRUE(shown->Visible());
    ASSERT_EQ(env.desktop.ActiveForm(), shown);
    env.desktop.KeyGoesDown(ui::kVkReturn);
    EXPECT_FALSE(shown->Visible());
    EXPECT_NE(env.desktop.ActiveForm(), FormMain);
    env.desktop.KeyGoesDown(ui::kVkReturn, /*repeat=*/true);
    env.desktop.KeyComesUp(ui::kVkReturn);
    EXPECT_TRUE(RingsThroughEnterAndEsc(env));
  }
}

TEST(RingFocus, AnEndDuringARingStoresThePetsOwnPlace) {
  struct Case {
    const char* what;
    std::function<void(TestEnvironment&)> end;
  } cases[] = {
      {"close request", [](TestEnvironment& env) { env.desktop.RequestClose(*FormMain); }},
      {"close of the application window", [](TestEnvironment& env) { env.desktop.RequestApplicationClose(); }},
      {"shutdown", [](TestEnvironment& env) {
         env.desktop.QueryEndSession();
         env.desktop.EndSession(true);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestEnvironment env;
    StartBeforeNoon(env, false);
    ASSERT_TRUE(RunUntil(env, RingingLayout, 10'000));
    ASSERT_NE(FormMain->Left(), 700);
    // Dragged while it rings, by the pet: the ringing window moves, the pet's place stays.
    const ui::Rect ringing = FormMain->Bounds();
    const ui::Point pet{FormMain->Left() + 230, FormMain->Top() + 90};
    ASSERT_EQ(env.desktop.Press(pet), FormMain);
    env.desktop.Release({pet.x + 50, pet.y + 30});
    ASSERT_NE(FormMain->Bounds(), ringing);
    EXPECT_EQ(env.Do([&] { c.end(env); }), 1);
    EXPECT_EQ(env.registry.Dword(kKey, "xpos"), 700u);
    EXPECT_EQ(env.registry.Dword(kKey, "ypos"), 400u);
  }
}
