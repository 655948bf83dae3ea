#pragma once
// The Media Control Interface of winmm; each call forwards to mciSendCommandA or
// mciGetErrorStringA.
#include "platform/Media.h"

namespace platform::win32 {

class Win32Media : public Media {
 public:
  MciError Open(const std::string& element, std::uint32_t flags, std::uintptr_t callback,
                MciDeviceId& deviceId) override;
  MciError Status(MciDeviceId device, std::uint32_t flags, std::uint32_t item, std::uintptr_t callback,
                  std::uint32_t& value) override;
  MciError GetDevCaps(MciDeviceId device, std::uint32_t flags, std::uint32_t item, std::uintptr_t callback,
                      std::uint32_t& value) override;
  MciError Seek(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) override;
  MciError Play(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) override;
  MciError Stop(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) override;
  MciError Close(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) override;
  bool GetErrorString(MciError error, std::string& text) override;
};

}  // namespace platform::win32
