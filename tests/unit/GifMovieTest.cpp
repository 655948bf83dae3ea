#include "pet/GifMovie.h"

#include <gtest/gtest.h>

#include "GifBuilder.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

using pet::DecodeGif;
using pet::GifError;
using pet::GifMovie;
using gifbuild::Bytes;
using gifbuild::Gif;
using gifbuild::Lzw;
using gifbuild::Ramp;

namespace {

std::string ErrorOf(const Bytes& bytes) {
  try {
    DecodeGif(bytes);
  } catch (const GifError& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

TEST(GifMovieLzw, DecodesStreamsOfEveryShape) {
  std::mt19937 rng(7);
  // {code size, pixels, colours (1: one long run), clear when the table is full}
  const struct { int size, pixels, colours; bool clear; } cases[] = {
      {2, 1, 4, true},      {2, 100, 1, true},     {2, 5000, 3, true},  {3, 777, 8, true},
      {8, 70000, 256, true}, {8, 70000, 256, false}, {4, 200000, 16, false}, {8, 300000, 1, false}};
  for (const auto& c : cases) {
    Bytes pixels(static_cast<std::size_t>(c.pixels));
    for (std::size_t i = 0; i < pixels.size(); ++i)  // noise with runs of 0 mixed in
      pixels[i] = c.colours == 1 || i % 1000 < 300 ? 1 : std::uint8_t(rng() % unsigned(c.colours));
    const int w = std::min(c.pixels, 1000), h = c.pixels / w;
    Gif g(w, h);
    g.Image(0, 0, w, h, {}, false, Lzw(pixels, c.size, c.clear), c.size);
    const GifMovie m = DecodeGif(g.Done());
    EXPECT_TRUE(m.frames[0].complete);
    EXPECT_EQ(m.frames[0].indices, pixels) << "code size " << c.size << ", " << c.pixels << " pixels";
  }
}

TEST(GifMovieControl, DelaysDisposalTransparencyAndSkippedExtensions) {
  Gif g(1, 1);
  g.Ext(0xFF, "NETSCAPE2.0").Ext(0xFE, "comment").Ext(0x01, "plain text").Ext(0x77, "unknown");
  g.Gce(2, 7, 3).Gce(1, 30).Gce(3, 12, 2).Image(0, 0, 1, 1, {0});  // the largest delay, the rest from the last
  g.Image(0, 0, 1, 1, {0});                                         // no extension
  g.Gce(5, 4).Image(0, 0, 1, 1, {0});                               // disposal 5 is undefined
  for (int hundredths : {1, 999, 1000, 65535}) g.Gce(0, hundredths).Image(0, 0, 1, 1, {0});
  const GifMovie m = DecodeGif(g.Done());
  ASSERT_EQ(m.frames.size(), 7u);
  EXPECT_EQ(m.frames[0].delayMs, 300);
  EXPECT_EQ(m.frames[0].disposal, 3);
  EXPECT_EQ(m.frames[0].transparentIndex, 2);
  EXPECT_EQ(m.frames[1].delayMs, 0);
  EXPECT_EQ(m.frames[1].transparentIndex, -1);
  EXPECT_EQ(m.frames[2].disposal, 0);
  const int clamped[] = {300, 50, 50, 50, 9990, 10000, 10000};  // 30, 0, 4, 1, 999, 1000, 65535 hundredths
  for (int i = 0; i < 7; ++i) EXPECT_EQ(pet::ClampedFrameDelayMs(m, i), clamped[i]) << i;
  EXPECT_EQ(pet::ClampedFrameDelayMs(m, 7), 0);

  Gif one(1, 1);
  one.Gce(0, 100).Image(0, 0, 1, 1, {0});
  EXPECT_EQ(pet::ClampedFrameDelayMs(DecodeGif(one.Done()), 0), 0);  // never stepped
}

TEST(GifMovieFrames, InterlaceClippingAndColourTables) {
  for (int h : {1, 2, 3, 5, 8, 9, 17, 33}) {
    Gif g(3, h);
    g.Image(0, 0, 3, h, Ramp(3 * h), true);
    EXPECT_EQ(DecodeGif(g.Done()).frames[0].indices, Ramp(3 * h)) << "interlaced, height " << h;
  }
  Gif g(4, 3, false);
  g.Image(2, 1, 3, 3, Ramp(9), false, {}, 2, true);  // past the right and bottom edges
  g.Image(2, 0, 3, 3, Ramp(9), true, {}, 2, true);
  g.Image(4, 0, 2, 2, Ramp(4), false, {}, 2, true);  // wholly outside
  const GifMovie m = DecodeGif(g.Done());
  const Bytes r = Ramp(9);
  const auto& a = m.frames[0];
  EXPECT_EQ((std::vector<int>{a.left, a.top, a.width, a.height}), (std::vector<int>{2, 1, 2, 2}));
  EXPECT_EQ(a.indices, (Bytes{r[0], r[1], r[3], r[4]}));
  EXPECT_EQ(m.frames[1].indices, (Bytes{r[0], r[1], r[3], r[4], r[6], r[7]}));
  EXPECT_TRUE(m.frames[2].indices.empty());
  EXPECT_EQ(m.PaletteOf(a)[1], 0x070707u);

  Gif zero(0, 0);  // the screen takes the first frame's extent
  zero.Image(1, 2, 3, 2, Ramp(6));
  EXPECT_EQ(DecodeGif(zero.Done()).screenWidth, 4);
  EXPECT_EQ(DecodeGif(zero.Done()).screenHeight, 4);
}

TEST(GifMovieFrames, ShortFramesKeepTheRowsTheyReceived) {
  Gif g(4, 10);
  g.Gce(0, 0, 3).Image(0, 0, 4, 4, {}, false, Lzw({1, 2, 1, 2, 1}, 2));  // padded with the transparent index
  g.Image(0, 0, 4, 4, {}, false, Lzw({1, 2, 1, 2, 1}, 2));               // ... else with 0
  g.Image(0, 0, 2, 10, {}, true, Lzw({1, 1, 2, 2}, 2));                  // stream rows 0, 1 are rows 0, 8
  g.Image(0, 0, 4, 4, {}, false, Bytes{0x2C});                           // clear, end: nothing
  g.Image(0, 0, 2, 1, {}, false, Lzw({1, 2, 3, 3, 3}, 2));               // surplus pixels are dropped
  const GifMovie m = DecodeGif(g.Done());
  EXPECT_FALSE(m.frames[0].complete);
  EXPECT_EQ(m.frames[0].indices, (Bytes{1, 2, 1, 2, 1, 3, 3, 3}));
  EXPECT_EQ(m.frames[1].indices, (Bytes{1, 2, 1, 2, 1, 0, 0, 0}));
  Bytes rows(18, 0);
  rows[0] = rows[1] = 1, rows[16] = rows[17] = 2;
  EXPECT_EQ(m.frames[2].indices, rows);
  EXPECT_EQ(m.frames[3].height, 0);
  EXPECT_EQ(m.frames[4].indices, (Bytes{1, 2}));
}

// Files that browsers show although the format frowns on them.
TEST(GifMovieTolerance, CodeSizeOneNoColourTableAndSurplusData) {
  std::mt19937 rng(11);
  // Code size 1: two colours; runs and noise take the codes through every width and a clear.
  for (auto [w, h, interlaced] : {std::tuple{1, 1, false}, {7, 3, false}, {300, 200, false}, {40, 33, true}}) {
    Bytes pixels(std::size_t(w * h));
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = i % 97 < 40 ? 1 : std::uint8_t(rng() & 1);
    const GifMovie m = DecodeGif(Gif(w, h).Image(0, 0, w, h, pixels, interlaced, {}, 1).Done());
    EXPECT_TRUE(m.frames[0].complete);
    EXPECT_EQ(m.frames[0].indices, pixels) << w << "x" << h;
  }
  // No colour table anywhere: the default one, black and white first, then greys.
  Gif none(4, 1, false);
  none.Image(0, 0, 4, 1, {0, 1, 2, 3}).Image(0, 0, 4, 1, {3, 2, 1, 0}, false, {}, 2, true);
  const GifMovie m = DecodeGif(none.Done());
  ASSERT_EQ(m.globalPalette.size(), 256u);
  EXPECT_EQ((std::vector<std::uint32_t>(m.globalPalette.begin(), m.globalPalette.begin() + 4)),
            (std::vector<std::uint32_t>{0x000000, 0xFFFFFF, 0x020202, 0x030303}));
  EXPECT_EQ(m.PaletteOf(m.frames[1])[1], 0x070707u);  // a local table still wins
  // Codes after the last pixel: an undefined code, a valid one, an end code that never comes.
  Gif surplus(3, 2);
  surplus.Image(0, 0, 3, 2, {}, false, Lzw(Ramp(6), 2, true, {15, 1, 2}));
  surplus.Image(0, 0, 3, 2, {}, true, Lzw(Ramp(6), 2, true, {1, 31}));
  Bytes noEnd = Lzw(Ramp(6), 2, true, {31});
  noEnd.pop_back();
  surplus.Image(0, 0, 3, 1, {}, false, noEnd);
  const GifMovie s = DecodeGif(surplus.Done());
  EXPECT_EQ(s.frames[0].indices, Ramp(6));
  EXPECT_TRUE(s.frames[0].complete);
  const Bytes ramp = Ramp(6);
  EXPECT_EQ(s.frames[1].indices, ramp);
  EXPECT_EQ(s.frames[2].indices, Bytes(ramp.begin(), ramp.begin() + 3));
  // Before the last pixel an undefined code is still damage.
  EXPECT_EQ(ErrorOf(Gif(3, 3).Image(0, 0, 3, 3, {}, false, Lzw(Ramp(6), 2, true, {15})).Done()),
            "corrupt LZW data in frame 0");
}

TEST(GifMovieDamage, ErrorsSayWhatIsWrong) {
  Gif g(4, 4);
  g.Image(0, 0, 4, 4, Ramp(16)).Gce(0, 5).Image(0, 0, 4, 4, Ramp(16));
  const Bytes good = g.Done();
  const Bytes noTrailer(good.begin(), good.end() - 1);
  Bytes unknown = noTrailer, badVersion = good;
  unknown.push_back(0x99);
  badVersion[4] = '8';
  auto image = [](Bytes data, int size = 2) { return Gif(4, 4).Image(0, 0, 4, 4, {}, false, data, size).Done(); };
  auto gif = [](int w, int h) { return Gif(w, h).Image(0, 0, 65535, 65535, {}, false, {0x2C}).Done(); };
  const std::pair<Bytes, std::string> cases[] = {
      {{}, "not a GIF file"},
      {{'P', 'N', 'G', 1, 2, 3, 4, 5, 6, 7, 8, 9}, "not a GIF file"},
      {badVersion, "unsupported GIF version '88a'"},
      {Bytes(good.begin(), good.begin() + 8), "truncated logical screen descriptor"},
      {Bytes(good.begin(), good.begin() + 20), "truncated global colour table"},
      {Bytes(good.begin(), good.end() - 4), "truncated image data in frame 1"},
      {noTrailer, "truncated file: it ends after 2 frame(s) without a trailer"},
      {unknown, "unknown block 0x99 at byte " + std::to_string(noTrailer.size())},
      {Gif(4, 4).Ext(0xFE, "only a comment").Done(), "no frames"},
      {image({0x3C, 0x00}), "corrupt LZW data in frame 0"},  // clear, then code 7: undefined
      {image({0x06}), "corrupt LZW data in frame 0"},        // a string code before any literal
      {image({0x00}, 0), "invalid LZW code size 0 in frame 0"},
      {image({0x00}, 9), "invalid LZW code size 9 in frame 0"},
      {gif(65535, 65535), "logical screen too large (65535x65535)"},
      {gif(100, 100), "frame too large (65535x65535) in frame 0"},
      {Gif(0, 5).Image(0, 0, 0, 0, {}).Done(), "the logical screen has zero size"},
  };
  for (const auto& [bytes, message] : cases) EXPECT_EQ(ErrorOf(bytes), message);
  Bytes shortGce = Gif(4, 4).b;
  shortGce.insert(shortGce.end(), {0x21, 0xF9, 2, 0, 0, 0});
  EXPECT_EQ(ErrorOf(shortGce), "malformed graphic control extension before frame 0");
}

TEST(GifMovieDamage, EveryPrefixAndByteFlipFailsCleanly) {
  Gif g(6, 5);
  g.Ext(0xFF, "NETSCAPE2.0").Gce(2, 3, 1).Image(0, 0, 6, 5, Ramp(30), false, {}, 2, true);
  g.Gce(3, 3).Image(1, 1, 4, 4, Ramp(16), true);
  const Bytes good = g.Done();
  for (std::size_t n = 0; n < good.size(); ++n)
    EXPECT_THROW(DecodeGif(std::span(good.data(), n)), GifError) << "prefix of " << n << " bytes";
  for (std::size_t i = 0; i < good.size(); ++i)
    for (std::uint8_t x : {0x01, 0x80, 0xFF}) {
      Bytes bad = good;
      bad[i] ^= x;
      try {
        const GifMovie m = DecodeGif(bad);
        for (const auto& f : m.frames) {
          EXPECT_EQ(f.indices.size(), std::size_t(f.width) * std::size_t(f.height));
          EXPECT_LE(f.left + f.width, m.screenWidth);
          EXPECT_LE(f.top + f.height, m.screenHeight);
        }
      } catch (const GifError&) {
      }
    }
}

TEST(GifMovieFile, ErrorsNameTheFile) {
  auto loadError = [](const std::string& path) {
    try {
      pet::LoadGifFile(path);
    } catch (const GifError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(loadError("/nonexistent/idle.gif"), "/nonexistent/idle.gif: cannot open the file");
  const std::string path = ::testing::TempDir() + "gif_movie_test_bad.gif";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("GIF89a", f);
  std::fclose(f);
  EXPECT_EQ(loadError(path), path + ": truncated logical screen descriptor");
  std::remove(path.c_str());
}
