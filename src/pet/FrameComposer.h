#pragma once
// Composes the picture that the movie view shows for a frame of a decoded movie.
//
// Pixels are 0xAARRGGBB: alpha 0xFF where something is drawn, alpha 0x00 where the picture
// is transparent. Transparency is a mask, not a colour: an opaque pixel whose colour equals
// the movie's transparent colour stays visible.
//
// The background is transparent when the first frame has a transparent colour (its pixels
// are then 0x00RRGGBB with that colour's RGB, so a caller that does not key out can show
// them by setting alpha), else the opaque window colour given to the constructor.
//
// A picture for frame i is built like this:
// 1. Fill with the background.
// 2. Counting down from i to 1, the first frame that covers the whole screen and either has
//    no transparent colour, or has disposal 2 and lies before i, is the starting frame;
//    without one, frame 0 is.
// 3. From the starting frame up to i - 1: disposal 0 or 1 draws the frame; disposal 2 fills
//    its rectangle with the background (except for the starting frame); disposal 3 leaves
//    the picture alone.
// 4. Draw frame i. Transparent pixels of a frame leave the picture beneath unchanged.
// The last picture is retained with its index; when the next frame asked for is the
// retained one plus one and the retained frame's disposal is not 3, the retained picture is
// reused (with the retained frame's rectangle filled with the background for disposal 2),
// so that step costs in proportion to the frames' rectangles, not the screen.
#include <cstdint>
#include <memory>
#include <vector>

#include "pet/GifMovie.h"

namespace pet {

class FrameComposer {
 public:
  static constexpr std::uint32_t kDefaultWindowColour = 0xFFFFFFFFu;

  // Cheap: the picture is allocated by the first Compose. A null movie composes nothing.
  explicit FrameComposer(std::shared_ptr<const GifMovie> movie,
                         std::uint32_t windowColour = kDefaultWindowColour);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int FrameCount() const;
  const std::shared_ptr<const GifMovie>& Movie() const { return movie_; }
  // The background colour described above.
  std::uint32_t Background() const { return background_; }

  // The picture (Width() * Height() pixels, top row first) for frame `index`. Throws
  // std::out_of_range for an index outside [0, FrameCount()). Composing the retained index
  // again costs nothing. The reference stays valid until the next Compose or Reset.
  const std::vector<std::uint32_t>& Compose(int index);

  // The index whose picture is retained, or -1.
  int RetainedIndex() const { return retained_; }
  // Forgets the retained picture, so that the next Compose builds from the background.
  void Reset() { retained_ = -1; }

 private:
  void Fill(std::uint32_t colour);
  void FillRect(const GifFrame& f, std::uint32_t colour);
  void Draw(const GifFrame& f);
  bool CoversScreen(const GifFrame& f) const;
  bool Drawable(const GifFrame& f) const;
  const std::uint32_t* Lut(const std::vector<std::uint32_t>& palette);

  std::shared_ptr<const GifMovie> movie_;
  int width_ = 0, height_ = 0;
  std::uint32_t background_ = kDefaultWindowColour;
  std::vector<std::uint32_t> picture_;
  int retained_ = -1;
  // Opaque ARGB for each of the 256 indices of the colour table last drawn with.
  const std::uint32_t* lutFor_ = nullptr;
  std::size_t lutSize_ = 0;
  std::vector<std::uint32_t> lut_;
};

}  // namespace pet
