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
#include "ui/Timer.h"

class CSoundSystem {
 public:
  explicit CSoundSystem(TMediaPlayer& player);
  // Stops whatever plays.
  virtual ~CSoundSystem();

  // Who started what plays: a set-up window gives itself for its test or preview, the ring
  // gives nothing. A window's own stop then can't silence a ring that replaced its sound.
  using Owner = const void*;

  // The ring's own sound files together may keep the program waiting this long (a playlist
  // on a network share still waking up) before the fallback is played.
  static constexpr std::uint32_t kRingBudgetMs = 15000;
  // The longest the fallback's open may take: the program's own file, on the local disk.
  static constexpr std::uint32_t kFallbackLimitMs = 5000;
  // While a ring lasts and nothing plays, its sound is tried again this often; a device
  // whose position has not moved over one such period has stopped playing as well (under
  // Wine 8 a play whose sound server went away never ends and never reports).
  static constexpr unsigned kRingRetryMs = 10000;

  // Plays the file once; false when it could not be opened (or played). limitMs, when not
  // 0, is the longest its open may take.
  bool Play(const std::string& file, Owner owner = nullptr, std::uint32_t limitMs = 0);
  // Plays the file and keeps repeating it until Stop; the result is Play's.
  bool PlayLooped(const std::string& file, Owner owner = nullptr, std::uint32_t limitMs = 0);
  // The ring's sound: up to `tries` files drawn from nextFile, loops the first that plays,
  // all of them within kRingBudgetMs; else `fallback` loops. Until Stop, or until a Play or
  // PlayLooped replaces it: should a later play fail (the device lost mid-ring, as when a
  // USB headset is unplugged), `fallback` loops at once; and while nothing plays (the sound
  // server gone), `fallback` is tried again every kRingRetryMs. False when nothing played.
  bool Ring(int tries, const std::function<std::string()>& nextFile, const std::string& fallback);
  bool IsRinging() const { return !RingFallback.empty(); }
  // The last Ring's files all failed and its fallback played instead.
  bool FallbackRang() const { return OwnSoundRang; }
  // Stops and closes the device and forgets the file, and ends a ring; nothing is sent when
  // nothing plays and no device is held. A device that fails to stop is closed all the
  // same, and one that fails to close is logged and left to the player's left-overs: the
  // program goes on (no box stands between the user and the next ring).
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
  bool Start(const std::string& file, Owner owner, std::uint32_t limitMs);
  // Silences and releases every device held and resets the player; the ring goes on.
  void Halt();
  void EndRing();
  void RetryTimerTimer();
  // Whether the ring's device has moved on since the last look.
  bool Moving();

  TMediaPlayer& Player;
  bool Looping = false;
  bool Active = false;
  Owner CurrentOwner = nullptr;
  // The ring's fallback ("" when no ring is on), and whether a break may still switch to it
  // at once.
  std::string RingFallback;
  bool FallbackAtBreak = false;
  bool OwnSoundRang = false;
  ui::Timer RetryTimer;
  // What the last look saw: the position and the number of restarts of the loop.
  static constexpr std::uint32_t kNotLooked = 0xFFFFFFFF;
  std::uint32_t LastPosition = kNotLooked;
  unsigned Restarts = 0, LastRestarts = 0;
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
