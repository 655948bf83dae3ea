#pragma once
// Keeps the program out of the taskbar: the pet lives on the desktop and in the
// notification area.
class CTaskBarControl {
 public:
  virtual ~CTaskBarControl() = default;
  // Gives the application window the tool-window style, which has no taskbar button.
  void HideButton();
};

inline CTaskBarControl* TaskBarControl = nullptr;
