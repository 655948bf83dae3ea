#include "ui/Form.h"

#include <algorithm>
#include <utility>

#include "ui/Application.h"

namespace ui {

Form::Form() = default;

Form::~Form() {
  // Controls that are members of a subclass are gone by now; any left are owned elsewhere.
  controls_.clear();
}

void Form::Create() {
  peer_ = Application::Instance().GetBackend().CreateFormPeer(*this);
  peer_->SetCaption(caption_);
  peer_->SetBounds(bounds_.left, bounds_.top, bounds_.width, bounds_.height);
  for (Control* c : controls_) c->CreatePeer();
  const bool showWhenCreated = visible_;
  visible_ = false;
  FormCreate();
  if (showWhenCreated && !visible_) Show();
  if (!visible_)
    for (Control* c : controls_) c->FormHidden();
}

void Form::Destroy() {
  if (!peer_) return;
  FormDestroy();
  for (Control* c : controls_) c->DestroyPeer();
  peer_.reset();
}

void Form::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (peer_) peer_->SetCaption(caption);
}

void Form::SetBounds(int left, int top, int width, int height) {
  const bool resized = width != bounds_.width || height != bounds_.height;
  bounds_ = {left, top, width, height};
  if (peer_) peer_->SetBounds(left, top, width, height);
  if (resized) Invalidate();
}

void Form::Show() {
  visible_ = true;
  if (peer_) {
    peer_->SetVisible(true);
    Invalidate();
  }
}

void Form::Hide() {
  visible_ = false;
  if (peer_) peer_->SetVisible(false);
  surface_ = Bitmap();  // a hidden window keeps no pixels
  for (Control* c : controls_) c->FormHidden();
}

int Form::ShowModal() {
  modalResult_ = 0;
  modal_ = true;
  struct Leave {
    bool& modal;
    ~Leave() { modal = false; }
  } leave{modal_};
  return Application::Instance().GetBackend().RunModal(*this);
}

void Form::Invalidate() {
  damage_ = {0, 0, bounds_.width, bounds_.height};
  if (peer_) peer_->Invalidate();
}

void Form::Invalidate(Rect part) {
  part = Intersect(part, {0, 0, bounds_.width, bounds_.height});
  if (part.Empty()) return;
  damage_ = Union(damage_, part);
  if (peer_) peer_->InvalidatePart(part);
}

const Bitmap& Form::Compose() {
  if (surface_.Width() != bounds_.width || surface_.Height() != bounds_.height) {
    surface_ = Bitmap(bounds_.width, bounds_.height);
    damage_ = {0, 0, bounds_.width, bounds_.height};
  }
  if (!damage_.Empty()) {
    // Controls draw only within the damage, so whatever lies outside it stays as it was.
    surface_.SetClip(damage_);
    surface_.FillRect(damage_, colour_);
    for (Control* c : controls_)
      if (c->Visible() && !Intersect(c->PaintBounds(), damage_).Empty()) c->Paint(surface_);
    surface_.ResetClip();
    damage_ = {};
  }
  return surface_;
}

void Form::SetCapture() {
  if (peer_) peer_->SetCapture();
}
void Form::ReleaseCapture() {
  // No release will reach the controls held down now (the system's move loop takes the mouse).
  CancelPresses();
  if (peer_) peer_->ReleaseCapture();
}
void Form::BeginSystemMove() {
  if (peer_) peer_->BeginSystemMove();
}
void Form::Activate() {
  if (peer_) peer_->Activate();
}
void Form::PostMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (peer_) peer_->PostMessage(message, wParam, lParam);
}

Control* Form::ControlAt(int x, int y) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
    if ((*it)->Visible() && (*it)->Enabled() && (*it)->Bounds().Contains({x, y})) return *it;
  return nullptr;
}

ui::Cursor Form::CursorAt(int x, int y) const {
  const Control* c = ControlAt(x, y);
  return c ? c->Cursor() : ui::Cursor::Arrow;
}

void Form::HandleMouseDown(MouseButton button, int x, int y) {
  Control* c = ControlAt(x, y);
  // This button pressed again without a release between: that release was lost.
  CancelPress(button);
  if (!c) {
    FormMouseDown(button, x, y);
    return;
  }
  // The pressed control gets this button's release wherever the pointer is by then.
  captured_[int(button)] = c;
  SetCapture();
  if (c->OnMouseDown) c->OnMouseDown(button, x - c->Left(), y - c->Top());
}

void Form::HandleMouseUp(MouseButton button, int x, int y) {
  // Only the release of a press this window saw acts. A release alone comes from a press
  // elsewhere: the double-click that closed a dialog above lets its button-up fall here.
  Control* c = std::exchange(captured_[int(button)], nullptr);
  if (peer_ && std::ranges::none_of(captured_, [](Control* held) { return held != nullptr; }))
    peer_->ReleaseCapture();
  if (!c) return;
  if (c->OnMouseUp) c->OnMouseUp(button, x - c->Left(), y - c->Top());
  // A click is the left button's, as on every Windows control.
  if (c->OnClick && button == MouseButton::Left && c->Bounds().Contains({x, y})) c->OnClick();
}

void Form::HandleCaptureLost() {
  CancelPresses();
  if (peer_) peer_->ReleaseCapture();
}

void Form::CancelPress(MouseButton button) {
  Control* c = std::exchange(captured_[int(button)], nullptr);
  if (c && c->OnPressCancelled) c->OnPressCancelled();
}

void Form::CancelPresses() {
  for (MouseButton button : {MouseButton::Left, MouseButton::Right, MouseButton::Middle}) CancelPress(button);
}

bool Form::HandleCloseRequest() {
  if (!FormCloseQuery()) return false;
  FormClose();
  if (modal_ && modalResult_ == 0) modalResult_ = kIdCancel;
  Hide();
  return true;
}

void Form::HandleWindowDestroyed() { Application::Instance().FormWindowDestroyed(*this); }

void Form::HandleMoved(int left, int top) {
  bounds_.left = left;
  bounds_.top = top;
}

void Form::AddControl(Control* c) {
  controls_.push_back(c);
  Invalidate();
}

void Form::RemoveControl(Control* c) {
  std::erase(controls_, c);
  for (Control*& held : captured_)
    if (held == c) held = nullptr;
  Invalidate();
}

void Form::BringControlToFront(Control* c) {
  std::erase(controls_, c);
  controls_.push_back(c);
  Invalidate();
}

}  // namespace ui
