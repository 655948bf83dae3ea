#pragma once
// The mixer for tests: a session volume and a default device that can be muted, low, gone,
// or refuse changes; every change is recorded.
#include <optional>
#include <vector>

#include "platform/AudioVolume.h"

namespace platform::fake {

class FakeAudioVolume : public AudioVolume {
 public:
  std::optional<Endpoint> GetEndpoint() override;
  bool SetEndpoint(const Endpoint& endpoint) override;
  std::optional<float> GetSessionVolume() override { return session; }
  bool SetSessionVolume(float level) override;

  Endpoint endpoint;
  bool deviceMissing = false;   // no output device: nothing can be asked
  bool refuseEndpoint = false;  // the device takes no change
  float session = 1.0f;
  std::vector<float> sessionChanges;
  std::vector<Endpoint> endpointChanges;
};

}  // namespace platform::fake
