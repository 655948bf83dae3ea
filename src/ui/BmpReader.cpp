#include "ui/BmpReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

namespace ui {
namespace {

// Bitmaps larger than this are refused before anything is allocated.
constexpr std::int64_t kMaxPixels = 64ll * 1024 * 1024;

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
         std::uint32_t(b[at + 3]) << 24;
}
std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return std::uint16_t(b[at] | b[at + 1] << 8);
}

// Scales a masked channel value to 0..255.
std::uint8_t Channel(std::uint32_t pixel, std::uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const std::uint32_t max = mask >> shift;
  return std::uint8_t(((pixel & mask) >> shift) * 255u / max);
}

// Run-length pixels (8 or 4 bits per pixel), bottom row first. Pixels that no run reaches
// take colour 0 of the table; runs past the right edge are cut there, and data that ends
// without an end-of-bitmap mark ends the picture.
Bitmap DecodeRunLength(std::span<const std::uint8_t> data, int width, int height, int bpp,
                       const std::vector<std::uint32_t>& palette) {
  Bitmap out{width, height};
  const std::uint32_t background = palette.empty() ? Rgb(0, 0, 0) : palette[0];
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out.At(x, y) = background;
  auto put = [&](int x, int row, unsigned index) {
    if (x >= width || row >= height) return;
    if (index >= palette.size()) throw BmpError("pixel refers past the colour table");
    out.At(x, height - 1 - row) = palette[index];
  };
  // The n-th pixel of a run or literal byte: 4-bit pixels alternate high and low nibbles.
  auto nibble = [bpp](std::uint8_t byte, int n) -> unsigned {
    return bpp == 8 ? byte : (n % 2 == 0 ? byte >> 4 : byte & 15u);
  };
  std::size_t at = 0;
  int x = 0, row = 0;
  while (row < height && data.size() - at >= 2) {
    const int count = data[at], value = data[at + 1];
    at += 2;
    if (count > 0) {
      for (int i = 0; i < count && x + i < width; ++i) put(x + i, row, nibble(std::uint8_t(value), i));
      x = std::min(x + count, width);  // past the edge nothing more is drawn on this row
    } else if (value == 0) {
      x = 0, ++row;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (data.size() - at < 2) break;
      x = std::min(x + data[at], width), row += data[at + 1];
      at += 2;
    } else {
      const std::size_t bytes = bpp == 8 ? std::size_t(value) : (std::size_t(value) + 1) / 2;
      if (data.size() - at < bytes) throw BmpError("bitmap pixels are truncated");
      for (int i = 0; i < value && x + i < width; ++i)
        put(x + i, row, nibble(data[at + std::size_t(i) * std::size_t(bpp) / 8], i));
      x = std::min(x + value, width);
      // Literal runs keep the data on 16-bit boundaries; the last pad byte may be missing.
      at = std::min(data.size(), at + ((bytes + 1) & ~std::size_t(1)));
    }
  }
  return out;
}

