#pragma once
// Window messages as the toolkit's typed events, decoded once here.
#include <optional>

#include "platform/win32/WinHeaders.h"
#include "ui/Backend.h"
#include "ui/Geometry.h"

namespace ui::win32 {

// The mouse message a notification-area icon reports, as the toolkit's event. A double
// click arrives after the button-down of its first click.
inline std::optional<TrayEvent> DecodeTrayMouse(UINT mouseMessage) {
  switch (mouseMessage) {
    case WM_LBUTTONDOWN:
      return TrayEvent::LeftClick;
    case WM_LBUTTONDBLCLK:
      return TrayEvent::DoubleClick;
    case WM_RBUTTONDOWN:
      return TrayEvent::RightClick;
    default:
      return std::nullopt;
  }
}

// The button of a mouse-button message.
inline MouseButton ButtonOf(UINT msg) {
  switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return MouseButton::Right;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      return MouseButton::Middle;
    default:
      return MouseButton::Left;
  }
}

// WM_KEYDOWN, WM_SYSKEYDOWN: the virtual key, bit 30 of lParam, set when the key was down
// already (the keyboard's repeat), and whether Shift was down as the message was sent.
inline KeyStroke DecodeKeyDown(WPARAM wParam, LPARAM lParam) {
  return {unsigned(wParam), (lParam & (LPARAM(1) << 30)) != 0, GetKeyState(VK_SHIFT) < 0};
}

}  // namespace ui::win32
