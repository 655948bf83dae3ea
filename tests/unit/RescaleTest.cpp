#include "ui/Rescale.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace ui {
void PrintTo(const ScalePlan& p, std::ostream* os) {
  *os << "{set " << p.set << ", enlarge " << p.enlarge << (p.reduce ? ", reduce}" : "}");
}
}  // namespace ui

using ui::Bitmap;
using ui::Rgb;
using ui::ScalePlan;

namespace {

Bitmap Picture(const std::vector<std::vector<std::uint32_t>>& rows) {
  Bitmap b(rows.empty() ? 0 : int(rows[0].size()), int(rows.size()));
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) b.At(x, y) = rows[std::size_t(y)][std::size_t(x)];
  return b;
}

std::string Hex(std::uint32_t c) {
  char s[16];
  std::snprintf(s, sizeof s, "%08X", c);
  return s;
}

void ExpectPixels(const Bitmap& got, const Bitmap& want) {
  ASSERT_EQ(got.Width(), want.Width());
  ASSERT_EQ(got.Height(), want.Height());
  for (int y = 0; y < want.Height(); ++y)
    for (int x = 0; x < want.Width(); ++x)
      EXPECT_EQ(Hex(got.At(x, y)), Hex(want.At(x, y))) << "at " << x << "," << y;
}

// How a picture marks what is not shown: with the key colour, or with alpha 0 (the colour
// under alpha 0 is noise that must not leak into the result).
struct Marking {
  const char* name;
  std::optional<std::uint32_t> key;
  std::uint32_t hiddenIn, hiddenOut;
};
const Marking kMarkings[] = {{"key", ui::kKeyColour, ui::kKeyColour, ui::kKeyColour},
                             {"alpha", std::nullopt, 0x00FFFFFFu, 0}};

// Luma 299R + 587G + 114B: kBlue is darker than kGreen though their channel sums are equal.
constexpr std::uint32_t kRed = Rgb(202, 40, 40), kGreen = Rgb(40, 200, 40), kBlue = Rgb(40, 40, 200),
                        kYellow = Rgb(200, 200, 40), kOutline = Rgb(20, 20, 60), kGrey = Rgb(90, 90, 90);

}  // namespace

TEST(RescaleTest, PlanTable) {
  struct Row {
    int scale;
    ScalePlan two, one;  // from the sets {100, 200}, and from {100} alone
  };
  const Row rows[] = {
      {100, {100, 1, false}, {100, 1, false}}, {125, {200, 1, true}, {100, 2, true}},
      {150, {200, 1, true}, {100, 2, true}},   {175, {200, 1, true}, {100, 2, true}},
      {200, {200, 1, false}, {100, 2, false}}, {225, {200, 2, true}, {100, 3, true}},
      {250, {200, 2, true}, {100, 3, true}},   {275, {200, 2, true}, {100, 3, true}},
      {300, {100, 3, false}, {100, 3, false}},
  };
  const int two[] = {100, 200}, twoUnsorted[] = {200, 100}, one[] = {100};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.scale);
    EXPECT_EQ(ui::PlanScale(two, r.scale), r.two);
    EXPECT_EQ(ui::PlanScale(twoUnsorted, r.scale), r.two);  // sets as a folder scan finds them
    EXPECT_EQ(ui::PlanScale(one, r.scale), r.one);
  }
  // Above the largest set, the fewest whole steps from the largest set that divides the scale.
  const int three[] = {100, 150, 200};
  EXPECT_EQ(ui::PlanScale(two, 400), (ScalePlan{200, 2, false}));
  EXPECT_EQ(ui::PlanScale(three, 300), (ScalePlan{150, 2, false}));
  EXPECT_EQ(ui::PlanScale(three, 350), (ScalePlan{200, 2, true}));
  // Nonsense in, a plan out, and no overflow on the way.
  const int none[] = {0, -100};
  EXPECT_EQ(ui::PlanScale(none, 150), (ScalePlan{100, 2, true}));
  EXPECT_EQ(ui::PlanScale(one, INT_MAX), (ScalePlan{100, INT_MAX / 100 + 1, true}));
}

// A 4x4 picture halved: each output pixel covers one 2x2 block.
TEST(RescaleTest, HalvingEdgeRule) {
  for (const Marking& m : kMarkings) {
    SCOPED_TRACE(m.name);
    const std::uint32_t h = m.hiddenIn;
    const Bitmap src = Picture({
        {kRed, kGreen, kOutline, h},      // whole block: average | half: the darkest
        {kBlue, kYellow, kGrey, h},       //
        {h, h, kYellow, kGreen},          // a quarter: not shown | three quarters: the darkest
        {h, kRed, h, kBlue},              //
    });
    const std::uint32_t average = Rgb(121, 120, 80);  // red 482 / 4 rounds up
    ExpectPixels(ui::Downscale(src, 2, 2, m.key), Picture({{average, kOutline}, {m.hiddenOut, kBlue}}));
  }
}