// pixelOffset: where the pixel rows start, counted from the start of `dib`; 0 means right
// after the colour table.
Bitmap Decode(std::span<const std::uint8_t> dib, std::size_t pixelOffset) {
  if (dib.size() < 12) throw BmpError("bitmap header is truncated");
  const std::uint32_t headerSize = U32(dib, 0);
  std::int64_t width, height;
  int bpp;
  std::uint32_t compression = 0, coloursUsed = 0;
  std::array<std::uint32_t, 3> masks{};
  bool core = false;
  if (headerSize == 12) {
    core = true;
    width = U16(dib, 4);
    height = std::int16_t(U16(dib, 6));
    bpp = U16(dib, 10);
  } else if (headerSize >= 40 && headerSize <= 124) {
    if (dib.size() < headerSize) throw BmpError("bitmap header is truncated");
    width = std::int32_t(U32(dib, 4));
    height = std::int32_t(U32(dib, 8));
    bpp = U16(dib, 14);
    compression = U32(dib, 16);
    coloursUsed = U32(dib, 32);
  } else {
    throw BmpError("unknown bitmap header size " + std::to_string(headerSize));
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0) throw BmpError("bitmap has no pixels");
  if (width * height > kMaxPixels) throw BmpError("bitmap is too large");
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    throw BmpError("unsupported bit depth " + std::to_string(bpp));

  std::size_t tableAt = headerSize;
  if (compression == 3 /*BI_BITFIELDS*/ || compression == 6 /*BI_ALPHABITFIELDS*/) {
    if (bpp != 16 && bpp != 32) throw BmpError("bit fields on a palette bitmap");
    if (headerSize >= 52) {
      masks = {U32(dib, 40), U32(dib, 44), U32(dib, 48)};
    } else {
      if (dib.size() < tableAt + 12) throw BmpError("bit field masks are truncated");
      masks = {U32(dib, tableAt), U32(dib, tableAt + 4), U32(dib, tableAt + 8)};
      tableAt += (compression == 6 ? 16 : 12);
    }
  } else if (compression == 0 || (compression == 1 && bpp == 8) || (compression == 2 && bpp == 4)) {
    if (bpp == 16) masks = {0x7C00, 0x03E0, 0x001F};
    if (bpp == 32) masks = {0xFF0000, 0x00FF00, 0x0000FF};
  } else {
    throw BmpError("unsupported compression " + std::to_string(compression) + " at " +
                   std::to_string(bpp) + " bits per pixel");
  }

  std::vector<std::uint32_t> palette;
  if (bpp <= 8) {
    std::size_t count = coloursUsed ? coloursUsed : (1u << bpp);
    if (count > 256) throw BmpError("colour table is too large");
    const std::size_t entry = core ? 3 : 4;
    if (dib.size() < tableAt + count * entry) throw BmpError("colour table is truncated");
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t at = tableAt + i * entry;
      palette.push_back(Rgb(dib[at + 2], dib[at + 1], dib[at]));
    }
    tableAt += count * entry;
  }

  const std::size_t start = pixelOffset ? pixelOffset : tableAt;
  if (compression == 1 || compression == 2) {
    if (topDown) throw BmpError("run-length bitmaps cannot be top-down");
    if (start > dib.size()) throw BmpError("bitmap pixels are truncated");
    return DecodeRunLength(dib.subspan(start), int(width), int(height), bpp, palette);
  }
  const std::size_t rowBytes = ((std::size_t(width) * bpp + 31) / 32) * 4;
  if (start > dib.size() || dib.size() - start < rowBytes * std::size_t(height))
    throw BmpError("bitmap pixels are truncated");

  Bitmap out{int(width), int(height)};
  for (std::int64_t row = 0; row < height; ++row) {
    const std::uint8_t* r = dib.data() + start + rowBytes * std::size_t(row);
    const int y = topDown ? int(row) : int(height - 1 - row);
    for (int x = 0; x < width; ++x) {
      std::uint32_t colour;
      switch (bpp) {
        case 1:
        case 4:
        case 8: {
          const int perByte = 8 / bpp;
          const int shift = 8 - bpp * (x % perByte + 1);
          const unsigned index = (r[x / perByte] >> shift) & ((1u << bpp) - 1);
          if (index >= palette.size()) throw BmpError("pixel refers past the colour table");
          colour = palette[index];
          break;
        }
        case 16: {
          const std::uint32_t p = r[2 * x] | r[2 * x + 1] << 8;
          colour = Rgb(Channel(p, masks[0]), Channel(p, masks[1]), Channel(p, masks[2]));
          break;
        }
        case 24:
          colour = Rgb(r[3 * x + 2], r[3 * x + 1], r[3 * x]);
          break;
        default: {
          const std::uint32_t p = std::uint32_t(r[4 * x]) | std::uint32_t(r[4 * x + 1]) << 8 |
                                  std::uint32_t(r[4 * x + 2]) << 16 | std::uint32_t(r[4 * x + 3]) << 24;
          colour = Rgb(Channel(p, masks[0]), Channel(p, masks[1]), Channel(p, masks[2]));
          break;
        }
      }
      out.At(x, y) = colour;
    }
  }
  return out;
}

}  // namespace

Bitmap ReadBmpFile(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 14 + 12 || bytes[0] != 'B' || bytes[1] != 'M') throw BmpError("not a bitmap file");
  const std::uint32_t offset = U32(bytes, 10);
  if (offset < 14 || offset > bytes.size()) throw BmpError("bitmap pixel offset is out of the file");
  return Decode(bytes.subspan(14), offset - 14);
}

Bitmap ReadDib(std::span<const std::uint8_t> bytes) { return Decode(bytes, 0); }

}  // namespace ui
