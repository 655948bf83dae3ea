#include "alarm/SoundSystemForm.h"

#include <algorithm>
#include <exception>

#include "app/Globals.h"
#include "platform/Media.h"
#include "platform/Platform.h"

namespace {

void Log(const std::string& text) { platform::kernel().DebugLog("Ravilo: sound: " + text); }

}  // namespace

CSoundSystem::CSoundSystem(TMediaPlayer& player) : Player(player) {
  Player.SetFileName("");
  RetryTimer.SetInterval(kRingRetryMs);
  RetryTimer.OnTimer = [this] { RetryTimerTimer(); };
}

CSoundSystem::~CSoundSystem() { Stop(); }

bool CSoundSystem::Start(const std::string& file, Owner owner, std::uint32_t limitMs) {
  bool result = true;
  LastPosition = kNotLooked;
  Active = true;
  CurrentOwner = owner;
  try {
    Looping = false;
    Player.SetFileName(file);
    VolumeHeld = false;
    Player.Open(limitMs, Volume.has_value());
    if (Volume) {
      VolumeHeld = Player.SetVolume(*Volume) == 0;
      if (!VolumeHeld && OnVolumeRefused) OnVolumeRefused();
    }
    Player.Play();
    // A device that took the file but refused to play it (a format no output can play, or
    // a play given up) sends no notification and would stay silent: the file counts as one
    // that cannot be played, and the caller tries another.
    if (Player.LastError() != 0) {
      Player.Close();
      result = false;
      Active = false;
    }
  } catch (const std::exception&) {
    // The file name stays as it was given; the caller tries another file.
    result = false;
    Active = false;
  }
  return result;
}

bool CSoundSystem::Play(const std::string& file, Owner owner, std::uint32_t limitMs) {
  EndRing();
  return Start(file, owner, limitMs);
}

bool CSoundSystem::PlayLooped(const std::string& file, Owner owner, std::uint32_t limitMs) {
  const bool result = Play(file, owner, limitMs);
  Looping = true;
  return result;
}

bool CSoundSystem::Ring(int tries, const std::function<std::string()>& nextFile, const std::string& fallback) {
  EndRing();
  const std::int64_t began = platform::kernel().GetSystemTimeMs();
  bool playing = false;
  for (int attempt = 0; attempt < tries && !playing; ++attempt) {
    // A clock set back counts as no time spent, one set forward as the budget spent.
    const std::int64_t spent = std::max<std::int64_t>(0, platform::kernel().GetSystemTimeMs() - began);
    if (spent >= kRingBudgetMs) {
      Log("the ring's own sound took " + std::to_string(spent) + " ms; its fallback plays");
      break;
    }
    playing = Start(nextFile(), nullptr, std::uint32_t(kRingBudgetMs - spent));
  }
  OwnSoundRang = false;
  if (!playing) {
    playing = Start(fallback, nullptr, kFallbackLimitMs);
    // An empty playlist chose nothing that could fail.
    OwnSoundRang = playing && tries > 0;
  }
  Looping = true;
  RingFallback = fallback;
  FallbackAtBreak = true;
  RetryTimer.SetEnabled(!fallback.empty());
  return playing;
}

void CSoundSystem::EndRing() {
  RingFallback.clear();
  FallbackAtBreak = false;
  RetryTimer.SetEnabled(false);
}

void CSoundSystem::Halt() {
  if (!Active && !Player.DeviceOpen() && !Player.HoldsLeftOvers()) return;
  Looping = false;
  // A play that failed may have closed its device already: nothing is left to stop. The
  // close follows a failed stop too: it ends the play of a device that still answers.
  if (Player.DeviceOpen()) {
    try {
      Player.Stop();
    } catch (const std::exception& e) {
      Log(std::string("the stop failed: ") + e.what() + "; the device is closed");
    }
    Player.Close();
  }
  Player.CloseLeftOvers();
  Player.SetFileName("");
  Active = false;
  CurrentOwner = nullptr;
}

void CSoundSystem::Stop() {
  EndRing();
  Halt();
}

