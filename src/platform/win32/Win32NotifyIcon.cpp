#include "platform/win32/Win32NotifyIcon.h"

#include <cstring>

#include "platform/win32/WinHeaders.h"

namespace platform::win32 {

namespace {
// The small-icon size at a DPI. GetSystemMetrics answers at the DPI the process started with,
// for good; GetSystemMetricsForDpi (user32, Windows 10 1607 and later) at any. Older systems
// change their DPI only with a new logon, so their answer is the current one.
int SmallIconMetric(int index, int dpi) {
  using ForDpiFn = int(WINAPI*)(int, UINT);
  static const ForDpiFn forDpi = [] {
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<ForDpiFn>(reinterpret_cast<void*>(::GetProcAddress(user32, "GetSystemMetricsForDpi")))
                  : nullptr;
  }();
  if (forDpi && dpi > 0)
    if (const int size = forDpi(index, UINT(dpi)); size > 0) return size;
  return ::GetSystemMetrics(index);
}
}  // namespace

IconHandle Win32NotifyIcon::LoadIconFile(const std::string& path, int dpi) {
  HANDLE icon = ::LoadImageA(nullptr, path.c_str(), IMAGE_ICON, SmallIconMetric(SM_CXSMICON, dpi),
                             SmallIconMetric(SM_CYSMICON, dpi), LR_LOADFROMFILE);
  return reinterpret_cast<IconHandle>(icon);
}

void Win32NotifyIcon::DestroyIcon(IconHandle icon) {
  if (icon) ::DestroyIcon(reinterpret_cast<HICON>(icon));
}

bool Win32NotifyIcon::ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) {
  NOTIFYICONDATAA record{};
  record.cbSize = NOTIFYICONDATAA_V1_SIZE;  // the first layout, understood by every shell
  record.hWnd = reinterpret_cast<HWND>(data.window);
  record.uID = data.id;
  record.uFlags = data.flags;
  record.uCallbackMessage = data.callbackMessage;
  record.hIcon = reinterpret_cast<HICON>(data.icon);
  std::strncpy(record.szTip, data.tip.c_str(), 63);
  return ::Shell_NotifyIconA(message, &record) != FALSE;
}

bool Win32NotifyIcon::ShowBalloon(const NotifyIconData& data, const std::string& title, const std::string& text) {
  // Balloons need the second layout of the record (shell 5); the icon itself keeps being
  // added and changed with the first.
  NOTIFYICONDATAA record{};
  record.cbSize = NOTIFYICONDATAA_V2_SIZE;
  record.hWnd = reinterpret_cast<HWND>(data.window);
  record.uID = data.id;
  record.uFlags = NIF_INFO;
  std::strncpy(record.szInfo, text.c_str(), sizeof record.szInfo - 1);
  std::strncpy(record.szInfoTitle, title.c_str(), sizeof record.szInfoTitle - 1);
  record.dwInfoFlags = NIIF_WARNING;
  record.uTimeout = 30000;  // the shell keeps a balloon up at most this long, and longer while no one is at the machine
  return ::Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
}

}  // namespace platform::win32
