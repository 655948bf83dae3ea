// libFuzzer target: decode any bytes, then compose the frames in play order (the retained
// path) and a few out of order (the full path), as the movie view would.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "pet/FrameComposer.h"
#include "pet/GifMovie.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::shared_ptr<const pet::GifMovie> movie;
  try {
    movie = std::make_shared<const pet::GifMovie>(pet::DecodeGif(std::span(data, size)));
  } catch (const pet::GifError&) {
    return 0;
  }
  pet::FrameComposer composer(movie, 0xFF123456u);
  const int frames = composer.FrameCount();
  // Keep a single input's work bounded: a from-scratch picture costs the whole screen.
  const std::int64_t screen = std::int64_t(composer.Width()) * composer.Height();
  const int limit = screen * frames <= (std::int64_t(1) << 24) ? frames : std::min(frames, 8);
  for (int i = 0; i < limit; ++i) {
    const auto& picture = composer.Compose(i);
    if (picture.size() != std::size_t(screen)) __builtin_trap();
    (void)pet::ClampedFrameDelayMs(*movie, i);
  }
  composer.Reset();
  composer.Compose(frames - 1);
  composer.Compose(0);
  return 0;
}
