#include "pet/GifMovie.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace pet {
namespace {

constexpr int kMaxCodes = 4096;  // LZW codes are at most 12 bits wide
// Bytes after a decoded stream that the string copy may scribble on.
constexpr std::size_t kOutputSlack = 16;

std::string Hex2(unsigned v) {
  static const char digits[] = "0123456789ABCDEF";
  return std::string("0x") + digits[(v >> 4) & 15] + digits[v & 15];
}

[[noreturn]] void Fail(const std::string& what) { throw GifError(what); }

std::string InFrame(std::size_t frame) { return " in frame " + std::to_string(frame); }

// Bounds-checked cursor over the file.
class Cursor {
 public:
  explicit Cursor(std::span<const std::uint8_t> b) : b_(b) {}
  bool Has(std::size_t n) const { return b_.size() - pos_ >= n; }
  bool AtEnd() const { return pos_ >= b_.size(); }
  std::size_t Pos() const { return pos_; }
  std::uint8_t U8() { return b_[pos_++]; }
  std::uint16_t U16() {
    const std::uint16_t v = std::uint16_t(b_[pos_] | b_[pos_ + 1] << 8);
    pos_ += 2;
    return v;
  }
  const std::uint8_t* Take(std::size_t n) {
    const std::uint8_t* p = b_.data() + pos_;
    pos_ += n;
    return p;
  }

 private:
  std::span<const std::uint8_t> b_;
  std::size_t pos_ = 0;
};

std::vector<std::uint32_t> ReadColourTable(Cursor& in, int entries, const std::string& what) {
  if (!in.Has(std::size_t(entries) * 3)) Fail("truncated " + what);
  std::vector<std::uint32_t> table(static_cast<std::size_t>(entries));
  const std::uint8_t* p = in.Take(std::size_t(entries) * 3);
  for (int i = 0; i < entries; ++i, p += 3)
    table[std::size_t(i)] = std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
  return table;
}

// Skips data sub-blocks up to and including the block terminator.
void SkipSubBlocks(Cursor& in, const std::string& what) {
  for (;;) {
    if (!in.Has(1)) Fail("truncated " + what);
    const std::size_t n = in.U8();
    if (n == 0) return;
    if (!in.Has(n)) Fail("truncated " + what);
    in.Take(n);
  }
}

// The most pixels that `dataBytes` bytes of LZW codes can expand to: the k-th code after a
// clear stands for at most k pixels, and no string is longer than the code table.
std::uint64_t MaxLzwOutput(std::size_t dataBytes, int minCodeSize) {
  const std::uint64_t codes = std::uint64_t(dataBytes) * 8 / std::uint64_t(minCodeSize + 1);
  const std::uint64_t kLongest = kMaxCodes;
  if (codes <= kLongest) return codes * (codes + 1) / 2;
  return kLongest * (kLongest + 1) / 2 + (codes - kLongest) * kLongest;
}

enum class LzwEnd { EndCode, DataRanOut, OutputFull, Corrupt };

struct LzwResult {
  LzwEnd end = LzwEnd::EndCode;
  std::size_t pixels = 0;
};

// Scratch state reused across the frames of one file.
struct Scratch {
  std::vector<std::uint8_t> data;    // the frame's sub-blocks joined together
  std::vector<std::uint8_t> output;  // the bytes 0..255, the decoded stream, kOutputSlack spare bytes
  // Every code's string lies somewhere earlier in the output: where, and how long.
  std::unique_ptr<std::uint32_t[]> where = std::make_unique<std::uint32_t[]>(kMaxCodes);
  std::unique_ptr<std::uint16_t[]> length = std::make_unique<std::uint16_t[]>(kMaxCodes);
};

inline std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;  // little-endian hosts only (x86, ARM as Windows and Linux run them)
}

