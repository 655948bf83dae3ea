#include <gtest/gtest.h>

#include <tuple>

#include "TestEnvironment.h"
#include "alarm/AlarmUnit.h"
#include "desktop/TrayIcon.h"
#include "pet/EyesUnit.h"
#include "pet/LogicWindow.h"
#include "shell/main.h"

namespace {
const char* kKey = TestEnvironment::kKey;
}

TEST(TrayIcon, ShowsTheAlarmStateFromTheStart) {
  for (const bool on : {false, true}) {
    TestEnvironment env;
    if (on) {
      env.registry.PutDword(kKey, "AlarmIsOn", 1);
      env.registry.PutString(kKey, "AlarmSound", "Sounds\\Alarms\\alarm0.wav");
      env.registry.PutDword(kKey, "UsePlayist", 0);
      env.registry.PutDword(kKey, "AlarmMin", 30);
      env.registry.PutDword(kKey, "AlarmHour", 7);
    }
    ASSERT_FALSE(env.Start());
    const auto& calls = env.notifyIcon.calls;
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0].message, platform::kNimAdd);
    EXPECT_EQ(calls[0].data.tip, "I\"m here");
    EXPECT_EQ(calls[0].data.id, 100u);
    EXPECT_EQ(calls[0].data.flags, 7u);
    EXPECT_EQ(calls[0].data.callbackMessage, 1025u);
    EXPECT_EQ(calls[0].data.window, FormMain->Peer()->NativeHandle());
    EXPECT_NE(calls[0].data.window, 0u);
    const std::string dir = TestEnvironment::kProgramDir;
    EXPECT_EQ(env.notifyIcon.loaded.at(calls[0].data.icon), dir + "Images\\AlarmOffIcon.ico");
    EXPECT_EQ(calls.back().message, platform::kNimModify);
    EXPECT_EQ(env.notifyIcon.shownIconFile, dir + (on ? "Images\\AlarmOnIcon.ico" : "Images\\AlarmOffIcon.ico"));
    EXPECT_EQ(FormMain->SetAlarmTime1.Caption(), on ? "Alarm [on]" : "Alarm [off]");
    // The tip adds the next ring: the test clock starts at noon on a Saturday.
    EXPECT_EQ(env.notifyIcon.shownRecord.tip, on ? "I\"m here\nAlarm: Sun 07:30" : "I\"m here\nAlarm off");
    for (int bad : {-1, 2}) {
      try {
        TrayIcon->SetIcon(bad);
        ADD_FAILURE() << "SetIcon(" << bad << ") did not throw";
      } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), bad < 0 ? "Assertion failure (TrayIcon, line 77)" : "Assertion failure (TrayIcon, line 78)");
      }
    }
  }
}

TEST(TrayIcon, ExitRemovesTheIconBeforeAnythingIsTornDown) {
  TestEnvironment env;
  env.registry.PutDword(kKey, "hidden", 1);
  ASSERT_FALSE(env.Start());
  bool windowsStillThere = false;
  env.notifyIcon.onCall = [&](const platform::fake::FakeNotifyIcon::Call& call) {
    if (call.message == platform::kNimDelete) windowsStillThere = FormEyes != nullptr && Logic != nullptr;
  };
  EXPECT_EQ(env.Do([] { FormMain->Exit1.OnClick(); }), 1);  // hidden: ends at once
  EXPECT_TRUE(windowsStillThere);
  EXPECT_FALSE(env.notifyIcon.shown);
  EXPECT_TRUE(env.notifyIcon.loaded.empty());
  EXPECT_EQ(TrayIcon, nullptr);
}

TEST(TrayIcon, AMissingIconFileIsReportedAsDamage) {
  for (const char* name : {"AlarmOffIcon.ico", "AlarmOnIcon.ico"}) {
    TestEnvironment env;
    env.files.Hide(std::string(TestEnvironment::kProgramDir) + "Images\\" + name);
    EXPECT_EQ(env.Start(), 0) << name;
    ASSERT_EQ(env.desktop.MessageBoxes().size(), 1u) << name;
    EXPECT_EQ(env.desktop.MessageBoxes()[0].text, "Program is damaged. Try to reinstall the application.");
    EXPECT_FALSE(env.notifyIcon.shown);
    EXPECT_TRUE(env.notifyIcon.loaded.empty()) << name;
  }
}

TEST(TrayIcon, ClicksOnTheIconShowAHiddenPetAndARightClickOpensTheMenu) {
  for (const ui::TrayEvent click : {ui::TrayEvent::LeftClick, ui::TrayEvent::DoubleClick}) {
    TestEnvironment env;
    env.registry.PutDword(kKey, "hidden", 1);
    ASSERT_FALSE(env.Start());
    ASSERT_TRUE(Logic->IsHidden());
    ASSERT_FALSE(env.ClickTrayIcon(ui::TrayEvent::RightClick));
    EXPECT_EQ(env.desktop.Menus().size(), 1u);
    EXPECT_TRUE(Logic->IsHidden());
    // A double click is reported after the press of its first click; alone it still shows.
    ASSERT_FALSE(env.ClickTrayIcon(click));
    EXPECT_FALSE(Logic->IsHidden());
    EXPECT_FALSE(FormMain->Show1.Checked());
    EXPECT_EQ(env.desktop.Menus().size(), 1u);
  }
}

