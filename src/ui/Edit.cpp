#include "ui/Edit.h"

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/Rescale.h"

namespace ui {

Edit::Edit(Form& owner) : Control(owner) { SetFocusKind(FocusKind::Native); }
Edit::~Edit() = default;

void Edit::CreatePeer() {
  peer_ = Application::Instance().GetBackend().CreateEditPeer(*this, Owner());
  if (!peer_) return;
  peer_->SetMaxLength(maxLength_);
  peer_->SetText(text_);
  peer_->SetScale(Owner().Scale());
  Placed();
}

void Edit::DestroyPeer() {
  // What was typed stays for the next window.
  if (peer_) text_ = peer_->Text();
  peer_.reset();
}

void Edit::ScaleChanged() {
  if (!peer_) return;
  peer_->SetScale(Owner().Scale());
  Placed();
}

void Edit::Placed() {
  if (peer_) peer_->Place(Owner().ToScreenPart(Bounds()), Visible());
}

std::string Edit::Text() const { return peer_ ? peer_->Text() : text_; }

void Edit::SetText(const std::string& text) {
  text_ = text;
  if (peer_) peer_->SetText(text);
  Invalidate();
}

void Edit::SetMaxLength(int chars) {
  maxLength_ = chars;
  if (peer_) peer_->SetMaxLength(chars);
}

void Edit::SetFocus() {
  if (peer_) peer_->Focus();
}

void Edit::Paint(Bitmap& surface) {
  // For captures of the headless desktop: a white field with its text (the Windows control
  // paints over it).
  const Rect box = Owner().ToScreenPart(Bounds());
  surface.FillRect(box, Rgb(255, 255, 255));
  const int scale = Owner().Scale();
  const int pad = ScaledLength(3, scale);
  Application::Instance().GetBackend().DrawText(surface, {box.left + pad, box.top, box.width - 2 * pad, box.height},
                                                Text(), Font{"MS Sans Serif", -ScaledLength(11, scale)},
                                                Rgb(0, 0, 0));
}

}  // namespace ui
