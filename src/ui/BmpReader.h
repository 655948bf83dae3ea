#pragma once
// Our reader for Windows bitmap files: 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed
// or with bit fields, bottom-up or top-down, and run-length encoded at 8 and 4 bits per pixel.
// Every pixel comes out opaque.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

#include "ui/Bitmap.h"

namespace ui {

class BmpError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A whole .bmp file (with its 14-byte file header).
Bitmap ReadBmpFile(std::span<const std::uint8_t> bytes);
// A packed DIB as stored in a bitmap resource: the info header, the colour table, the pixels.
Bitmap ReadDib(std::span<const std::uint8_t> bytes);

}  // namespace ui
