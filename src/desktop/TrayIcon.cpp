#include "desktop/TrayIcon.h"

#include <stdexcept>

#include "app/Globals.h"
#include "platform/Platform.h"
#include "shell/main.h"
#include "ui/Backend.h"

CTrayIcon::CTrayIcon(TFormMain& owner) : owner_(owner) {
  index_ = 0;
  auto& shell = platform::notifyIcon();
  const char* files[2] = {"Images\\AlarmOffIcon.ico", "Images\\AlarmOnIcon.ico"};
  for (int i = 0; i < 2; ++i) {
    icons_[i] = shell.LoadIconFile(ProgramPath(files[i]));
    if (!icons_[i]) {
      if (i == 1) shell.DestroyIcon(icons_[0]);
      throw std::runtime_error(std::string("Cannot open file \"") + files[i] + "\"");
    }
  }
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
  return added_;
}

void CTrayIcon::AddOrRetry() {
  retriesLeft_ = kRetries;
  RetryTimer.SetEnabled(!Add());
}

void CTrayIcon::RetryTimerTimer() {
  if (Add() || --retriesLeft_ <= 0) RetryTimer.SetEnabled(false);
}

void CTrayIcon::TaskbarCreated() { AddOrRetry(); }

CTrayIcon::~CTrayIcon() {
  auto& shell = platform::notifyIcon();
  shell.ShellNotifyIcon(platform::kNimDelete, record_);
  for (auto icon : icons_) shell.DestroyIcon(icon);
}

void CTrayIcon::SetIcon(int index) {
  if (index < 0) AssertionFailure("TrayIcon", 77);
  if (index > 1) AssertionFailure("TrayIcon", 78);
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
  if (!platform::notifyIcon().ShellNotifyIcon(platform::kNimModify, record_) && !RetryTimer.Enabled()) AddOrRetry();
}

void CTrayIcon::ShowBalloon(const std::string& text) { platform::notifyIcon().ShowBalloon(record_, "Ravilo", text); }
