#pragma once
// The pet's own window and the program's main window: borderless, always on top, keyed
// out purple; it hosts the character, owns the tray menu, remembers its place, switches
// between the normal and the ringing layout and decides whether a close request ends the
// program. Its creation and destruction build and release the long-lived objects.
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>

#include "alarm/AlarmOptions.h"
#include "shell/Skin.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "alarm/RingVolume.h"
#include "ui/PopupMenu.h"
#include "ui/Timer.h"

constexpr unsigned kWmNull = 0;

class CRingBubble;

class TFormMain : public ui::Form {
 public:
  TFormMain();
  ~TFormMain() override;

  void ShowRingingLayout();
  void ShowNormalLayout();
  void ShowAlarmOn();
  void ShowAlarmOff();
  // The icon and the "Alarm" item as the alarm stands now (on or off).
  void ShowAlarmState();
  // The alarms made and their ring, its misses and its next ring wired to this window
  // (MainAlarms.cpp).
  void ConnectAlarms();
  // The title names what rings: "Ravilo: Pills, 08:00"; "Ravilo" while nothing does.
  void ShowRingNames();
  // The icon's tip: who is here, and the next ring.
  void ShowNextRing();
  std::string TipText() const;
  // The timers' two clocks set again for the timers as they stand, and the tip.
  void TimersChanged();
  void ReportDamaged();
  [[noreturn]] void ExitProgram();
  void FormMouseDown(ui::MouseButton button, int x, int y) override;

  // While it rings, stop and snooze stay within reach whatever box is open.
  bool TakesInputWhileModal() const override { return ImageStop.Visible(); }
  // The tray icon's clicks, and the shell's taskbar created again (the icon comes back).
  void HandleTrayEvent(ui::TrayEvent event) override { TrayMessage(event); }
  void HandleTaskbarCreated() override;

  // Components.
  ui::PopupMenu TrayPopupMenu;
  ui::MenuItem& About1;
  ui::MenuItem& N1;
  ui::MenuItem& SetAlarmTime1;
  // "Skip next alarm (Tue 07:30)", shown while the alarm is on.
  ui::MenuItem& SkipAlarm1;
  ui::MenuItem& Options1;
  // "Timer…", then one "Cancel timer Tea (3 min left)" per running timer (MainTimers.cpp).
  ui::MenuItem& Timer1;
  const int CancelTimerFirst;
  ui::MenuItem& Show1;
  ui::MenuItem& Funnyeyes1;
  ui::MenuItem& Exit1;
  ui::Image ImageStop;
  ui::Image Image10MinMore;
  // The names of what rings, in the ringing layout (made with the alarms).
  std::unique_ptr<CRingBubble> Bubble;
  // Ends a ring left unanswered for the chosen time, as the stop button would.
  ui::Timer TimerAutoStop;
  // Looks every half second whether a full-screen program is in front of the pet.
  ui::Timer TimerFullScreen;
  // The gentle start and the ring through muted speakers.
  CRingVolume RingVolume;
  // Set to the first timer's end, so that it rings on time whatever the behaviour tick does.
  ui::Timer TimerTimerEnd;
  // Brings the tip's countdown up to date once a second while a timer runs.
  ui::Timer TimerCountdown;

  static constexpr int kNormalWidth = 319, kNormalHeight = 170;
  static constexpr int kRingingWidth = 460, kRingingHeight = 319;
  static constexpr int kAlarmItemIndex = 2;
  // Where the pet shows in the normal layout: the animator's movie view at 140, 0, as large
  // as the movies (172 by 136). The rest of the window is keyed out.
  static constexpr ui::Rect kPetArea{140, 0, 172, 136};
  // How much of the pet a stored place must leave on one display, each way: enough to grab it.
  static constexpr int kGrip = 32;

  bool KeyHeldNow() const { return KeyHeld; }
  ui::Point SavedPosition() const { return {SavedLeft, SavedTop}; }

 protected:
  void FormCreate() override;
  void FormDestroy() override;
  bool FormCloseQuery() override;
  void FormClose() override;
  // While it rings, Enter stops and Esc snoozes.
  void FormKeyDown(ui::KeyStroke stroke) override;
  void FormKeyUp(ui::Key key) override { KeyHeld = false; }
  // A key released after the focus moved away never reaches this window: without this the
  // program would refuse every close, and so every logoff, for the rest of the run.
  void FormFocusLost() override {
    KeyHeld = false;
    UserActivated = false;
  }
  // The session ends: the same end as an allowed close. A cancelled end changes nothing.
  void FormEndSession(bool ending) override;
  void FormPowerResume() override;
  void FormTimeChange() override;
  // A display of another scaling: the pet keeps its feet where they stood.
  void FormDpiChanged(int dpi, ui::Rect suggested) override;

