#include "shell/SkinnedForm.h"

void TSkinnedForm::AddPushButton(ui::Image& image, Picture& active, Picture& inactive, ui::Point activeAt,
                                 ui::Point inactiveAt, std::function<void()> release) {
  pushButtons_.emplace_back(image, active, inactive, activeAt, inactiveAt);
  image.SetFocusKind(ui::FocusKind::Button);
  if (image.Access().role == ui::Role::None) image.SetAccessible(ui::Role::PushButton, image.Access().name);
  const std::size_t index = pushButtons_.size() - 1;
  image.OnMouseDown = [this, index](ui::MouseButton, int, int) { pushButtons_[index].ShowActive(); };
  image.OnMouseUp = [this, index, release](ui::MouseButton, int, int) {
    pushButtons_[index].ShowInactive();
    if (release) release();
  };
  // A press the system took away rests the button without its action.
  image.OnPressCancelled = [this, index] { pushButtons_[index].ShowInactive(); };
}

void TSkinnedForm::AddSwitch(ui::Image& image, Picture& on, Picture& off, ui::Point at, std::function<bool()> state,
                             std::function<void()> click) {
  // A reader hears a switch as a check box (a choice of a row declares itself a radio button).
  if (image.Access().role == ui::Role::None) image.SetAccessible(ui::Role::CheckBox, image.Access().name);
  image.SetAccessibleChecked(state);
  switches_.push_back({ImageButton(image, on, off, at), state});
  image.SetFocusKind(ui::FocusKind::Switch, image.FocusGroup());
  image.Checked = std::move(state);
  image.OnClick = std::move(click);
}

void TSkinnedForm::SetBackground(ui::Image& image, const std::string& resource, ui::Point at) {
  // Loaded now, so that a damaged program is found at start; let go while the window is
  // hidden, which is nearly always.
  SetBackground(image, LoadPictureResource(resource), at);
  image.SetReload([resource] { return LoadPictureResource(resource); });
}

void TSkinnedForm::SetBackground(ui::Image& image, Picture picture, ui::Point at) {
  image.SetPosition(at.x, at.y);
  image.SetPicture(std::move(picture));
  image.SetTransparent(true);
  image.OnMouseDown = [this, &image](ui::MouseButton button, int x, int y) {
    FormMouseDown(button, x + image.Left(), y + image.Top());
  };
}

void TSkinnedForm::ResetButtons() {
  for (auto& b : pushButtons_) b.ShowInactive();
  for (auto& s : switches_) s.button.ShowState(s.state());
}

void TSkinnedForm::SetKeyButtons(ui::Image& ok, ui::Image& cancel) {
  okButton_ = &ok;
  cancelButton_ = &cancel;
}

void TSkinnedForm::FormMouseDown(ui::MouseButton button, int, int) {
  if (button != ui::MouseButton::Left) return;
  ReleaseCapture();
  BeginSystemMove();
}

void TSkinnedForm::FormKeyPress(char c) {
  ui::Image* button = c == 13 ? okButton_ : c == 27 ? cancelButton_ : nullptr;
  if (button && button->OnMouseUp) button->OnMouseUp(ui::MouseButton::Left, 0, 0);
}
