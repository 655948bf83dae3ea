#include "pet/GifMovie.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

using pet::DecodeGif;
using pet::GifError;
using pet::GifMovie;
using Bytes = std::vector<std::uint8_t>;

namespace {

// A plain LZW encoder of our own: growing code sizes, full tables with or without a clear.
Bytes Lzw(const Bytes& pixels, int minCodeSize, bool clearWhenFull = true) {
  Bytes out;
  std::uint32_t acc = 0;
  int bits = 0, codeSize = minCodeSize + 1;
  auto emit = [&](int code) {
    for (acc |= std::uint32_t(code) << bits, bits += codeSize; bits >= 8; acc >>= 8, bits -= 8)
      out.push_back(std::uint8_t(acc));
  };
  const int clear = 1 << minCodeSize;
  std::map<std::pair<int, int>, int> table;
  int next = clear + 2, prefix = -1;
  emit(clear);
  for (std::uint8_t c : pixels) {
    if (prefix >= 0 && table.count({prefix, c})) {
      prefix = table[{prefix, c}];
      continue;
    }
    if (prefix >= 0) {
      emit(prefix);
      if (next < 4096) {
        table[{prefix, c}] = next++;
        if (next > (1 << codeSize) && codeSize < 12) ++codeSize;
      } else if (clearWhenFull) {
        emit(clear);
        table.clear();
        next = clear + 2, codeSize = minCodeSize + 1;
      }
    }
    prefix = c;
  }
  if (prefix >= 0) emit(prefix);
  emit(clear + 1);
  if (bits > 0) out.push_back(std::uint8_t(acc));
  return out;
}

// Builds a GIF block by block; the global table has 4 entries, entry i = i * 0x010203.
struct Gif {
  Bytes b;
  explicit Gif(int w, int h, bool globalTable = true) {
    b = {'G', 'I', 'F', '8', '9', 'a', std::uint8_t(w), std::uint8_t(w >> 8), std::uint8_t(h),
         std::uint8_t(h >> 8), std::uint8_t(globalTable ? 0x81 : 0), 0, 0};
    for (int i = 0; globalTable && i < 4; ++i) b.insert(b.end(), {std::uint8_t(i), std::uint8_t(2 * i), std::uint8_t(3 * i)});
  }
  Gif& Gce(int disposal, int delay, int transparent = -1) {
    b.insert(b.end(), {0x21, 0xF9, 4, std::uint8_t(disposal << 2 | (transparent >= 0)), std::uint8_t(delay),
                       std::uint8_t(delay >> 8), std::uint8_t(transparent), 0});
    return *this;
  }
  Gif& Ext(std::uint8_t label, const std::string& text) {
    b.insert(b.end(), {0x21, label, std::uint8_t(text.size())});
    b.insert(b.end(), text.begin(), text.end());
    b.push_back(0);
    return *this;
  }
  // `data` empty: LZW-encode `pixels` (given in row order) at code size 2.
  Gif& Image(int x, int y, int w, int h, Bytes pixels, bool interlaced = false, Bytes data = {},
             int minCodeSize = 2, bool localTable = false) {
    b.insert(b.end(), {0x2C, std::uint8_t(x), std::uint8_t(x >> 8), std::uint8_t(y), std::uint8_t(y >> 8),
                       std::uint8_t(w), std::uint8_t(w >> 8), std::uint8_t(h), std::uint8_t(h >> 8),
                       std::uint8_t((interlaced ? 0x40 : 0) | (localTable ? 0x80 : 0))});
    if (localTable) b.insert(b.end(), {9, 9, 9, 7, 7, 7});
    if (data.empty()) {
      Bytes stream = pixels;
      if (interlaced) {
        stream.clear();
        for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
          for (int r = start; r < h; r += step)
            stream.insert(stream.end(), pixels.begin() + r * w, pixels.begin() + (r + 1) * w);
      }
      data = Lzw(stream, minCodeSize);
    }
    b.push_back(std::uint8_t(minCodeSize));
    for (std::size_t i = 0; i < data.size(); i += 255) {
      const std::size_t n = std::min<std::size_t>(255, data.size() - i);
      b.push_back(std::uint8_t(n));
      b.insert(b.end(), data.begin() + std::ptrdiff_t(i), data.begin() + std::ptrdiff_t(i + n));
    }
    b.push_back(0);
    return *this;
  }
  Bytes Done() const {
    Bytes r = b;
    r.push_back(0x3B);
    return r;
  }
};

Bytes Ramp(int n) {
  Bytes p(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) p[std::size_t(i)] = std::uint8_t((i * 7 + i / 5) % 4);
  return p;
}

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

  Gif none(2, 1, false);
  none.Image(0, 0, 2, 1, {0, 1});
  EXPECT_EQ(ErrorOf(none.Done()), "no colour table in frame 0");
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
      {image({0x00}, 1), "invalid LZW code size 1 in frame 0"},
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
