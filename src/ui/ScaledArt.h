#pragma once
// The one place where a picture is chosen or made for a scale: from the art drawn at that
// scale when there is some, else from the nearest larger set, reduced with a hard edge, or
// enlarged in whole steps (see Rescale.h).
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "ui/Bitmap.h"

namespace ui {

class ScaledArt {
 public:
  // The picture drawn at a set's scale (a percent above 100), or null when that set has none.
  using Loader = std::function<std::shared_ptr<const Bitmap>(int setScale)>;
  ScaledArt(std::vector<int> largerSets, Loader load);

  // The picture for `scale` made from `base` (the 1x picture this art belongs to) and the
  // sets; made once per scale and kept. A set's picture that is missing, unreadable or not
  // of the set's size is left out.
  std::shared_ptr<const Bitmap> At(const std::shared_ptr<const Bitmap>& base, int scale);

 private:
  std::vector<int> sets_;  // 100 and the larger sets not yet found wanting
  Loader load_;
  std::map<int, std::shared_ptr<const Bitmap>> made_;
};

// What is drawn for `picture` at `scale`: the picture itself at 100 %, else the one its art
// makes (a picture without art is its only set). Pixels of its bottom-left colour stay out.
std::shared_ptr<const Bitmap> PictureAt(const std::shared_ptr<const Bitmap>& picture, int scale);

}  // namespace ui
