#pragma once
// A simulated desktop for tests: virtual time that the test advances, input injected at
// screen points and hit-tested through the colour key, message boxes and menus recorded
// and answered by the test, and a capture of the desktop as pixels.
#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/Backend.h"
#include "ui/Bitmap.h"
#include "ui/Form.h"
#include "ui/PopupMenu.h"

namespace ui::headless {

class HeadlessFormPeer;
class HeadlessTimerPeer;

struct RecordedMessageBox {
  std::string text, caption;
  unsigned flags;
};

struct RecordedMenu {
  std::vector<std::string> captions;  // as shown, separators as "-"; hidden items left out
  std::vector<bool> checked;
  std::vector<int> items;  // the menu's index of each shown item
  Point at;
};

// Thrown by HandleMessage when nothing can ever happen again (no message, no timer).
struct Stalled {};

class HeadlessBackend : public Backend {
 public:
  HeadlessBackend();
  ~HeadlessBackend() override;

  // Backend
  std::unique_ptr<FormPeer> CreateFormPeer(Form& form) override;
  std::unique_ptr<TimerPeer> CreateTimerPeer(Timer& timer) override;
  std::unique_ptr<ListBoxPeer> CreateListBoxPeer(ListBox& list, Form& owner) override;
  std::unique_ptr<EditPeer> CreateEditPeer(Edit& edit, Form& owner) override;
  std::unique_ptr<TreeViewPeer> CreateTreeViewPeer(TreeView& tree, Form& owner) override;
  // Recorded and answered by OpenDialogAnswer (none: cancelled). Names that would not fit
  // the buffer as the system packs them (the folder, then each name, each ended by a zero,
  // and one zero more) come back as FNERR_BUFFERTOOSMALL does: the choice lost, and the size
  // needed as the WORD the system leaves at the buffer's start.
  OpenDialogResult RunOpenDialog(const OpenDialog& dialog, std::size_t bufferChars) override;
  void SetBusy(bool busy) override;
  void HandleMessage() override;
  void ProcessMessages() override;
  // As on Windows, the other shown windows take no mouse or key input meanwhile, except
  // those that ask for it (Form::TakesInputWhileModal); throws Stalled when the form can
  // never be ended.
  int RunModal(Form& form) override;
  void SetApplicationTitle(const std::string& title) override { title_ = title; }
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  Point CursorPos() override { return cursor_; }
  Size ScreenSize() override { return screen_; }
  Size VirtualScreenSize() override { return virtualScreen_; }
  std::optional<Monitor> MonitorFromRect(Rect r, bool nearest) override;
  Monitor PrimaryMonitor() override;
  // The full-screen rule over what SetOtherProgramInFront and SetShellSaysFullScreen set.
  bool FullScreenProgramOn(const Monitor& monitor) override;
  void PopupMenu(ui::PopupMenu& menu, Point at, Form& owner) override;
  void HideApplicationButton() override { applicationButtonHidden_ = true; }
  // Text as blocks: each character a cell of about the font's size, so that layout and
  // overflow can be seen in a capture.
  Size MeasureText(const std::string& text, const Font& font) override;
  void DrawText(Bitmap& surface, Rect where, const std::string& text, const Font& font,
                std::uint32_t colour) override;
  bool HighContrast() override { return highContrast_; }
  // The usual scheme, or high contrast's white on black.
  std::uint32_t SystemColourOf(SystemColour which) override;
  // The user switches high contrast: every window is told, as Windows sends WM_SYSCOLORCHANGE.
  void SetHighContrast(bool on);

  // Virtual time.
  std::int64_t Now() const { return now_; }
  // Runs messages and timers until the clock reaches Now() + ms (or the application ends).
  void RunFor(std::int64_t ms);
  void Post(std::function<void()> message) { posted_.push_back(std::move(message)); }
  // Runs at the start of every ProcessMessages, as if something had come in just then: a
  // test's way to have a click or a command arrive while a handler lets messages through.
  std::function<void()> BeforeProcessMessages;
  // Posts a message when the virtual clock reaches Now() + delayMs (for fake devices that
  // report back later, such as a sound that ends).
  void PostAfter(std::int64_t delayMs, std::function<void()> message);

  // The computer sleeps, or the process is held, for ms: the clock moves on and nothing
  // runs meanwhile; timers that came due fire once afterwards, as WM_TIMER does.
  void Suspend(std::int64_t ms) { now_ += std::max<std::int64_t>(0, ms); }
  // Every window is told, as Windows broadcasts WM_POWERBROADCAST (resume) and
  // WM_TIMECHANGE to the top-level windows; the messages wait in the queue.
  void BroadcastPowerResume();
  void BroadcastTimeChange();

