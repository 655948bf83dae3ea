#include "ui/Label.h"

#include <algorithm>

#include "ui/Application.h"
#include "ui/Contrast.h"
#include "ui/Form.h"
#include "ui/Rescale.h"

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

Font Label::ShownFont() const {
  const int scale = Owner().Scale();
  Font f = font_;
  if (scale != 100) f.height = f.height < 0 ? -ScaledLength(-f.height, scale) : ScaledLength(f.height, scale);
  return f;
}

void Label::ScaleChanged() {
  Resize();
  Invalidate();
}

void Label::Resize() {
  if (!autoSize_) return;
  // Text does not grow in proportion with its font: measured as shown, in design pixels
  // rounded up, so that no scale cuts a line short.
  const Font font = ShownFont();
  const int scale = Owner().Scale();
  Size s{0, 0};
  ForEachLine(caption_, [&](const std::string& line) {
    const Size l = Application::Instance().GetBackend().MeasureText(line, font);
    s.width = std::max(s.width, l.width);
    s.height += l.height;
  });
  if (scale != 100) s = {(s.width * 100 + scale - 1) / scale, (s.height * 100 + scale - 1) / scale};
  SetBounds({Left(), Top(), std::max(s.width, minimum_.width), std::max(s.height, minimum_.height)});
}

std::string Label::AccessibleName() const {
  return Control::AccessibleName().empty() ? caption_ : Control::AccessibleName();
}

std::string Label::AccessibleValue() const {
  const Role role = Access().role;
  return role == Role::SpinBox || role == Role::Edit ? caption_ : std::string();
}

void Label::Paint(Bitmap& surface) {
  const Rect box = Owner().ToScreenPart(Bounds());
  // In high contrast a label stands on the system's window colour, whatever picture lies
  // below, so its text can be read in the system's colours.
  const bool contrast = HighContrastOn();
  if (opaque_ || contrast) surface.FillRect(box, ShownColour(background_, SystemColour::Window));
  const std::uint32_t colour =
      ShownColour(colour_, Access().role == Role::Link ? SystemColour::HotLight : SystemColour::WindowText);
  auto& backend = Application::Instance().GetBackend();
  const Font font = ShownFont();
  if (caption_.find('\n') == std::string::npos) {
    backend.DrawText(surface, box, caption_, font, colour);
    return;
  }
  int top = box.top;
  ForEachLine(caption_, [&](const std::string& line) {
    const int height = backend.MeasureText(line, font).height;
    backend.DrawText(surface, {box.left, top, box.width, std::min(height, box.top + box.height - top)}, line, font,
                     colour);
    top += height;
  });
}

}  // namespace ui
