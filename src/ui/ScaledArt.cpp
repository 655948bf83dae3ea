#include "ui/ScaledArt.h"

#include <algorithm>
#include <utility>

#include "ui/Backend.h"
#include "ui/Rescale.h"

namespace ui {

int ScaleForDpi(int dpi) {
  // Display settings offer 25 % steps; a DPI between two takes the nearer.
  const int percent = (dpi * 100 + 48) / 96;
  return std::clamp((percent + 12) / 25 * 25, 100, 500);
}

ScaledArt::ScaledArt(std::vector<int> largerSets, Loader load) : sets_{100}, load_(std::move(load)) {
  for (int s : largerSets)
    if (s > 100) sets_.push_back(s);
  std::ranges::sort(sets_);
}

std::shared_ptr<const Bitmap> ScaledArt::At(const std::shared_ptr<const Bitmap>& base, int scale) {
  if (scale == 100 || !base || base->Empty()) return base;
  if (auto it = made_.find(scale); it != made_.end()) return it->second;
  const Size baseSize{base->Width(), base->Height()};
  for (;;) {
    const ScalePlan plan = PlanScale(sets_, scale);
    std::shared_ptr<const Bitmap> set = base;
    if (plan.set != 100) {
      set = load_ ? load_(plan.set) : nullptr;
      if (!set || set->Width() != ScaledLength(baseSize.width, plan.set) ||
          set->Height() != ScaledLength(baseSize.height, plan.set)) {
        std::erase(sets_, plan.set);
        continue;
      }
    }
    // The set's own bottom-left colour is its key, as the 1x picture's is.
    auto made = std::make_shared<const Bitmap>(MakeScaled(*set, plan, baseSize, scale, set->BottomLeft()));
    made_[scale] = made;
    return made;
  }
}

std::shared_ptr<const Bitmap> PictureAt(const std::shared_ptr<const Bitmap>& picture, int scale) {
  if (!picture || scale == 100 || picture->Empty()) return picture;
  if (const auto& art = picture->Art()) return art->At(picture, scale);
  ScaledArt alone({}, nullptr);
  return alone.At(picture, scale);
}

}  // namespace ui
