#pragma once
// The pet's own window and the program's main window: borderless, always on top, keyed
// out purple; it hosts the character, owns the tray menu, remembers its place, switches
// between the normal and the ringing layout and decides whether a close request ends the
// program. Its creation and destruction build and release the long-lived objects.
#include <cstdint>

#include "shell/Skin.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/PopupMenu.h"

// The tray icon's callback message.
constexpr unsigned kTrayMessage = 0x0400 + 1;  // WM_USER + 1
constexpr unsigned kWmNull = 0;
constexpr unsigned kWmLButtonDown = 513;
constexpr unsigned kWmLButtonDblClk = 515;
constexpr unsigned kWmRButtonDown = 516;

class TFormMain : public ui::Form {
 public:
  TFormMain();
  ~TFormMain() override;

  void ShowRingingLayout();
  void ShowNormalLayout();
  void ShowAlarmOn();
  void ShowAlarmOff();
  void ReportDamaged();
  [[noreturn]] void ExitProgram();
  void FormMouseDown(ui::MouseButton button, int x, int y) override;

  bool HandleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
  // Shutting down or logging off asks the same question as a close request.
  bool HandleEndSessionQuery() override { return HandleCloseRequest(); }

  // Components.
  ui::PopupMenu TrayPopupMenu;
  ui::MenuItem& About1;
  ui::MenuItem& N1;
  ui::MenuItem& SetAlarmTime1;
  ui::MenuItem& Show1;
  ui::MenuItem& Funnyeyes1;
  ui::MenuItem& Exit1;
  ui::Image ImageStop;
  ui::Image Image10MinMore;

  static constexpr int kNormalWidth = 319, kNormalHeight = 170;
  static constexpr int kRingingWidth = 460, kRingingHeight = 319;
  static constexpr int kAlarmItemIndex = 2;

  bool KeyHeldNow() const { return KeyHeld; }
  ui::Point SavedPosition() const { return {SavedLeft, SavedTop}; }

 protected:
  void FormCreate() override;
  void FormDestroy() override;
  bool FormCloseQuery() override;
  void FormClose() override;
  void FormKeyDown(ui::Key key) override { KeyHeld = true; }
  void FormKeyUp(ui::Key key) override { KeyHeld = false; }
  void FormPowerResume() override;
  void FormTimeChange() override;

 private:
  void LoadPosition(int& x, int& y);
  void CentreForRinging();
  void RestorePosition();
  void PopupTrayMenu();
  void TrayClick();
  void TrayMessage(std::intptr_t mouseMessage);

  void ImageStopMouseDown();
  void ImageStopMouseUp();
  void Image10MinMoreMouseDown();
  void Image10MinMoreMouseUp();
  void About1Click();
  void SetAlarmTime1Click();
  void Show1Click();
  void Funnyeyes1Click();
  void Exit1Click();

  bool KeyHeld = false;
  bool DamageReported = false;
  Picture AStopAlarm, IStopAlarm, A10MinMore, I10MinMore;
  int SavedLeft = 0, SavedTop = 0;
};

inline TFormMain* FormMain = nullptr;
