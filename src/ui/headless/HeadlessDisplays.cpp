// The simulated desktop's displays, and its stand-in for text: each character a block.
#include <algorithm>

#include "ui/FullScreenRule.h"
#include "ui/Label.h"
#include "ui/headless/HeadlessBackend.h"

namespace ui::headless {

void HeadlessBackend::SetScreen(Size primary, Size virtualScreen) {
  screen_ = primary;
  virtualScreen_ = virtualScreen;
  const Rect whole{0, 0, primary.width, primary.height};
  monitors_ = {{whole, whole, true}};
}

void HeadlessBackend::SetMonitors(std::vector<Monitor> monitors) {
  monitors_ = std::move(monitors);
  int left = 0, top = 0, right = 0, bottom = 0;
  for (const Monitor& m : monitors_) {
    if (m.primary) screen_ = {m.bounds.width, m.bounds.height};
    left = std::min(left, m.bounds.left);
    top = std::min(top, m.bounds.top);
    right = std::max(right, m.bounds.left + m.bounds.width);
    bottom = std::max(bottom, m.bounds.top + m.bounds.height);
  }
  virtualScreen_ = {right - left, bottom - top};
}

namespace {
long long Overlap(Rect a, Rect b) {
  const long long w = std::min<long long>(a.left + a.width, b.left + b.width) - std::max(a.left, b.left);
  const long long h = std::min<long long>(a.top + a.height, b.top + b.height) - std::max(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

// The squared distance between two rectangles (0 when they touch or overlap).
long long Distance(Rect a, Rect b) {
  const auto gap = [](long long lo1, long long hi1, long long lo2, long long hi2) {
    return std::max<long long>({0, lo2 - hi1, lo1 - hi2});
  };
  const long long dx = gap(a.left, a.left + a.width, b.left, b.left + b.width);
  const long long dy = gap(a.top, a.top + a.height, b.top, b.top + b.height);
  return dx * dx + dy * dy;
}
}  // namespace

bool HeadlessBackend::OnAWorkArea(Point p) const {
  // The displays are there whether or not the system answers queries about them.
  return std::ranges::any_of(monitors_, [p](const Monitor& m) { return m.workArea.Contains(p); });
}

bool HeadlessBackend::FullScreenProgramOn(const Monitor& monitor) {
  if (!foreignWindow_) return false;
  const auto display = MonitorFromRect(*foreignWindow_, true);
  if (!display) return false;
  return FullScreenInFront(shellFullScreen_, FrontWindow{*foreignWindow_, display->bounds, foreignMaximised_},
                           monitor.bounds);
}

std::optional<Monitor> HeadlessBackend::MonitorFromRect(Rect r, bool nearest) {
  if (monitorLookupsFail_) return std::nullopt;
  const Monitor* best = nullptr;
  long long bestArea = 0;
  for (const Monitor& m : monitors_) {
    const long long area = Overlap(r, m.bounds);
    if (area > bestArea) best = &m, bestArea = area;
  }
  if (!best && nearest) {
    for (const Monitor& m : monitors_)
      if (!best || Distance(r, m.bounds) < Distance(r, best->bounds)) best = &m;
  }
  if (!best) return std::nullopt;
  return *best;
}

Monitor HeadlessBackend::PrimaryMonitor() {
  if (monitorLookupsFail_) return {{0, 0, screen_.width, screen_.height}, {0, 0, screen_.width, screen_.height}, true};
  for (const Monitor& m : monitors_)
    if (m.primary) return m;
  return monitors_.front();
}

Size HeadlessBackend::MeasureText(const std::string& text, const Font& font) {
  const int h = font.height < 0 ? -font.height : font.height;
  // Characters of a UTF-8 text, not bytes.
  int chars = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++chars;
  return {chars * (h * 6 / 11 + 1), h + 2};
}

void HeadlessBackend::DrawText(Bitmap& surface, Rect where, const std::string& text, const Font& font,
                               std::uint32_t colour) {
  const Rect clip = Intersect(where, surface.Clip());
  const int h = font.height < 0 ? -font.height : font.height;
  const int cell = h * 6 / 11 + 1;
  int index = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) == 0x80) continue;
    if (c != ' ') {
      for (int y = where.top + 2; y < where.top + 2 + h - 2; ++y)
        for (int x = where.left + index * cell; x < where.left + index * cell + cell - 1; ++x)
          if (clip.Contains({x, y}))
            surface.At(x, y) = colour;
    }
    ++index;
  }
}

}  // namespace ui::headless
