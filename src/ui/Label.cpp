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

namespace {
// A caption's lines: it is cut at each line feed.
template <typename F>
void ForEachLine(const std::string& caption, F&& f) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = caption.find('\n', start);
    f(caption.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return;
    start = end + 1;
  }
}
}  // namespace

void Label::Resize() {
  if (!autoSize_) return;
  Size s{0, 0};
  ForEachLine(caption_, [&](const std::string& line) {
    const Size l = Application::Instance().GetBackend().MeasureText(line, font_);
    s.width = std::max(s.width, l.width);
    s.height += l.height;
  });
  SetBounds({Left(), Top(), std::max(s.width, minimum_.width), std::max(s.height, minimum_.height)});
}

void Label::Paint(Bitmap& surface) {
  if (opaque_) surface.FillRect(Bounds(), background_);
  auto& backend = Application::Instance().GetBackend();
  if (caption_.find('\n') == std::string::npos) {
    backend.DrawText(surface, Bounds(), caption_, font_, colour_);
    return;
  }
  int top = Top();
  ForEachLine(caption_, [&](const std::string& line) {
    const int height = backend.MeasureText(line, font_).height;
    backend.DrawText(surface, {Left(), top, Width(), std::min(height, Top() + Height() - top)}, line, font_, colour_);
    top += height;
  });
}

}  // namespace ui
