#include "platform/fake/FakeAudioVolume.h"

#include <cstdio>

namespace platform::fake {

std::optional<std::string> FakeAudioVolume::DefaultDevice() {
  if (defaultDevice.empty() || !devices.count(defaultDevice)) return std::nullopt;
  return defaultDevice;
}

std::optional<AudioVolume::Level> FakeAudioVolume::GetDevice(const std::string& device) {
  const auto it = devices.find(device);
  if (it == devices.end()) return std::nullopt;
  return it->second.level;
}

std::optional<AudioVolume::Level> FakeAudioVolume::GetSession(const std::string& device) {
  const auto it = devices.find(device);
  if (it == devices.end()) return std::nullopt;
  return it->second.session;
}

bool FakeAudioVolume::SetDevice(const std::string& device, const Level& level) { return Set(false, device, level); }

bool FakeAudioVolume::SetSession(const std::string& device, const Level& level) { return Set(true, device, level); }

bool FakeAudioVolume::Set(bool session, const std::string& device, const Level& level) {
  const auto it = devices.find(device);
  if (it == devices.end() || it->second.refuse) return false;
  (session ? it->second.session : it->second.level) = level;
  changes.push_back({session, device, level});
  if (events) {
    char text[64];
    std::snprintf(text, sizeof text, " %s %.3f", level.muted ? "muted" : "on", double(level.level));
    events->push_back(std::string("volume: ") + (session ? "session " : "device ") + device + text);
  }
  return true;
}

std::vector<AudioVolume::Level> FakeAudioVolume::Changes(bool session, const std::string& device) const {
  std::vector<Level> out;
  for (const Change& c : changes)
    if (c.session == session && c.device == device) out.push_back(c.level);
  return out;
}

}  // namespace platform::fake
