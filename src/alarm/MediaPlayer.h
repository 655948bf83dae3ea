#pragma once
// The media player component: opens one file on an MCI device (chosen by MCI from the
// file, not shared, opened only on request), plays it with an end notification, stops
// and closes it. Its owner form passes MM_MCINOTIFY on to HandleNotify, which records the
// kind and raises OnNotify. Errors are raised as std::runtime_error with MCI's text.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Media.h"

namespace ui {
class Form;
}

class TMediaPlayer {
 public:
  explicit TMediaPlayer(ui::Form& owner);
  // Closes a device that is still open.
  ~TMediaPlayer();
  TMediaPlayer(const TMediaPlayer&) = delete;
  TMediaPlayer& operator=(const TMediaPlayer&) = delete;

  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& fileName) { fileName_ = fileName; }
  bool DeviceOpen() const { return deviceOpen_; }
  platform::MciDeviceId DeviceId() const { return deviceId_; }
  // The length of the open file in MCI's time format (milliseconds for wave files).
  std::uint32_t Length() const { return length_; }
  // The result of the last MCI command sent.
  platform::MciError LastError() const { return lastError_; }
  // The kind and device of the last notification (MCI_NOTIFY_SUCCESSFUL, ...).
  std::uint32_t NotifyValue() const { return notifyValue_; }
  platform::MciDeviceId NotifyDevice() const { return notifyDevice_; }

  // Closes a device held, then opens FileName on a new one and reads its length and
  // capabilities. limitMs, when not 0, is the longest the open may keep the caller waiting.
  // With digitalVideo, on the digital-video device where it can be, so that SetVolume
  // works; else on the device MCI picks.
  void Open(std::uint32_t limitMs = 0, bool digitalVideo = false);
  // Rewinds when the position stands at the end, then plays to the end with notification.
  // A failed position or length query, or rewind, closes the device before it raises.
  void Play();
  // Seeks to the start.
  void Rewind();
  // Where the open device stands (MCI_STATUS position).
  std::uint32_t Position();
  void Stop();
  // Closes the device; a failure raises nothing. A device that would not close (one stuck in
  // a command, as under Wine 8 when the sound server went away) is logged and kept among the
  // left-over devices, its number never lost, and the player is free for the next open.
  void Close();
  // Tries again to close each left-over device; true when none is left. One that failed
  // kLeftOverTries closes is logged and forgotten: each try of a stuck device costs a wait.
  bool CloseLeftOvers();
  static constexpr int kLeftOverTries = 3;
  bool HoldsLeftOvers() const { return !leftOvers_.empty(); }
  // The loudness of the sound itself, 0 to 1000; MCI's result (an error raises nothing:
  // only the digital-video device takes it).
  platform::MciError SetVolume(std::uint32_t level);

  // MM_MCINOTIFY from the owner form: wParam is the kind, lParam the device.
  void HandleNotify(std::uintptr_t kind, std::intptr_t device);
  std::function<void(std::uint32_t kind)> OnNotify;

  struct Capabilities {
    bool canPlay = false, canRecord = false, canEject = false, hasVideo = false;
  };
  const Capabilities& DeviceCapabilities() const { return capabilities_; }

 private:
  std::uintptr_t Callback() const;
  void CheckDevice() const;
  // Raises an error for a non-zero MCI result.
  void Check(platform::MciError result);
  std::uint32_t StatusItem(std::uint32_t item);
  bool Capability(std::uint32_t item);

  ui::Form& owner_;
  std::string fileName_;
  bool deviceOpen_ = false;
  platform::MciDeviceId deviceId_ = 0;
  std::uint32_t length_ = 0;
  platform::MciError lastError_ = 0;
  std::uint32_t notifyValue_ = 0;
  platform::MciDeviceId notifyDevice_ = 0;
  Capabilities capabilities_;
  struct LeftOver {
    platform::MciDeviceId id;
    int tries;
  };
  std::vector<LeftOver> leftOvers_;
};
