#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "TestEnvironment.h"
#include "alarm/AlarmUnit.h"
#include "alarm/Reestr.h"
#include "alarm/SoundSystemForm.h"
#include "app/Globals.h"
#include "desktop/About.h"
#include "desktop/MyMessageBoxUnit.h"
#include "pet/AnimatorUnit.h"
#include "pet/EyesUnit.h"
#include "pet/LogicWindow.h"
#include "setup/AddDirectoryDialog.h"
#include "setup/PlayListAlarm.h"
#include "setup/SimpleAlarmUnit.h"
#include "shell/main.h"

namespace {
constexpr const char* kDamaged = "Program is damaged. Try to reinstall the application.";
const char* kKey = TestEnvironment::kKey;
}  // namespace

TEST(Startup, AFirstRunStoresItsDefaultsAndRunsFromItsOwnFolder) {
  TestEnvironment env;
  env.kernel.currentDirectory = "D:\\Shortcuts\\";
  ASSERT_FALSE(env.Start());
  EXPECT_EQ(env.kernel.currentDirectory, TestEnvironment::kProgramDir);
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
  EXPECT_EQ(env.desktop.Title(), "Ravilo");
  EXPECT_TRUE(env.desktop.ApplicationButtonHidden());
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmIsOn"), 0u);
  EXPECT_EQ(env.registry.String(kKey, "AlarmSound"), "Sounds\\Alarms\\alarm0.wav");
  EXPECT_EQ(env.registry.Get(kKey, "AlarmSound")->type, platform::RegType::Sz);
  EXPECT_EQ(env.registry.Dword(kKey, "UsePlayist"), 0u);
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmMin"), 0u);
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmHour"), 8u);
  EXPECT_EQ(*env.files.Peek(std::string(TestEnvironment::kProgramDir) + "Playlist.txt"), "0\r\n");
  // Every window exists, the main window shown and the others hidden.
  ASSERT_NE(FormMain, nullptr);
  ASSERT_NE(FormEyes, nullptr);
  EXPECT_TRUE(FormMain->Visible());
  EXPECT_FALSE(FormEyes->Visible());
  EXPECT_EQ(FormMain->SetAlarmTime1.Caption(), "Alarm [off]");
  EXPECT_FALSE(env.RunFor(60'000));
  EXPECT_TRUE(env.Running());
}

TEST(Startup, ASecondInstanceEndsAtOnceWithoutAWindow) {
  TestEnvironment env;
  env.kernel.existingMutexes.insert("Ravilo");
  EXPECT_EQ(env.Start(), 0);
  EXPECT_EQ(FormMain, nullptr);
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
}

TEST(Startup, ASystemTooOldIsToldAndTheUninstallerStarted) {
  TestEnvironment env;
  env.kernel.osMajor = 4;
  EXPECT_EQ(env.Start(), 0);
  ASSERT_EQ(env.desktop.MessageBoxes().size(), 1u);
  EXPECT_EQ(env.desktop.MessageBoxes()[0].text,
            "You should have Windows 2000 or Windows XP on your computer to start Ravilo. ");
  EXPECT_EQ(env.desktop.MessageBoxes()[0].caption, "Information");
  ASSERT_EQ(env.kernel.shellCalls.size(), 1u);
  EXPECT_EQ(env.kernel.shellCalls[0].file, "unins000.exe");
  EXPECT_EQ(FormMain, nullptr);
  EXPECT_TRUE(env.kernel.heldMutexes.empty());
}

TEST(Startup, TheVersionQueryIsRetriedWithALargerRecord) {
  TestEnvironment env;
  env.kernel.versionFailuresLeft = 3;
  int major = 0, minor = 0;
  EXPECT_TRUE(GetOsVersion(major, minor));
  EXPECT_EQ(major, 10);
  EXPECT_EQ(env.kernel.versionRecordSizes, (std::vector<std::uint32_t>{148, 149, 150, 151}));
  // A system that never answers is not taken for an old one, and the retries end.
  env.kernel.versionFailuresLeft = 1'000'000;
  EXPECT_FALSE(IsOsTooOld());
  EXPECT_LT(env.kernel.versionRecordSizes.size(), 2000u);
}

TEST(Startup, AKeyThatCannotBeOpenedIsReportedAndTheProgramEnds) {
  TestEnvironment env;
  env.registry.refuseKeys = true;
  // The user's playlist, in a shape the program itself would not write.
  const std::string list = std::string(TestEnvironment::kProgramDir) + "Playlist.txt";
  const std::string sample = "2\r\nC:\\Music\\one.wav\r\nD:\\two.wav\nextra line\r\n";
  env.files.Put(list, sample);
  EXPECT_EQ(env.Start(), 0);
  // The alarm fell back to its defaults and saved them, but nothing reached the list file.
  EXPECT_EQ(*env.files.Peek(list), sample);
  ASSERT_EQ(env.desktop.MessageBoxes().size(), 1u);
  EXPECT_EQ(env.desktop.MessageBoxes()[0].text, kDamaged);
  EXPECT_EQ(env.desktop.MessageBoxes()[0].caption, "Error");
  EXPECT_EQ(env.registry.writes, 0);
  // Torn down: no window left, every object released, the mutex given back.
  EXPECT_EQ(FormMain, nullptr);
  EXPECT_EQ(Reestr, nullptr);
  EXPECT_EQ(Alarm, nullptr);
  EXPECT_TRUE(env.kernel.heldMutexes.empty());
}

TEST(Startup, AMissingButtonBitmapIsReportedOnce) {
  for (const char* name : {"astopalarm", "istopalarm", "a10minmore", "i10minmore"}) {
    TestEnvironment env;
    env.files.Hide(std::string(TestEnvironment::kProgramDir) + "Images\\MainWindow\\" + name + ".bmp");
    EXPECT_EQ(env.Start(), 0) << name;
    ASSERT_EQ(env.desktop.MessageBoxes().size(), 1u) << name;
    EXPECT_EQ(env.desktop.MessageBoxes()[0].text, kDamaged);
    EXPECT_EQ(FormMain, nullptr);
  }
}

TEST(Shutdown, ACloseRequestEndsWithExitCodeOneAndStoresThePosition) {
  TestEnvironment env;
  ASSERT_FALSE(env.Start());
  FormMain->SetPosition(100, 200);
  EXPECT_EQ(env.Do([&] { env.desktop.RequestClose(*FormMain); }), 1);
  EXPECT_EQ(env.registry.Dword(kKey, "xpos"), 100u);
  EXPECT_EQ(env.registry.Dword(kKey, "ypos"), 200u);
  EXPECT_EQ(FormMain, nullptr);
  EXPECT_EQ(Reestr, nullptr);
}

TEST(Shutdown, ACloseWhileAKeyIsHeldIsRefusedUntilItIsReleasedOnTheWindow) {
  TestEnvironment env;
  ASSERT_FALSE(env.Start());
  env.desktop.KeyDown(*FormMain, 0x12 /*Alt*/);
  EXPECT_FALSE(env.Do([&] { EXPECT_FALSE(env.desktop.RequestClose(*FormMain)); }));
  EXPECT_TRUE(env.Running());
  EXPECT_TRUE(FormMain->Visible());
  env.desktop.KeyUp(*FormMain, 0x12);
  EXPECT_EQ(env.Do([&] { env.desktop.RequestClose(*FormMain); }), 1);
}

TEST(Shutdown, AFailedPositionWriteAtTheEndStillReleasesEverything) {
  TestEnvironment env;
  ASSERT_FALSE(env.Start());
  env.registry.failingWrites.insert("xpos");
  EXPECT_EQ(env.Do([&] { env.desktop.RequestClose(*FormMain); }), 1);
  EXPECT_EQ(Reestr, nullptr);
  EXPECT_EQ(Alarm, nullptr);
  EXPECT_EQ(env.registry.OpenKeys(), 0);
}

TEST(Shutdown, TheEndOfTheSessionEndsTheProgramAndACancelledEndLeavesItRunning) {
  TestEnvironment env;
  ASSERT_FALSE(env.Start());
  FormMain->SetPosition(120, 240);
  // Every window agrees to the end, even with a key held on the pet or an open set-up
  // window that refuses a close request; agreeing ends nothing yet.
  env.desktop.KeyDown(*FormMain, 0x41);
  ASSERT_FALSE(env.Do([&] { FormSimpleAlarm->OpenWindow(); }));
  EXPECT_FALSE(env.Do([&] { EXPECT_TRUE(env.desktop.QueryEndSession()); }));
  ASSERT_TRUE(env.Running());
  // Another program cancelled the end: the pet lives on.
  EXPECT_FALSE(env.Do([&] { env.desktop.EndSession(false); }));
  EXPECT_FALSE(env.RunFor(5000));
  EXPECT_TRUE(FormMain->Visible());
  EXPECT_TRUE(env.notifyIcon.shown);
  // The session really ends: the program ends as by an allowed close.
  EXPECT_FALSE(env.Do([&] { EXPECT_TRUE(env.desktop.QueryEndSession()); }));
  EXPECT_EQ(env.Do([&] { env.desktop.EndSession(true); }), 1);
  EXPECT_EQ(env.registry.Dword(kKey, "xpos"), 120u);
  EXPECT_FALSE(env.notifyIcon.shown);
}

TEST(Shutdown, AKeyStillDownWhenThePetLosesTheFocusNoLongerRefusesTheClose) {
  TestEnvironment env;
  ASSERT_FALSE(env.Start());
  // Alt+Tab away: the Alt and Tab releases go to the next window, never to the pet.
  env.desktop.KeyDown(*FormMain, 0x12 /*Alt*/);
  env.desktop.KeyDown(*FormMain, 0x09 /*Tab*/);
  env.desktop.LoseFocus(*FormMain);
  EXPECT_EQ(env.Do([&] { env.desktop.RequestClose(*FormMain); }), 1);
}

TEST(Shutdown, ACloseRequestToAnyOtherWindowNeverTakesThePetAway) {
  TestEnvironment env;
  ASSERT_FALSE(env.Start());
  env.desktop.KeyDown(*FormMain, 0x41);
  // The application window passes it to the pet, which refuses while the key is down.
  EXPECT_FALSE(env.Do([&] { EXPECT_FALSE(env.desktop.RequestApplicationClose()); }));
  for (ui::Form* form : std::initializer_list<ui::Form*>{AboutForm, DialogAddDir, FormTimer, FormPlayListAlarm,
                                                          FormSimpleAlarm, FormSoundSystem, FormMyMessageBox,
                                                          FormEyes}) {
    EXPECT_FALSE(env.Do([&] { env.desktop.RequestClose(*form); }));
    EXPECT_FALSE(form->Visible());
  }
  ASSERT_TRUE(env.Running());
  // The pet, its icon and its life are as they were: movies go on.
  EXPECT_FALSE(env.RunFor(20'000));
  EXPECT_TRUE(FormMain->Visible());
  EXPECT_TRUE(env.notifyIcon.shown);
  EXPECT_TRUE(Animator->IsPlaying());
  // Released on the pet: a close at the application window ends the program as the pet's own.
  env.desktop.KeyUp(*FormMain, 0x41);
  EXPECT_EQ(env.Do([&] { env.desktop.RequestApplicationClose(); }), 1);
  EXPECT_FALSE(env.notifyIcon.shown);
}

TEST(Shutdown, AMainWindowDestroyedFromOutsideEndsThroughTheTeardown) {
  TestEnvironment env;
  ASSERT_FALSE(env.Start());
  FormMain->SetPosition(140, 260);
  EXPECT_EQ(env.Do([&] { env.desktop.DestroyFromOutside(*FormMain); }), 0);
  // Never a process holding the single-instance mutex with nothing on screen or in the tray.
  EXPECT_TRUE(env.kernel.heldMutexes.empty());
  EXPECT_FALSE(env.notifyIcon.shown);
  EXPECT_EQ(FormMain, nullptr);
  EXPECT_EQ(Reestr, nullptr);
  EXPECT_EQ(env.registry.Dword(kKey, "xpos"), 140u);
}

TEST(Startup, SettingsThatCannotBeWrittenAtStartStillGiveTheWholeProgram) {
  // Every write refused (a key made read-only), then each write of the start on its own:
  // the place, the eyes and hidden defaults, and the alarm's defaults.
  std::vector<std::set<std::string>> cases = {{}};
  for (const char* name :
       {"xpos", "ypos", "mouse_tracking", "hidden", "AlarmIsOn", "AlarmSound", "UsePlayist", "AlarmMin", "AlarmHour"})
    cases.push_back({name});
  for (const auto& failing : cases) {
    const std::string which = failing.empty() ? "every write" : *failing.begin();
    SCOPED_TRACE(which);
    TestEnvironment env;
    env.registry.refuseWrites = failing.empty();
    env.registry.failingWrites = failing;
    ASSERT_FALSE(env.Start());
    // Told to a debugger, not to the user; nothing stops.
    EXPECT_TRUE(env.desktop.MessageBoxes().empty());
    const std::string logged = "Ravilo: Failed to set data for '" + (failing.empty() ? "xpos" : which) + "'";
    EXPECT_NE(std::find(env.kernel.debugLog.begin(), env.kernel.debugLog.end(), logged), env.kernel.debugLog.end());
    EXPECT_TRUE(env.notifyIcon.shown);
    ASSERT_NE(Logic, nullptr);
    ASSERT_NE(Alarm, nullptr);
    EXPECT_TRUE(FormMain->Visible());
    EXPECT_TRUE(Animator->View()->Visible());
    EXPECT_TRUE(Animator->IsPlaying());  // the greeting
    EXPECT_EQ(FormMain->SetAlarmTime1.Caption(), "Alarm [off]");
    ASSERT_FALSE(env.ChooseFromTrayMenu("Alarm ["));
    EXPECT_TRUE(FormSimpleAlarm->Visible());
    FormSimpleAlarm->Hide();
    ASSERT_FALSE(env.ChooseFromTrayMenu("Exit"));
    EXPECT_EQ(env.RunFor(20'000), 1);
    EXPECT_TRUE(env.desktop.MessageBoxes().empty());
  }
}