  // The desktop.
  // One display of the primary size (whole area free), with a virtual desktop of its own size.
  void SetScreen(Size primary, Size virtualScreen);
  // Several displays, exactly one of them primary at 0, 0; the primary and virtual sizes follow.
  void SetMonitors(std::vector<Monitor> monitors);
  const std::vector<Monitor>& Monitors() const { return monitors_; }
  // The system answers no display query (GetMonitorInfo fails, as it can while displays
  // change): MonitorFromRect finds none, and the primary display is known by its size alone.
  void FailMonitorLookups(bool fail) { monitorLookupsFail_ = fail; }
  // Another program's window in front, with its rectangle (none: the desktop or one of ours),
  // maximised or not.
  void SetOtherProgramInFront(std::optional<Rect> window, bool maximised = false) {
    foreignWindow_ = window;
    foreignMaximised_ = maximised;
  }
  // The shell's notification state says busy, full-screen Direct3D or presentation.
  void SetShellSaysFullScreen(bool fullScreen) { shellFullScreen_ = fullScreen; }
  // The shell, as it talks to the window that registered a notification-area icon.
  void RaiseTrayEvent(std::uintptr_t window, TrayEvent event);
  // The shell's "TaskbarCreated" broadcast to every top-level window.
  void BroadcastTaskbarCreated();
  // The pointer's shape at the cursor: that of the window there, else the desktop's arrow.
  Cursor PointerShape();
  void SetCursor(Point p);
  // Mouse input at a screen point, as a user gives it. Returns the form that received the
  // press (nullptr: it fell through to the desktop).
  Form* Press(Point p, MouseButton button = MouseButton::Left);
  void MoveTo(Point p);
  void Release(Point p, MouseButton button = MouseButton::Left);
  Form* Click(Point p, MouseButton button = MouseButton::Left);
  void KeyDown(Form& form, Key key);
  void KeyUp(Form& form, Key key);
  // The keyboard, as the user types: the key goes down in the window that has the keyboard
  // (none: another program), as the keyboard's repeat of a held key or freshly, followed by
  // its character for Enter, Esc, Space and the digits (WM_CHAR); PressKey also releases it
  // again, in whichever window has the keyboard by then. While kVkShift is down, the keys
  // that go down say so.
  void KeyGoesDown(Key key, bool repeat = false);
  void KeyComesUp(Key key);
  void PressKey(Key key) {
    KeyGoesDown(key);
    KeyComesUp(key);
  }
  // Shift+key, pressed and released.
  void PressShifted(Key key) {
    KeyGoesDown(kVkShift);
    PressKey(key);
    KeyComesUp(kVkShift);
  }
  // Activation, as Windows keeps it: the form with the keyboard, nullptr while another program
  // has it. A press on a form that takes input activates it; showing a form activates it,
  // except a topmost one (the pet), which is shown without activation. A form that hides
  // while active hands the keyboard to the next shown form, as Windows does, except that it
  // is given back to whatever had it before that form was shown rather than to a topmost
  // form.
  Form* ActiveForm() const;
  // The user clicks into another program's window: it takes the keyboard.
  void ActivateOtherProgram() { ActivatePeer(nullptr); }
  // WM_CLOSE to the form.
  bool RequestClose(Form& form);
  // WM_CLOSE to the toolkit's hidden application window.
  bool RequestApplicationClose();
  // The end of the session as the system runs it: WM_QUERYENDSESSION to every window
  // (true when all agree), then WM_ENDSESSION with `ending` to every window.
  bool QueryEndSession();
  void EndSession(bool ending);
  // The form loses the keyboard focus and its activation (Alt+Tab, a click elsewhere); as
  // WM_ACTIVATE, that ends a press in progress on it.
  void LoseFocus(Form& form);
  // Something outside the program takes the mouse capture (Win+L's or Ctrl+Alt+Del's secure
  // desktop): the window that held it is told, as by WM_CAPTURECHANGED.
  void TakeCapture();
  // WM_CANCELMODE to the form: the system cancels its mouse modes and its capture.
  void CancelMode(Form& form);
  // Something outside the program destroys the form's native window.
  void DestroyFromOutside(Form& form);
  // Whether the form takes input now (false while another form is modal over it).
  bool TakesInput(const Form& form) const;
  // The form whose peer has this NativeHandle (each headless window has its own), or
  // nullptr once it is destroyed.
  Form* FormByHandle(std::uintptr_t handle) const;
  // The form whose visible pixel is at p, or nullptr; nullptr too outside every display's
  // work area (a point on a taskbar, or on no display at all, is nobody's window of ours).
  Form* FormAt(Point p);
  bool OnAWorkArea(Point p) const;
  // The desktop as shown: a desktop colour with the visible forms over it, keyed out.
  Bitmap Capture(std::uint32_t desktopColour = Rgb(0, 64, 64));

