#pragma once
// A top-level window as a form designer describes it: borderless, its background the purple
// colour key (layered), optionally always on top, with windowless controls painted from an
// off-screen surface. Subclasses set their design properties in the constructor and
// override the handlers they need.
//
// A form is designed at 100 % and shown at its scale (the DPI of its display, or the pet's
// size): its controls, their events and its mouse positions are in design pixels, while its
// place and size on the screen (Left, Top, Width, Height, Bounds) are in screen pixels.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/Backend.h"
#include "ui/Bitmap.h"
#include "ui/Control.h"
#include "ui/Geometry.h"

namespace ui {

// Keys as Win32 virtual-key codes; characters as their codes.
using Key = unsigned;

// The largest scale, from `scale` down to 100 in the display settings' 25 % steps, at which a
// window of the design size fits the area (100 when none does).
int FittingScale(Size design, Rect area, int scale);

class Form {
 public:
  Form();
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Makes the native window and runs FormCreate; the form shows itself when it was
  // designed visible. Called once by Application::CreateForm.
  void Create();
  // Runs FormDestroy and releases the native window. Called by the application's teardown.
  void Destroy();
  bool Created() const { return peer_ != nullptr; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // What a screen reader calls the window's client area; empty: the caption.
  const std::string& AccessibleName() const { return accessibleName_; }
  void SetAccessibleName(const std::string& name) { accessibleName_ = name; }
  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.width; }
  int Height() const { return bounds_.height; }
  Rect Bounds() const { return bounds_; }
  // The place on the screen, and the size in design pixels.
  void SetBounds(int left, int top, int width, int height);
  void SetPosition(int left, int top) { SetBounds(left, top, design_.width, design_.height); }
  void SetClientSize(int width, int height) { SetBounds(bounds_.left, bounds_.top, width, height); }
  Size DesignSize() const { return design_; }
  // The percentage of its design size the form is shown at (100 until set). A new scale keeps
  // the top-left corner (as far as the work area allows, see SetKeptOnWorkArea); the controls
  // are drawn again at it.
  int Scale() const { return scale_; }
  void SetScale(int scale);
  // Design pixels to screen pixels of the client area and back (the latter rounds down).
  Rect ToScreenPart(Rect design) const;
  Point ToDesign(int x, int y) const;
  bool Visible() const { return visible_; }
  void Show();
  void Hide();
  bool TopMost() const { return topMost_; }
  // Shows the form modally: returns, with the result given to EndModal, once it is ended
  // (or the application ends: 0). A close request while modal ends it with kIdCancel.
  int ShowModal();
  void EndModal(int result) { modalResult_ = result; }
  bool Modal() const { return modal_; }
  int ModalResult() const { return modalResult_; }
  std::uint32_t Colour() const { return colour_; }

  void Invalidate();
  // Repaints a part of the client area only (design pixels).
  void Invalidate(Rect part);
  // The client area as it is shown: the key colour, then the visible controls in z-order.
  // Only what was invalidated since the last call is composed again.
  const Bitmap& Compose();
  // What the next Compose will repaint, in screen pixels of the client area (empty when the
  // surface is up to date).
  Rect Damage() const { return damage_; }
  // The bytes the off-screen surface holds now.
  std::size_t SurfaceBytes() const { return surface_.Pixels().capacity() * sizeof(std::uint32_t); }

  void SetCapture();
  void ReleaseCapture();
  void BeginSystemMove();
  void Activate();
  void PostMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
  FormPeer* Peer() const { return peer_.get(); }

  // Entry points for the backend (already on the GUI thread). Positions are screen pixels of
  // the client area.
  void HandleMouseDown(MouseButton button, int x, int y);
  void HandleMouseUp(MouseButton button, int x, int y);
  // The wheel turned over the window (WM_MOUSEWHEEL): +120 a notch away from the user.
  virtual void HandleMouseWheel(int delta) {}
  // The keyboard focus takes its keys first (FormFocus.cpp); the rest go to the form's handlers.
  void HandleKeyDown(KeyStroke stroke);
  void HandleKeyUp(Key key);
  void HandleKeyPress(char c);
  // A close request (WM_CLOSE). Returns whether it was allowed.
  bool HandleCloseRequest();
  // The system asks whether it may end the session (WM_QUERYENDSESSION). Every window
  // agrees: the program ends when the session really ends (HandleEndSession), so another
  // program that cancels the end leaves it running.
  virtual bool HandleEndSessionQuery() { return true; }
  // The session ends (WM_ENDSESSION with TRUE), or an end that was asked for has been
  // cancelled (FALSE).
  void HandleEndSession(bool ending) { FormEndSession(ending); }
  // The window lost the keyboard focus or its activation (WM_KILLFOCUS, WM_ACTIVATE).
  void HandleFocusLost() {
    ReleaseStep();
    FormFocusLost();
  }
  // The window lost the mouse capture or its activation (WM_CAPTURECHANGED, WM_CANCELMODE,
  // WM_ACTIVATE: Win+L, Ctrl+Alt+Del, Alt+Tab, another window taking the mouse): a press
  // in progress is over, and no release will come for it.
  void HandleCaptureLost();
  // The native window was destroyed by something other than Destroy.
  void HandleWindowDestroyed();
  // Whether the form takes mouse and keys while another form is shown modally; asked
  // again at every message of the modal loop.
  virtual bool TakesInputWhileModal() const { return false; }
  // The notification-area icon registered with this window was clicked.
  virtual void HandleTrayEvent(TrayEvent event) {}
  // The shell's taskbar was created again (its process restarted): icons must be re-added.
  virtual void HandleTaskbarCreated() {}
  // The pointer's shape over a client point: that of the control there, else the arrow.
  ui::Cursor CursorAt(int x, int y) const;
  // The computer woke from sleep (WM_POWERBROADCAST, resume), or the system's clock or
  // time zone changed (WM_TIMECHANGE).
  void HandlePowerResume() { FormPowerResume(); }
  void HandleTimeChange() { FormTimeChange(); }
  // The native window moved (dragging) or changed size outside SetBounds.
  void HandleMoved(int left, int top);
  // The window's display changed its scaling, or the window was moved onto a display of
  // another scaling (WM_DPICHANGED): `suggested` is where the system would put it.
  void HandleDpiChanged(int dpi, Rect suggested) { FormDpiChanged(dpi, suggested); }
  // The size the window takes at a DPI (asked before a move onto another display:
  // WM_GETDPISCALEDSIZE), in screen pixels.
  virtual Size ScreenSizeAtDpi(int dpi) const;
  // A message the toolkit does not handle itself (WM_USER + n, MM_MCINOTIFY, ...).
  virtual bool HandleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) { return false; }