// 4 -> 3: output pixel 0 covers source 0 and a third of 1, pixel 1 two thirds of 1 and of 2,
// pixel 2 a third of 2 and source 3. Checked along rows and along columns.
TEST(RescaleTest, ThreeQuartersCoverage) {
  const Marking& m = kMarkings[0];
  const std::uint32_t h = m.hiddenIn, o = m.hiddenOut;
  struct Case {
    std::vector<std::uint32_t> in, out;
  };
  const Case cases[] = {
      {{kRed, h, h, h}, {kRed, o, o}},    // 3/4 shown: an edge pixel
      {{h, kRed, h, h}, {o, kRed, o}},    // 1/4 not shown; exactly 1/2 is shown
      {{h, h, kRed, h}, {o, kRed, o}},
      // Wholly covered pixels weigh their sources by area: (40 + 3 * 200) / 4 = 160.
      {{h, kGreen, kBlue, kYellow}, {o, Rgb(40, 120, 120), Rgb(160, 160, 80)}},
      {{kOutline, kGrey, kRed, kRed}, {Rgb(38, 38, 68), Rgb(146, 65, 65), kRed}},
  };
  for (const Case& c : cases) {
    Bitmap row(4, 1), column(1, 4);
    for (int i = 0; i < 4; ++i) row.At(i, 0) = column.At(0, i) = c.in[std::size_t(i)];
    const Bitmap byRow = ui::Downscale(row, 3, 1, m.key), byColumn = ui::Downscale(column, 1, 3, m.key);
    ASSERT_EQ(byRow.Width(), 3);
    ASSERT_EQ(byColumn.Height(), 3);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(Hex(byRow.At(i, 0)), Hex(c.out[std::size_t(i)])) << "row pixel " << i;
      EXPECT_EQ(Hex(byColumn.At(0, i)), Hex(c.out[std::size_t(i)])) << "column pixel " << i;
    }
  }
  // In two dimensions the shares multiply: a 2x2 shown block in the middle covers the centre
  // pixel wholly, but only a quarter of the pixels beside it and a sixteenth of the corners.
  const Bitmap middle = Picture({{h, h, h, h}, {h, kRed, kGreen, h}, {h, kBlue, kYellow, h}, {h, h, h, h}});
  ExpectPixels(ui::Downscale(middle, 3, 3, m.key),
               Picture({{o, o, o}, {o, Rgb(121, 120, 80), o}, {o, o, o}}));
}

// Colours far from the purple key never come out near it, though they may average to it
// (red beside blue is purple), at any size, keyed or with alpha.
TEST(RescaleTest, NothingNearTheKey) {
  auto nearKey = [](std::uint32_t c) {
    for (int shift : {16, 8, 0})
      if (std::abs(int((c >> shift) & 0xFF) - int((ui::kKeyColour >> shift) & 0xFF)) > 40) return false;
    return true;
  };
  const std::uint32_t palette[] = {Rgb(255, 0, 0),   Rgb(0, 0, 255),  Rgb(170, 0, 170), Rgb(86, 0, 86),
                                   Rgb(128, 60, 128), Rgb(0, 0, 0),   Rgb(255, 255, 255), Rgb(128, 0, 200)};
  for (std::uint32_t c : palette) ASSERT_FALSE(nearKey(c)) << Hex(c);
  for (const Marking& m : kMarkings) {
    SCOPED_TRACE(m.name);
    Bitmap checks(8, 8), noise(12, 12);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) checks.At(x, y) = (x + y) % 2 ? palette[0] : palette[1];
    std::uint32_t seed = 12345;
    for (std::uint32_t& p : noise.Pixels()) {
      seed = seed * 1103515245u + 12345u;
      const std::uint32_t pick = (seed >> 16) % 10;
      p = pick < 8 ? palette[pick] : m.hiddenIn;
    }
    for (const Bitmap* src : {&checks, &noise})
      for (int w = 1; w <= src->Width(); ++w)
        for (int hgt = 1; hgt <= src->Height(); ++hgt) {
          const Bitmap out = ui::Downscale(*src, w, hgt, m.key);
          for (int y = 0; y < hgt; ++y)
            for (int x = 0; x < w; ++x) {
              const std::uint32_t p = out.At(x, y);
              if (p == m.hiddenOut) continue;
              ASSERT_EQ(p >> 24, 0xFFu) << Hex(p);
              ASSERT_FALSE(nearKey(p)) << Hex(p) << " at " << x << "," << y << " of " << w << "x" << hgt
                                       << " from " << src->Width();
            }
        }
  }
}

