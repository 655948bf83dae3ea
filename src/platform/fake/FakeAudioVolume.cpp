#include "platform/fake/FakeAudioVolume.h"

namespace platform::fake {

std::optional<AudioVolume::Endpoint> FakeAudioVolume::GetEndpoint() {
  if (deviceMissing) return std::nullopt;
  return endpoint;
}

bool FakeAudioVolume::SetEndpoint(const Endpoint& e) {
  if (deviceMissing || refuseEndpoint) return false;
  endpoint = e;
  endpointChanges.push_back(e);
  return true;
}

bool FakeAudioVolume::SetSessionVolume(float level) {
  session = level;
  sessionChanges.push_back(level);
  return true;
}

}  // namespace platform::fake
