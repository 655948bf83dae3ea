#include <gtest/gtest.h>

#include <stdexcept>

#include "TestEnvironment.h"
#include "alarm/SoundSystemForm.h"

using namespace platform;
using Command = fake::FakeMedia::Command;

namespace {

constexpr const char* kAlarm = "Sounds\\Alarms\\alarm0.wav";  // 3000 ms
constexpr const char* kCodec = "Sounds\\load_codec.wav";      // 200 ms

std::string Le(std::uint32_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += char((v >> (8 * i)) & 0xFF);
  return s;
}

// A mono 16-bit WAV of 8000 Hz lasting ms, with an optional chunk before the format.
std::string MakeWav(std::uint32_t ms, const std::string& extraChunk = "") {
  const std::string samples(ms * 8 * 2, '\0');
  std::string fmt = "fmt " + Le(16, 4) + Le(1, 2) + Le(1, 2) + Le(8000, 4) + Le(16000, 4) + Le(2, 2) + Le(16, 2);
  std::string body = "WAVE" + extraChunk + fmt + "data" + Le(std::uint32_t(samples.size()), 4) + samples;
  return "RIFF" + Le(std::uint32_t(body.size()), 4) + body;
}

// The sound window alone on the headless desktop, with fake sound devices.
class SoundSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.kernel.currentDirectory = TestEnvironment::kProgramDir;
    ui::Application::Instance().CreateForm(FormSoundSystem);
    env.desktop.RunFor(1000);  // the warm-up sound ends
    media.commands.clear();
    media.notifications.clear();
  }
  void TearDown() override { ui::Application::Instance().DestroyForms(); }
  void Run(std::int64_t ms) { env.desktop.RunFor(ms); }
  TMediaPlayer& Player() { return FormSoundSystem->MediaPlayer; }
  void Notify(std::uint32_t kind, MciDeviceId device) {
    FormSoundSystem->PostMessage(kMmMciNotify, kind, std::intptr_t(device));
    env.desktop.ProcessMessages();
  }
  std::vector<std::uint32_t> CommandKinds() const {
    std::vector<std::uint32_t> kinds;
    for (const Command& c : media.commands) kinds.push_back(c.command);
    return kinds;
  }

  TestEnvironment env;
  fake::FakeMedia& media = env.media;
};

TEST(WaveDuration, ComesFromTheFormatAndDataChunks) {
  EXPECT_EQ(fake::WaveDurationMs(MakeWav(1500)), 1500u);
  // Other chunks, including an odd-sized one with its pad byte, are skipped.
  EXPECT_EQ(fake::WaveDurationMs(MakeWav(250, "LIST" + Le(3, 4) + "abc" + std::string(1, '\0'))), 250u);
  // Data cut short plays what is there.
  const std::string wav = MakeWav(1000);
  EXPECT_EQ(fake::WaveDurationMs(wav.substr(0, wav.size() - 8000)), 500u);
  EXPECT_FALSE(fake::WaveDurationMs("RIFF\x04\0\0\0WAVE"));
  EXPECT_FALSE(fake::WaveDurationMs("ID3 not a wave file at all"));
  EXPECT_FALSE(fake::WaveDurationMs(""));
}

TEST_F(SoundSystemTest, StopWithNothingPlayingSendsNothing) {
  SoundSystem->Stop();
  EXPECT_TRUE(media.commands.empty());
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
}

TEST_F(SoundSystemTest, PlayOpensPlaysToTheEndThenClosesItsDevice) {
  ASSERT_TRUE(SoundSystem->Play(kAlarm));
  EXPECT_TRUE(SoundSystem->IsActive());
  const std::uintptr_t window = FormSoundSystem->Peer()->NativeHandle();
  ASSERT_GE(media.commands.size(), 5u);
  const Command& open = media.commands.front();
  EXPECT_EQ(open.command, kMciOpen);
  EXPECT_EQ(open.flags, 0x202u);
  // Taken from the program's folder, not from the current directory.
  EXPECT_EQ(open.element, std::string(TestEnvironment::kProgramDir) + kAlarm);
  EXPECT_EQ(open.callback, window);
  EXPECT_EQ(media.commands[1].command, kMciStatus);
  EXPECT_EQ(media.commands[1].item, kMciStatusLength);
  EXPECT_EQ(Player().Length(), 3000u);
  // Standing at the start: no rewind; the play asks for a notification and nothing else.
  EXPECT_EQ(media.Count(kMciSeek), 0);
  const Command& play = media.commands.back();
  EXPECT_EQ(play.command, kMciPlay);
  EXPECT_EQ(play.flags, kMciNotify);
  EXPECT_EQ(play.callback, window);

  Run(2990);
  EXPECT_TRUE(media.Sounding());
  Run(20);
  EXPECT_FALSE(SoundSystem->IsActive());
  EXPECT_TRUE(media.OpenDevices().empty());
  EXPECT_EQ(media.Count(kMciPlay), 1);
  EXPECT_EQ(media.Sent(kMciStop).at(0).flags, kMciWait);
  EXPECT_EQ(media.Sent(kMciClose).at(0).flags, kMciWait);
  EXPECT_EQ(Player().FileName(), "");
}

