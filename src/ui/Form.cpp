#include "ui/Form.h"

#include <algorithm>
#include <utility>

#include "ui/Application.h"
#include "ui/Rescale.h"

namespace ui {

int FittingScale(Size design, Rect area, int scale) {
  while (scale > 100 && (ScaledLength(design.width, scale) > area.width ||
                         ScaledLength(design.height, scale) > area.height))
    scale -= 25;
  return scale;
}

namespace {
// Where a window stands wholly inside an area: moved no further than it must. One larger than
// the area keeps its top-left corner in it.
Point PlaceWithin(Rect window, Rect area) {
  const auto along = [](int at, int length, int from, int size) {
    at = std::min(at, from + size - length);
    return std::max(at, from);
  };
  return {along(window.left, window.width, area.left, area.width),
          along(window.top, window.height, area.top, area.height)};
}
}  // namespace

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
  if (scale_ != 100)
    for (Control* c : controls_) c->ScaleChanged();
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
  design_ = {width, height};
  Rect screen{left, top, ScaledLength(width, scale_), ScaledLength(height, scale_)};
  if (visible_ && keptOnWorkArea_) {
    // The system's move loop puts the window under the pointer at every move: it is placed
    // once it is let go.
    if (inSystemMove_)
      placeAfterMove_ = true;
    else
      screen = OnWorkArea(screen);
  }
  const bool resized = screen.width != bounds_.width || screen.height != bounds_.height;
  bounds_ = screen;
  if (peer_) peer_->SetBounds(screen.left, screen.top, screen.width, screen.height);
  if (resized) Invalidate();
}

void Form::SetScale(int scale) {
  scale = std::clamp(scale, 25, 800);
  if (scale == scale_) return;
  scale_ = scale;
  SetBounds(bounds_.left, bounds_.top, design_.width, design_.height);
  for (Control* c : controls_) c->ScaleChanged();
  Invalidate();
}

Rect Form::ToScreenPart(Rect design) const {
  if (scale_ == 100) return design;
  const int l = ScaledLength(design.left, scale_), t = ScaledLength(design.top, scale_);
  return {l, t, ScaledLength(design.left + design.width, scale_) - l,
          ScaledLength(design.top + design.height, scale_) - t};
}

Rect Form::ScreenReach(Rect design) const {
  const Rect r = ToScreenPart(design);
  // A picture drawn at a scale may reach a pixel past its rounded bounds.
  return scale_ == 100 ? r : Rect{r.left - 1, r.top - 1, r.width + 2, r.height + 2};
}

Point Form::ToDesign(int x, int y) const {
  if (scale_ == 100) return {x, y};
  // Rounded down, also left of and above the window (a captured pointer may be there).
  const auto down = [this](int v) {
    const long long n = static_cast<long long>(v) * 100;
    return int(n >= 0 ? n / scale_ : -((-n + scale_ - 1) / scale_));
  };
  return {down(x), down(y)};
}

Size Form::ScreenSizeAtDpi(int dpi) const {
  const int scale = ScaleForDpi(dpi);
  return {ScaledLength(design_.width, scale), ScaledLength(design_.height, scale)};
}

void Form::FormDpiChanged(int dpi, Rect suggested) {
  int scale = ScaleForDpi(dpi);
  if (keptOnWorkArea_)
    if (const auto m = Application::Instance().GetBackend().MonitorFromRect(suggested, true))
      scale = FittingScale(design_, m->workArea, scale);
  SetScale(scale);
  SetPosition(suggested.left, suggested.top);
}

Rect Form::OnWorkArea(Rect screen) const {
  if (!keptOnWorkArea_ || !peer_) return screen;
  // The lookup fails while displays change: the window stays where it was put then.
  const auto m = Application::Instance().GetBackend().MonitorFromRect(screen, true);
  if (!m) return screen;
  const Point at = PlaceWithin(screen, m->workArea);
  return {at.x, at.y, screen.width, screen.height};
}

void Form::Show() {
  if (!visible_ && keptOnWorkArea_) {
    const Rect placed = OnWorkArea(bounds_);
    if (placed != bounds_) {
      bounds_ = placed;
      if (peer_) peer_->SetBounds(placed.left, placed.top, placed.width, placed.height);
    }
  }
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
  if (part.Empty()) return;
  part = Intersect(ScreenReach(part), {0, 0, bounds_.width, bounds_.height});
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
    for (Control* c : controls_) {
      if (!c->Visible()) continue;
      if (!Intersect(ScreenReach(c->PaintBounds()), damage_).Empty()) c->Paint(surface_);
    }
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
  if (!peer_) return;
  // On Windows the move loop returns when the button is up; a window rescaled meanwhile, on
  // its way onto a display of another scaling, is then put on that display's work area.
  inSystemMove_ = true;
  peer_->BeginSystemMove();
  inSystemMove_ = false;
  if (std::exchange(placeAfterMove_, false) && visible_)
    SetBounds(bounds_.left, bounds_.top, design_.width, design_.height);
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
  const Point p = ToDesign(x, y);
  const Control* c = ControlAt(p.x, p.y);
  return c ? c->Cursor() : ui::Cursor::Arrow;
}

void Form::HandleMouseDown(MouseButton button, int sx, int sy) {
  const auto [x, y] = ToDesign(sx, sy);
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

void Form::HandleMouseUp(MouseButton button, int sx, int sy) {
  const auto [x, y] = ToDesign(sx, sy);
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

Control* Form::FocusedControl() const { return nullptr; }

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
