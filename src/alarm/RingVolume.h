#pragma once
// How loud a ring is. A gentle start lowers this program's own volume (its audio session,
// never the system's master volume) to a tenth and raises it to where it was over the
// chosen time. A default output device that is muted or below a quarter is unmuted and
// raised to a quarter so that the ring is heard. When the ring ends, by stop, snooze, the
// time limit or the program's end, both are put back exactly as they were found.
#include <optional>

#include "alarm/AlarmOptions.h"
#include "platform/AudioVolume.h"
#include "ui/Timer.h"

class CRingVolume {
 public:
  static constexpr float kAudibleLevel = 0.25f;
  static constexpr float kRampStart = 0.1f;
  static constexpr unsigned kRampStepMs = 250;

  CRingVolume();
  ~CRingVolume();
  CRingVolume(const CRingVolume&) = delete;
  CRingVolume& operator=(const CRingVolume&) = delete;

  void Begin(const AlarmOptions& options);
  // Puts back what Begin changed; does nothing when nothing was changed.
  void End();

 private:
  void Step();

  ui::Timer RampTimer;
  std::optional<float> sessionFound_;
  std::optional<platform::AudioVolume::Endpoint> endpointFound_;
  unsigned rampMs_ = 0;
  unsigned elapsedMs_ = 0;
};
