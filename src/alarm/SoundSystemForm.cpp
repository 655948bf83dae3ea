#include "alarm/SoundSystemForm.h"

#include <exception>

#include "app/Globals.h"
#include "platform/Media.h"

CSoundSystem::CSoundSystem(TMediaPlayer& player) : Player(player) { Player.SetFileName(""); }

CSoundSystem::~CSoundSystem() { Stop(); }

bool CSoundSystem::Play(const std::string& file, Owner owner) {
  bool result = true;
  LoopFallback.clear();
  Active = true;
  CurrentOwner = owner;
  try {
    Looping = false;
    Player.SetFileName(file);
    VolumeHeld = false;
    Player.Open(Volume.has_value());
    if (Volume) {
      VolumeHeld = Player.SetVolume(*Volume) == 0;
      if (!VolumeHeld && OnVolumeRefused) OnVolumeRefused();
    }
    Player.Play();
    // A device that took the file but refused to play it (a format no output can play)
    // sends no notification and would stay silent: the file counts as one that cannot be
    // played, and the caller tries another.
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

bool CSoundSystem::PlayLooped(const std::string& file, Owner owner) {
  const bool result = Play(file, owner);
  Looping = true;
  return result;
}

void CSoundSystem::Stop() {
  LoopFallback.clear();
  if (!Active) return;
  Looping = false;
  bool failed = false;
  try {
    // A play that failed may have closed its device already: nothing is left to stop.
    if (Player.DeviceOpen()) {
      Player.Stop();
      Player.Close();
    }
  } catch (const std::exception&) {
    failed = true;
  }
  // Reset before the box: a notification handled while it is open must find nothing to
  // stop or restart.
  Player.SetFileName("");
  Active = false;
  CurrentOwner = nullptr;
  if (failed) SystemMessageBox("blin", "error", ui::kMbOk);
}

void CSoundSystem::SetVolume(std::optional<std::uint32_t> level) {
  Volume = level;
  if (level && VolumeHeld && Active && Player.DeviceOpen()) Player.SetVolume(*level);
}

void CSoundSystem::StopOwn(Owner owner) {
  if (Active && CurrentOwner == owner) Stop();
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
  // looped file that failed to open) there is nothing to restart.
  if (kind == platform::kMciNotifySuccessful && !Player.FileName().empty() && Looping && Player.DeviceOpen()) {
    try {
      // From the start whatever end position the device reports: some stop short of the
      // length they gave, and a play from there would end at once.
      Player.Rewind();
      Player.Play();
      if (Player.LastError() == 0) return;
    } catch (const std::exception&) {
    }
    // The restart failed or was refused: release the device like any other end.
  }
  // A ring that broke off goes on with its fallback rather than in silence; that may be the
  // same file, which then plays on the device the system has moved to. The fallback is used
  // once, so its own failure ends the ring's sound like any other play.
  const std::string fallback = Looping && Active ? LoopFallback : std::string();
  const Owner owner = CurrentOwner;
  Stop();
  if (!fallback.empty()) PlayLooped(fallback, owner);
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
