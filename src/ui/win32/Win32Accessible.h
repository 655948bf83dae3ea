#pragma once
// Microsoft Active Accessibility for a form's windowless controls: the window answers
// WM_GETOBJECT for its client area with one IAccessible whose children are the controls the
// form declares for a screen reader (ui/Accessible.h), and tells readers where the keyboard
// focus went (EVENT_OBJECT_FOCUS).
#include "platform/win32/WinHeaders.h"

#include <optional>

namespace ui {
class Control;
class Form;
}  // namespace ui

namespace ui::win32 {

class FormAccessible;

// One per form window. The object is made at the first question and cut off from the form
// when the window's peer goes, so a reader still holding it is told it is disconnected
// instead of reaching a form that is gone.
class AccessibleRoot {
 public:
  AccessibleRoot() = default;
  ~AccessibleRoot();
  AccessibleRoot(const AccessibleRoot&) = delete;
  AccessibleRoot& operator=(const AccessibleRoot&) = delete;

  // The answer to WM_GETOBJECT; nothing for the objects the system makes itself (the
  // window, its frame), which DefWindowProc answers.
  std::optional<LRESULT> Answer(HWND hwnd, Form& form, WPARAM wParam, LPARAM lParam);
  // The keyboard focus moved to that control: readers follow it.
  static void FocusMoved(HWND hwnd, const Form& form, const Control& control);

 private:
  FormAccessible* object_ = nullptr;
};

}  // namespace ui::win32
