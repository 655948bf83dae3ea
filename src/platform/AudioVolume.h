#pragma once
// Loudness: an output device's master volume and mute (IAudioEndpointVolume), and this
// program's own audio session on it (what the mixer shows for Ravilo). Devices are named by
// their endpoint identifier, so that a device changed while it was the default is the one
// put back, whichever is the default by then. Levels are 0 to 1.
#include <optional>
#include <string>

namespace platform {

class AudioVolume {
 public:
  struct Level {
    bool muted = false;
    float level = 1.0f;
    friend bool operator==(const Level&, const Level&) = default;
  };
  virtual ~AudioVolume() = default;
  // The default output device (the console role); none when there is none.
  virtual std::optional<std::string> DefaultDevice() = 0;
  // A device as it stands; none when it is gone or can't be asked.
  virtual std::optional<Level> GetDevice(const std::string& device) = 0;
  // False when the device is gone or refused.
  virtual bool SetDevice(const std::string& device, const Level& level) = 0;
  // This program's session on a device, as above.
  virtual std::optional<Level> GetSession(const std::string& device) = 0;
  virtual bool SetSession(const std::string& device, const Level& level) = 0;
};

}  // namespace platform
