#pragma once
// The notification-area icon: Shell_NotifyIconA with the first (version 1) layout of the
// notify-icon record, and icons loaded from .ico files.
#include <cstdint>
#include <string>

namespace platform {

using IconHandle = std::uintptr_t;  // 0: none

constexpr std::uint32_t kNimAdd = 0, kNimModify = 1, kNimDelete = 2;
constexpr std::uint32_t kNifMessage = 1, kNifIcon = 2, kNifTip = 4;

struct NotifyIconData {
  std::uintptr_t window = 0;
  std::uint32_t id = 0;
  std::uint32_t flags = 0;
  std::uint32_t callbackMessage = 0;
  IconHandle icon = 0;
  std::string tip;  // at most 63 characters
};

class NotifyIcon {
 public:
  virtual ~NotifyIcon() = default;
  // An icon from an .ico file at the system's small-icon size for a DPI (the notification
  // area's); 0 when it can't be loaded.
  virtual IconHandle LoadIconFile(const std::string& path, int dpi) = 0;
  virtual void DestroyIcon(IconHandle icon) = 0;
  virtual bool ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) = 0;
  // A warning balloon over the icon named by data's window and id (NIM_MODIFY with NIF_INFO).
  virtual bool ShowBalloon(const NotifyIconData& data, const std::string& title, const std::string& text) = 0;
};

}  // namespace platform