TEST(TrayIcon, ComesBackWithItsCurrentPictureWhenTheShellRestarts) {
  TestEnvironment env;
  env.registry.PutDword(kKey, "hidden", 1);
  ASSERT_FALSE(env.Start());
  const platform::NotifyIconData first = env.notifyIcon.calls.at(0).data;
  for (const bool on : {true, false}) {
    SCOPED_TRACE(on);
    if (on)
      FormMain->ShowAlarmOn();
    else
      FormMain->ShowAlarmOff();
    env.RestartShell();
    EXPECT_FALSE(env.notifyIcon.shown);
    EXPECT_FALSE(env.RunFor(1));
    ASSERT_TRUE(env.notifyIcon.shown);
    EXPECT_EQ(env.notifyIcon.shownIconFile, std::string(TestEnvironment::kProgramDir) + (on ? "Images\\AlarmOnIcon.ico" : "Images\\AlarmOffIcon.ico"));
    const platform::NotifyIconData& now = env.notifyIcon.shownRecord;
    EXPECT_EQ(std::tie(now.window, now.id, now.flags, now.callbackMessage),
              std::tie(first.window, first.id, first.flags, first.callbackMessage));
    EXPECT_EQ(now.tip, "I\"m here\nAlarm off");
  }
  // The hidden pet can be shown from the icon that came back.
  ASSERT_FALSE(env.ClickTrayIcon(ui::TrayEvent::LeftClick));
  EXPECT_FALSE(Logic->IsHidden());
  // The broadcast also comes while the icon is still there (the display's scaling changed):
  // it stays one icon with its picture, and nothing is retried.
  FormMain->ShowAlarmOn();
  const int adds = env.notifyIcon.Adds();
  env.desktop.BroadcastTaskbarCreated();
  EXPECT_FALSE(env.RunFor(30'000));
  EXPECT_TRUE(env.notifyIcon.shown);
  EXPECT_EQ(env.notifyIcon.shownIconFile, std::string(TestEnvironment::kProgramDir) + "Images\\AlarmOnIcon.ico");
  EXPECT_EQ(env.notifyIcon.Adds(), adds + 1);
  EXPECT_TRUE(TrayIcon->Added());
  // An icon the shell lost without the broadcast comes back at the next change of picture.
  env.notifyIcon.EndShell();
  env.notifyIcon.taskbarPresent = true;
  FormMain->ShowAlarmOff();
  EXPECT_TRUE(env.notifyIcon.shown);
  EXPECT_EQ(env.notifyIcon.shownIconFile, std::string(TestEnvironment::kProgramDir) + "Images\\AlarmOffIcon.ico");
  // The same state shown again asks the shell nothing (so an icon another program removed
  // is not put back by the program's own start-up).
  const std::size_t calls = env.notifyIcon.calls.size();
  FormMain->ShowAlarmOff();
  EXPECT_EQ(env.notifyIcon.calls.size(), calls);
}

TEST(TrayIcon, TakesTheNotificationAreasSizeAgainAfterAScalingChange) {
  TestEnvironment env;
  ASSERT_FALSE(env.Start());
  const std::string dir = TestEnvironment::kProgramDir;
  EXPECT_EQ(env.notifyIcon.shownIconDpi, 96);
  const auto primaryAt = [&](int dpi) { env.desktop.SetMonitors({{{0, 0, 1280, 800}, {0, 0, 1280, 760}, true, dpi}}); };
  // The pet's own display, the primary one, goes to 150 %.
  primaryAt(144);
  ASSERT_FALSE(env.Do([] { FormMain->HandleDpiChanged(144, FormMain->Bounds()); }));
  EXPECT_EQ(env.notifyIcon.shownIconDpi, 144);
  EXPECT_EQ(env.notifyIcon.shownIconFile, dir + "Images\\AlarmOffIcon.ico");
  EXPECT_EQ(env.notifyIcon.loaded.size(), 2u);  // the pictures at the old size are freed
  // With the pet elsewhere, the shell's broadcast is all the program hears of a change.
  FormMain->ShowAlarmOn();
  primaryAt(192);
  env.desktop.BroadcastTaskbarCreated();
  EXPECT_FALSE(env.RunFor(1));
  EXPECT_EQ(env.notifyIcon.shownIconDpi, 192);
  EXPECT_EQ(env.notifyIcon.shownIconFile, dir + "Images\\AlarmOnIcon.ico");
  EXPECT_EQ(env.notifyIcon.loaded.size(), 2u);
  // An icon file gone since the start leaves the icon as it was.
  env.files.Hide(dir + "Images\\AlarmOffIcon.ico");
  primaryAt(96);
  env.desktop.BroadcastTaskbarCreated();
  EXPECT_FALSE(env.RunFor(1));
  EXPECT_EQ(env.notifyIcon.shownIconDpi, 192);
  EXPECT_EQ(env.notifyIcon.loaded.size(), 2u);
  FormMain->ShowAlarmOff();
  EXPECT_EQ(env.notifyIcon.shownIconFile, dir + "Images\\AlarmOffIcon.ico");
}

TEST(TrayIcon, AFailedFirstAddIsRetriedForAMinute) {
  for (const bool taskbarComes : {true, false}) {
    SCOPED_TRACE(taskbarComes);
    TestEnvironment env;
    env.notifyIcon.taskbarPresent = false;  // logging on: the taskbar is not there yet
    ASSERT_FALSE(env.Start());
    EXPECT_FALSE(env.notifyIcon.shown);
    FormMain->ShowAlarmOn();
    EXPECT_FALSE(env.RunFor(20'000));
    EXPECT_GT(env.notifyIcon.Adds(), 5);
    if (taskbarComes) {
      env.notifyIcon.taskbarPresent = true;
      EXPECT_FALSE(env.RunFor(CTrayIcon::kRetryIntervalMs));
      EXPECT_TRUE(env.notifyIcon.shown);
      EXPECT_EQ(env.notifyIcon.shownIconFile, std::string(TestEnvironment::kProgramDir) + "Images\\AlarmOnIcon.ico");
      const int adds = env.notifyIcon.Adds();
      EXPECT_FALSE(env.RunFor(60'000));
      EXPECT_EQ(env.notifyIcon.Adds(), adds);
    } else {
      // Given up after a minute; the shell's own broadcast still brings it when it comes.
      EXPECT_FALSE(env.RunFor(40'000 + CTrayIcon::kRetryIntervalMs));
      const int adds = env.notifyIcon.Adds();
      EXPECT_LE(adds, 1 + CTrayIcon::kRetries);
      env.notifyIcon.taskbarPresent = true;
      EXPECT_FALSE(env.RunFor(60'000));
      EXPECT_EQ(env.notifyIcon.Adds(), adds);
      EXPECT_FALSE(env.notifyIcon.shown);
      env.desktop.BroadcastTaskbarCreated();
      EXPECT_FALSE(env.RunFor(1));
      EXPECT_TRUE(env.notifyIcon.shown);
      EXPECT_EQ(env.notifyIcon.shownIconFile, std::string(TestEnvironment::kProgramDir) + "Images\\AlarmOnIcon.ico");
    }
  }
}

TEST(TrayIcon, TheMenuSkipsTheNextRingWhileTheAlarmIsOnAndTheTipFollows) {
  TestEnvironment env;
  ASSERT_FALSE(env.Start());
  auto shownCaptions = [&] {
    env.desktop.MenuChooser = [](const ui::headless::RecordedMenu&) { return -1; };
    EXPECT_FALSE(env.ClickTrayIcon(ui::TrayEvent::RightClick));
    return env.desktop.Menus().back();
  };
  // Off: no skip item, and the items keep their places.
  EXPECT_EQ(shownCaptions().captions,
            (std::vector<std::string>{"About", "-", "Alarm [off]", "Options\u2026", "Timer\u2026", "Hide", "Funny eyes", "Exit"}));
  Alarm->SetOnAndTime(true, 7, 30);
  Alarm->Save();
  FormMain->ShowAlarmState();
  EXPECT_EQ(env.notifyIcon.shownRecord.tip, "I\"m here\nAlarm: Sun 07:30");
  const auto on = shownCaptions();
  ASSERT_EQ(on.captions.size(), 9u);
  EXPECT_EQ(on.captions[3], "Skip next alarm (Sun 07:30)");
  EXPECT_EQ(on.captions[4], "Options\u2026");
  EXPECT_FALSE(on.checked[3]);
  ASSERT_FALSE(env.ChooseFromTrayMenu("Skip next alarm"));
  EXPECT_TRUE(Alarm->SkipSet());
  EXPECT_EQ(env.notifyIcon.shownRecord.tip, "I\"m here\nAlarm: Mon 07:30");
  const auto skipped = shownCaptions();
  EXPECT_EQ(skipped.captions[3], "Skip next alarm (Sun 07:30)");
  EXPECT_TRUE(skipped.checked[3]);
  ASSERT_FALSE(env.ChooseFromTrayMenu("Skip next alarm"));
  EXPECT_FALSE(Alarm->SkipSet());
  EXPECT_EQ(env.notifyIcon.shownRecord.tip, "I\"m here\nAlarm: Sun 07:30");
  Alarm->SetOnAndTime(false, 7, 30);
  Alarm->Save();
  EXPECT_EQ(env.notifyIcon.shownRecord.tip, "I\"m here\nAlarm off");
}
