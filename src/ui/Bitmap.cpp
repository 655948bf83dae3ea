#include "ui/Bitmap.h"

#include <algorithm>

namespace ui {

Bitmap::Bitmap(int width, int height, std::uint32_t fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(std::size_t(width_) * std::size_t(height_), fill) {}

void Bitmap::Fill(std::uint32_t colour) { std::fill(pixels_.begin(), pixels_.end(), colour); }

void Bitmap::FillRect(Rect r, std::uint32_t colour) {
  const Rect c = Intersect(r, Clip());
  for (int y = c.top; y < c.top + c.height; ++y) {
    std::uint32_t* row = &pixels_[std::size_t(y) * width_];
    std::fill(row + c.left, row + c.left + c.width, colour);
  }
}

void Bitmap::Draw(const Bitmap& src, int x, int y, const std::uint32_t* keyOut) {
  const Rect c = Intersect({x, y, src.width_, src.height_}, Clip());
  const int x0 = c.left, y0 = c.top, x1 = c.left + c.width, y1 = c.top + c.height;
  for (int ty = y0; ty < y1; ++ty) {
    const std::uint32_t* s = &src.pixels_[std::size_t(ty - y) * src.width_ + (x0 - x)];
    std::uint32_t* d = &pixels_[std::size_t(ty) * width_ + x0];
    for (int tx = x0; tx < x1; ++tx, ++s, ++d) {
      if ((*s & kOpaque) == 0) continue;
      if (keyOut && *s == *keyOut) continue;
      *d = *s;
    }
  }
}

void Bitmap::DrawPixels(const std::uint32_t* src, int w, int h, int x, int y) {
  const Rect c = Intersect({x, y, w, h}, Clip());
  const int x0 = c.left, y0 = c.top, x1 = c.left + c.width, y1 = c.top + c.height;
  for (int ty = y0; ty < y1; ++ty) {
    const std::uint32_t* s = src + std::size_t(ty - y) * w + (x0 - x);
    std::uint32_t* d = &pixels_[std::size_t(ty) * width_ + x0];
    for (int tx = x0; tx < x1; ++tx, ++s, ++d)
      if (*s & kOpaque) *d = *s;
  }
}

}  // namespace ui