// Copies n bytes forward in 8-byte steps; dst may run up to 7 bytes past n. Requires that
// the n source bytes all lie before dst (they may lie within 8 bytes of it).
inline void CopyString(std::uint8_t* dst, const std::uint8_t* src, std::size_t n) {
  for (std::size_t i = 0; i < n; i += 8) {
    std::uint64_t v;
    std::memcpy(&v, src + i, 8);
    std::memcpy(dst + i, &v, 8);
  }
}

// The colours of a frame that has neither a local nor a global table: black and white
// first, as the format recommends for such a default, then a grey ramp (entry i is grey i).
std::vector<std::uint32_t> DefaultPalette() {
  std::vector<std::uint32_t> table(256);
  for (std::uint32_t i = 0; i < 256; ++i) table[i] = i << 16 | i << 8 | i;
  table[1] = 0xFFFFFF;
  return table;
}

// The decoded stream is preceded by the 256 possible pixel values, so that a literal code
// is a string of length 1 like any other and every code takes the same path.
constexpr std::size_t kLiterals = 256;

// Decodes LZW codes from data[0, size) into out[0, limit). out[-256, 0) must hold the bytes
// 0..255 and out must have kOutputSlack writable bytes beyond limit.
LzwResult DecodeLzw(const std::uint8_t* data, std::size_t size, int minCodeSize,
                    std::uint8_t* out, std::size_t limit, Scratch& s) {
  std::uint32_t* const where = s.where.get();    // offsets from base
  std::uint16_t* const length = s.length.get();  // 0 marks the clear and end codes
  const std::uint8_t* const base = out - kLiterals;
  const std::uint8_t* ip = data;
  const std::uint8_t* const end = data + size;
  std::uint64_t acc = 0;
  unsigned bits = 0;

  const unsigned clear = 1u << minCodeSize;
  for (unsigned c = 0; c < clear; ++c) {
    where[c] = c;
    length[c] = 1;
  }
  length[clear] = length[clear + 1] = 0;
  unsigned codeSize = unsigned(minCodeSize) + 1;
  unsigned mask = (1u << codeSize) - 1;
  unsigned next = clear + 2;
  bool havePrev = false;
  std::size_t prevAt = 0;  // where the previous string was written, in out
  unsigned prevLength = 0;
  std::size_t p = 0;

  for (;;) {
    if (bits < codeSize) {
      if (end - ip >= 8) {
        acc |= Load64(ip) << bits;
        ip += (63 - bits) >> 3;
        bits |= 56;
      } else {
        while (bits <= 56 && ip < end) {
          acc |= std::uint64_t(*ip++) << bits;
          bits += 8;
        }
        if (bits < codeSize) return {LzwEnd::DataRanOut, p};
      }
    }
    const unsigned code = unsigned(acc) & mask;
    acc >>= codeSize;
    bits -= codeSize;

    std::size_t stringLength;
    if (code < next) {
      stringLength = length[code];
      if (stringLength == 0) {
        if (code != clear) return {LzwEnd::EndCode, p};
        codeSize = unsigned(minCodeSize) + 1;
        mask = (1u << codeSize) - 1;
        next = clear + 2;
        havePrev = false;
        continue;
      }
      // The string lies wholly before out + p (a literal lies before out).
      const std::uint8_t* from = base + where[code];
      if (stringLength > limit - p) {
        std::memmove(out + p, from, limit - p);
        return {LzwEnd::OutputFull, limit};
      }
      CopyString(out + p, from, stringLength);
    } else if (code == next && havePrev) {
      // The string being defined: the previous one plus its own first pixel.
      stringLength = prevLength + 1;
      if (stringLength > limit - p) {
        for (std::size_t i = 0; p + i < limit; ++i) out[p + i] = out[prevAt + i];
        return {LzwEnd::OutputFull, limit};
      }
      CopyString(out + p, out + prevAt, prevLength);
      out[p + prevLength] = out[prevAt];
    } else {
      return {LzwEnd::Corrupt, p};  // a code not (yet) in the table
    }

    // The new table entry is the previous string followed by this one's first pixel, which
    // is exactly the output starting at the previous string.
    if (havePrev && next < unsigned(kMaxCodes)) {
      where[next] = std::uint32_t(prevAt + kLiterals);
      length[next] = std::uint16_t(prevLength + 1);
      ++next;
    }
    // Codes widen once the next entry no longer fits. With a minimum code size of 1 the
    // first entry (4) already needs 3 bits, so encoders widen right after the first code
    // that follows a clear; for larger sizes this test only passes after an entry is added.
    if (next >= (1u << codeSize) && codeSize < 12) {
      ++codeSize;
      mask = (1u << codeSize) - 1;
    }
    havePrev = true;
    prevAt = p;
    prevLength = unsigned(stringLength);
    p += stringLength;
  }
}