 public:
  ui::Size ScreenSizeAtDpi(int dpi) const override;
  // The Options window stored a pet size: the pet takes it, its feet where they stood.
  void PetOptionsChanged();
  // The scale the pet is drawn at on a display: the chosen size, or the display's own.
  int PetScaleOn(const ui::Monitor& monitor) const;
  // Where the pet stands on the ground (the middle of its feet), in design pixels.
  static constexpr ui::Point kFeet{kPetArea.left + kPetArea.width / 2, kPetArea.top + kPetArea.height};

 private:
  void LoadPosition(int& x, int& y);
  // Shows the pet at another scale with its feet where they stood, kept as far on its
  // display as it was; while it rings, the scale comes with the normal layout.
  void ApplyPetScale(int scale);
  void CentreForRinging();
  void RestorePosition();
  // The menu at the pointer, or at a screen point (the keyboard's menu, over the pet).
  void PopupTrayMenu(std::optional<ui::Point> at = std::nullopt);
  void TrayClick();
  void TimerAutoStopTimer();
  void TrayMessage(ui::TrayEvent event);
  // After stop or snooze has silenced the ring.
  void RingEnded();
  // Said in the tip, below any notice already there, and in a balloon.
  void AddNotice(const std::string& text);
  void AddTimerNotice(const std::string& text);

  void ImageStopMouseDown();
  void ImageStopMouseUp();
  void Image10MinMoreMouseDown();
  void Image10MinMoreMouseUp();
  void About1Click();
  void SetAlarmTime1Click();
  void SkipAlarm1Click();
  void Options1Click();
  void Timer1Click();
  static int AddCancelTimerItems(ui::PopupMenu& menu);
  // The "Cancel timer" items as the timers stand now.
  void ShowTimerItems();
  void TimerTimerEndTimer();
  void TimerCountdownTimer();
  // The right-hand ringing button: the snooze, or "+1 min" for a ring of timers alone.
  void ShowSnoozeButton();
  // The skip item as the alarm stands now.
  void ShowSkipItem();
  void Show1Click();
  void Funnyeyes1Click();
  void Exit1Click();

  bool KeyHeld = false;
  // A ringing button is held down (its release still to come).
  bool StopHeld = false, SnoozeHeld = false;
  // The user gave this window the keyboard (a press on it, a click on the tray icon), and it
  // has kept it since. Windows hands it the keyboard by itself too (when a window of the
  // program closes, when the tray menu opens): keys that come then were meant elsewhere.
  bool UserActivated = false;
  bool DamageReported = false;
  // The snooze button's pictures: the pressed and the resting one of the length it shows.
  const Picture& SnoozePicture(bool pressed) const;
  Picture AStopAlarm, IStopAlarm;
  // The snooze button's pictures for each length, in AlarmOptions::kSnoozeChoices order.
  Picture ASnooze[std::size(AlarmOptions::kSnoozeChoices)], ISnooze[std::size(AlarmOptions::kSnoozeChoices)];
  Picture AMoreTime, IMoreTime;
  // The button shows "+1 min": the ring holds timers alone.
  bool MoreTimeShown = false;
  // The length the snooze button shows; the layout's own first picture is of 10 minutes.
  int ShownSnooze = 10;
  int SavedLeft = 0, SavedTop = 0;
  // "PetSize" (0: the display's scale), and the scale of the normal layout.
  int PetSize = 0;
  int PetScale = 100;
  // Said in the tip instead of the next ring until the icon is clicked or the next ring
  // comes: "Alarm at 07:30 rang unanswered for 10 minutes", and kOwnSoundNotice, a line each.
  std::string Notice;
  // "Timer Tea rang unanswered", a line each, said until the icon is clicked (a next ring
  // does not take it away).
  std::string TimerNotice;

 public:
  static constexpr const char* kOwnSoundNotice =
      "The alarm's sound could not be played; Ravilo's own sound rang instead.";
};

inline TFormMain* FormMain = nullptr;
