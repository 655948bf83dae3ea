// Whether a full-screen program is in front: the facts the system gives about the foreground
// window and the shell's notification state, judged by the full-screen rule.
#include <cstdio>
#include <cstring>
#include <optional>

#include "ui/FullScreenRule.h"
#include "ui/win32/Win32Backend.h"

namespace ui::win32 {
namespace {
// The shell's notification states (QUERY_USER_NOTIFICATION_STATE), from Windows Vista on.
constexpr int kQunsBusy = 2, kQunsRunningD3dFullScreen = 3, kQunsPresentationMode = 4;
using QueryNotificationState = HRESULT(WINAPI*)(int*);

// SHQueryUserNotificationState came with Windows Vista and is looked up, so that the program
// still loads on older systems; there the foreground window alone tells.
QueryNotificationState NotificationStateQuery() {
  static const QueryNotificationState query = [] {
    HMODULE shell = GetModuleHandleA("shell32.dll");
    if (!shell) shell = LoadLibraryExA("shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const auto found = shell ? reinterpret_cast<QueryNotificationState>(
                                   reinterpret_cast<void*>(GetProcAddress(shell, "SHQueryUserNotificationState")))
                             : nullptr;
    if (!found) OutputDebugStringA("Ravilo: SHQueryUserNotificationState is missing from shell32.dll\n");
    return found;
  }();
  return query;
}

// The shell says busy, full-screen Direct3D or presentation. A failed query is logged once:
// it is asked every half second.
bool ShellSaysFullScreen() {
  const QueryNotificationState query = NotificationStateQuery();
  if (!query) return false;
  int state = 0;
  const HRESULT result = query(&state);
  if (FAILED(result)) {
    static bool logged = false;
    if (!logged) {
      char text[96];
      std::snprintf(text, sizeof text, "Ravilo: SHQueryUserNotificationState failed, 0x%08lx\n",
                    static_cast<unsigned long>(result));
      OutputDebugStringA(text);
      logged = true;
    }
    return false;
  }
  return state == kQunsBusy || state == kQunsRunningD3dFullScreen || state == kQunsPresentationMode;
}

// The desktop and the taskbar are in front when the user clicks them; they cover the display
// without being a full-screen program.
bool IsShellWindow(HWND window) {
  if (window == GetDesktopWindow() || window == GetShellWindow()) return true;
  char name[64] = {};
  if (!GetClassNameA(window, name, sizeof name)) return false;
  for (const char* shell : {"Progman", "WorkerW", "Shell_TrayWnd"})
    if (std::strcmp(name, shell) == 0) return true;
  return false;
}

// Another program's window in front, as the full-screen rule judges it.
std::optional<FrontWindow> FrontWindowNow() {
  HWND window = GetForegroundWindow();
  if (!window || !IsWindowVisible(window) || IsIconic(window) || IsShellWindow(window)) return std::nullopt;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId()) return std::nullopt;
  RECT r{};
  if (!GetWindowRect(window, &r)) {
    OutputDebugStringA("Ravilo: GetWindowRect of the foreground window failed\n");
    return std::nullopt;
  }
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) return std::nullopt;
  const auto rect = [](const RECT& x) { return Rect{x.left, x.top, x.right - x.left, x.bottom - x.top}; };
  return FrontWindow{rect(r), rect(info.rcMonitor), IsZoomed(window) != FALSE};
}
}  // namespace

bool Win32Backend::FullScreenProgramOn(const Monitor& monitor) {
  const auto front = FrontWindowNow();
  return front && FullScreenInFront(ShellSaysFullScreen(), front, monitor.bounds);
}

}  // namespace ui::win32