// Calls f(streamRow, imageRow) for the first `rows` rows of the stream, in stream order.
template <typename F>
void ForEachStreamRow(bool interlaced, int height, std::size_t rows, F&& f) {
  if (!interlaced) {
    for (std::size_t s = 0; s < rows; ++s) f(s, int(s));
    return;
  }
  static constexpr int kStart[4] = {0, 4, 2, 1};
  static constexpr int kStep[4] = {8, 8, 4, 2};
  std::size_t s = 0;
  for (int pass = 0; pass < 4; ++pass)
    for (int r = kStart[pass]; r < height; r += kStep[pass]) {
      if (s >= rows) return;
      f(s++, r);
    }
}

struct PendingControl {
  bool seen = false;
  int delayHundredths = 0;
  int transparentIndex = -1;
  int disposal = 0;
};

class Decoder {
 public:
  explicit Decoder(std::span<const std::uint8_t> bytes) : in_(bytes) {}

  GifMovie Run() {
    ReadHeader();
    for (;;) {
      if (in_.AtEnd())
        Fail("truncated file: it ends after " + std::to_string(movie_.frames.size()) +
             " frame(s) without a trailer");
      const std::size_t at = in_.Pos();
      const std::uint8_t introducer = in_.U8();
      if (introducer == 0x3B) break;  // trailer; anything after it is ignored
      if (introducer == 0x21)
        ReadExtension();
      else if (introducer == 0x2C)
        ReadImage();
      else
        Fail("unknown block " + Hex2(introducer) + " at byte " + std::to_string(at));
    }
    if (movie_.frames.empty()) Fail("no frames");
    return std::move(movie_);
  }

 private:
  void ReadHeader() {
    if (!in_.Has(6) || std::memcmp(in_.Take(3), "GIF", 3) != 0) Fail("not a GIF file");
    const std::uint8_t* v = in_.Take(3);
    if (std::memcmp(v, "87a", 3) != 0 && std::memcmp(v, "89a", 3) != 0)
      Fail("unsupported GIF version '" + std::string(reinterpret_cast<const char*>(v), 3) + "'");
    if (!in_.Has(7)) Fail("truncated logical screen descriptor");
    movie_.screenWidth = in_.U16();
    movie_.screenHeight = in_.U16();
    const std::uint8_t packed = in_.U8();
    in_.Take(2);  // background colour index and aspect ratio: not used
    if (std::int64_t(movie_.screenWidth) * movie_.screenHeight > kMaxScreenPixels)
      Fail("logical screen too large (" + std::to_string(movie_.screenWidth) + "x" +
           std::to_string(movie_.screenHeight) + ")");
    if (packed & 0x80)
      movie_.globalPalette = ReadColourTable(in_, 2 << (packed & 7), "global colour table");
  }

