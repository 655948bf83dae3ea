#pragma once
#include "platform/NotifyIcon.h"

namespace platform::win32 {

class Win32NotifyIcon : public NotifyIcon {
 public:
  IconHandle LoadIconFile(const std::string& path, int dpi) override;
  void DestroyIcon(IconHandle icon) override;
  bool ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) override;
  bool ShowBalloon(const NotifyIconData& data, const std::string& title, const std::string& text) override;
};

}  // namespace platform::win32
