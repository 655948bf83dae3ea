#pragma once
// A picture in memory: top-down rows of 0xAARRGGBB pixels. Alpha is either 0xFF (drawn)
// or 0x00 (left out), which is how transparency travels from decoders to the screen.
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "ui/Geometry.h"

namespace ui {

class ScaledArt;

constexpr std::uint32_t kOpaque = 0xFF000000u;
// The colour key of every skinned window: pixels of exactly this colour are not shown and
// let clicks through.
constexpr std::uint32_t kKeyColour = 0xFF800080u;

constexpr std::uint32_t Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return kOpaque | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
}

class Bitmap {
 public:
  Bitmap() = default;
  Bitmap(int width, int height, std::uint32_t fill = 0);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  std::uint32_t At(int x, int y) const { return pixels_[std::size_t(y) * width_ + x]; }
  std::uint32_t& At(int x, int y) { return pixels_[std::size_t(y) * width_ + x]; }
  const std::vector<std::uint32_t>& Pixels() const { return pixels_; }
  std::vector<std::uint32_t>& Pixels() { return pixels_; }
  void Fill(std::uint32_t colour);
  // The colour of the bottom-left pixel: a bitmap's own transparent colour.
  std::uint32_t BottomLeft() const { return Empty() ? 0 : At(0, height_ - 1); }

  // Drawing (Draw, DrawPixels, FillRect, and controls that write pixels themselves) stays
  // within the clip rectangle: the whole bitmap unless a form repaints only a part.
  Rect Clip() const { return clipped_ ? clip_ : Rect{0, 0, width_, height_}; }
  void SetClip(Rect clip) { clip_ = Intersect(clip, {0, 0, width_, height_}), clipped_ = true; }
  void ResetClip() { clipped_ = false; }
  void FillRect(Rect r, std::uint32_t colour);

  // Draws src at (x, y), clipped. Pixels with alpha 0 are skipped, and so are pixels equal
  // to keyOut when it is given (with alpha).
  void Draw(const Bitmap& src, int x, int y, const std::uint32_t* keyOut = nullptr);
  // Draws a w x h block of ARGB pixels (row stride w), skipping alpha-0 pixels.
  void DrawPixels(const std::uint32_t* src, int w, int h, int x, int y);

  // Where this picture comes from at other scales (art sets drawn larger); none for pictures
  // made in memory, which are scaled from themselves.
  const std::shared_ptr<ScaledArt>& Art() const { return art_; }
  void SetArt(std::shared_ptr<ScaledArt> art) { art_ = std::move(art); }

 private:
  int width_ = 0, height_ = 0;
  std::vector<std::uint32_t> pixels_;
  Rect clip_;
  bool clipped_ = false;
  std::shared_ptr<ScaledArt> art_;
};

}  // namespace ui
