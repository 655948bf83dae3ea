#pragma once
// How loud a ring is. A gentle start plays the ring's sound at a tenth of its loudness and
// raises it to full over the chosen time: on the sound itself where its device takes a
// volume (the digital-video device), else on this program's own session. A default output
// device that is muted or below a quarter is unmuted and raised to a quarter so that the
// ring is heard, and so is this program's own session when it is muted or at 0 in the
// mixer; a device that becomes the default during the ring (a headset plugged in) is
// treated the same. When the ring ends, by stop, snooze, the time limit or the program's
// end, each device and session is put back exactly as it was found, on that device.
//
// What is still to be put back is kept in the settings store ("VolumeToRestore") from the
// moment it is changed, so that a run killed mid-ring, or a device that refused to be put
// back, is mended at the next start and before the next ring.
#include <optional>
#include <string>
#include <vector>

#include "alarm/AlarmOptions.h"
#include "platform/AudioVolume.h"
#include "ui/Timer.h"

class CRingVolume {
 public:
  static constexpr float kAudibleLevel = 0.25f;
  static constexpr float kRampStart = 0.1f;
  static constexpr unsigned kRampStepMs = 250;
  // How often a ring looks for another default device.
  static constexpr unsigned kDeviceLookMs = 1000;
  static constexpr const char* kStoreValue = "VolumeToRestore";

  CRingVolume();
  ~CRingVolume();
  CRingVolume(const CRingVolume&) = delete;
  CRingVolume& operator=(const CRingVolume&) = delete;

  // At start: puts back what an earlier run left changed; what can't be yet stays stored.
  void PutBackLeftOver();
  // Before the ring's first play.
  void Begin(const AlarmOptions& options);
  // After the ring's sound has stopped: puts back what Begin and the ring changed.
  void End();

  // One level to put back: a device's own, or this program's session on it.
  struct Change {
    bool session = false;
    std::string device;
    platform::AudioVolume::Level found;
    friend bool operator==(const Change&, const Change&) = default;
  };
  // The stored form, one change a line; lines that don't read as one are left out.
  static std::string Format(const std::vector<Change>& changes);
  static std::vector<Change> Parse(const std::string& text);

 private:
  void Step();
  // The mute rule on a device and on this program's session there.
  void MakeHeard(const std::string& device);
  // Sets a level, first storing the one found unless an earlier change of it is kept.
  bool Set(bool session, const std::string& device, platform::AudioVolume::Level found,
           platform::AudioVolume::Level to);
  // The sound refused its volume: the ramp goes on in the session.
  void RampTheSession();
  void PutBack();
  void Store();

  ui::Timer RingTimer;
  std::vector<Change> changes_;
  bool ringing_ = false;
  bool muteRule_ = false;
  std::string deviceLooked_;  // the default device the mute rule was last applied to
  unsigned sinceLookMs_ = 0;
  unsigned rampMs_ = 0;  // 0: no gentle start, or it is over
  unsigned elapsedMs_ = 0;
  // The session the ramp acts on, and its level at full, when the sound took no volume.
  std::optional<std::string> sessionRamp_;
  platform::AudioVolume::Level sessionFull_;
};
