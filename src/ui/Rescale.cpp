#include "ui/Rescale.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace ui {

namespace {

// No picture this program makes comes near this; past it a request is a bad size, and the
// answer is an empty picture rather than an allocation that fails.
constexpr std::int64_t kMostPixels = std::int64_t(1) << 26;

bool TooLarge(std::int64_t width, std::int64_t height) {
  return width > INT_MAX || height > INT_MAX || width * height > kMostPixels;
}

// floor(a / b) for b > 0.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

int Channel(std::uint32_t c, int shift) { return int((c >> shift) & 0xFF); }

int Luma(std::uint32_t c) { return 299 * Channel(c, 16) + 587 * Channel(c, 8) + 114 * Channel(c, 0); }

// The per-channel distance within which a colour reads as the key's fringe on screen.
constexpr int kNearKey = 40;

bool NearKey(std::uint32_t c, std::uint32_t key) {
  for (int shift : {16, 8, 0})
    if (std::abs(Channel(c, shift) - Channel(key, shift)) > kNearKey) return false;
  return true;
}

// The source pixels one destination pixel covers along one axis, and how much of each: the
// destination pixel spans [i * src, (i + 1) * src) and source pixel j spans [j * dst,
// (j + 1) * dst), both in units of 1 / dst source pixel, so every overlap is a whole number
// and the overlaps of one destination pixel add up to `src`.
struct Taps {
  std::vector<int> first, count;  // per destination pixel
  std::vector<int> weight;        // count[i] entries from offset[i]
  std::vector<int> offset;
};

Taps MakeTaps(int src, int dst) {
  Taps t;
  t.first.resize(std::size_t(dst));
  t.count.resize(std::size_t(dst));
  t.offset.resize(std::size_t(dst));
  for (int i = 0; i < dst; ++i) {
    const std::int64_t lo = std::int64_t(i) * src, hi = lo + src;
    const int j0 = int(lo / dst), j1 = int((hi + dst - 1) / dst);  // [j0, j1)
    t.first[std::size_t(i)] = j0;
    t.count[std::size_t(i)] = j1 - j0;
    t.offset[std::size_t(i)] = int(t.weight.size());
    for (int j = j0; j < j1; ++j) {
      const std::int64_t a = std::max(lo, std::int64_t(j) * dst), b = std::min(hi, std::int64_t(j + 1) * dst);
      t.weight.push_back(int(b - a));
    }
  }
  return t;
}

}  // namespace

int ScaledLength(int length, int scale) {
  // round(length * scale / 100) with halves up: floor((length * scale + 50) / 100).
  const std::int64_t r = FloorDiv(std::int64_t(length) * scale + 50, 100);
  return int(std::clamp<std::int64_t>(r, INT_MIN, INT_MAX));
}

ScalePlan PlanScale(std::span<const int> sets, int scale) {
  std::vector<int> s;
  for (int v : sets)
    if (v > 0) s.push_back(v);
  if (s.empty()) s.push_back(100);  // the 1x art is always there
  std::sort(s.begin(), s.end());
  if (std::binary_search(s.begin(), s.end(), scale)) return {scale, 1, false};
  if (const auto larger = std::upper_bound(s.begin(), s.end(), scale); larger != s.end())
    return {*larger, 1, true};
  for (auto it = s.rbegin(); it != s.rend(); ++it)
    if (scale % *it == 0) return {*it, scale / *it, false};
  const int largest = s.back();
  return {largest, scale / largest + (scale % largest != 0), true};
}

