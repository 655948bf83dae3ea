#pragma once
// A windowless picture: sizes itself to its bitmap and, when transparent, leaves out the
// bitmap's own transparent colour (its bottom-left pixel) so the form's key shows through.
#include <functional>
#include <memory>

#include "ui/Control.h"

namespace ui {

class Image : public Control {
 public:
  explicit Image(Form& owner);
  void SetPicture(std::shared_ptr<const Bitmap> picture);
  // The picture set last can be made again by `reload`: it is let go while the form is hidden
  // and remade when next painted (a large background of a window that is seldom shown).
  // Setting another picture forgets `reload`.
  void SetReload(std::function<std::shared_ptr<const Bitmap>()> reload) { reload_ = std::move(reload); }
  const std::shared_ptr<const Bitmap>& Picture() const { return picture_; }
  void SetTransparent(bool transparent);
  void SetAutoSize(bool autoSize) { autoSize_ = autoSize; }
  void Paint(Bitmap& surface) override;
  void FormHidden() override;
  void ScaleChanged() override { Invalidate(); }
  // Without automatic sizing the picture may reach beyond the bounds.
  Rect PaintBounds() const override;

 private:
  std::shared_ptr<const Bitmap> picture_;
  std::function<std::shared_ptr<const Bitmap>()> reload_;
  // The picture as drawn at the form's scale, and what it was made from.
  std::shared_ptr<const Bitmap> shown_;
  const Bitmap* shownFrom_ = nullptr;
  int shownScale_ = 100;
  bool transparent_ = true;
  bool autoSize_ = true;
};

}  // namespace ui
