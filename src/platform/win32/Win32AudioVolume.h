#pragma once
#include "platform/AudioVolume.h"

namespace platform::win32 {

// The Core Audio interfaces of the default output device (the console role): its
// IAudioEndpointVolume, and the ISimpleAudioVolume of this process's default session, the
// one its MCI sounds play in. Each call asks afresh, so a device plugged in or out since
// the last call is the one used.
class Win32AudioVolume : public AudioVolume {
 public:
  std::optional<Endpoint> GetEndpoint() override;
  bool SetEndpoint(const Endpoint& endpoint) override;
  std::optional<float> GetSessionVolume() override;
  bool SetSessionVolume(float level) override;
};

}  // namespace platform::win32
