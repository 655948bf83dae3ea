#pragma once
// Pictures at other scales than the one they were drawn at, without blurring the colour key's
// hard edge. Scales are percents of the 1x art (100, 125, ... 300).
#include <cstdint>
#include <optional>
#include <span>

#include "ui/Bitmap.h"

namespace ui {

// A length of the 1x art at `scale`, rounded to the nearest pixel (halves up).
int ScaledLength(int length, int scale);

// How the picture for a scale is made from the art sets there are (each a scale, 100 always
// among them): the set it comes from, a whole-step nearest-neighbour enlargement of that set
// (1: none), and whether the result is then reduced to the scale by `Downscale`.
struct ScalePlan {
  int set = 100;
  int enlarge = 1;
  bool reduce = false;
  friend bool operator==(const ScalePlan&, const ScalePlan&) = default;
};
// A set at the scale itself is used as it is; else the next larger set is reduced; above the
// largest set, a set whose whole multiple is the scale is enlarged to it, else the largest
// set is enlarged by the fewest whole steps that reach past the scale and then reduced.
ScalePlan PlanScale(std::span<const int> sets, int scale);

// Reduces `src` to width x height. A size past the source's is its whole-step enlargement
// reduced (the same picture: enlarging only makes pixels larger). A pixel is shown when at least
// half of its area covers shown source pixels; it takes the average of those pixels' colours,
// or, where its area also covers pixels that are not shown (an edge), the darkest of them: on
// art drawn with a dark outline, the outline. Pixels that are not shown are those with alpha
// 0, and, when `key` is given, those of that colour; the result marks its own in the same way
// (with `key`, or alpha 0 without it). No colour near the key (the purple when none is given)
// is ever made: an average that would come within 40 of it on any channel takes the colour
// covering most of the pixel instead, and a shown pixel never equals the key.
Bitmap Downscale(const Bitmap& src, int width, int height, std::optional<std::uint32_t> key);

// Each pixel becomes a factor x factor block.
Bitmap Enlarge(const Bitmap& src, int factor);

// The picture at `scale` made from a set's picture by the plan (the set's picture is `src`,
// drawn at plan.set), sized ScaledLength(base size, scale).
Bitmap MakeScaled(const Bitmap& src, const ScalePlan& plan, Size baseSize, int scale,
                  std::optional<std::uint32_t> key);

}  // namespace ui
