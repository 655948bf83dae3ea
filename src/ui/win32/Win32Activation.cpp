// Which window has the keyboard: the program's topmost forms, and what was in front before
// a popup menu made its owner the foreground window.
#include <cstring>

#include "ui/win32/Win32Backend.h"

namespace ui::win32 {
namespace {
// The foreground window when a form's popup menu was last opened; nullptr when the owner was
// in front already.
HWND g_foregroundBeforeMenu = nullptr;
}  // namespace

void NoteForegroundBeforeMenu(HWND owner) {
  const HWND foreground = GetForegroundWindow();
  g_foregroundBeforeMenu = foreground == owner ? nullptr : foreground;
}

bool TopMostForm(HWND hwnd) {
  if (!hwnd) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != GetCurrentProcessId()) return false;
  char name[32] = {};
  if (!GetClassNameA(hwnd, name, sizeof name) || std::strcmp(name, kFormClass) != 0) return false;
  return (GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

HWND ForegroundBeforeShow() {
  const HWND foreground = GetForegroundWindow();
  return TopMostForm(foreground) ? g_foregroundBeforeMenu : foreground;
}

}  // namespace ui::win32
