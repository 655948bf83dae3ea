#pragma once

namespace ui {

struct Point {
  int x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int width = 0, height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  bool Contains(Point p) const { return p.x >= left && p.y >= top && p.x < left + width && p.y < top + height; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

enum class MouseButton { Left, Right, Middle };

}  // namespace ui
