// The desktop as the toolkit sees it: the pointer, the displays, text measured and drawn with
// GDI, the popup menu, the system message box and the application's title and taskbar button.
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "ui/Bitmap.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/PopupMenu.h"
#include "ui/win32/Win32Backend.h"
#include "ui/win32/Win32Controls.h"

namespace ui::win32 {
namespace {
Rect RectOf(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }
}  // namespace

Point Win32Backend::CursorPos() {
  POINT p{};
  GetCursorPos(&p);
  return {p.x, p.y};
}

Size Win32Backend::ScreenSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

Size Win32Backend::VirtualScreenSize() {
  return {GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

namespace {
// The display's own DPI: GetDpiForMonitor (shcore, Windows 8.1 and later) for a program that
// declares itself per-monitor aware; else, and on Windows 7, the system's DPI.
int DpiOf(HMONITOR handle) {
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const GetDpiForMonitorFn getDpi = [] {
    HMODULE shcore = LoadLibraryExA("shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return shcore ? reinterpret_cast<GetDpiForMonitorFn>(reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                  : nullptr;
  }();
  UINT x = 0, y = 0;
  if (getDpi && SUCCEEDED(getDpi(handle, 0 /*MDT_EFFECTIVE_DPI*/, &x, &y)) && x > 0) return int(x);
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

std::optional<Monitor> MonitorInfoOf(HMONITOR handle) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!handle || !GetMonitorInfoA(handle, &info)) return std::nullopt;
  return Monitor{RectOf(info.rcMonitor), RectOf(info.rcWork), (info.dwFlags & MONITORINFOF_PRIMARY) != 0,
                 DpiOf(handle)};
}
}  // namespace

std::optional<Monitor> Win32Backend::MonitorFromRect(Rect r, bool nearest) {
  const RECT rect{r.left, r.top, r.left + r.width, r.top + r.height};
  return MonitorInfoOf(::MonitorFromRect(&rect, nearest ? MONITOR_DEFAULTTONEAREST : MONITOR_DEFAULTTONULL));
}

Monitor Win32Backend::PrimaryMonitor() {
  if (auto m = MonitorInfoOf(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY))) return *m;
  const Size s = ScreenSize();
  return {{0, 0, s.width, s.height}, {0, 0, s.width, s.height}, true, DpiOf(nullptr)};
}

HFONT FontHandle(const Font& font) {
  static std::map<std::pair<std::string, int>, HFONT> fonts;
  auto& f = fonts[{font.name, font.height}];
  if (!f)
    f = CreateFontA(font.height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, font.name.c_str());
  return f;
}

namespace {
HFONT FontFor(const Font& font) { return FontHandle(font); }

// Texts are in the ANSI code page (UTF-8 by the manifest). Wine's TextOutA and
// GetTextExtentPoint32A convert by the font's charset instead (Cyrillic came out as
// Latin-1 under Wine 8), so the text is widened here by the ANSI code page and drawn wide.
std::wstring Wide(const std::string& s) {
  const int n = ::MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), nullptr, 0);
  std::wstring w(std::size_t(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), w.data(), n);
  return w;
}

// A screen-compatible memory DC for measuring and drawing text.
HDC TextDc() {
  static HDC dc = CreateCompatibleDC(nullptr);
  return dc;
}
}  // namespace

Size Win32Backend::MeasureText(const std::string& text, const Font& font) {
  HDC dc = TextDc();
  HGDIOBJ old = SelectObject(dc, FontFor(font));
  SIZE s{};
  const std::wstring wide = Wide(text);
  GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &s);
  SelectObject(dc, old);
  return {s.cx, s.cy};
}

void Win32Backend::DrawText(Bitmap& surface, Rect where, const std::string& text, const Font& font,
                            std::uint32_t colour) {
  // GDI draws into a DIB section holding the part of the surface under the text; the
  // result is copied back. No anti-aliasing, so no fringe can blend into the colour key.
  const Rect part = Intersect(where, surface.Clip());
  const int x0 = part.left, y0 = part.top, x1 = part.left + part.width, y1 = part.top + part.height;
  if (part.Empty()) return;
  const int w = x1 - x0, h = y1 - y0;
  BITMAPINFO info = TopDownDib(w, h);
  void* bits = nullptr;
  HDC dc = TextDc();
  HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib) return;
  auto* px = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) px[y * w + x] = surface.At(x0 + x, y0 + y) & 0xFFFFFF;
  HGDIOBJ oldBitmap = SelectObject(dc, dib);
  HGDIOBJ oldFont = SelectObject(dc, FontFor(font));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF));
  const std::wstring wide = Wide(text);
  TextOutW(dc, where.left - x0, where.top - y0, wide.c_str(), int(wide.size()));
  GdiFlush();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) surface.At(x0 + x, y0 + y) = px[y * w + x] | kOpaque;
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(dib);
}

void Win32Backend::SetApplicationTitle(const std::string& title) { SetWindowTextA(appWindow_, title.c_str()); }

int Win32Backend::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  return ::MessageBoxA(appWindow_, text.c_str(), caption.c_str(), flags);
}

void Win32Backend::PopupMenu(ui::PopupMenu& menu, Point at, Form& owner) {
  HMENU handle = CreatePopupMenu();
  for (int i = 0; i < menu.Count(); ++i) {
    MenuItem& item = menu.Item(i);
    if (!item.Visible()) continue;
    if (item.IsSeparator()) {
      AppendMenuA(handle, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuA(handle, MF_STRING | (item.Checked() ? MF_CHECKED : 0), UINT_PTR(i + 1), item.Caption().c_str());
    }
  }
  HWND hwnd = reinterpret_cast<HWND>(owner.Peer() ? owner.Peer()->NativeHandle() : 0);
  // The menu closes when the user clicks elsewhere only if its owner is in the foreground.
  NoteForegroundBeforeMenu(hwnd);
  SetForegroundWindow(hwnd);
  const int chosen = TrackPopupMenu(handle, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x,
                                    at.y, 0, hwnd, nullptr);
  DestroyMenu(handle);
  if (chosen > 0) PostMessageA(hwnd, kMenuCommand, WPARAM(chosen - 1), reinterpret_cast<LPARAM>(&menu));
}

void Win32Backend::HideApplicationButton() {
  const LONG_PTR style = GetWindowLongPtrA(appWindow_, GWL_EXSTYLE);
  SetWindowLongPtrA(appWindow_, GWL_EXSTYLE, style | WS_EX_TOOLWINDOW);
}

bool Win32Backend::HighContrast() {
  HIGHCONTRASTA contrast{};
  contrast.cbSize = sizeof contrast;
  if (!SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0)) return false;
  return (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

std::uint32_t Win32Backend::SystemColourOf(SystemColour which) {
  int index = COLOR_WINDOWTEXT;
  switch (which) {
    case SystemColour::Window: index = COLOR_WINDOW; break;
    case SystemColour::WindowText: index = COLOR_WINDOWTEXT; break;
    case SystemColour::Highlight: index = COLOR_HIGHLIGHT; break;
    case SystemColour::HotLight: index = COLOR_HOTLIGHT; break;
  }
  const COLORREF c = GetSysColor(index);
  return Rgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

}  // namespace ui::win32