  void ReadExtension() {
    const std::size_t frame = movie_.frames.size();
    if (!in_.Has(1)) Fail("truncated extension before frame " + std::to_string(frame));
    const std::uint8_t label = in_.U8();
    if (label == 0xF9) {
      const std::string what = "graphic control extension before frame " + std::to_string(frame);
      if (!in_.Has(1)) Fail("truncated " + what);
      const std::size_t n = in_.U8();
      if (!in_.Has(n)) Fail("truncated " + what);
      if (n < 4) Fail("malformed " + what);
      const std::uint8_t* b = in_.Take(n);
      const int delay = b[1] | b[2] << 8;
      control_.seen = true;
      control_.delayHundredths = std::max(control_.delayHundredths, delay);
      const int disposal = (b[0] >> 2) & 7;
      control_.disposal = disposal <= 3 ? disposal : 0;
      control_.transparentIndex = (b[0] & 1) ? b[3] : -1;
      SkipSubBlocks(in_, what);
    } else {
      // Application (loop count), comment, plain text and unknown extensions: not used.
      SkipSubBlocks(in_, "extension " + Hex2(label) + " before frame " + std::to_string(frame));
    }
  }

  void ReadImage() {
    const std::size_t index = movie_.frames.size();
    if (!in_.Has(9)) Fail("truncated image descriptor" + InFrame(index));
    const int left = in_.U16(), top = in_.U16(), width = in_.U16(), height = in_.U16();
    const std::uint8_t packed = in_.U8();

    GifFrame frame;
    frame.interlaced = (packed & 0x40) != 0;
    frame.transparentIndex = control_.transparentIndex;
    frame.disposal = control_.disposal;
    frame.delayMs = control_.delayHundredths * 10;
    control_ = PendingControl{};
    if (packed & 0x80)
      frame.localPalette =
          ReadColourTable(in_, 2 << (packed & 7), "local colour table" + InFrame(index));
    else if (movie_.globalPalette.empty())
      movie_.globalPalette = DefaultPalette();

    if (std::int64_t(width) * height > kMaxMoviePixels)
      Fail("frame too large (" + std::to_string(width) + "x" + std::to_string(height) + ")" +
           InFrame(index));
    if (movie_.frames.empty() && (movie_.screenWidth == 0 || movie_.screenHeight == 0)) {
      movie_.screenWidth = left + width;
      movie_.screenHeight = top + height;
      if (std::int64_t(movie_.screenWidth) * movie_.screenHeight > kMaxScreenPixels)
        Fail("logical screen too large (" + std::to_string(movie_.screenWidth) + "x" +
             std::to_string(movie_.screenHeight) + ")");
    }
    if (movie_.screenWidth == 0 || movie_.screenHeight == 0)
      Fail("the logical screen has zero size");

    // The part of the frame on the screen.
    const int clippedWidth = left < movie_.screenWidth ? std::min(width, movie_.screenWidth - left) : 0;
    const int clippedHeight = top < movie_.screenHeight ? std::min(height, movie_.screenHeight - top) : 0;

    if (!in_.Has(1)) Fail("truncated image data" + InFrame(index));
    const int minCodeSize = in_.U8();
    // 2..8 as the format has it, and 1, which some encoders write for two-colour pictures.
    if (minCodeSize < 1 || minCodeSize > 8)
      Fail("invalid LZW code size " + std::to_string(minCodeSize) + InFrame(index));
    CollectData(index);

    frame.left = std::min(left, movie_.screenWidth);
    frame.top = std::min(top, movie_.screenHeight);
    if (clippedWidth > 0 && clippedHeight > 0)
      DecodePixels(frame, index, width, height, clippedWidth, clippedHeight, minCodeSize);
    movie_.frames.push_back(std::move(frame));
  }

  // Joins the image's data sub-blocks into scratch_.data.
  void CollectData(std::size_t index) {
    std::vector<std::uint8_t>& data = scratch_.data;
    data.clear();
    for (;;) {
      if (!in_.Has(1)) Fail("truncated image data" + InFrame(index));
      const std::size_t n = in_.U8();
      if (n == 0) return;
      if (!in_.Has(n)) Fail("truncated image data" + InFrame(index));
      const std::uint8_t* p = in_.Take(n);
      data.insert(data.end(), p, p + n);
    }
  }