TEST_F(SoundSystemTest, AFileThatCannotBeOpenedFailsAndTheNextGoodFileLoops) {
  env.files.Put("Sounds\\notes.wav", "just text");
  env.files.Put("Sounds\\tune.mp3", MakeWav(100));
  for (const char* bad : {"Sounds\\missing.wav", "Sounds\\notes.wav", "Sounds\\tune.mp3"}) {
    EXPECT_FALSE(SoundSystem->PlayLooped(bad)) << bad;
    EXPECT_FALSE(SoundSystem->IsActive());
    EXPECT_EQ(Player().FileName(), bad);
  }
  EXPECT_TRUE(media.OpenDevices().empty());
  EXPECT_EQ(media.Count(kMciPlay), 0);
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());

  ASSERT_TRUE(SoundSystem->PlayLooped(kAlarm));
  Run(3 * 3000 + 500);
  // Each end rewinds the same device and plays it again, without reopening it.
  EXPECT_EQ(media.Count(kMciPlay), 4);
  EXPECT_EQ(media.Count(kMciSeek), 3);
  EXPECT_EQ(media.Sent(kMciSeek).at(0).flags, kMciSeekToStart | kMciWait);
  EXPECT_EQ(media.Count(kMciOpen), 4);
  EXPECT_TRUE(media.Sounding());
  EXPECT_TRUE(SoundSystem->IsActive());
}

TEST_F(SoundSystemTest, OpenErrorsCarryMciTextOrUnknownErrorCode) {
  Player().SetFileName("Sounds\\missing.wav");
  try {
    Player().Open();
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Cannot find the specified file. Make sure the path and filename are correct.");
  }
  media.failOpen = 999;
  Player().SetFileName(kAlarm);
  try {
    Player().Open();
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Unknown error code");
  }
  EXPECT_FALSE(Player().DeviceOpen());
  for (auto op : {&TMediaPlayer::Play, &TMediaPlayer::Stop}) {
    try {
      (Player().*op)();
      FAIL() << "no error";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "No MCI device open");
    }
  }
}

TEST_F(SoundSystemTest, ANewFileClosesTheLoopingOneFirstAndItsAbortDoesNotStopTheNew) {
  env.files.Put("Sounds\\b.wav", MakeWav(1000));
  ASSERT_TRUE(SoundSystem->PlayLooped(kAlarm));
  const MciDeviceId a = Player().DeviceId();
  Run(1000);
  media.commands.clear();
  ASSERT_TRUE(SoundSystem->PlayLooped("Sounds\\b.wav"));
  ASSERT_GE(media.commands.size(), 2u);
  EXPECT_EQ(media.commands[0].command, kMciClose);
  EXPECT_EQ(media.commands[0].device, a);
  EXPECT_EQ(media.commands[1].command, kMciOpen);
  // A's aborted play reports back (with the number B now has), then B loops on.
  Run(3500);
  ASSERT_FALSE(media.notifications.empty());
  EXPECT_EQ(media.notifications[0].kind, kMciNotifyAborted);
  EXPECT_EQ(media.ElementOf(Player().DeviceId()), std::string(TestEnvironment::kProgramDir) + "Sounds\\b.wav");
  EXPECT_EQ(media.Count(kMciPlay), 4);
  EXPECT_TRUE(SoundSystem->IsActive());
  EXPECT_TRUE(media.Sounding());
}

