#pragma once
// Loudness: this program's own audio session (what the mixer shows for Ravilo), and the
// default output device's master volume and mute (IAudioEndpointVolume). Levels are 0 to 1.
#include <optional>

namespace platform {

class AudioVolume {
 public:
  struct Endpoint {
    bool muted = false;
    float level = 1.0f;
    friend bool operator==(const Endpoint&, const Endpoint&) = default;
  };
  virtual ~AudioVolume() = default;
  // The default output device as it stands; none when it can't be asked (no device).
  virtual std::optional<Endpoint> GetEndpoint() = 0;
  // False when the device refused.
  virtual bool SetEndpoint(const Endpoint& endpoint) = 0;
  virtual std::optional<float> GetSessionVolume() = 0;
  virtual bool SetSessionVolume(float level) = 0;
};

}  // namespace platform
