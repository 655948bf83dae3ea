#pragma once
// The sound player (unit SoundSystemForm): CSoundSystem plays one sound file at a time,
// once or over and over, through the media player of the never-shown window
// FormSoundSystem, which also receives the player's end-of-play notifications.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "alarm/MediaPlayer.h"
#include "ui/Form.h"

class CSoundSystem {
 public:
  explicit CSoundSystem(TMediaPlayer& player);
  // Stops whatever plays.
  virtual ~CSoundSystem();

  // Who started what plays: a set-up window gives itself for its test or preview, the ring
  // gives nothing. A window's own stop then can't silence a ring that replaced its sound.
  using Owner = const void*;

  // Plays the file once; false when it could not be opened (or played).
  bool Play(const std::string& file, Owner owner = nullptr);
  // Plays the file and keeps repeating it until Stop; the result is Play's.
  bool PlayLooped(const std::string& file, Owner owner = nullptr);
  // While a ring loops: should a later play of its file fail (the device lost mid-ring, as
  // when a USB headset is unplugged), `file` loops instead, once. Forgotten by the next
  // Play or PlayLooped and by Stop.
  void SetLoopFallback(std::string file) { LoopFallback = std::move(file); }
  // Stops and closes the device and forgets the file; nothing is sent when nothing plays.
  void Stop();
  // Stop, but only when `owner` started what plays now; anything else, a ring and its
  // fallback included, is left as it is.
  void StopOwn(Owner owner);
  bool IsActive() const { return Active; }
  // The loudness the next plays start at and what plays now goes on at, 0 to 1000; none: as
  // the device gives it. While one is set, files open where it can be set (the digital-video
  // device), and it is set between the open and the play.
  void SetVolume(std::optional<std::uint32_t> level);
  // Whether what plays now took the volume.
  bool VolumeTaken() const { return VolumeHeld; }
  // Called between the open and the play of a file that did not take the volume, so that
  // its loudness can be lowered otherwise before it is heard.
  std::function<void()> OnVolumeRefused;
  // The player's notification: a looped file starts over at its successful end, anything
  // else that ended the current play stops it.
  void MediaPlayerNotify();

 private:
  TMediaPlayer& Player;
  bool Looping = false;
  bool Active = false;
  Owner CurrentOwner = nullptr;
  std::string LoopFallback;
  std::optional<std::uint32_t> Volume;
  bool VolumeHeld = false;
};

inline CSoundSystem* SoundSystem = nullptr;

// Owns the media player and receives its notifications; never shown.
class TFormSoundSystem : public ui::Form {
 public:
  TFormSoundSystem();

  TMediaPlayer MediaPlayer;

  bool HandleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

 protected:
  void FormCreate() override;
  void FormDestroy() override;
  void MediaPlayerNotify(std::uint32_t kind);
};

inline TFormSoundSystem* FormSoundSystem = nullptr;
