#include "ui/Image.h"

#include "ui/Form.h"
#include "ui/ScaledArt.h"

namespace ui {

Image::Image(Form& owner) : Control(owner) {}

void Image::FormHidden() {
  if (reload_) picture_.reset();
  shown_.reset();
  shownFrom_ = nullptr;
}

void Image::SetPicture(std::shared_ptr<const Bitmap> picture) {
  reload_ = nullptr;
  Invalidate();  // the old picture's place
  picture_ = std::move(picture);
  shown_.reset();
  shownFrom_ = nullptr;
  if (autoSize_ && picture_) SetBounds({Left(), Top(), picture_->Width(), picture_->Height()});
  Invalidate();
}

void Image::SetTransparent(bool transparent) {
  transparent_ = transparent;
  Invalidate();
}

Rect Image::PaintBounds() const {
  if (!picture_) return Bounds();
  return Union(Bounds(), {Left(), Top(), picture_->Width(), picture_->Height()});
}

void Image::Paint(Bitmap& surface) {
  if (!picture_ && reload_) {
    try {
      picture_ = reload_();
    } catch (...) {
      reload_ = nullptr;  // nothing drawn rather than a failed paint; not tried again
    }
  }
  if (!picture_ || picture_->Empty()) return;
  const int scale = Owner().Scale();
  if (shownFrom_ != picture_.get() || shownScale_ != scale) {
    shown_ = PictureAt(picture_, scale);
    shownFrom_ = picture_.get();
    shownScale_ = scale;
  }
  if (!shown_ || shown_->Empty()) return;
  const std::uint32_t key = shown_->BottomLeft();
  const Rect at = Owner().ToScreenPart(Bounds());
  surface.Draw(*shown_, at.left, at.top, transparent_ ? &key : nullptr);
}

}  // namespace ui
