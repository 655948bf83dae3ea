#pragma once
// The mixer for tests: output devices by identifier, each with a level, a mute and this
// program's session on it; one of them the default, or none. A device can be unplugged
// (gone) or refuse changes. Every change is recorded, and told to a shared event log.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/AudioVolume.h"

namespace platform::fake {

class FakeAudioVolume : public AudioVolume {
 public:
  static constexpr const char* kSpeakers = "{0.0.0.00000000}.{speakers}";

  std::optional<std::string> DefaultDevice() override;
  std::optional<Level> GetDevice(const std::string& device) override;
  bool SetDevice(const std::string& device, const Level& level) override;
  std::optional<Level> GetSession(const std::string& device) override;
  bool SetSession(const std::string& device, const Level& level) override;

  struct Device {
    Level level;
    Level session;
    bool refuse = false;  // takes no change
  };
  std::map<std::string, Device> devices{{kSpeakers, {}}};
  std::string defaultDevice = kSpeakers;  // "": no output device at all

  struct Change {
    bool session = false;  // else the device's own level
    std::string device;
    Level level;
  };
  std::vector<Change> changes;
  // When set, each change is added to it as "volume: device <id> muted|on <level>" (or
  // "session"), beside the media's commands.
  std::vector<std::string>* events = nullptr;

  // A device's level and its session (made when missing).
  Level& Endpoint(const std::string& device = kSpeakers) { return devices[device].level; }
  Level& Session(const std::string& device = kSpeakers) { return devices[device].session; }
  // The changes of one device's level, or of its session's.
  std::vector<Level> Changes(bool session, const std::string& device = kSpeakers) const;

 private:
  bool Set(bool session, const std::string& device, const Level& level);
};

}  // namespace platform::fake