  // Message boxes: recorded; answered with IDOK.
  const std::vector<RecordedMessageBox>& MessageBoxes() const { return boxes_; }
  std::function<void(const RecordedMessageBox&)> OnMessageBox;
  // Menus: recorded; the test's chooser returns the index of the item to click (or -1).
  const std::vector<RecordedMenu>& Menus() const { return menus_; }
  std::function<int(const RecordedMenu&)> MenuChooser;
  // Open-file dialogs: what each was asked with, and the test playing the user.
  struct OpenDialogCall {
    std::string title, filter, initialDir;
    bool multiSelect = false, hideReadOnly = false, pathMustExist = false, fileMustExist = false;
    std::size_t bufferChars = 0;
  };
  const std::vector<OpenDialogCall>& OpenDialogCalls() const { return openDialogCalls_; }
  std::function<std::optional<std::vector<std::string>>(const OpenDialogCall&)> OpenDialogAnswer;
  // The wait cursor: whether it shows, and how often it was shown.
  bool Busy() const { return busy_; }
  int BusyPeriods() const { return busyPeriods_; }
  const std::string& Title() const { return title_; }
  bool ApplicationButtonHidden() const { return applicationButtonHidden_; }

  // Used by the peers.
  void Raise(HeadlessFormPeer* peer);
  void Forget(HeadlessFormPeer* peer);
  void Forget(HeadlessTimerPeer* peer);
  // A window that held the capture and loses it to another is told, as by WM_CAPTURECHANGED.
  void SetCaptureTo(HeadlessFormPeer* peer);
  // The peer (nullptr: another program) takes the keyboard; the one that had it is told.
  void ActivatePeer(HeadlessFormPeer* peer);
  // The peer, active, hides: who gets the keyboard; `before` had it when the peer was shown.
  void PassActivation(HeadlessFormPeer* peer, HeadlessFormPeer* before);
  // Who had the keyboard, for a form shown now: not a topmost form, which only had it from a
  // menu's opening (the menu's owner is made active), but what had it before that menu.
  HeadlessFormPeer* ActiveBeforeShow() const;
  bool IsLive(const HeadlessFormPeer* peer) const;
  HeadlessFormPeer* CaptureOwner() const { return capture_; }
  void BeginMove(HeadlessFormPeer* peer);
  std::int64_t NextTimerSequence() { return ++timerSequence_; }
  std::uintptr_t NextFormHandle() { return ++formHandles_; }

 private:
  friend class HeadlessTimerPeer;
  bool RunOnePosted();
  HeadlessTimerPeer* NextDueTimer();
  // The earliest of the next timer and the next delayed message; false when there is none.
  bool NextDue(std::int64_t& due);
  // Runs whatever is due at Now(): one delayed message or one timer tick.
  bool FireDue();
  struct Delayed {
    std::int64_t due;
    std::int64_t sequence;
    std::function<void()> message;
  };
  std::vector<Delayed> delayed_;
  std::vector<HeadlessFormPeer*> ZOrderTopFirst() const;
  HeadlessFormPeer* PeerOf(const Form& form) const;
  // Every live form, for messages that go to all top-level windows.
  std::vector<Form*> AllForms() const;

  std::int64_t now_ = 0;
  std::int64_t timerSequence_ = 0;
  std::uintptr_t formHandles_ = 0;
  std::deque<std::function<void()>> posted_;
  std::vector<HeadlessFormPeer*> forms_;  // bottom first
  std::vector<HeadlessTimerPeer*> timers_;
  Point cursor_{0, 0};
  Size screen_{1280, 800};
  Size virtualScreen_{1280, 800};
  std::vector<Monitor> monitors_{{{0, 0, 1280, 800}, {0, 0, 1280, 800}, true}};
  bool monitorLookupsFail_ = false;
  std::optional<Rect> foreignWindow_;
  bool foreignMaximised_ = false;
  bool shellFullScreen_ = false;
  HeadlessFormPeer* capture_ = nullptr;
  HeadlessFormPeer* active_ = nullptr;
  HeadlessFormPeer* activeBeforeMenu_ = nullptr;
  HeadlessFormPeer* moving_ = nullptr;
  Point moveStartCursor_;
  Point moveStartWindow_;
  std::vector<RecordedMessageBox> boxes_;
  std::vector<RecordedMenu> menus_;
  std::string title_;
  bool applicationButtonHidden_ = false;
  std::vector<OpenDialogCall> openDialogCalls_;
  bool busy_ = false;
  int busyPeriods_ = 0;
  bool shiftDown_ = false;
  bool highContrast_ = false;
};

}  // namespace ui::headless
