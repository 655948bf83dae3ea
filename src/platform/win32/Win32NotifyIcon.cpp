#include "platform/win32/Win32NotifyIcon.h"

#include <cstring>

#include "platform/win32/WinHeaders.h"

namespace platform::win32 {

IconHandle Win32NotifyIcon::LoadIconFile(const std::string& path) {
  HANDLE icon = ::LoadImageA(nullptr, path.c_str(), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                             ::GetSystemMetrics(SM_CYSMICON), LR_LOADFROMFILE);
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
