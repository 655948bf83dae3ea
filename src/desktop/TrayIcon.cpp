#include "desktop/TrayIcon.h"

#include <stdexcept>
#include <string>
#include <utility>

#include "app/Globals.h"
#include "platform/Platform.h"
#include "shell/main.h"
#include "ui/Application.h"
#include "ui/Backend.h"

namespace {
const char* const kIconFiles[2] = {"Images\\AlarmOffIcon.ico", "Images\\AlarmOnIcon.ico"};

// The notification area is on the primary display's taskbar, drawn at that display's DPI.
int TrayDpi() { return ui::Application::Instance().GetBackend().PrimaryMonitor().dpi; }
}  // namespace

bool CTrayIcon::LoadIcons(int dpi, platform::IconHandle (&icons)[2], std::string& failed) {
  auto& shell = platform::notifyIcon();
  for (int i = 0; i < 2; ++i) {
    icons[i] = shell.LoadIconFile(ProgramPath(kIconFiles[i]), dpi);
    if (!icons[i]) {
      if (i == 1) shell.DestroyIcon(icons[0]);
      icons[0] = 0;
      failed = kIconFiles[i];
      return false;
    }
  }
  return true;
}

CTrayIcon::CTrayIcon(TFormMain& owner) : owner_(owner) {
  index_ = 0;
  dpi_ = TrayDpi();
  if (std::string failed; !LoadIcons(dpi_, icons_, failed))
    throw std::runtime_error("Cannot open file \"" + failed + "\"");
  record_.window = owner.Peer() ? owner.Peer()->NativeHandle() : 0;
  record_.id = kIconId;
  record_.flags = platform::kNifMessage | platform::kNifIcon | platform::kNifTip;
  record_.callbackMessage = ui::kTrayCallbackMessage;
  record_.icon = icons_[0];
  record_.tip = kTip;
  RetryTimer.SetInterval(kRetryIntervalMs);
  RetryTimer.OnTimer = [this] { RetryTimerTimer(); };
  AddOrRetry();
}

bool CTrayIcon::Add() {
  auto& shell = platform::notifyIcon();
  // The shell also broadcasts its taskbar's creation when the icon is still there (after a
  // change of the display's scaling); the add then fails and a modify brings the picture.
  added_ = shell.ShellNotifyIcon(platform::kNimAdd, record_) || shell.ShellNotifyIcon(platform::kNimModify, record_);
  if (!added_) platform::kernel().DebugLog("Ravilo: the tray icon could not be added");
  return added_;
}

void CTrayIcon::AddOrRetry() {
  retriesLeft_ = kRetries;
  RetryTimer.SetEnabled(!Add());
}

void CTrayIcon::RetryTimerTimer() {
  if (Add() || --retriesLeft_ <= 0) RetryTimer.SetEnabled(false);
}

void CTrayIcon::TaskbarCreated() {
  // The shell broadcasts this after a change of the primary display's scaling, too.
  ReloadAtTrayDpi();
  AddOrRetry();
}

void CTrayIcon::ScaleChanged() {
  if (ReloadAtTrayDpi()) Modify();
}

bool CTrayIcon::ReloadAtTrayDpi() {
  const int dpi = TrayDpi();
  if (dpi == dpi_) return false;
  platform::IconHandle fresh[2] = {0, 0};
  // An icon file gone since the start leaves the icon as it was, at its old size.
  std::string failed;
  if (!LoadIcons(dpi, fresh, failed)) {
    platform::kernel().DebugLog("Ravilo: cannot reload the tray icon \"" + failed + "\" at " + std::to_string(dpi) + " dpi");
    return false;
  }
  // The old pictures stay until the record names the new ones; the shell keeps its own copy.
  auto& shell = platform::notifyIcon();
  for (int i = 0; i < 2; ++i) std::swap(icons_[i], fresh[i]);
  dpi_ = dpi;
  record_.icon = icons_[index_];
  for (auto icon : fresh) shell.DestroyIcon(icon);
  return true;
}

CTrayIcon::~CTrayIcon() {
  auto& shell = platform::notifyIcon();
  shell.ShellNotifyIcon(platform::kNimDelete, record_);
  for (auto icon : icons_) shell.DestroyIcon(icon);
}

void CTrayIcon::SetIcon(int index) {
  if (index < 0) AssertionFailure("TrayIcon", 77);
  if (index > 1) AssertionFailure("TrayIcon", 78);
  // As the tip: the shell is asked only for a change (a modify after another program
  // removed the icon puts it back).
  if (index == index_ && record_.icon == icons_[index]) return;
  index_ = index;
  record_.icon = icons_[index];
  Modify();
}

void CTrayIcon::SetTip(const std::string& tip) {
  if (tip == record_.tip) return;
  record_.tip = tip;
  Modify();
}

void CTrayIcon::Modify() {
  // A refused change means the icon is gone (the shell lost it without telling): it is added
  // again as it is now, and retried as at start. An add being retried already carries it.
  if (platform::notifyIcon().ShellNotifyIcon(platform::kNimModify, record_) || RetryTimer.Enabled()) return;
  platform::kernel().DebugLog("Ravilo: the tray icon was gone; it is added again");
  AddOrRetry();
}

void CTrayIcon::ShowBalloon(const std::string& text) { platform::notifyIcon().ShowBalloon(record_, "Ravilo", text); }
