#include "ui/Control.h"

#include "ui/Form.h"

namespace ui {

Control::Control(Form& owner) : owner_(owner) { owner_.AddControl(this); }

Control::~Control() { owner_.RemoveControl(this); }

void Control::SetBounds(Rect r) {
  if (r == bounds_) return;
  Invalidate();  // where it was
  bounds_ = r;
  Invalidate();
  Placed();
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  owner_.Invalidate(PaintBounds());
  Placed();
}

void Control::BringToFront() { owner_.BringControlToFront(this); }

void Control::Invalidate() { owner_.Invalidate(PaintBounds()); }

void Control::Invalidate(Rect part) {
  owner_.Invalidate(Intersect({part.left + Left(), part.top + Top(), part.width, part.height}, PaintBounds()));
}

}  // namespace ui
