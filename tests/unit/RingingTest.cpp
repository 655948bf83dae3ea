// Whole rings on the headless desktop: from hidden and from shown, over a full-screen
// program, stop and snooze before the ringing movie, the playlist's tries, a sound that breaks off, and a whole day.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PetProbe.h"
#include "RingHelpers.h"
#include "TestEnvironment.h"
#include "alarm/AlarmUnit.h"
#include "app/Globals.h"
#include "pet/AnimatorUnit.h"
#include "pet/LogicWindow.h"
#include "shell/main.h"

namespace {
using namespace ring;
const char* kKey = TestEnvironment::kKey;
const std::string kDir = TestEnvironment::kProgramDir;

std::vector<std::string> OpenedFiles(const platform::fake::FakeMedia& media) {
  std::vector<std::string> files;
  for (const auto& c : media.Sent(platform::kMciOpen)) files.push_back(c.element);
  return files;
}
}  // namespace

TEST(Ringing, ARingWhileHiddenLoopsTheRingingMovieAtOnceAndEndsHiddenAgain) {
  TestEnvironment env;
  env.kernel.SetTimeOfDay(11, 59, 58);
  PresetAlarm(env, 12, 0);
  env.registry.PutDword(kKey, "hidden", 1);
  ASSERT_FALSE(env.Start());
  EXPECT_FALSE(env.RunFor(2900));
  EXPECT_FALSE(RingingLayout());
  ASSERT_TRUE(RunUntil(env, RingingLayout, 200));  // the 3-s tick at 12:00:01
  EXPECT_TRUE(Animator->View()->Visible());
  EXPECT_EQ(Showing(), 3);
  EXPECT_TRUE(Animator->View()->Loop());
  EXPECT_EQ(Logic->CurrentState(), StateRinging);
  EXPECT_TRUE(FormMain->ImageStop.Visible());
  EXPECT_TRUE(env.media.Sounding());
  // Exit and the tray icon are refused while it rings; the movie loops on.
  EXPECT_FALSE(env.ChooseFromTrayMenu("Exit"));
  EXPECT_FALSE(env.ClickTrayIcon());
  EXPECT_FALSE(env.RunFor(3 * Duration(3)));
  EXPECT_EQ(Showing(), 3);
  EXPECT_EQ(Logic->CurrentState(), StateRinging);

  env.desktop.Click(SnoozeButton());
  EXPECT_TRUE(Logic->IsHidden());
  EXPECT_FALSE(Animator->View()->Visible());
  EXPECT_FALSE(env.media.Sounding());
  EXPECT_FALSE(RingingLayout());
  // Ten minutes on it rings again, still from hidden, with the ringing movie at once.
  ASSERT_TRUE(RunUntil(env, RingingLayout, 600'000 + 5000, 1000));
  EXPECT_TRUE(Animator->View()->Visible());
  EXPECT_EQ(Showing(), 3);
  EXPECT_EQ(Logic->CurrentState(), StateRinging);
  env.desktop.Click(StopButton());
  EXPECT_TRUE(Logic->IsHidden());
  EXPECT_FALSE(Animator->View()->Visible());
  EXPECT_FALSE(env.media.Sounding());
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
  EXPECT_FALSE(env.RunFor(60'000));
  EXPECT_FALSE(RingingLayout());
  EXPECT_EQ(env.ChooseFromTrayMenu("Exit"), 1);
  EXPECT_EQ(env.registry.Dword(kKey, "hidden"), 1u);
}

TEST(Ringing, ARingWhileShownSoundsAtOnceAndLoopsTheMovieOnlyAfterTheIdleMovie) {
  TestEnvironment env;
  env.kernel.SetTimeOfDay(11, 59, 58);
  PresetAlarm(env, 12, 0);
  ASSERT_FALSE(env.Start());
  env.media.commands.clear();
  ASSERT_TRUE(RunUntil(env, RingingLayout, 10'000));  // the first check, when the greeting ends
  const int idle = Showing();
  EXPECT_GE(idle, CAnimator::kControlCount);
  EXPECT_EQ(Logic->CurrentState(), StateNormal);
  EXPECT_EQ(Logic->Pending(), CommandRing);
  EXPECT_TRUE(FormMain->ImageStop.Visible());
  EXPECT_TRUE(FormMain->Image10MinMore.Visible());
  EXPECT_EQ(OpenedFiles(env.media), std::vector<std::string>{kDir + kFallbackAlarmSound});
  EXPECT_EQ(env.media.Count(platform::kMciPlay), 1);
  EXPECT_TRUE(env.media.Sounding());
  // While the ring waits for the idle movie, exit and hide are refused as while ringing.
  EXPECT_FALSE(env.ChooseFromTrayMenu("Exit"));
  EXPECT_FALSE(env.ChooseFromTrayMenu("Hide"));
  EXPECT_EQ(Showing(), idle);
  EXPECT_EQ(Logic->Pending(), CommandRing);
  EXPECT_TRUE(FormMain->Show1.Checked());  // the mark follows the request made

  ASSERT_TRUE(RunUntil(env, [] { return Showing() == 3; }, Duration(idle) + 100));
  EXPECT_EQ(Logic->CurrentState(), StateRinging);
  EXPECT_TRUE(Animator->View()->Loop());
  EXPECT_FALSE(env.ChooseFromTrayMenu("Exit"));
  EXPECT_FALSE(env.ChooseFromTrayMenu("Hide"));
  EXPECT_FALSE(env.RunFor(5000));
  EXPECT_EQ(Showing(), 3);
  EXPECT_TRUE(Animator->View()->Visible());
  EXPECT_TRUE(env.media.Sounding());

  env.desktop.Click(StopButton());
  EXPECT_EQ(Logic->CurrentState(), StateNormal);
  EXPECT_GE(Showing(), CAnimator::kControlCount);  // the next idle movie, at once
  EXPECT_TRUE(Animator->IsPlaying());
  EXPECT_FALSE(env.media.Sounding());
  EXPECT_FALSE(RingingLayout());
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
  // Not again in what is left of the ring window.
  EXPECT_FALSE(RunUntil(env, RingingLayout, 60'000, 500));
}

TEST(Ringing, ARingComesOverAFullScreenProgramAndThePetGivesWayAgainAfterIt) {
  for (const bool hidden : {false, true}) {
    SCOPED_TRACE(hidden ? "hidden by the user" : "shown");
    TestEnvironment env;
    env.kernel.SetTimeOfDay(11, 59, 50);
    PresetAlarm(env, 12, 0);
    if (hidden) env.registry.PutDword(kKey, "hidden", 1);
    ASSERT_FALSE(env.Start());
    env.desktop.SetOtherProgramInFront(ui::Rect{0, 0, 1280, 800});
    ASSERT_TRUE(RunUntil(env, [] { return !FormMain->Visible(); }, 1000));
    ASSERT_TRUE(RunUntil(env, RingingLayout, 20'000));
    EXPECT_TRUE(FormMain->Visible());
    EXPECT_TRUE(FormMain->ImageStop.Visible());
    EXPECT_TRUE(env.media.Sounding());
    // Nothing played out of the way, so the ringing movie starts at once.
    EXPECT_EQ(Logic->CurrentState(), StateRinging);
    EXPECT_EQ(Showing(), 3);
    EXPECT_TRUE(Animator->View()->Visible());
    EXPECT_FALSE(env.RunFor(5000));
    EXPECT_TRUE(FormMain->Visible());
    EXPECT_EQ(Logic->CurrentState(), StateRinging);

    env.desktop.Click(hidden ? SnoozeButton() : StopButton());
    EXPECT_FALSE(env.media.Sounding());
    EXPECT_TRUE(RunUntil(env, [] { return !FormMain->Visible(); }, 1000));
    EXPECT_EQ(Logic->IsHidden(), hidden);
    EXPECT_FALSE(Animator->IsPlaying());
    env.desktop.SetOtherProgramInFront(std::nullopt);
    EXPECT_TRUE(RunUntil(env, [] { return FormMain->Visible(); }, 1000));
    EXPECT_EQ(Animator->View()->Visible(), !hidden);
    EXPECT_FALSE(RingingLayout());
    EXPECT_TRUE(env.desktop.MessageBoxes().empty());
    EXPECT_TRUE(env.kernel.debugLog.empty());  // no view left hidden by a way not foreseen
  }
}

TEST(Ringing, StopOrSnoozeBeforeTheRingingMovieDropsThePendingRing) {
  // By the buttons, or by Enter (stop) and Esc (snooze) on the ringing window.
  for (const auto& [snooze, byKey] : {std::pair{false, false}, {true, false}, {false, true}, {true, true}}) {
    SCOPED_TRACE(std::to_string(snooze) + (byKey ? " by key" : ""));
    TestEnvironment env;
    env.kernel.SetTimeOfDay(11, 59, 58);
    PresetAlarm(env, 12, 0);
    ASSERT_FALSE(env.Start());
    ASSERT_TRUE(RunUntil(env, RingingLayout, 10'000));
    const int idle = Showing();
    ASSERT_EQ(Logic->Pending(), CommandRing);
    env.RunFor(200);
    const std::int64_t pressedAt = Clock(env);
    if (byKey) {
      env.ClickTrayIcon();  // the user gives the pet the keyboard
      env.desktop.PressKey(snooze ? ui::kVkEscape : ui::kVkReturn);
    } else
      env.desktop.Click(snooze ? SnoozeButton() : StopButton());
    EXPECT_FALSE(env.media.Sounding());
    EXPECT_EQ(Logic->Pending(), CommandNone);
    EXPECT_EQ(Logic->CurrentState(), StateNormal);
    EXPECT_TRUE(Animator->View()->Visible());
    EXPECT_EQ(Showing(), idle);  // plays on
    EXPECT_TRUE(Animator->IsPlaying());
    EXPECT_FALSE(RingingLayout());
    EXPECT_TRUE(env.desktop.MessageBoxes().empty());  // the alarm knew it was ringing
    EXPECT_EQ(Alarm->Target(), snooze ? int(pressedAt + 600) : SecondsOfDay(12, 0, 0));
    // Without a ring the keys do nothing.
    const ui::Rect normal = FormMain->Bounds();
    env.ClickTrayIcon();
    env.desktop.PressKey(ui::kVkReturn);
    env.desktop.PressKey(ui::kVkEscape);
    EXPECT_EQ(FormMain->Bounds(), normal);
    EXPECT_EQ(Alarm->Target(), snooze ? int(pressedAt + 600) : SecondsOfDay(12, 0, 0));
    EXPECT_FALSE(RunUntil(env, [] { return Showing() == 3 || RingingLayout(); }, Duration(idle) + 30'000, 50));
    EXPECT_EQ(Logic->CurrentState(), StateNormal);
    EXPECT_TRUE(Animator->View()->Visible());
  }
}

TEST(Ringing, PlaylistEntriesAreTriedSixteenTimesBeforeTheProgramsOwnSound) {
  const std::vector<std::string> a{"C:\\Music\\a.wav"}, abc{"C:\\Music\\a.wav", "D:\\b.wav", "C:\\c.wav"};
  struct Case {
    std::vector<std::string> playlist;
    std::vector<std::string> tried;  // before alarm0.wav
  } cases[] = {
      {abc, {}},
      {a, std::vector<std::string>(16, a[0])},
      {{}, {}},
  };
  for (int i = 0; i < 16; ++i) cases[0].tried.push_back(abc[std::size_t(i % 3)]);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.playlist.size());
    TestEnvironment env;
    env.kernel.SetTimeOfDay(11, 59, 58);
    PresetAlarm(env, 12, 0, /*playlist=*/true);
    env.registry.PutDword(kKey, "hidden", 1);  // rings at the first 3-s tick
    std::string list = std::to_string(c.playlist.size()) + "\r\n";
    for (const std::string& entry : c.playlist) list += entry + "\r\n";
    env.files.Put(kDir + "Playlist.txt", list);
    int draw = 0;  // index draws cycling 0, 1, 2 over three entries
    SetRandomSource([&] { return (draw++ % 3) / 3.0 + 0.1; });
    ASSERT_FALSE(env.Start());
    ASSERT_EQ(Alarm->PlaylistCount(), int(c.playlist.size()));
    env.media.commands.clear();
    ASSERT_TRUE(RunUntil(env, RingingLayout, 3500, 100));
    std::vector<std::string> want = c.tried;
    want.push_back(kDir + kFallbackAlarmSound);
    EXPECT_EQ(OpenedFiles(env.media), want);
    EXPECT_TRUE(env.media.Sounding());
    EXPECT_EQ(Showing(), 3);
  }
}

TEST(Ringing, ASoundThatBreaksOffMidRingGoesOnWithTheProgramsOwnSoundAndComesBackWithTheDevice) {
  TestEnvironment env;
  env.kernel.SetTimeOfDay(11, 59, 58);
  PresetAlarm(env, 12, 0);
  env.registry.PutString(kKey, "AlarmSound", "C:\\Music\\headset.wav");
  env.files.Put("C:\\Music\\headset.wav", *env.files.Peek(kDir + kFallbackAlarmSound));
  env.registry.PutDword(kKey, "hidden", 1);  // rings at the first 3-s tick
  ASSERT_FALSE(env.Start());
  ASSERT_TRUE(RunUntil(env, RingingLayout, 3500, 100));
  ASSERT_TRUE(env.media.Sounding());
  env.media.commands.clear();
  // The device fails the restart at the end of the first pass (a headset unplugged): the
  // ring goes on with the program's own sound.
  env.media.failingPlays = 1;
  EXPECT_FALSE(env.RunFor(4000));
  EXPECT_EQ(OpenedFiles(env.media), std::vector<std::string>{kDir + kFallbackAlarmSound});
  EXPECT_TRUE(env.media.Sounding());
  // A device that fails every play (the sound server gone) is not tried in a loop but
  // every 10 s, with nothing left open between the tries...
  env.media.commands.clear();
  env.media.failingPlays = 1000;
  EXPECT_FALSE(env.RunFor(60'000));
  EXPECT_FALSE(env.media.Sounding());
  EXPECT_TRUE(env.media.OpenDevices().empty());
  EXPECT_GE(env.media.Count(platform::kMciPlay), 6);
  EXPECT_LE(env.media.Count(platform::kMciPlay), 7);
  EXPECT_TRUE(RingingLayout());
  // ...so that the ring is heard again within 10 s of its coming back.
  env.media.failingPlays = 0;
  EXPECT_TRUE(RunUntil(env, [&] { return env.media.Sounding(); }, 10'000, 100));
  // A device that stands still mid-play, neither ending nor reporting (the sound server gone
  // under Wine 8), is found out and the ring's sound starts again on another.
  const auto stalled = env.media.OpenDevices();
  ASSERT_EQ(stalled.size(), 1u);
  env.media.Stall(stalled[0]);
  EXPECT_TRUE(RunUntil(env, [&] { return env.media.Sounding(); }, 2 * 10'000 + 1000, 100));
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
  // Stop ends the tries with the ring.
  env.desktop.Click(StopButton());
  env.media.commands.clear();
  EXPECT_FALSE(env.RunFor(60'000));
  EXPECT_TRUE(env.media.commands.empty());
}

TEST(Ringing, AnOpenThatNeverAnswersGivesTheProgramsOwnSoundWithin20sAndTheNextRingItsOwn) {
  TestEnvironment env;
  env.kernel.SetTimeOfDay(11, 59, 58);
  PresetAlarm(env, 12, 0, /*playlist=*/true);
  env.registry.PutDword(kKey, "hidden", 1);  // rings at the first 3-s tick
  const std::string slow = "N:\\Music\\slow.wav";  // on a share still waking up
  env.files.Put(kDir + "Playlist.txt", "1\r\n" + slow + "\r\n");
  env.files.Put(slow, *env.files.Peek(kDir + kFallbackAlarmSound));
  env.media.hangOpensOf = "slow.wav";
  ASSERT_FALSE(env.Start());
  env.media.commands.clear();
  ASSERT_TRUE(RunUntil(env, RingingLayout, 3500, 100));
  const auto opens = env.media.Sent(platform::kMciOpen);
  ASSERT_FALSE(opens.empty());
  EXPECT_EQ(opens.front().element, slow);
  EXPECT_EQ(opens.back().element, kDir + kFallbackAlarmSound);
  EXPECT_EQ(opens.back().result, 0u);
  EXPECT_LE(opens.back().at - opens.front().at, 20'000);
  EXPECT_TRUE(env.media.Sounding());

  // The share answers by the snoozed ring, which plays the playlist's own entry.
  env.media.hangOpensOf.clear();
  env.desktop.Click(SnoozeButton());
  ASSERT_FALSE(RingingLayout());
  env.media.commands.clear();
  ASSERT_TRUE(RunUntil(env, RingingLayout, 11 * 60'000, 1000));
  EXPECT_EQ(env.media.Sent(platform::kMciOpen).back().element, slow);
  EXPECT_TRUE(env.media.Sounding());
  EXPECT_EQ(env.media.OpenDevices().size(), 1u);
}

TEST(Ringing, AWholeDayRingsAtEightThenTenMinutesAfterASnoozeAndNextDayAfterAStop) {
  TestEnvironment env;
  env.kernel.SetTimeOfDay(7, 0, 0);
  PresetAlarm(env, 8, 0);
  ASSERT_FALSE(env.Start());
  const std::int64_t eight = SecondsOfDay(8, 0, 0), day = kSecondsPerDay;
  // Quiet stretches in big steps: a ring lasts until a button is pressed, so one shows at
  // the end of the step it started in.
  auto quietUntil = [&](std::int64_t clock) {
    while (Clock(env) < clock) {
      const std::int64_t left = clock - Clock(env);
      ASSERT_FALSE(env.RunFor(std::min<std::int64_t>(left, 3600) * 1000));
      ASSERT_FALSE(RingingLayout()) << "rang at " << Clock(env);
    }
  };
  // The clock in ms at the end of the 100-ms step in which the ringing layout appeared.
  auto ringWithin = [&](std::int64_t limit) -> std::int64_t {
    if (!RunUntil(env, RingingLayout, limit * 1000, 100)) return -1;
    return env.kernel.startSecondOfDay * 1000 + env.desktop.Now();
  };
  // Whether a ring seen at the end of such a step began in the 30 s from target.
  auto inWindow = [](std::int64_t seenMs, std::int64_t target) {
    return seenMs >= target * 1000 && seenMs - 100 < (target + 30) * 1000;
  };

  quietUntil(eight - 10);
  EXPECT_PRED2(inWindow, ringWithin(60), eight);
  env.RunFor(20'000);  // it rings on
  EXPECT_TRUE(RingingLayout());
  EXPECT_EQ(Showing(), 3);

  const std::int64_t snoozed = Clock(env);
  env.desktop.Click(SnoozeButton());
  EXPECT_FALSE(RingingLayout());
  quietUntil(snoozed + 590);
  EXPECT_PRED2(inWindow, ringWithin(60), snoozed + 600);

  env.RunFor(5000);
  env.desktop.Click(StopButton());
  EXPECT_FALSE(RingingLayout());
  // Hidden overnight, shown again before eight.
  ASSERT_FALSE(env.ChooseFromTrayMenu("Hide"));
  quietUntil(day + eight - 120);
  ASSERT_TRUE(Logic->IsHidden());
  ASSERT_FALSE(env.ChooseFromTrayMenu("Hide"));
  quietUntil(day + eight - 10);
  ASSERT_FALSE(Logic->IsHidden());
  EXPECT_PRED2(inWindow, ringWithin(60), day + eight);
  env.desktop.Click(StopButton());
  EXPECT_EQ(Logic->CurrentState(), StateNormal);
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
}
