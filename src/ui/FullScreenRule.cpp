#include "ui/FullScreenRule.h"

namespace ui {

bool FullScreenInFront(bool shellSaysFullScreen, const std::optional<FrontWindow>& front, Rect petDisplay) {
  if (!front || front->maximised) return false;
  if (shellSaysFullScreen && front->display == petDisplay) return true;
  // A window larger than the display covers it too.
  const Rect& r = front->bounds;
  return r.left <= petDisplay.left && r.top <= petDisplay.top &&
         r.left + r.width >= petDisplay.left + petDisplay.width && r.top + r.height >= petDisplay.top + petDisplay.height;
}

}  // namespace ui
