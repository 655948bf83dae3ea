#include "ui/Label.h"

#include <algorithm>

#include "ui/Application.h"

namespace ui {

Label::Label(Form& owner) : Control(owner) {}

void Label::SetCaption(const std::string& caption) {
  caption_ = caption;
  Resize();
  Invalidate();
}

void Label::SetFont(const Font& font) {
  font_ = font;
  Resize();
  Invalidate();
}

void Label::SetColour(std::uint32_t colour) {
  colour_ = colour;
  Invalidate();
}

void Label::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  Resize();
}

void Label::SetMinimumSize(Size minimum) {
  minimum_ = minimum;
  Resize();
}

void Label::Resize() {
  if (!autoSize_) return;
  const Size s = Application::Instance().GetBackend().MeasureText(caption_, font_);
  SetBounds({Left(), Top(), std::max(s.width, minimum_.width), std::max(s.height, minimum_.height)});
}

void Label::Paint(Bitmap& surface) {
  if (opaque_) surface.FillRect(Bounds(), background_);
  Application::Instance().GetBackend().DrawText(surface, Bounds(), caption_, font_, colour_);
}

}  // namespace ui