  void DecodePixels(GifFrame& frame, std::size_t index, int width, int height, int clippedWidth,
                    int clippedHeight, int minCodeSize) {
    // Rows below the screen need not be decoded unless they are interleaved with visible ones.
    const int streamRows = frame.interlaced ? height : clippedHeight;
    const std::uint64_t wanted = std::uint64_t(width) * std::uint64_t(streamRows);
    // The stream can expand to at most `limit` pixels. The buffer starts at a size that
    // covers ordinary compression ratios and grows (decoding again) only when the data
    // really produce more, so memory follows what the file holds, not what it claims.
    const std::size_t limit =
        std::size_t(std::min(wanted, MaxLzwOutput(scratch_.data.size(), minCodeSize)));
    std::size_t capacity = std::min<std::size_t>(limit, 16 * scratch_.data.size() + 65536);
    std::vector<std::uint8_t>& buffer = scratch_.output;
    LzwResult r;
    for (;;) {
      if (buffer.size() < kLiterals + capacity + kOutputSlack) {
        buffer.resize(kLiterals + capacity + kOutputSlack);
        for (std::size_t i = 0; i < kLiterals; ++i) buffer[i] = std::uint8_t(i);
      }
      r = DecodeLzw(scratch_.data.data(), scratch_.data.size(), minCodeSize, buffer.data() + kLiterals,
                    capacity, scratch_);
      if (r.end != LzwEnd::OutputFull || capacity == limit) break;
      capacity = std::min(limit, capacity * 4);
    }
    const std::uint8_t* const out = buffer.data() + kLiterals;
    // Whatever follows the frame's last pixel is not looked at, whether it decodes or not.
    if (r.end == LzwEnd::Corrupt && r.pixels < wanted) Fail("corrupt LZW data" + InFrame(index));
    const std::size_t decoded = r.pixels;
    frame.complete = decoded >= wanted;

    // Rows that received at least one pixel; a short frame ends after the lowest of them.
    const std::size_t rowsReceived = (decoded + std::size_t(width) - 1) / std::size_t(width);
    int keptHeight = clippedHeight;
    if (!frame.complete) {
      int lowest = -1;
      ForEachStreamRow(frame.interlaced, height, rowsReceived,
                       [&](std::size_t, int row) { lowest = std::max(lowest, row); });
      keptHeight = std::min(clippedHeight, lowest + 1);
    }
    if (keptHeight <= 0) return;

    const std::int64_t pixels = std::int64_t(clippedWidth) * keptHeight;
    if (totalPixels_ + pixels > kMaxMoviePixels)
      Fail("movie too large: more than " + std::to_string(kMaxMoviePixels) + " pixels" +
           InFrame(index));
    totalPixels_ += pixels;

    frame.width = clippedWidth;
    frame.height = keptHeight;
    if (frame.complete)
      frame.indices.resize(std::size_t(pixels));
    else
      frame.indices.assign(std::size_t(pixels),
                           std::uint8_t(frame.transparentIndex >= 0 ? frame.transparentIndex : 0));
    std::uint8_t* dst = frame.indices.data();
    const std::uint8_t* src = out;
    ForEachStreamRow(frame.interlaced, height, rowsReceived, [&](std::size_t s, int row) {
      if (row >= keptHeight) return;
      const std::size_t start = s * std::size_t(width);
      const std::size_t n = std::min<std::size_t>(std::size_t(clippedWidth), decoded - start);
      std::memcpy(dst + std::size_t(row) * std::size_t(clippedWidth), src + start, n);
    });
  }

  Cursor in_;
  GifMovie movie_;
  PendingControl control_;
  Scratch scratch_;
  std::int64_t totalPixels_ = 0;
};

}  // namespace

GifMovie DecodeGif(std::span<const std::uint8_t> bytes) { return Decoder(bytes).Run(); }

int ClampedFrameDelayMs(const GifMovie& movie, int index) {
  if (movie.frames.size() < 2 || index < 0 || std::size_t(index) >= movie.frames.size()) return 0;
  return std::clamp(movie.frames[std::size_t(index)].delayMs, 50, 10000);
}

}  // namespace pet
