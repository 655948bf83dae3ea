#pragma once
// The program's icon in the notification area: its picture shows whether the alarm is on,
// and the shell sends its mouse messages to the main window, whose backend decodes them into
// tray events. The icon comes back when the shell restarts.
#include <string>

#include "platform/NotifyIcon.h"
#include "ui/Timer.h"

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
  // The text shown when the pointer rests on the icon (up to 127 characters).
  void SetTip(const std::string& tip);
  int Index() const { return index_; }
  // A warning balloon with the text over the icon, titled with the program's name.
  void ShowBalloon(const std::string& text);

  // The shell's taskbar was created again (its process restarted): the icon is added anew,
  // with its current picture.
  void TaskbarCreated();
  // The scaling of a display changed: the icon is shown at the notification area's new size.
  void ScaleChanged();
  // Whether the shell took the icon (false while it is being retried or was given up).
  bool Added() const { return added_; }

  // A failed add is tried again every two seconds for a minute (the taskbar may not be
  // there yet when the program starts with the user's logon).
  static constexpr unsigned kRetryIntervalMs = 2000;
  static constexpr int kRetries = 30;

 private:
  // Both pictures at a DPI; on a failure none is kept, and `failed` names the file.
  static bool LoadIcons(int dpi, platform::IconHandle (&icons)[2], std::string& failed);
  // Loads the pictures again when the notification area's DPI differs from theirs; returns
  // whether it did (the record names the new picture, not yet shown).
  bool ReloadAtTrayDpi();
  bool Add();
  void AddOrRetry();
  // Shows the record as it is now.
  void Modify();
  void RetryTimerTimer();

  platform::NotifyIconData record_;
  int index_ = 0;
  TFormMain& owner_;
  platform::IconHandle icons_[2] = {0, 0};
  int dpi_ = 96;  // the DPI the pictures were loaded for
  ui::Timer RetryTimer;
  int retriesLeft_ = 0;
  bool added_ = false;
};

inline CTrayIcon* TrayIcon = nullptr;
