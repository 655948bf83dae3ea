#include "pet/FrameComposer.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace pet {

namespace {
constexpr std::uint32_t kOpaque = 0xFF000000u;
}

FrameComposer::FrameComposer(std::shared_ptr<const GifMovie> movie, std::uint32_t windowColour)
    : movie_(std::move(movie)), background_(windowColour | kOpaque) {
  if (!movie_ || movie_->frames.empty()) return;
  width_ = std::max(0, movie_->screenWidth);
  height_ = std::max(0, movie_->screenHeight);
  const GifFrame& first = movie_->frames.front();
  if (first.transparentIndex >= 0) {
    const std::vector<std::uint32_t>& palette = movie_->PaletteOf(first);
    const std::size_t t = std::size_t(first.transparentIndex);
    background_ = t < palette.size() ? (palette[t] & 0x00FFFFFFu) : 0u;
  }
}

int FrameComposer::FrameCount() const { return movie_ ? int(movie_->frames.size()) : 0; }

const std::vector<std::uint32_t>& FrameComposer::Compose(int index) {
  if (index < 0 || index >= FrameCount())
    throw std::out_of_range("frame index " + std::to_string(index) + " out of range");
  if (index == retained_) return picture_;
  const std::vector<GifFrame>& frames = movie_->frames;
  const std::size_t area = std::size_t(width_) * std::size_t(height_);
  if (picture_.size() != area) {
    picture_.assign(area, background_);
    retained_ = -1;
  }

  if (retained_ >= 0 && index == retained_ + 1 && frames[std::size_t(retained_)].disposal != 3) {
    const GifFrame& previous = frames[std::size_t(retained_)];
    if (previous.disposal == 2) FillRect(previous, background_);
  } else {
    retained_ = -1;
    Fill(background_);
    int start = 0;
    for (int j = index; j >= 1; --j) {
      const GifFrame& f = frames[std::size_t(j)];
      if (CoversScreen(f) && (f.transparentIndex < 0 || (f.disposal == 2 && j < index))) {
        start = j;
        break;
      }
    }
    for (int j = start; j < index; ++j) {
      const GifFrame& f = frames[std::size_t(j)];
      if (f.disposal == 0 || f.disposal == 1)
        Draw(f);
      else if (f.disposal == 2 && j != start)
        FillRect(f, background_);
    }
  }
  Draw(frames[std::size_t(index)]);
  retained_ = index;
  return picture_;
}

bool FrameComposer::Drawable(const GifFrame& f) const {
  return f.width > 0 && f.height > 0 && f.left >= 0 && f.top >= 0 && f.left <= width_ - f.width &&
         f.top <= height_ - f.height &&
         f.indices.size() >= std::size_t(f.width) * std::size_t(f.height);
}

bool FrameComposer::CoversScreen(const GifFrame& f) const {
  return Drawable(f) && f.left == 0 && f.top == 0 && f.width == width_ && f.height == height_;
}

void FrameComposer::Fill(std::uint32_t colour) { std::fill(picture_.begin(), picture_.end(), colour); }

void FrameComposer::FillRect(const GifFrame& f, std::uint32_t colour) {
  if (!Drawable(f)) return;
  for (int y = 0; y < f.height; ++y) {
    std::uint32_t* row = picture_.data() + std::size_t(f.top + y) * std::size_t(width_) + std::size_t(f.left);
    std::fill(row, row + f.width, colour);
  }
}

const std::uint32_t* FrameComposer::Lut(const std::vector<std::uint32_t>& palette) {
  if (lut_.empty() || lutFor_ != palette.data() || lutSize_ != palette.size()) {
    lut_.assign(256, kOpaque);  // indices beyond the table are opaque black
    const std::size_t n = std::min<std::size_t>(palette.size(), 256);
    for (std::size_t i = 0; i < n; ++i) lut_[i] = kOpaque | (palette[i] & 0x00FFFFFFu);
    lutFor_ = palette.data();
    lutSize_ = palette.size();
  }
  return lut_.data();
}

void FrameComposer::Draw(const GifFrame& f) {
  if (!Drawable(f)) return;
  const std::uint32_t* lut = Lut(movie_->PaletteOf(f));
  const std::size_t w = std::size_t(f.width);
  for (int y = 0; y < f.height; ++y) {
    const std::uint8_t* src = f.indices.data() + std::size_t(y) * w;
    std::uint32_t* dst = picture_.data() + std::size_t(f.top + y) * std::size_t(width_) + std::size_t(f.left);
    if (f.transparentIndex < 0 || f.transparentIndex > 255) {
      for (std::size_t x = 0; x < w; ++x) dst[x] = lut[src[x]];
    } else {
      const std::uint8_t t = std::uint8_t(f.transparentIndex);
      for (std::size_t x = 0; x < w; ++x)
        if (src[x] != t) dst[x] = lut[src[x]];
    }
  }
}

}  // namespace pet