void CSoundSystem::SetVolume(std::optional<std::uint32_t> level) {
  Volume = level;
  if (level && VolumeHeld && Active && Player.DeviceOpen()) Player.SetVolume(*level);
}

void CSoundSystem::StopOwn(Owner owner) {
  if (Active && CurrentOwner == owner) Stop();
}

void CSoundSystem::RetryTimerTimer() {
  if (!IsRinging()) {
    RetryTimer.SetEnabled(false);
    return;
  }
  if (Active) {
    if (Player.HoldsLeftOvers()) Player.CloseLeftOvers();
    if (Moving()) return;
    Log("the ring's device stands still; its sound is started again");
  } else {
    Log("nothing plays during the ring; its sound is tried again");
  }
  Halt();
  Start(RingFallback, nullptr, kFallbackLimitMs);
  Looping = true;
}

bool CSoundSystem::Moving() {
  std::uint32_t position = 0;
  try {
    position = Player.Position();
  } catch (const std::exception& e) {
    Log(std::string("the ring's device does not say where it stands: ") + e.what());
    return false;
  }
  const bool moved = position != LastPosition || Restarts != LastRestarts;
  LastPosition = position;
  LastRestarts = Restarts;
  return moved;
}

void CSoundSystem::MediaPlayerNotify() {
  const std::uint32_t kind = Player.NotifyValue();
  // A superseded or aborted play was ended by a later command of ours (a new play, a stop,
  // a seek or a close), which has already put everything where it belongs. Restarting on
  // these would answer each new play's own supersession with yet another play.
  if (kind == platform::kMciNotifySuperseded || kind == platform::kMciNotifyAborted) return;
  // The end of a device closed since: it concerns nothing that plays now. Device 0 is no
  // device's: Wine 8's digital-video device (mciqtz32) names none in its notifications.
  if (Player.DeviceOpen() && Player.NotifyDevice() != 0 && Player.NotifyDevice() != Player.DeviceId()) return;
  // Only a play that reached its end starts over; a device error is not retried, so a
  // device that fails every play cannot keep the loop spinning. Without an open device (a
  // looped file that failed to open) there is nothing to restart, and a play that was
  // given up, or stopped, and still came to its end is not one to go on with.
  if (kind == platform::kMciNotifySuccessful && Active && !Player.FileName().empty() && Looping &&
      Player.DeviceOpen()) {
    try {
      // From the start whatever end position the device reports: some stop short of the
      // length they gave, and a play from there would end at once.
      Player.Rewind();
      Player.Play();
      if (Player.LastError() == 0) {
        ++Restarts;
        return;
      }
    } catch (const std::exception&) {
    }
    // The restart failed or was refused: release the device like any other end.
  }
  // A ring that broke off goes on with its fallback rather than in silence; that may be the
  // same file, which then plays on the device the system has moved to. At once only the
  // first time, so that a fallback that fails every play cannot spin; after that, the
  // ring's retry comes back to it.
  const bool fallBack = Looping && Active && IsRinging() && FallbackAtBreak;
  Halt();
  if (fallBack) {
    FallbackAtBreak = false;
    Start(RingFallback, nullptr, kFallbackLimitMs);
    Looping = true;
  }
}

TFormSoundSystem::TFormSoundSystem() : MediaPlayer(*this) {
  SetCaption("FormSoundSystem");
  SetClientSize(100, 100);
  MediaPlayer.OnNotify = [this](std::uint32_t kind) { MediaPlayerNotify(kind); };
}

void TFormSoundSystem::FormCreate() {
  SoundSystem = new CSoundSystem(MediaPlayer);
  // The codec warm-up; its end notification closes the device again.
  SoundSystem->Play("Sounds\\load_codec.wav");
  Hide();
}

void TFormSoundSystem::FormDestroy() {
  Trace("SoundSystemform::Destroy");
  delete SoundSystem;
  SoundSystem = nullptr;
}

bool TFormSoundSystem::HandleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (message != platform::kMmMciNotify) return false;
  MediaPlayer.HandleNotify(wParam, lParam);
  return true;
}

void TFormSoundSystem::MediaPlayerNotify(std::uint32_t) {
  if (SoundSystem) SoundSystem->MediaPlayerNotify();
}
