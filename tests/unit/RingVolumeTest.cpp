// How loud a ring is, on the whole program: the gentle start, the mute rule, and putting
// every device back as it was found, also after a run that could not.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "RingHelpers.h"
#include "TestEnvironment.h"
#include "alarm/RingVolume.h"
#include "shell/main.h"

namespace platform {
void PrintTo(const AudioVolume::Level& l, std::ostream* os) { *os << (l.muted ? "muted " : "on ") << l.level; }
}  // namespace platform

namespace {
using namespace ring;
using platform::AudioVolume;
using Level = AudioVolume::Level;
const char* kKey = TestEnvironment::kKey;
constexpr const char* kHeadset = "{0.0.0.00000000}.{headset}";

// Where the first event that starts with `prefix` stands at or after `from`; the end when none.
std::size_t Find(const std::vector<std::string>& events, const std::string& prefix, std::size_t from = 0) {
  for (std::size_t i = from; i < events.size(); ++i)
    if (events[i].rfind(prefix, 0) == 0) return i;
  return events.size();
}

std::string Events(const std::vector<std::string>& events) {
  std::string all;
  for (const std::string& e : events) all += e + "\n";
  return all;
}

// The device the ring's sound plays on.
platform::MciDeviceId RingDevice(TestEnvironment& env) {
  for (const platform::MciDeviceId id : env.media.OpenDevices())
    if (env.media.ElementOf(id).find("alarm0.wav") != std::string::npos) return id;
  return 0;
}

void StartRingAtNoon(TestEnvironment& env) {
  env.kernel.SetTimeOfDay(11, 59, 58);
  PresetAlarm(env, 12, 0);
}

TEST(RingVolume, AGentleStartActsOnTheSoundItselfFromBeforeItsFirstPlayUntilAfterItsStop) {
  for (const bool snooze : {false, true}) {
    SCOPED_TRACE(snooze);
    TestEnvironment env;
    StartRingAtNoon(env);
    env.registry.PutDword(kKey, "RampSeconds", 30);
    env.volume.Endpoint() = {false, 0.1f};  // quiet: raised for the ring
    ASSERT_FALSE(env.Start());
    ASSERT_TRUE(RunUntil(env, RingingLayout, 5000));
    const auto& ev = env.events;
    // Made heard, opened where the sound takes a volume, a tenth set, and only then played.
    const std::size_t raised = Find(ev, std::string("volume: device ") + env.volume.kSpeakers + " on 0.250");
    const std::size_t open = Find(ev, "mci: open " + std::string(TestEnvironment::kProgramDir) + "Sounds\\Alarms\\alarm0.wav");
    ASSERT_LT(open + 2, ev.size()) << Events(ev);
    EXPECT_LT(raised, open) << Events(ev);
    EXPECT_EQ(ev[open + 1], "mci: setaudio 100") << Events(ev);
    EXPECT_EQ(ev[open + 2], "mci: play") << Events(ev);
    const platform::MciDeviceId device = RingDevice(env);
    EXPECT_FALSE(env.RunFor(15'000));
    ASSERT_TRUE(env.media.VolumeOf(device));
    EXPECT_NEAR(double(*env.media.VolumeOf(device)), 550.0, 30.0);
    if (snooze) {
      env.desktop.Click(SnoozeButton());
    } else {
      EXPECT_FALSE(env.RunFor(20'000));
      EXPECT_EQ(env.media.VolumeOf(device), 1000u);
      EXPECT_TRUE(env.media.Sounding()) << "the loop goes on, on the device that takes a volume";
      env.desktop.Click(StopButton());
    }
    std::vector<std::uint32_t> volumes;
    for (const auto& c : env.media.Sent(platform::kMciSetAudio)) volumes.push_back(c.value);
    EXPECT_TRUE(std::is_sorted(volumes.begin(), volumes.end()));
    EXPECT_GE(volumes.size(), snooze ? 30u : 100u);
    // Silent first, then the device goes back; the program's own volume is never touched.
    const std::size_t stop = Find(ev, "mci: stop", open);
    const std::size_t back = Find(ev, std::string("volume: device ") + env.volume.kSpeakers + " on 0.100");
    EXPECT_LT(stop, back) << Events(ev);
    EXPECT_LT(back, ev.size()) << Events(ev);
    EXPECT_EQ(Find(ev, "mci: setaudio", stop), ev.size()) << Events(ev);
    EXPECT_TRUE(env.volume.Changes(true).empty());
    const std::size_t count = ev.size();
    EXPECT_FALSE(env.RunFor(5000));
    EXPECT_EQ(ev.size(), count) << "nothing moves once the ring is over";
  }
  // Off (the default): the sound opens where MCI picks and nothing sets its volume.
  TestEnvironment env;
  StartRingAtNoon(env);
  ASSERT_FALSE(env.Start());
  ASSERT_TRUE(RunUntil(env, RingingLayout, 5000));
  EXPECT_EQ(env.media.Count(platform::kMciSetAudio), 0);
  EXPECT_FALSE(env.media.VolumeOf(RingDevice(env)));
  EXPECT_TRUE(env.volume.changes.empty());
}

TEST(RingVolume, ASoundThatTakesNoVolumeRampsTheProgramsSessionLoweredBeforeThePlayAndPutBackAfterTheStop) {
  TestEnvironment env;
  StartRingAtNoon(env);
  env.registry.PutDword(kKey, "RampSeconds", 30);
  env.media.digitalVideo = false;  // no such device: every file opens on the wave device
  env.volume.Session() = {false, 0.8f};
  ASSERT_FALSE(env.Start());
  ASSERT_TRUE(RunUntil(env, RingingLayout, 5000));
  const auto& ev = env.events;
  const std::size_t lowered = Find(ev, std::string("volume: session ") + env.volume.kSpeakers + " on 0.080");
  const std::size_t play = Find(ev, "mci: play", Find(ev, "mci: open " + std::string(TestEnvironment::kProgramDir) + "Sounds\\Alarms"));
  EXPECT_LT(lowered, play) << Events(ev);
  EXPECT_FALSE(env.RunFor(15'000));
  EXPECT_NEAR(env.volume.Session().level, 0.08f + (0.8f - 0.08f) / 2, 0.03f);
  env.desktop.Click(StopButton());
  EXPECT_EQ(env.volume.Session(), (Level{false, 0.8f}));
  const std::size_t stop = Find(ev, "mci: stop", play);
  const std::size_t back = Find(ev, std::string("volume: session ") + env.volume.kSpeakers + " on 0.800");
  EXPECT_LT(stop, back) << Events(ev);
  EXPECT_LT(back, ev.size()) << Events(ev);
  std::vector<float> levels;
  for (const Level& l : env.volume.Changes(true)) levels.push_back(l.level);
  EXPECT_TRUE(std::is_sorted(levels.begin(), levels.end()));
  EXPECT_EQ(env.registry.String(kKey, CRingVolume::kStoreValue), "");
}

TEST(RingVolume, AMutedOrQuietDeviceOrAMutedProgramIsMadeHeardAndPutBackExactlyByEveryEnd) {
  struct Case {
    Level device, session;              // as found
    Level deviceDuring, sessionDuring;  // what the ring sounds through
  };
  const Level full{};
  const Case cases[] = {
      {{true, 0.6f}, full, {false, 0.6f}, full},            // muted: unmuted, its level kept
      {{false, 0.1f}, full, {false, 0.25f}, full},          // quiet: raised to a quarter
      {{true, 0.0f}, full, {false, 0.25f}, full},           // both
      {{false, 0.5f}, full, {false, 0.5f}, full},           // loud enough: untouched
      {full, {true, 0.7f}, full, {false, 0.7f}},            // the program muted in the mixer
      {full, {false, 0.0f}, full, {false, 0.25f}},          // its slider at 0
      {full, {false, 0.05f}, full, {false, 0.05f}},         // low but not off: the user's choice
  };
  enum End { Stop, Snooze, TimeLimit, Exit };
  for (const Case& c : cases) {
    for (const End end : {Stop, Snooze, TimeLimit, Exit}) {
      SCOPED_TRACE(testing::Message() << c.device.muted << " " << c.device.level << " / " << c.session.muted << " "
                                      << c.session.level << " end " << end);
      TestEnvironment env;
      StartRingAtNoon(env);
      env.registry.PutDword(kKey, "AutoStopMinutes", 1);
      env.volume.Endpoint() = c.device;
      env.volume.Session() = c.session;
      ASSERT_FALSE(env.Start());
      ASSERT_TRUE(RunUntil(env, RingingLayout, 5000));
      EXPECT_EQ(env.volume.Endpoint(), c.deviceDuring);
      EXPECT_EQ(env.volume.Session(), c.sessionDuring);
      if (end == Stop) env.desktop.Click(StopButton());
      if (end == Snooze) env.desktop.Click(SnoozeButton());
      if (end == TimeLimit) {
        ASSERT_TRUE(RunUntil(env, [] { return !RingingLayout(); }, 65'000, 500));
      }
      if (end == Exit) {
        // The session ends while it rings (logoff, shutdown): silent before it is put back.
        EXPECT_TRUE(env.Do([] { FormMain->ExitProgram(); }).has_value());
        if (!(c.device == c.deviceDuring && c.session == c.sessionDuring)) {
          EXPECT_LT(Find(env.events, "mci: stop", Find(env.events, "mci: play")), Find(env.events, "volume: ", 1))
              << Events(env.events);
        }
      }
      EXPECT_EQ(env.volume.Endpoint(), c.device);
      EXPECT_EQ(env.volume.Session(), c.session);
      EXPECT_EQ(env.volume.changes.size(), (c.device == c.deviceDuring ? 0u : 2u) + (c.session == c.sessionDuring ? 0u : 2u));
    }
  }
}

TEST(RingVolume, TwoDevicesWithTheDefaultChangingMidRingAreEachPutBackAsFound) {
  TestEnvironment env;
  StartRingAtNoon(env);
  env.volume.Endpoint() = {true, 0.6f};
  ASSERT_FALSE(env.Start());
  ASSERT_TRUE(RunUntil(env, RingingLayout, 5000));
  EXPECT_EQ(env.volume.Endpoint(), (Level{false, 0.6f}));
  // A muted headset is plugged in and becomes the default; the ring is made heard on it too.
  env.volume.Endpoint(kHeadset) = {true, 0.1f};
  env.volume.defaultDevice = kHeadset;
  EXPECT_FALSE(env.RunFor(2000));
  EXPECT_EQ(env.volume.Endpoint(kHeadset), (Level{false, 0.25f}));
  env.desktop.Click(StopButton());
  EXPECT_EQ(env.volume.Endpoint(), (Level{true, 0.6f}));
  EXPECT_EQ(env.volume.Endpoint(kHeadset), (Level{true, 0.1f}));
  EXPECT_EQ(env.volume.Changes(false).size(), 2u);
  EXPECT_EQ(env.volume.Changes(false, kHeadset).size(), 2u);
}

TEST(RingVolume, WhatCouldNotBePutBackIsStoredAndPutBackAtTheNextStartOrRing) {
  // A run killed during a gentle start on the session, with the speakers raised: what it
  // found is stored, and the next start puts it back. A line that doesn't read is left out.
  {
    TestEnvironment env;
    env.volume.Endpoint() = {false, 0.25f};
    env.volume.Session() = {false, 0.08f};
    env.registry.PutString(kKey, CRingVolume::kStoreValue,
                           std::string("d 1 0.6 ") + env.volume.kSpeakers + "\nx 0 0.1 junk\nd 0 7 {bad}\ns 0 0.8 " +
                               env.volume.kSpeakers + "\n");
    ASSERT_FALSE(env.Start());
    EXPECT_EQ(env.volume.Endpoint(), (Level{true, 0.6f}));
    EXPECT_EQ(env.volume.Session(), (Level{false, 0.8f}));
    EXPECT_EQ(env.registry.String(kKey, CRingVolume::kStoreValue), "");
  }
  // During a ring, what was found is stored; a device that refuses to go back keeps it
  // stored, and the next ring puts it back before it makes anything louder.
  TestEnvironment env;
  StartRingAtNoon(env);
  env.volume.Endpoint() = {true, 0.6f};
  ASSERT_FALSE(env.Start());
  ASSERT_TRUE(RunUntil(env, RingingLayout, 5000));
  const std::string found = std::string("d 1 0.6 ") + env.volume.kSpeakers + "\n";
  EXPECT_EQ(env.registry.String(kKey, CRingVolume::kStoreValue), found);
  env.volume.devices[env.volume.kSpeakers].refuse = true;
  env.desktop.Click(SnoozeButton());
  EXPECT_EQ(env.volume.Endpoint(), (Level{false, 0.6f}));
  EXPECT_EQ(env.registry.String(kKey, CRingVolume::kStoreValue), found);
  env.volume.devices[env.volume.kSpeakers].refuse = false;
  env.events.clear();
  ASSERT_TRUE(RunUntil(env, RingingLayout, 11 * 60'000, 1000));
  ASSERT_GE(env.events.size(), 2u);
  EXPECT_EQ(env.events[0], std::string("volume: device ") + env.volume.kSpeakers + " muted 0.600");
  EXPECT_EQ(env.events[1], std::string("volume: device ") + env.volume.kSpeakers + " on 0.600");
  env.desktop.Click(StopButton());
  EXPECT_EQ(env.volume.Endpoint(), (Level{true, 0.6f}));
  EXPECT_EQ(env.registry.String(kKey, CRingVolume::kStoreValue), "");
}

TEST(RingVolume, TheMuteRuleCanBeSwitchedOffAndADeviceThatRefusesChangesNothing) {
  for (const bool refuse : {false, true}) {
    TestEnvironment env;
    StartRingAtNoon(env);
    if (!refuse) env.registry.PutDword(kKey, "RingWhenMuted", 0);
    env.volume.devices[env.volume.kSpeakers].refuse = refuse;
    env.volume.Endpoint() = {true, 0.7f};
    ASSERT_FALSE(env.Start());
    ASSERT_TRUE(RunUntil(env, RingingLayout, 5000));
    EXPECT_EQ(env.volume.Endpoint(), (Level{true, 0.7f}));
    env.desktop.Click(StopButton());
    EXPECT_EQ(env.volume.Endpoint(), (Level{true, 0.7f}));
    EXPECT_TRUE(env.volume.changes.empty());
    EXPECT_TRUE(env.desktop.MessageBoxes().empty());
    EXPECT_EQ(env.registry.String(kKey, CRingVolume::kStoreValue), "");
    if (refuse) {
      EXPECT_NE(std::find(env.kernel.debugLog.begin(), env.kernel.debugLog.end(),
                          "Ravilo: the output device refused to be unmuted or raised for the ring"),
                env.kernel.debugLog.end());
    }
  }
}

}  // namespace
