#pragma once
// Our GIF87a/GIF89a decoder. A movie is kept as decoded indexed frames, each within its own
// rectangle (clipped to the logical screen); FrameComposer turns them into pictures.
//
// Damaged input is handled as follows:
// - Anything that leaves the file structure unreadable (wrong signature, a file that ends in
//   the middle of a block or before the trailer, an unknown block, a corrupt LZW code before
//   the frame's last pixel, a file without frames) throws GifError with a short text that
//   says what is wrong and where.
// - Tolerated as browsers do: an LZW minimum code size of 1; a frame with neither a local nor
//   a global colour table (drawn with a default palette: black, white, then entry i grey i,
//   kept as the movie's global table); data after a frame's last pixel, whether it decodes
//   or not.
// - A frame whose LZW stream ends early (an end code, or its data blocks run out, before its
//   last pixel) is kept: its rectangle is cut after the last row that received any pixel, and
//   pixels missing inside that cut rectangle take the frame's transparent index if it has
//   one, else index 0. Such a frame is marked `complete = false`.
// - Pixel indices beyond the frame's colour table show as opaque black.
// - A logical screen of zero width or height takes the extent (left + width, top + height)
//   of the first frame; if that is empty too, the file is refused.
// - Limits, checked before anything is allocated: a logical screen of at most kMaxScreenPixels
//   pixels, no frame whose declared area exceeds kMaxMoviePixels, and at most kMaxMoviePixels
//   decoded (clipped) pixels in the whole movie. The working buffer for one frame is never
//   larger than what its compressed data could expand to.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace pet {

class GifError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The logical screen may have at most this many pixels (e.g. 4096 x 4096).
constexpr std::int64_t kMaxScreenPixels = 16ll * 1024 * 1024;
// A movie keeps at most this many decoded pixels over all its frames (256 Mi).
constexpr std::int64_t kMaxMoviePixels = 256ll * 1024 * 1024;

struct GifFrame {
  // The frame's rectangle on the logical screen, already clipped to it (may be empty).
  int left = 0, top = 0, width = 0, height = 0;
  // width * height colour indices, top row first (interlaced frames are put in row order).
  std::vector<std::uint8_t> indices;
  // The frame's local colour table as 0x00RRGGBB; empty when it uses the global one.
  std::vector<std::uint32_t> localPalette;
  int transparentIndex = -1;  // -1: none
  int disposal = 0;           // 0..3; the undefined values 4..7 are read as 0
  int delayMs = 0;            // 10 x the largest delay of the frame's control extensions
  bool interlaced = false;
  bool complete = true;       // false when the image data ended before the last pixel
};

struct GifMovie {
  int screenWidth = 0, screenHeight = 0;
  std::vector<std::uint32_t> globalPalette;  // 0x00RRGGBB; may be empty
  std::vector<GifFrame> frames;

  // The colour table that frame `f` is drawn with (never empty for a decoded frame).
  const std::vector<std::uint32_t>& PaletteOf(const GifFrame& f) const {
    return f.localPalette.empty() ? globalPalette : f.localPalette;
  }
};

// Decodes a whole GIF file held in memory. Throws GifError.
GifMovie DecodeGif(std::span<const std::uint8_t> bytes);
// Reads and decodes a file; every error (also "cannot open") names the file. Throws GifError.
GifMovie LoadGifFile(const std::string& path);

// The interval for which frame `index` is shown: 0 when the movie has fewer than two frames
// or the index is out of range (such a movie is never stepped), else the frame's delay
// clamped to 50..10000 ms (a delay of 0 plays at 50 ms).
int ClampedFrameDelayMs(const GifMovie& movie, int index);

}  // namespace pet
