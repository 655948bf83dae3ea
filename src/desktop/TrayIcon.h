#pragma once
// The program's icon in the notification area: its picture shows whether the alarm is on,
// and the shell sends its mouse messages to the main window (WM_USER + 1).
#include <string>

#include "platform/NotifyIcon.h"

class TFormMain;

class CTrayIcon {
 public:
  static constexpr std::uint32_t kIconId = 100;
  static constexpr const char* kTip = "I\"m here";

  // Adds the icon showing "alarm off"; throws when an icon file can't be loaded.
  explicit CTrayIcon(TFormMain& owner);
  // Removes the icon and frees both pictures.
  virtual ~CTrayIcon();
  CTrayIcon(const CTrayIcon&) = delete;
  CTrayIcon& operator=(const CTrayIcon&) = delete;

  // 0: alarm off, 1: alarm on.
  void SetIcon(int index);
  int Index() const { return index_; }
  // A warning balloon with the text over the icon, titled with the program's name.
  void ShowBalloon(const std::string& text);

 private:
  platform::NotifyIconData record_;
  int index_ = 0;
  TFormMain& owner_;
  platform::IconHandle icons_[2] = {0, 0};
};

inline CTrayIcon* TrayIcon = nullptr;
