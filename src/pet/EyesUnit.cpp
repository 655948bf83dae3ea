#include "pet/EyesUnit.h"

#include <cfenv>
#include <cmath>

#include "shell/Skin.h"
#include "shell/main.h"
#include "ui/Application.h"

ui::Point PupilCentre(int x, int y, int cx, int cy) {
  const int dx = x - cx, dy = y - cy;
  const double d = std::sqrt(double(dx) * dx + double(dy) * dy);
  if (d < CEyes::kRadius) return {x, y};
  // nearbyint rounds in the current mode, which is to nearest with halves to even.
  return {int(std::nearbyint(dx * CEyes::kRadius / d + cx)), int(std::nearbyint(dy * CEyes::kRadius / d + cy))};
}

CEyes::CEyes(TFormMain& host) : host_(host) {
  EyesWindowReady = false;
  EyesTimerWanted = false;  // new eyes are hidden
  shown_ = false;
  left_ = std::make_unique<ui::Image>(host);
  right_ = std::make_unique<ui::Image>(host);
  left_->SetPicture(LoadPictureFile("Images\\Eyes\\left.bmp"));
  right_->SetPicture(LoadPictureFile("Images\\Eyes\\right.bmp"));
  // Pressing on an eye acts like pressing on the window.
  auto pressed = [this](ui::Image& eye) {
    return [this, &eye](ui::MouseButton button, int x, int y) {
      host_.FormMouseDown(button, x + eye.Left(), y + eye.Top());
    };
  };
  left_->OnMouseDown = pressed(*left_);
  right_->OnMouseDown = pressed(*right_);
  left_->SetTransparent(true);
  right_->SetTransparent(true);
  FollowPointer();
  left_->SetVisible(false);
  right_->SetVisible(false);
}

CEyes::~CEyes() = default;

void CEyes::ShowEyes() {
  if (shown_) return;
  shown_ = true;
  FollowPointer();
  left_->SetVisible(true);
  right_->SetVisible(true);
  if (EyesWindowReady && FormEyes) FormEyes->timer.SetEnabled(true);
  EyesTimerWanted = true;
}

void CEyes::HideEyes() {
  if (!shown_) return;
  shown_ = false;
  left_->SetVisible(false);
  right_->SetVisible(false);
  if (EyesWindowReady && FormEyes) FormEyes->timer.SetEnabled(false);
  EyesTimerWanted = false;
}

void CEyes::FollowPointer() {
  const ui::Point pointer = ui::Application::Instance().GetBackend().CursorPos();
  // The pupils move in the pet's design pixels; the pet may be shown larger.
  const auto [x, y] = host_.ToDesign(pointer.x - host_.Left(), pointer.y - host_.Top());
  ui::Point l = PupilCentre(x, y, kLeftX, kLeftY);
  if (l.y > 66) l.y = 66;
  if (l.x < 228) l.x = 228;
  left_->SetPosition(l.x - left_->Width() / 2, l.y - left_->Height() / 2);
  ui::Point r = PupilCentre(x, y, kRightX, kRightY);
  if (r.y > 66) r.y = 66;
  if (r.x > 208) r.x = 208;
  right_->SetPosition(r.x - right_->Width() / 2, r.y - right_->Height() / 2);
}

TFormEyes::TFormEyes() {
  SetCaption("FormEyes");
  SetClientSize(100, 100);
  timer.SetInterval(50);
  timer.OnTimer = [this] { timerTimer(); };
}

void TFormEyes::FormCreate() {
  EyesWindowReady = true;
  timer.SetEnabled(EyesTimerWanted);
}

void TFormEyes::FormDestroy() {
  EyesWindowReady = false;
  timer.SetEnabled(false);
}

void TFormEyes::timerTimer() {
  if (Eyes && EyesWindowReady && Eyes->EyesShown()) Eyes->FollowPointer();
}
