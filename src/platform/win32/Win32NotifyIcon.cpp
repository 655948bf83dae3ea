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

}  // namespace platform::win32
