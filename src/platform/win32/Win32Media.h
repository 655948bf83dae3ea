#pragma once
// The Media Control Interface of winmm; each call forwards to mciSendCommandA or
// mciGetErrorStringA.
//
// The commands are sent from a sound thread of their own, which opens every device and so
// sends every command to devices it opened itself, and the caller waits for each at most
// kCommandLimitMs. A sound device that stops answering (under Wine 8: the sound server
// gone mid-play, when the wave device's stop waits for buffers that never come back) would
// otherwise hold the GUI thread for good. A command that runs out of time fails with
// MCIERR_DEVICE_NOT_READY; its thread is left to finish it and end, and the next command
// goes to a fresh sound thread, so that the program's own sound can still play.
#include <functional>
#include <memory>
#include <vector>

#include "platform/Media.h"

namespace platform::win32 {

class Win32Media : public Media {
 public:
  static constexpr unsigned kCommandLimitMs = 2000;
  // An open may read a file on a slow or sleeping drive (a network share, a disk spinning
  // up, a virus scan): it is given longer, since a ring whose open was given up falls back
  // to the program's own sound.
  static constexpr unsigned kOpenLimitMs = 15000;
  // Threads still inside a command given up; past this many, commands fail at once (a device
  // that hangs every command must not cost a thread each time).
  static constexpr std::size_t kMostThreadsStuck = 32;

  Win32Media();
  // Ends the sound thread, unless it is stuck in a command: then it is left to the process.
  ~Win32Media() override;
  Win32Media(const Win32Media&) = delete;
  Win32Media& operator=(const Win32Media&) = delete;

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
  MciError OpenWithin(const std::string& element, std::uint32_t flags, std::uintptr_t callback,
                      MciDeviceId& deviceId, std::uint32_t limitMs) override;
  MciError SetAudio(MciDeviceId device, std::uint32_t flags, std::uint32_t item, std::uint32_t value,
                    std::uintptr_t callback) override;

  struct SoundThread;
  // Runs one command on the sound thread (on the caller's when no thread can be made) and
  // waits for it at most limitMs.
  MciError Call(unsigned command, MciDeviceId device, std::function<MciError(std::uint32_t&)> call,
                std::uint32_t* out, unsigned limitMs);

 private:
  std::shared_ptr<SoundThread> thread_;
  std::vector<std::shared_ptr<SoundThread>> stuck_;  // each inside a command given up
  unsigned opens_ = 0;  // numbers each device's alias
};

}  // namespace platform::win32
