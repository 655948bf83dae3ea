#pragma once
// Builds small GIF files in memory for the decoder's tests: our own LZW encoder and a
// block-by-block writer.
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace gifbuild {

using Bytes = std::vector<std::uint8_t>;

// A plain LZW encoder of our own: growing code sizes, full tables with or without a clear.
// `surplus`: raw codes written after the last pixel's code, before the end code.
inline Bytes Lzw(const Bytes& pixels, int minCodeSize, bool clearWhenFull = true,
                 const std::vector<int>& surplus = {}) {
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
  for (int code : surplus) emit(code);
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

inline Bytes Ramp(int n) {
  Bytes p(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) p[std::size_t(i)] = std::uint8_t((i * 7 + i / 5) % 4);
  return p;
}

}  // namespace gifbuild