Bitmap Downscale(const Bitmap& src, int width, int height, std::optional<std::uint32_t> key) {
  if (width <= 0 || height <= 0 || TooLarge(width, height)) return {};
  const std::uint32_t hidden = key.value_or(0);
  Bitmap out(width, height, hidden);
  if (src.Empty()) return out;
  // A shown pixel must not be taken for the key where the picture is drawn: with no key of
  // its own, it goes on a skinned window, keyed by the purple.
  const std::uint32_t guard = key.value_or(kKeyColour);
  const int sw = src.Width(), sh = src.Height();
  const Taps tx = MakeTaps(sw, width), ty = MakeTaps(sh, height);
  const std::int64_t area = std::int64_t(sw) * sh;
  const std::uint32_t* pixels = src.Pixels().data();
  // Without a key `hidden` is 0, which no opaque pixel equals.
  auto shown = [hidden](std::uint32_t p) { return (p & kOpaque) != 0 && p != hidden; };

  for (int y = 0; y < height; ++y) {
    const int y0 = ty.first[std::size_t(y)], ny = ty.count[std::size_t(y)];
    const int* wy = &ty.weight[std::size_t(ty.offset[std::size_t(y)])];
    const std::uint32_t* top = pixels + std::size_t(y0) * std::size_t(sw);
    std::uint32_t* row = &out.At(0, y);
    for (int x = 0; x < width; ++x) {
      const int nx = tx.count[std::size_t(x)];
      const int* wx = &tx.weight[std::size_t(tx.offset[std::size_t(x)])];
      const std::uint32_t* corner = top + tx.first[std::size_t(x)];
      // The sums first; the darkest or the most covering pixel only where they are needed.
      std::int64_t covered = 0, r = 0, g = 0, b = 0;
      for (int j = 0; j < ny; ++j) {
        const std::uint32_t* s = corner + std::size_t(j) * std::size_t(sw);
        for (int i = 0; i < nx; ++i) {
          const std::uint32_t p = s[i];
          if (!shown(p)) continue;
          const std::int64_t w = std::int64_t(wy[j]) * wx[i];
          covered += w;
          r += w * Channel(p, 16);
          g += w * Channel(p, 8);
          b += w * Channel(p, 0);
        }
      }
      if (2 * covered < area) continue;  // less than half shown
      // The first shown pixel `better` than all before it.
      auto pick = [&](auto better) {
        std::uint32_t chosen = 0;
        for (int j = 0; j < ny; ++j)
          for (int i = 0; i < nx; ++i) {
            const std::uint32_t p = corner[std::size_t(j) * std::size_t(sw) + std::size_t(i)];
            if (shown(p) && better(p, std::int64_t(wy[j]) * wx[i])) chosen = p;
          }
        return chosen;
      };
      std::uint32_t c;
      if (covered == area) {
        const std::int64_t half = area / 2;
        c = Rgb(std::uint8_t((r + half) / area), std::uint8_t((g + half) / area), std::uint8_t((b + half) / area));
        // Colours far from the key can average to near it (red beside blue makes purple);
        // such a pixel keeps the colour that covers most of it instead.
        if (NearKey(c, guard)) {
          std::int64_t most = 0;
          c = pick([&](std::uint32_t, std::int64_t w) { return w > most ? (most = w, true) : false; });
        }
      } else {
        // An edge: on outlined art, the outline.
        int darkest = INT_MAX;
        c = pick([&](std::uint32_t p, std::int64_t) { return Luma(p) < darkest ? (darkest = Luma(p), true) : false; });
      }
      c |= kOpaque;
      if ((c & 0xFFFFFFu) == (guard & 0xFFFFFFu)) c = (c & ~0xFFu) | ((c & 0xFF) == 0xFF ? 0xFE : (c & 0xFF) + 1);
      row[x] = c;
    }
  }
  return out;
}

Bitmap Enlarge(const Bitmap& src, int factor) {
  if (factor <= 1 || src.Empty()) return src;
  const std::int64_t w = std::int64_t(src.Width()) * factor, h = std::int64_t(src.Height()) * factor;
  if (TooLarge(w, h)) return {};
  Bitmap out{int(w), int(h)};
  for (int y = 0; y < src.Height(); ++y) {
    std::uint32_t* first = &out.At(0, y * factor);
    for (int x = 0; x < src.Width(); ++x) std::fill_n(first + std::size_t(x) * factor, factor, src.At(x, y));
    for (int k = 1; k < factor; ++k) std::copy_n(first, w, &out.At(0, y * factor + k));
  }
  return out;
}

Bitmap MakeScaled(const Bitmap& src, const ScalePlan& plan, Size baseSize, int scale,
                  std::optional<std::uint32_t> key) {
  const int width = ScaledLength(baseSize.width, scale), height = ScaledLength(baseSize.height, scale);
  if (width <= 0 || height <= 0 || TooLarge(width, height)) return {};
  if (src.Empty()) return Bitmap(width, height, key.value_or(0));
  const int steps = std::max(plan.enlarge, 1);
  if (!plan.reduce && std::int64_t(src.Width()) * steps == width && std::int64_t(src.Height()) * steps == height)
    return Enlarge(src, steps);
  // Whole steps only make each pixel larger, so the area filter over the enlargement is the
  // filter over the set's picture itself: it is reduced straight from there, without the
  // enlargement's memory. A picture of the wrong size for its set lands here too.
  return Downscale(src, width, height, key);
}

}  // namespace ui
