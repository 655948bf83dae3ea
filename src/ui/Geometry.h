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
  bool Empty() const { return width <= 0 || height <= 0; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// The common part of two rectangles (empty when they do not meet).
inline Rect Intersect(Rect a, Rect b) {
  const int l = a.left > b.left ? a.left : b.left, t = a.top > b.top ? a.top : b.top;
  const int r = a.left + a.width < b.left + b.width ? a.left + a.width : b.left + b.width;
  const int bo = a.top + a.height < b.top + b.height ? a.top + a.height : b.top + b.height;
  if (r <= l || bo <= t) return {};
  return {l, t, r - l, bo - t};
}

// The smallest rectangle holding both; an empty one adds nothing.
inline Rect Union(Rect a, Rect b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  const int l = a.left < b.left ? a.left : b.left, t = a.top < b.top ? a.top : b.top;
  const int r = a.left + a.width > b.left + b.width ? a.left + a.width : b.left + b.width;
  const int bo = a.top + a.height > b.top + b.height ? a.top + a.height : b.top + b.height;
  return {l, t, r - l, bo - t};
}

enum class MouseButton { Left, Right, Middle };

}  // namespace ui
