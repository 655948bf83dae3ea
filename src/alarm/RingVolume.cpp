#include "alarm/RingVolume.h"

#include <algorithm>

#include "platform/Platform.h"

namespace {
platform::AudioVolume* Mixer() { return platform::Installed().volume; }
void Log(const char* text) { platform::kernel().DebugLog(std::string("Ravilo: ") + text); }
}  // namespace

CRingVolume::CRingVolume() {
  RampTimer.SetInterval(kRampStepMs);
  RampTimer.SetEnabled(false);
  RampTimer.OnTimer = [this] { Step(); };
}

CRingVolume::~CRingVolume() { End(); }

void CRingVolume::Begin(const AlarmOptions& options) {
  End();
  platform::AudioVolume* mixer = Mixer();
  if (!mixer) return;
  if (options.ringWhenMuted) {
    if (const auto found = mixer->GetEndpoint(); !found) {
      Log("no output device to make the ring heard on");
    } else if (found->muted || found->level < kAudibleLevel) {
      const platform::AudioVolume::Endpoint audible{false, std::max(found->level, kAudibleLevel)};
      if (mixer->SetEndpoint(audible))
        endpointFound_ = *found;
      else
        Log("the output device refused to be unmuted or raised for the ring");
    }
  }
  if (options.rampSeconds > 0) {
    if (const auto found = mixer->GetSessionVolume(); found && mixer->SetSessionVolume(*found * kRampStart)) {
      sessionFound_ = *found;
      rampMs_ = unsigned(options.rampSeconds) * 1000u;
      elapsedMs_ = 0;
      RampTimer.SetEnabled(true);
    } else {
      Log("the program's own volume can't be set: the ring starts at full loudness");
    }
  }
}

void CRingVolume::Step() {
  platform::AudioVolume* mixer = Mixer();
  if (!sessionFound_ || !mixer) return RampTimer.SetEnabled(false);
  elapsedMs_ = std::min(rampMs_, elapsedMs_ + kRampStepMs);
  const float part = float(elapsedMs_) / float(rampMs_);
  mixer->SetSessionVolume(*sessionFound_ * (kRampStart + (1.0f - kRampStart) * part));
  if (elapsedMs_ >= rampMs_) RampTimer.SetEnabled(false);
}

void CRingVolume::End() {
  RampTimer.SetEnabled(false);
  platform::AudioVolume* mixer = Mixer();
  if (mixer && sessionFound_ && !mixer->SetSessionVolume(*sessionFound_)) Log("the program's own volume was not put back");
  if (mixer && endpointFound_ && !mixer->SetEndpoint(*endpointFound_)) Log("the output device was not put back as it was");
  sessionFound_.reset();
  endpointFound_.reset();
}