TEST(RescaleTest, EnlargeRepeatsPixels) {
  const Bitmap src = Picture({{kRed, 0x00123456u}, {kBlue, ui::kKeyColour}});
  const Bitmap big = ui::Enlarge(src, 3);
  ASSERT_EQ(big.Width(), 6);
  ASSERT_EQ(big.Height(), 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(Hex(big.At(x, y)), Hex(src.At(x / 3, y / 3))) << x << "," << y;
  ExpectPixels(ui::Enlarge(src, 1), src);
  ExpectPixels(ui::Enlarge(src, 0), src);  // no such step: left as it is
}

TEST(RescaleTest, MakeScaledSizes) {
  EXPECT_EQ(ui::ScaledLength(7, 150), 11);  // 10.5, halves up
  EXPECT_EQ(ui::ScaledLength(5, 125), 6);   // 6.25
  EXPECT_EQ(ui::ScaledLength(5, 150), 8);   // 7.5
  EXPECT_EQ(ui::ScaledLength(1, 125), 1);
  EXPECT_EQ(ui::ScaledLength(0, 300), 0);

  struct Case {
    const char* what;
    ui::Size src;
    ScalePlan plan;
    int scale;
    ui::Size want;
  };
  const ui::Size base{7, 5};  // odd on purpose
  const Case cases[] = {
      {"the set itself", {7, 5}, {100, 1, false}, 100, {7, 5}},
      {"reduced from 2x", {14, 10}, {200, 1, true}, 150, {11, 8}},
      {"reduced from 2x", {14, 10}, {200, 1, true}, 125, {9, 6}},
      {"whole steps", {7, 5}, {100, 3, false}, 300, {21, 15}},
      {"enlarged, then reduced", {14, 10}, {200, 2, true}, 250, {18, 13}},
      {"a set too small", {13, 9}, {200, 1, false}, 200, {14, 10}},
      {"a set too large", {15, 11}, {200, 1, false}, 200, {14, 10}},
      {"a set of one pixel", {1, 1}, {200, 1, true}, 150, {11, 8}},
      {"wide but short", {30, 2}, {200, 1, true}, 150, {11, 8}},
  };
  Bitmap src;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    src = Bitmap(c.src.width, c.src.height, ui::kKeyColour);
    src.FillRect({1, 1, c.src.width - 2, c.src.height - 2}, kGreen);
    const Bitmap out = ui::MakeScaled(src, c.plan, base, c.scale, ui::kKeyColour);
    EXPECT_EQ(out.Width(), c.want.width);
    EXPECT_EQ(out.Height(), c.want.height);
  }
  // Whole steps and the set itself keep every pixel.
  src = Picture({{kRed, kGreen, ui::kKeyColour}, {kBlue, kYellow, kOutline}});
  ExpectPixels(ui::MakeScaled(src, {100, 3, false}, {3, 2}, 300, ui::kKeyColour), ui::Enlarge(src, 3));
  ExpectPixels(ui::MakeScaled(src, {100, 1, false}, {3, 2}, 100, ui::kKeyColour), src);
  // Enlarged, then reduced: the same as reducing the enlargement, though it is never made.
  src = Bitmap(14, 10, ui::kKeyColour);
  src.FillRect({2, 1, 11, 8}, kOutline);
  src.FillRect({3, 2, 9, 6}, kYellow);
  src.FillRect({5, 3, 3, 3}, kBlue);
  ExpectPixels(ui::MakeScaled(src, {200, 2, true}, base, 250, ui::kKeyColour),
               ui::Downscale(ui::Enlarge(src, 2), 18, 13, ui::kKeyColour));
  // Nothing to scale: the right size, nothing shown; no size: an empty picture.
  ExpectPixels(ui::MakeScaled(Bitmap(), {200, 1, true}, base, 150, ui::kKeyColour), Bitmap(11, 8, ui::kKeyColour));
  ExpectPixels(ui::MakeScaled(Bitmap(), {100, 1, false}, base, 100, std::nullopt), Bitmap(7, 5, 0));
  EXPECT_TRUE(ui::MakeScaled(src, {100, 1, false}, {0, 5}, 150, ui::kKeyColour).Empty());
  EXPECT_TRUE(ui::Downscale(src, 0, 1, ui::kKeyColour).Empty());
  // Sizes no memory holds: an empty picture, not a failed allocation.
  EXPECT_EQ(ui::ScaledLength(INT_MAX, 300), INT_MAX);
  EXPECT_TRUE(ui::MakeScaled(src, {100, 10000, false}, {600, 500}, 1000000, ui::kKeyColour).Empty());
  EXPECT_TRUE(ui::Enlarge(src, INT_MAX).Empty());
}