TEST_F(SoundSystemTest, StopDuringALoopSilencesAndTheLateNotificationChangesNothing) {
  ASSERT_TRUE(SoundSystem->PlayLooped(kAlarm));
  Run(1500);
  SoundSystem->Stop();
  EXPECT_FALSE(media.Sounding());
  EXPECT_TRUE(media.OpenDevices().empty());
  EXPECT_FALSE(SoundSystem->IsActive());
  const std::size_t sent = media.commands.size();
  Run(10'000);
  ASSERT_EQ(media.notifications.size(), 1u);
  EXPECT_EQ(media.notifications[0].kind, kMciNotifyAborted);
  EXPECT_EQ(media.commands.size(), sent);
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
  // A successful end reported for a device gone by then changes nothing either.
  Notify(kMciNotifySuccessful, 1);
  EXPECT_EQ(media.commands.size(), sent);
}

TEST_F(SoundSystemTest, NotificationsOtherThanTheEndNeverRestartTheFile) {
  ASSERT_TRUE(SoundSystem->PlayLooped(kAlarm));
  const MciDeviceId device = Player().DeviceId();
  for (int i = 0; i < 20; ++i) {
    Notify(kMciNotifySuperseded, device);
    Notify(kMciNotifyAborted, device);
  }
  EXPECT_EQ(media.Count(kMciPlay), 1);
  EXPECT_TRUE(SoundSystem->IsActive());
  // A notification after a looped file failed to open (name kept, no device) is harmless.
  SoundSystem->Stop();
  ASSERT_FALSE(SoundSystem->PlayLooped("Sounds\\missing.wav"));
  const std::size_t sent = media.commands.size();
  Notify(kMciNotifySuccessful, device);
  Notify(kMciNotifyFailure, device);
  EXPECT_EQ(media.commands.size(), sent);
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
}

TEST_F(SoundSystemTest, ADeviceWhosePlaysFailCannotKeepTheLoopSpinning) {
  // Every play is taken but reports a device error at once: the loop ends.
  media.playNotifiesFailure = true;
  ASSERT_TRUE(SoundSystem->PlayLooped(kAlarm));
  Run(10 * 60'000);
  EXPECT_EQ(media.Count(kMciPlay), 1);
  EXPECT_FALSE(SoundSystem->IsActive());
  EXPECT_TRUE(media.OpenDevices().empty());

  // Every play is refused with an error, and so no notification comes: the file counts as
  // one that cannot be played, at once, with its device closed, so the caller tries another.
  media.playNotifiesFailure = false;
  media.failPlay = kMciErrWaveOutputsUnsuitable;
  media.commands.clear();
  EXPECT_FALSE(SoundSystem->PlayLooped(kAlarm));
  EXPECT_FALSE(SoundSystem->IsActive());
  EXPECT_TRUE(media.OpenDevices().empty());
  // A restart refused at the end of a pass ends the loop the same way.
  media.failPlay = 0;
  ASSERT_TRUE(SoundSystem->PlayLooped(kAlarm));
  media.failPlay = kMciErrHardware;
  media.commands.clear();
  Run(10 * 60'000);
  EXPECT_EQ(media.Count(kMciPlay), 1);
  EXPECT_FALSE(SoundSystem->IsActive());
  EXPECT_TRUE(media.OpenDevices().empty());
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
}

TEST_F(SoundSystemTest, ADeviceThatCannotAnswerForItselfIsClosedAtOnce) {
  for (MciError fake::FakeMedia::*failure : {&fake::FakeMedia::failStatus, &fake::FakeMedia::failDevCaps}) {
    media.*failure = kMciErrDriver;
    media.commands.clear();
    EXPECT_FALSE(SoundSystem->PlayLooped(kAlarm));
    EXPECT_FALSE(SoundSystem->IsActive());
    // Opened, asked, closed: nothing is left held for the next open to find.
    EXPECT_EQ(media.Count(kMciOpen), 1);
    EXPECT_EQ(media.Count(kMciClose), 1);
    EXPECT_TRUE(media.OpenDevices().empty());
    EXPECT_FALSE(Player().DeviceOpen());
    media.*failure = 0;
  }
  // It answered when opened but not where it stands when asked to play: closed as well, at
  // the first play and at a loop's restart alike, and with nothing left to stop, no box.
  media.failStatusItem = kMciStatusPosition;
  media.failStatus = kMciErrDriver;
  EXPECT_FALSE(SoundSystem->PlayLooped(kAlarm));
  EXPECT_TRUE(media.OpenDevices().empty());
  EXPECT_FALSE(Player().DeviceOpen());
  media.failStatus = 0;
  ASSERT_TRUE(SoundSystem->PlayLooped(kAlarm));
  media.failStatus = kMciErrDriver;
  Run(3500);
  EXPECT_FALSE(SoundSystem->IsActive());
  EXPECT_TRUE(media.OpenDevices().empty());
  EXPECT_FALSE(Player().DeviceOpen());
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
  media.failStatus = 0;
  // The next file plays as if nothing had happened.
  ASSERT_TRUE(SoundSystem->PlayLooped(kAlarm));
  EXPECT_TRUE(media.Sounding());
  EXPECT_EQ(media.OpenDevices().size(), 1u);
}

TEST_F(SoundSystemTest, ALoopStartsOverFromTheStartWhereverTheDeviceSaysItEnded) {
  // This device reports its end 40 ms short of the length it gave.
  media.endPositionShortMs = 40;
  ASSERT_TRUE(SoundSystem->PlayLooped(kAlarm));
  Run(3 * 3000 + 500);
  // One whole play per 3 s, each restart from the start: never a run of 40 ms tails.
  EXPECT_EQ(media.Count(kMciPlay), 4);
  EXPECT_EQ(media.Count(kMciSeek), 3);
  EXPECT_TRUE(media.Sounding());
}

TEST_F(SoundSystemTest, AFailedStopOrCloseShowsNoBoxLeavesNothingSoundingAndLosesNoDevice) {
  ASSERT_TRUE(SoundSystem->PlayLooped(kAlarm));
  const MciDeviceId first = Player().DeviceId();
  // The stop fails: the close still ends the play, and nothing is shown.
  media.failStop = kMciErrDriver;
  SoundSystem->Stop();
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
  EXPECT_FALSE(media.Sounding());
  EXPECT_TRUE(media.OpenDevices().empty());
  EXPECT_FALSE(SoundSystem->IsActive());
  EXPECT_EQ(Player().FileName(), "");
  media.failStop = 0;

  // Stop and close fail: the song can't be silenced now, but its device is kept, the next
  // file opens on another one, and the next stop closes both.
  ASSERT_TRUE(SoundSystem->PlayLooped(kAlarm));
  const MciDeviceId held = Player().DeviceId();
  EXPECT_EQ(held, first);
  media.failStop = media.failClose = kMciErrDriver;
  SoundSystem->Stop();
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
  EXPECT_EQ(media.OpenDevices(), std::vector<MciDeviceId>{held});
  media.failStop = media.failClose = 0;
  ASSERT_TRUE(SoundSystem->Play(kCodec));
  EXPECT_NE(Player().DeviceId(), held);
  SoundSystem->Stop();
  EXPECT_TRUE(media.OpenDevices().empty());
  EXPECT_FALSE(media.Sounding());
  EXPECT_FALSE(Player().HoldsLeftOvers());
}

TEST_F(SoundSystemTest, AGivenUpPlayThatStartsLaterIsNeitherLoopedNorLeftSounding) {
  // The play is given up and its device gives up the close too; 5 s after it was sent it
  // starts after all. It plays through once, unlooped, and its device is then closed.
  media.hangingPlays = 1;
  EXPECT_FALSE(SoundSystem->PlayLooped(kAlarm));
  EXPECT_FALSE(SoundSystem->IsActive());
  Run(1500);
  ASSERT_TRUE(media.Sounding());
  Run(3000);
  EXPECT_FALSE(media.Sounding());
  EXPECT_TRUE(media.OpenDevices().empty());
  EXPECT_EQ(media.Count(kMciPlay), 1);

  // Stop silences one that starts late, with nothing else playing and with another file.
  media.hangingPlays = 1;
  EXPECT_FALSE(SoundSystem->PlayLooped(kAlarm));
  Run(1500);
  ASSERT_TRUE(media.Sounding());
  SoundSystem->Stop();
  EXPECT_FALSE(media.Sounding());
  media.hangingPlays = 1;
  EXPECT_FALSE(SoundSystem->PlayLooped(kAlarm));
  ASSERT_TRUE(SoundSystem->PlayLooped(kCodec));
  Run(1500);
  ASSERT_TRUE(media.Sounding());
  SoundSystem->Stop();
  EXPECT_FALSE(media.Sounding());
  EXPECT_TRUE(media.OpenDevices().empty());
  Run(10'000);
  EXPECT_FALSE(media.Sounding());
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
}

TEST_F(SoundSystemTest, DestroyingTheWindowStopsAndReleasesTheDevice) {
  ASSERT_TRUE(SoundSystem->PlayLooped(kAlarm));
  media.failStop = kMciErrDriver;  // the stop fails: the player's own close still releases it
  ui::Application::Instance().DestroyForms();
  EXPECT_EQ(SoundSystem, nullptr);
  EXPECT_EQ(FormSoundSystem, nullptr);
  EXPECT_TRUE(media.OpenDevices().empty());
  EXPECT_EQ(CommandKinds().back(), kMciClose);
}

TEST(SoundSystemStartup, TheWarmUpSoundPlaysOnceAndClosesItsDevice) {
  TestEnvironment env;
  ASSERT_FALSE(env.Start());
  ASSERT_NE(SoundSystem, nullptr);
  ASSERT_EQ(env.media.Count(kMciOpen), 1);
  EXPECT_EQ(env.media.commands.front().element, std::string(TestEnvironment::kProgramDir) + kCodec);
  EXPECT_FALSE(FormSoundSystem->Visible());
  EXPECT_FALSE(env.RunFor(1000));
  EXPECT_EQ(env.media.Count(kMciPlay), 1);
  EXPECT_EQ(env.media.Count(kMciClose), 1);
  EXPECT_TRUE(env.media.OpenDevices().empty());
  EXPECT_FALSE(SoundSystem->IsActive());
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
}

}  // namespace
