#pragma once
#include "platform/AudioVolume.h"

namespace platform::win32 {

// The Core Audio interfaces of an output device named by its endpoint identifier: its
// IAudioEndpointVolume, and the ISimpleAudioVolume of this process's default session on
// it, the one its MCI sounds play in. Each call asks afresh, so a device plugged in or out
// since the last call is seen as it is now.
class Win32AudioVolume : public AudioVolume {
 public:
  std::optional<std::string> DefaultDevice() override;
  std::optional<Level> GetDevice(const std::string& device) override;
  bool SetDevice(const std::string& device, const Level& level) override;
  std::optional<Level> GetSession(const std::string& device) override;
  bool SetSession(const std::string& device, const Level& level) override;
};

}  // namespace platform::win32
