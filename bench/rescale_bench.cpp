// rescale_bench: prints figures, never fails on time.
//
// The cost of making a picture at another scale from an outlined, keyed pet frame (300 x 250
// and 600 x 500 at 1x, with sets at 1x and 2x): the reductions from the next larger set, done
// at every frame step when the scale falls between sets, and the steps above the largest set.
#include <algorithm>
#include <cstdio>

#include "BestTime.h"

#include "ui/Rescale.h"

namespace {

// An ellipse with a dark three-pixel outline and some shading, on the key, drawn at `scale`.
ui::Bitmap PetLike(ui::Size base, int scale) {
  const int w = ui::ScaledLength(base.width, scale), h = ui::ScaledLength(base.height, scale);
  ui::Bitmap b(w, h, ui::kKeyColour);
  const double cx = w / 2.0, cy = h / 2.0, rx = w * 0.45, ry = h * 0.45, line = 3.0 * scale / 100;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry, d = dx * dx + dy * dy;
      if (d > 1) continue;
      const double edge = (1 - d) * std::min(rx, ry) / 2;
      b.At(x, y) = edge < line ? ui::Rgb(30, 20, 10)
                               : ui::Rgb(std::uint8_t(120 + x * 100 / w), std::uint8_t(80 + y * 120 / h), 60);
    }
  return b;
}

double BestTime(auto&& f) { return bench::BestTime(f, 0.5); }

}  // namespace

int main() {
  const int sets[] = {100, 200};
  std::printf("%-6s %-26s %-12s %-12s %9s %9s\n", "scale", "plan", "from", "to", "ms", "Mpx/s");
  for (const ui::Size base : {ui::Size{300, 250}, ui::Size{600, 500}})
    for (int scale : {125, 150, 175, 250, 300}) {
      const ui::ScalePlan plan = ui::PlanScale(sets, scale);
      const ui::Bitmap src = PetLike(base, plan.set);
      ui::Bitmap out;
      const double t = BestTime([&] {
        out = ui::MakeScaled(src, plan, base, scale, ui::kKeyColour);
        return out.At(out.Width() / 2, out.Height() / 2);
      });
      char planText[32], from[16], to[16];
      std::snprintf(planText, sizeof planText, "set %d x%d%s", plan.set, plan.enlarge, plan.reduce ? " reduced" : "");
      std::snprintf(from, sizeof from, "%dx%d", src.Width(), src.Height());
      std::snprintf(to, sizeof to, "%dx%d", out.Width(), out.Height());
      std::printf("%-6d %-26s %-12s %-12s %9.2f %9.1f\n", scale, planText, from, to, t * 1e3,
                  double(out.Width()) * out.Height() / t / 1e6);
    }
  return 0;
}
