#include "pet/FrameComposer.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

using pet::FrameComposer;
using pet::GifFrame;
using pet::GifMovie;
using Picture = std::vector<std::uint32_t>;

namespace {

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kGrey = 0x808080;
constexpr std::uint32_t kWindow = 0xFF102030;
constexpr std::uint32_t O(std::uint32_t rgb) { return 0xFF000000u | rgb; }

GifFrame Frame(int left, int w, std::vector<std::uint8_t> indices, int disposal = 0, int transparent = -1) {
  GifFrame f;
  f.left = left, f.width = w, f.height = w > 0 ? 1 : 0;
  f.indices = std::move(indices);
  f.disposal = disposal, f.transparentIndex = transparent;
  return f;
}

std::shared_ptr<const GifMovie> Movie(int w, int h, std::vector<GifFrame> frames,
                                      std::vector<std::uint32_t> palette = {kRed, kGreen, kBlue, kGrey}) {
  auto m = std::make_shared<GifMovie>();
  m->screenWidth = w, m->screenHeight = h;
  m->globalPalette = std::move(palette);
  m->frames = std::move(frames);
  return m;
}

// Plain playback on one canvas (draw, then dispose of), with the composer's background.
std::vector<Picture> PlainPlayback(const GifMovie& m, std::uint32_t background) {
  Picture canvas(std::size_t(m.screenWidth * m.screenHeight), background);
  std::vector<Picture> pictures;
  for (const GifFrame& f : m.frames) {
    const Picture before = canvas;
    for (int pass = 0; pass < 2; ++pass) {
      for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
          const int i = f.indices[std::size_t(y * f.width + x)];
          std::uint32_t& pixel = canvas[std::size_t((f.top + y) * m.screenWidth + f.left + x)];
          if (pass == 1)
            pixel = f.disposal == 2 ? background : pixel;
          else if (i != f.transparentIndex)
            pixel = O(std::size_t(i) < m.PaletteOf(f).size() ? m.PaletteOf(f)[std::size_t(i)] : 0);
        }
      if (pass == 0) pictures.push_back(canvas);
    }
    if (f.disposal == 3) canvas = before;
  }
  return pictures;
}

}  // namespace

TEST(FrameComposerBackground, TransparencyIsAMaskAndOpaqueMoviesUseTheWindowColour) {
  // Index 1 is transparent; index 2 has the very same colour and must stay visible.
  auto keyed = Movie(3, 1, {Frame(0, 2, {1, 2}, 0, 1)}, {kRed, kGreen, kGreen, kBlue});
  FrameComposer c(keyed, kWindow);
  EXPECT_EQ(c.Background(), kGreen);  // alpha 0, with the transparent colour's RGB
  EXPECT_EQ(c.Compose(0), (Picture{kGreen, O(kGreen), kGreen}));

  auto opaque = Movie(3, 1, {Frame(1, 1, {0}), Frame(0, 2, {3, 2}, 0, 3)});
  FrameComposer d(opaque, 0x102030);  // alpha is forced on
  EXPECT_EQ(d.Compose(0), (Picture{kWindow, O(kRed), kWindow}));
  EXPECT_EQ(d.Compose(1), (Picture{kWindow, O(kBlue), kWindow}));  // a later transparent colour keys nothing out
  EXPECT_EQ(FrameComposer(opaque).Compose(0)[0], 0xFFFFFFFFu);
}

TEST(FrameComposerStart, AWholeScreenFrameStartsThePicture) {
  auto movie = Movie(2, 1, {Frame(0, 1, {0}), Frame(1, 1, {1}), Frame(0, 2, {2, 2}, 1), Frame(1, 1, {3}),
                            Frame(0, 2, {0, 3}, 2, 3),  // whole screen, transparent, disposal 2
                            Frame(1, 1, {1}),
                            Frame(0, 2, {3, 3}, 3),  // whole screen, opaque, disposal 3
                            Frame(0, 1, {1})});
  FrameComposer c(movie, kWindow);
  for (int i = 0; i < 8; ++i) c.Compose(i);
  c.Reset();
  EXPECT_EQ(c.Compose(3), (Picture{O(kBlue), O(kGrey)}));
  c.Reset();
  EXPECT_EQ(c.Compose(5), (Picture{kWindow, O(kGreen)}));
  EXPECT_EQ(c.Compose(6), (Picture{O(kGrey), O(kGrey)}));
  // Starting at frame 6 leaves the background, not what lay beneath frame 6.
  EXPECT_EQ(c.Compose(7), (Picture{O(kGreen), kWindow}));
}

TEST(FrameComposerRetained, SteppingMatchesComposingFromScratchAndPlainPlayback) {
  std::mt19937 rng(2024);
  auto pick = [&](int n) { return int(rng() % unsigned(n)); };
  int compared = 0;
  for (int round = 0; round < 400; ++round) {
    const int w = 1 + pick(9), h = 1 + pick(7);
    std::vector<GifFrame> frames(std::size_t(1 + pick(10)));
    for (GifFrame& f : frames) {
      const bool whole = pick(3) == 0;
      f.left = whole ? 0 : pick(w), f.top = whole ? 0 : pick(h);
      f.width = whole ? w : pick(w - f.left + 1), f.height = whole ? h : pick(h - f.top + 1);
      for (int i = 0; i < f.width * f.height; ++i) f.indices.push_back(std::uint8_t(pick(5)));  // 4: beyond the table
      f.disposal = pick(4), f.transparentIndex = pick(2) ? -1 : pick(4);
      if (pick(4) == 0) f.localPalette = {kGrey, kBlue, kGreen, kRed};
    }
    auto movie = Movie(w, h, std::move(frames), {kRed, kGreen, kBlue, kRed});  // 0 and 3 share a colour
    FrameComposer played(movie, kWindow), fresh(movie, kWindow);
    const std::vector<Picture> plain = PlainPlayback(*movie, played.Background());
    // Plain playback differs once a whole-screen opaque frame with disposal 3 after frame 0
    // has been shown (the test above); compare with it up to there.
    bool plainValid = true;
    for (int loop = 0; loop < 2; ++loop)
      for (int i = 0; i < int(movie->frames.size()); ++i) {
        const Picture& stepped = played.Compose(i);
        fresh.Reset();
        ASSERT_EQ(stepped, fresh.Compose(i)) << "round " << round << " frame " << i;
        if (loop == 0 && plainValid) {
          EXPECT_EQ(stepped, plain[std::size_t(i)]) << "round " << round << " frame " << i;
          ++compared;
        }
        const GifFrame& f = movie->frames[std::size_t(i)];
        if (i > 0 && f.disposal == 3 && f.transparentIndex < 0 && f.width == w && f.height == h) plainValid = false;
      }
  }
  EXPECT_GT(compared, 1000);
}

TEST(FrameComposerBounds, BadIndicesAndInconsistentFrames) {
  FrameComposer none(nullptr);
  EXPECT_EQ(none.FrameCount(), 0);
  EXPECT_THROW(none.Compose(0), std::out_of_range);
  GifFrame off = Frame(1, 2, {0, 0});  // reaches off the screen
  GifFrame tooFew = Frame(0, 2, {1});
  auto movie = Movie(2, 1, {off, tooFew, Frame(-1, 1, {1})});
  FrameComposer c(movie, kWindow);
  EXPECT_THROW(c.Compose(-1), std::out_of_range);
  EXPECT_THROW(c.Compose(3), std::out_of_range);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(c.Compose(i), Picture(2, kWindow));
}
