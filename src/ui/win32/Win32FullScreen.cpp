// Whether a full-screen program is in front: the shell's notification state, and the
// foreground window's rectangle.
#include <cstdio>
#include <cstring>

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

// The foreground window of another program covers the whole display (a larger one too).
bool ForegroundCovers(const Monitor& monitor) {
  HWND window = GetForegroundWindow();
  if (!window || !IsWindowVisible(window) || IsIconic(window) || IsShellWindow(window)) return false;
  // A maximized window with a title bar is ordinary work: with the taskbar set to hide itself,
  // its frame reaches past every edge of the display.
  if (IsZoomed(window) && (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId()) return false;
  RECT r{};
  if (!GetWindowRect(window, &r)) {
    OutputDebugStringA("Ravilo: GetWindowRect of the foreground window failed\n");
    return false;
  }
  const Rect& m = monitor.bounds;
  return r.left <= m.left && r.top <= m.top && r.right >= m.left + m.width && r.bottom >= m.top + m.height;
}
}  // namespace

bool Win32Backend::FullScreenProgramOn(const Monitor& monitor) {
  return ShellSaysFullScreen() || ForegroundCovers(monitor);
}

}  // namespace ui::win32
