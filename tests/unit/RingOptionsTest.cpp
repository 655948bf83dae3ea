// The ring's own settings on the whole program: a ring that ends by itself when nobody
// answers it.
#include <gtest/gtest.h>

#include <algorithm>

#include "RingHelpers.h"
#include "TestEnvironment.h"
#include "alarm/AlarmUnit.h"
#include "desktop/TrayIcon.h"
#include "shell/main.h"

namespace {
using namespace ring;
const char* kKey = TestEnvironment::kKey;

TEST(RingOptions, ARingLeftUnansweredEndsAfterTheChosenTimeAndTheTrayTellsUntilClicked) {
  TestEnvironment env;
  env.kernel.SetTimeOfDay(11, 59, 58);  // a Saturday
  PresetAlarm(env, 12, 0);
  env.registry.PutDword(kKey, "AutoStopMinutes", 10);
  ASSERT_FALSE(env.Start());
  ASSERT_TRUE(RunUntil(env, RingingLayout, 5000));
  ASSERT_TRUE(env.media.Sounding());
  EXPECT_FALSE(env.RunFor(10 * 60'000 - 3000));
  EXPECT_TRUE(RingingLayout());
  EXPECT_TRUE(env.media.Sounding());
  ASSERT_TRUE(RunUntil(env, [] { return !RingingLayout(); }, 5000, 100));
  // Ended as the stop button ends it: quiet, the normal layout, tomorrow's ring next.
  EXPECT_FALSE(env.media.Sounding());
  EXPECT_FALSE(Alarm->RingInProgressNow());
  EXPECT_EQ(CAlarm::RingText(*Alarm->NextRing()), "Sun 12:00");
  const std::string notice = "Alarm at 12:00 rang unanswered for 10 minutes";
  EXPECT_EQ(env.notifyIcon.shownRecord.tip, std::string("I\"m here\n") + notice);
  ASSERT_EQ(env.notifyIcon.balloons.size(), 1u);
  EXPECT_EQ(env.notifyIcon.balloons[0].text, notice);
  // It stays said through the day, and goes with a click on the icon.
  EXPECT_FALSE(env.RunFor(3600'000));
  EXPECT_EQ(env.notifyIcon.shownRecord.tip, std::string("I\"m here\n") + notice);
  EXPECT_FALSE(env.ClickTrayIcon());
  EXPECT_EQ(env.notifyIcon.shownRecord.tip, "I\"m here\nAlarm: Sun 12:00");
}

TEST(RingOptions, WithoutTheSettingARingGoesOnUntilAnsweredAndTheNextRingClearsANotice) {
  TestEnvironment env;
  env.kernel.SetTimeOfDay(11, 59, 58);
  PresetAlarm(env, 12, 0);
  env.registry.PutDword(kKey, "AutoStopMinutes", 1);
  ASSERT_FALSE(env.Start());
  ASSERT_TRUE(RunUntil(env, RingingLayout, 5000));
  ASSERT_TRUE(RunUntil(env, [] { return !RingingLayout(); }, 65'000, 100));
  EXPECT_EQ(env.notifyIcon.shownRecord.tip, "I\"m here\nAlarm at 12:00 rang unanswered for 1 minute");
  // Back to never: tomorrow's ring clears the notice and rings on.
  AlarmOptions options = Alarm->GetOptions();
  options.autoStopMinutes = 0;
  Alarm->SetOptions(options);
  EXPECT_EQ(env.registry.Dword(kKey, "AutoStopMinutes"), 0u);
  // Asleep until just before the next day's ring.
  env.desktop.Suspend((86'400 - 80) * 1000);
  env.desktop.BroadcastPowerResume();
  ASSERT_TRUE(RunUntil(env, RingingLayout, 30'000, 100));
  EXPECT_EQ(env.notifyIcon.shownRecord.tip, "I\"m here\nAlarm: Mon 12:00");
  EXPECT_FALSE(env.RunFor(20 * 60'000));
  EXPECT_TRUE(RingingLayout());
  EXPECT_TRUE(env.media.Sounding());
  env.desktop.Click(StopButton());
  EXPECT_FALSE(RingingLayout());
}

TEST(RingOptions, ARingThatEndsByItselfNamesTheRingLeftAndDropsAPressHeldOnItsButtons) {
  TestEnvironment env;
  env.kernel.SetTimeOfDay(11, 59, 58);  // a Saturday
  PresetAlarm(env, 12, 0);
  env.registry.PutDword(kKey, "AutoStopMinutes", 1);
  ASSERT_FALSE(env.Start());
  const ui::Rect normal = FormMain->Bounds();
  // Snoozed, and the snooze's ring left: the notice names it.
  ASSERT_TRUE(RunUntil(env, RingingLayout, 5000));
  env.desktop.Click(SnoozeButton());
  ASSERT_TRUE(RunUntil(env, RingingLayout, 11 * 60'000, 100));
  const std::string notice = "Alarm at 12:10 rang unanswered for 1 minute";
  ASSERT_TRUE(RunUntil(env, [] { return !RingingLayout(); }, 65'000, 100));
  ASSERT_EQ(env.notifyIcon.balloons.size(), 1u);
  EXPECT_EQ(env.notifyIcon.balloons[0].text, notice);
  // The next day the snooze button is held down when the ring ends by itself: its release
  // then does nothing, and the ring counts as answered.
  env.desktop.Suspend((86'400 + 12 * 3600 - 5 - Clock(env)) * 1000);
  env.desktop.BroadcastPowerResume();
  ASSERT_TRUE(RunUntil(env, RingingLayout, 30'000, 100));
  const ui::Point snooze = SnoozeButton();
  ASSERT_EQ(env.desktop.Press(snooze), FormMain);
  ASSERT_TRUE(RunUntil(env, [] { return !RingingLayout(); }, 65'000, 100));
  env.desktop.Release(snooze);
  EXPECT_FALSE(env.RunFor(1000));
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
  EXPECT_FALSE(env.media.Sounding());
  EXPECT_EQ(FormMain->Bounds(), normal);
  EXPECT_EQ(CAlarm::RingText(*Alarm->NextRing()), "Mon 12:00");
  EXPECT_EQ(env.notifyIcon.shownRecord.tip, "I\"m here\nAlarm: Mon 12:00");
  EXPECT_EQ(env.notifyIcon.balloons.size(), 1u);
}

}  // namespace

namespace {
using namespace ring;

TEST(RingOptions, WhenTheChosenSoundFailedTheTrayTellsAfterTheRingThatTheProgramsOwnRangUntilClicked) {
  const std::string notice = TFormMain::kOwnSoundNotice;
  ASSERT_EQ(notice, "The alarm's sound could not be played; Ravilo's own sound rang instead.");
  enum Sound { Missing, PlaylistMissing, EmptyPlaylist, Good };
  for (const Sound sound : {Missing, PlaylistMissing, EmptyPlaylist, Good}) {
    SCOPED_TRACE(sound);
    TestEnvironment env;
    env.kernel.SetTimeOfDay(11, 59, 58);
    PresetAlarm(env, 12, 0, sound == PlaylistMissing || sound == EmptyPlaylist);
    if (sound == Missing) env.registry.PutString(kKey, "AlarmSound", "C:\\Music\\gone.wav");
    env.files.Put(std::string(TestEnvironment::kProgramDir) + "Playlist.txt",
                  sound == PlaylistMissing ? "1\r\nC:\\Music\\gone.wav\r\n" : "0\r\n");
    ASSERT_FALSE(env.Start());
    ASSERT_TRUE(RunUntil(env, RingingLayout, 5000));
    ASSERT_TRUE(env.media.Sounding());
    // Nothing is said while it rings: the ring itself is the news.
    EXPECT_TRUE(env.notifyIcon.balloons.empty());
    env.desktop.Click(sound == Good ? StopButton() : SnoozeButton());
    if (sound == Good || sound == EmptyPlaylist) {
      EXPECT_TRUE(env.notifyIcon.balloons.empty());
      EXPECT_EQ(env.notifyIcon.shownRecord.tip.find(notice), std::string::npos);
      continue;
    }
    ASSERT_EQ(env.notifyIcon.balloons.size(), 1u);
    EXPECT_EQ(env.notifyIcon.balloons[0].text, notice);
    EXPECT_EQ(env.notifyIcon.shownRecord.tip, "I\"m here\n" + notice);
    EXPECT_FALSE(env.RunFor(60'000));
    EXPECT_EQ(env.notifyIcon.shownRecord.tip, "I\"m here\n" + notice);
    EXPECT_FALSE(env.ClickTrayIcon());
    EXPECT_EQ(env.notifyIcon.shownRecord.tip.find(notice), std::string::npos);
  }
}

}  // namespace
