#pragma once
// A windowless one-line text with a transparent background.
#include <string>

#include "ui/Control.h"

namespace ui {

struct Font {
  std::string name = "MS Sans Serif";
  int height = -11;  // as LOGFONT: negative is the character height in pixels
};

class Label : public Control {
 public:
  explicit Label(Form& owner);
  const std::string& Caption() const { return caption_; }
  // A line feed in the caption starts another line below.
  void SetCaption(const std::string& caption);
  void SetFont(const Font& font);
  const Font& GetFont() const { return font_; }
  void SetColour(std::uint32_t colour);
  std::uint32_t Colour() const { return colour_; }
  // Sizes itself to its text (as measured by the backend), never below the minimum size.
  void SetAutoSize(bool autoSize);
  void SetMinimumSize(Size minimum);
  // A filled background instead of a transparent one (white time fields).
  void SetBackground(std::uint32_t colour) { background_ = colour; opaque_ = true; Invalidate(); }
  void Paint(Bitmap& surface) override;
  void ScaleChanged() override;
  // Unnamed, a label is read as its caption; a field (spin box, edit) gives its caption as
  // its value.
  std::string AccessibleName() const override;
  std::string AccessibleValue() const override;

 private:
  void Resize();
  // The font as drawn at the form's scale.
  Font ShownFont() const;
  std::string caption_;
  Font font_;
  std::uint32_t colour_ = Rgb(0, 0, 0);
  std::uint32_t background_ = Rgb(255, 255, 255);
  bool opaque_ = false;
  bool autoSize_ = true;
  Size minimum_;
};

}  // namespace ui
