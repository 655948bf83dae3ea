#pragma once
// The base of every skinned dialog: push buttons and switches made of two pictures, the
// reset of all of them when the window is shown, Enter and Esc mapped to the OK and cancel
// releases, and dragging by a left-button press on the window or its background picture.
// A window only declares its controls, pictures, places and actions.
#include <functional>
#include <vector>

#include "shell/Skin.h"
#include "ui/Form.h"
#include "ui/Image.h"

class TSkinnedForm : public ui::Form {
 public:
  // Every skinned window stands wholly on its display's free area, where all its buttons
  // can be reached.
  TSkinnedForm() { SetKeptOnWorkArea(true); }

  // A push button: pressed with any mouse button it shows its active picture at activeAt;
  // the release (delivered wherever the pointer is) shows the inactive one at inactiveAt,
  // then runs the action. A press that loses the mouse capture only rests the button.
  void AddPushButton(ui::Image& image, Picture& active, Picture& inactive, ui::Point activeAt, ui::Point inactiveAt,
                     std::function<void()> release);
  // Both are stops of the keyboard focus: Space (and Enter, but on a switch of a group)
  // clicks them. A switch keeps the focus group its image was given.
  // A two-state switch that keeps its place: the active picture means on. A click flips it.
  void AddSwitch(ui::Image& image, Picture& on, Picture& off, ui::Point at, std::function<bool()> state,
                 std::function<void()> click);
  // The background picture: drawn transparently, and a press on it drags the window.
  void SetBackground(ui::Image& image, Picture picture, ui::Point at);
  // A background from the program's resources, kept only while the window shows.
  void SetBackground(ui::Image& image, const std::string& resource, ui::Point at);
  // Every push button to its resting look, every switch to its state.
  void ResetButtons();
  // Enter releases the `ok` button and Esc the `cancel` one: each key runs that button's own
  // release handler, so it rests the picture and acts exactly as a click would.
  void SetKeyButtons(ui::Image& ok, ui::Image& cancel);

  void FormMouseDown(ui::MouseButton button, int x, int y) override;

 protected:
  void FormKeyPress(char c) override;

 private:
  struct Switch {
    ImageButton button;
    std::function<bool()> state;
  };
  std::vector<ImageButton> pushButtons_;
  std::vector<Switch> switches_;
  ui::Image* okButton_ = nullptr;
  ui::Image* cancelButton_ = nullptr;
};
