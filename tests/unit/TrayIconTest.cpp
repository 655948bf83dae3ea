#include <gtest/gtest.h>

#include "TestEnvironment.h"
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