  // The keyboard focus: the control that has it, nullptr before the first Tab or arrow key
  // in this showing of the window (its mark shows exactly while there is one).
  Control* FocusedControl() const { return focused_; }
  // The controls the focus can go to, in reading order: by lines from the top (a control
  // whose top lies above the middle of a line's first one stands on that line), each line
  // from the left.
  std::vector<Control*> FocusOrder() const;
  // Moves the focus (nullptr: none, and no mark).
  void SetFocusedControl(Control* c);
  // Where the mark is drawn round a control, in design pixels.
  static Rect FocusMarkBounds(const Control& c);
  // Every control, in z-order (the first lowest).
  const std::vector<Control*>& Controls() const { return controls_; }
  // The system's colours or its high-contrast mode changed: what the program draws itself
  // in them is drawn again.
  void HandleColoursChanged() { Invalidate(); }

  // Used by Control.
  void AddControl(Control* c);
  void RemoveControl(Control* c);
  void BringControlToFront(Control* c);
  Control* ControlAt(int x, int y) const;

 protected:
  // Design properties, for constructors.
  void SetTopMost(bool topMost) { topMost_ = topMost; }
  void SetDesignVisible(bool visible) { visible_ = visible; }
  // The window stands wholly inside the work area of its display (the one holding most of it,
  // else the nearest) whenever it is shown, and whenever it moves or changes its size or scale
  // while shown, so that no button of it lies under the taskbar or past the screen's edge.
  void SetKeptOnWorkArea(bool kept) { keptOnWorkArea_ = kept; }

  virtual void FormCreate() {}
  virtual void FormDestroy() {}
  virtual bool FormCloseQuery() { return true; }
  virtual void FormClose() {}
  virtual void FormMouseDown(MouseButton button, int x, int y) {}
  virtual void FormKeyDown(KeyStroke stroke) {}
  virtual void FormKeyUp(Key key) {}
  virtual void FormKeyPress(char c) {}
  virtual void FormEndSession(bool ending) {}
  virtual void FormFocusLost() {}
  virtual void FormPowerResume() {}
  virtual void FormTimeChange() {}
  // Takes the scale of the new DPI, or less where the work area at the suggested place would
  // not hold the window, and the suggested place.
  virtual void FormDpiChanged(int dpi, Rect suggested);

 private:
  // The focus's keys; false for one it leaves to the form.
  bool FocusKeyDown(KeyStroke stroke);
  bool FocusKeyPress(char c);
  // Tab (+1) and Shift+Tab (-1): the next stop, round from the end to the start.
  void MoveFocus(int direction);
  // Left (-1) and Right (+1) in a group of switches, round within the group.
  void MoveInGroup(int direction);
  // A group's member that Tab lands on: the one last focused, else its only one switched on,
  // else its first.
  Control* GroupEntry(int group, const std::vector<Control*>& order) const;
  // A spin control's held arrow key comes up, or can no longer come up here.
  void ReleaseStep();
  void PaintFocusMark();
  // Ends a press in progress without a release: the control is told, nothing is clicked.
  void CancelPress(MouseButton button);
  void CancelPresses();
  // The screen rectangle moved into its display's work area, for a form kept there.
  Rect OnWorkArea(Rect screen) const;
  // The screen pixels that drawing a design rectangle may touch.
  Rect ScreenReach(Rect design) const;
  std::unique_ptr<FormPeer> peer_;
  std::string caption_;
  std::string accessibleName_;
  Rect bounds_{0, 0, 100, 100};
  Size design_{100, 100};
  int scale_ = 100;
  bool visible_ = false;
  bool topMost_ = false;
  bool keptOnWorkArea_ = false;
  bool inSystemMove_ = false;
  bool placeAfterMove_ = false;
  std::uint32_t colour_ = kKeyColour;
  std::vector<Control*> controls_;
  // The control each mouse button (by MouseButton) holds down, until its release.
  Control* captured_[3] = {};
  // Freed while the form is hidden, rebuilt when it is next composed.
  Bitmap surface_;
  Rect damage_;
  Control* focused_ = nullptr;
  // The spin control whose arrow key is held, and the first digit typed into the focused one.
  Control* stepping_ = nullptr;
  int typedDigit_ = -1;
  // The member of each group that had the focus last.
  std::vector<std::pair<int, Control*>> lastInGroup_;
  bool modal_ = false;
  int modalResult_ = 0;
};

}  // namespace ui
