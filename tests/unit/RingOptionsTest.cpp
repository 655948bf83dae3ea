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
using platform::AudioVolume;

TEST(RingOptions, AGentleStartRaisesTheProgramsOwnVolumeInStepsAndStopOrSnoozePutsItBack) {
  for (const bool snooze : {false, true}) {
    SCOPED_TRACE(snooze);
    TestEnvironment env;
    env.kernel.SetTimeOfDay(11, 59, 58);
    PresetAlarm(env, 12, 0);
    env.registry.PutDword(kKey, "RampSeconds", 30);
    env.volume.session = 0.8f;  // where the user left the program's own volume
    ASSERT_FALSE(env.Start());
    ASSERT_TRUE(RunUntil(env, RingingLayout, 5000));
    // From a tenth, in steps, never down, and never touching the device.
    ASSERT_FALSE(env.volume.sessionChanges.empty());
    EXPECT_FLOAT_EQ(env.volume.sessionChanges.front(), 0.08f);
    EXPECT_FALSE(env.RunFor(15'000));
    EXPECT_NEAR(env.volume.session, 0.08f + (0.8f - 0.08f) / 2, 0.03f);
    if (snooze) {
      env.desktop.Click(SnoozeButton());
    } else {
      EXPECT_FALSE(env.RunFor(20'000));
      EXPECT_FLOAT_EQ(env.volume.session, 0.8f);
      env.desktop.Click(StopButton());
    }
    const auto& steps = env.volume.sessionChanges;
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end() - 1));
    EXPECT_GE(steps.size(), snooze ? 30u : 100u);
    EXPECT_FLOAT_EQ(env.volume.session, 0.8f);
    EXPECT_TRUE(env.volume.endpointChanges.empty());
    const std::size_t changes = steps.size();
    EXPECT_FALSE(env.RunFor(5000));
    EXPECT_EQ(steps.size(), changes);  // nothing moves once the ring is over
  }
  // Off (the default): the volume is left alone.
  TestEnvironment env;
  env.kernel.SetTimeOfDay(11, 59, 58);
  PresetAlarm(env, 12, 0);
  ASSERT_FALSE(env.Start());
  ASSERT_TRUE(RunUntil(env, RingingLayout, 5000));
  EXPECT_TRUE(env.volume.sessionChanges.empty());
}

TEST(RingOptions, AMutedOrQuietDeviceIsRaisedForTheRingAndPutBackExactlyByEveryEnd) {
  struct Case {
    AudioVolume::Endpoint found;
    AudioVolume::Endpoint during;  // what the ring sounds through
  };
  const Case cases[] = {
      {{true, 0.6f}, {false, 0.6f}},   // muted: unmuted, its level kept
      {{false, 0.1f}, {false, 0.25f}},  // quiet: raised to a quarter
      {{true, 0.0f}, {false, 0.25f}},   // both
      {{false, 0.5f}, {false, 0.5f}},   // loud enough: untouched
  };
  enum End { Stop, Snooze, TimeLimit, Exit };
  for (const Case& c : cases) {
    for (const End end : {Stop, Snooze, TimeLimit, Exit}) {
      SCOPED_TRACE(testing::Message() << c.found.muted << " " << c.found.level << " end " << end);
      TestEnvironment env;
      env.kernel.SetTimeOfDay(11, 59, 58);
      PresetAlarm(env, 12, 0);
      env.registry.PutDword(kKey, "AutoStopMinutes", 1);
      env.volume.endpoint = c.found;
      ASSERT_FALSE(env.Start());
      ASSERT_TRUE(RunUntil(env, RingingLayout, 5000));
      EXPECT_EQ(env.volume.endpoint, c.during);
      if (end == Stop) env.desktop.Click(StopButton());
      if (end == Snooze) env.desktop.Click(SnoozeButton());
      if (end == TimeLimit) {
        ASSERT_TRUE(RunUntil(env, [] { return !RingingLayout(); }, 65'000, 500));
      }
      if (end == Exit) {
        // The session ends while it rings (logoff, shutdown).
        EXPECT_TRUE(env.Do([] { FormMain->ExitProgram(); }).has_value());
      }
      EXPECT_EQ(env.volume.endpoint, c.found);
      EXPECT_EQ(env.volume.endpointChanges.size(), c.found == c.during ? 0u : 2u);
    }
  }
}

TEST(RingOptions, TheMuteRuleCanBeSwitchedOffAndADeviceThatRefusesChangesNothing) {
  for (const bool refuse : {false, true}) {
    TestEnvironment env;
    env.kernel.SetTimeOfDay(11, 59, 58);
    PresetAlarm(env, 12, 0);
    if (!refuse) env.registry.PutDword(kKey, "RingWhenMuted", 0);
    env.volume.refuseEndpoint = refuse;
    env.volume.endpoint = {true, 0.7f};
    ASSERT_FALSE(env.Start());
    ASSERT_TRUE(RunUntil(env, RingingLayout, 5000));
    EXPECT_EQ(env.volume.endpoint, (AudioVolume::Endpoint{true, 0.7f}));
    env.desktop.Click(StopButton());
    EXPECT_EQ(env.volume.endpoint, (AudioVolume::Endpoint{true, 0.7f}));
    EXPECT_TRUE(env.volume.endpointChanges.empty());
    EXPECT_TRUE(env.desktop.MessageBoxes().empty());
    if (refuse) {
      ASSERT_FALSE(env.kernel.debugLog.empty());
      EXPECT_EQ(env.kernel.debugLog.back(), "Ravilo: the output device refused to be unmuted or raised for the ring");
    }
  }
}

}  // namespace
