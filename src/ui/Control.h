#pragma once
// A windowless control drawn by its form, in creation order (later ones above).
#include <functional>
#include <string>
#include <utility>

#include "ui/Accessible.h"
#include "ui/Bitmap.h"
#include "ui/Geometry.h"

namespace ui {

class Form;

using MouseHandler = std::function<void(MouseButton button, int x, int y)>;

// The pointer's shape over a control.
enum class Cursor { Arrow, Hand };

// What a control is to the keyboard. A form's focus goes round the controls that are not
// None (see Form::FocusOrder); a group of switches (a row of choices, the day buttons) is one
// stop of Tab, inside which Left and Right move.
enum class FocusKind {
  None,
  Button,  // Space or Enter clicks it
  Switch,  // Space clicks it; so does Enter, unless it belongs to a group
  Spin,    // a number: Up and Down step it while held, digits type it
  Native,  // a native child control, which takes the keyboard itself
};

class Control {
 public:
  explicit Control(Form& owner);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Form& Owner() const { return owner_; }
  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.width; }
  int Height() const { return bounds_.height; }
  Rect Bounds() const { return bounds_; }
  void SetLeft(int left) { SetBounds({left, bounds_.top, bounds_.width, bounds_.height}); }
  void SetTop(int top) { SetBounds({bounds_.left, top, bounds_.width, bounds_.height}); }
  void SetPosition(int left, int top) { SetBounds({left, top, bounds_.width, bounds_.height}); }
  void SetBounds(Rect r);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  ui::Cursor Cursor() const { return cursor_; }
  void SetCursor(ui::Cursor cursor) { cursor_ = cursor; }
  // Moves the control above every other control of its form.
  void BringToFront();
  // Repaints what the control shows, or a part of it (in the control's coordinates).
  void Invalidate();
  void Invalidate(Rect part);
  // Where on the form the control draws: its bounds, unless it draws beyond them.
  virtual Rect PaintBounds() const { return bounds_; }

  // The keyboard's view of the control; `group` (0: none) joins switches into one stop.
  void SetFocusKind(FocusKind kind, int group = 0) {
    focusKind_ = kind;
    focusGroup_ = group;
  }
  FocusKind GetFocusKind() const { return focusKind_; }
  int FocusGroup() const { return focusGroup_; }
  // Declared, shown and enabled.
  bool Focusable() const { return focusKind_ != FocusKind::None && visible_ && enabled_; }
  // Where the focus mark goes round it (by default its bounds).
  virtual Rect FocusBounds() const { return bounds_; }
  // A native control is given the keyboard.
  virtual void TakeFocus() {}
  // What a screen reader is told of the control (see ui/Accessible.h).
  const Accessible& Access() const { return accessible_; }
  void SetAccessible(Role role, std::string name = {}) { accessible_.role = role; accessible_.name = std::move(name); }
  void SetAccessibleName(std::string name) { accessible_.name = std::move(name); }
  void SetAccessibleChecked(std::function<bool()> checked) { accessible_.checked = std::move(checked); }
  virtual std::string AccessibleName() const { return accessible_.name; }
  virtual std::string AccessibleValue() const { return {}; }

  MouseHandler OnMouseDown;
  MouseHandler OnMouseUp;
  std::function<void()> OnClick;
  // The press ended without a release (the window lost the mouse capture or its
  // activation): neither OnMouseUp nor OnClick follows.
  std::function<void()> OnPressCancelled;
  // A switch: whether it is on.
  std::function<bool()> Checked;
  // A spin control: an arrow key went down (+1 Up, -1 Down; the control repeats the step
  // itself while it is held) and came up again; a number was typed (0 to SpinMaximum).
  std::function<void(int direction)> OnStepPress;
  std::function<void()> OnStepRelease;
  std::function<void(int value)> OnTyped;
  int SpinMaximum = 99;

  // Draws the control at its place on the form's surface, which is at the form's scale.
  virtual void Paint(Bitmap& surface) = 0;

  // Controls that are native child windows make and release them with their form's window.
  virtual void CreatePeer() {}
  virtual void DestroyPeer() {}
  // The form is hidden (or was made hidden): a control may let go of what it can make again
  // when it is next painted.
  virtual void FormHidden() {}
  // The form is shown at another scale: what a control made for the old one is stale.
  virtual void ScaleChanged() { Placed(); }

 protected:
  // The place or the visibility changed (native controls follow with their window).
  virtual void Placed() {}

 private:
  Form& owner_;
  Rect bounds_;
  bool visible_ = true;
  bool enabled_ = true;
  ui::Cursor cursor_ = ui::Cursor::Arrow;
  FocusKind focusKind_ = FocusKind::None;
  int focusGroup_ = 0;
  Accessible accessible_;
};

}  // namespace ui
