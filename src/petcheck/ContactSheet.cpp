#include "petcheck/ContactSheet.h"

#include <algorithm>
#include <fstream>

#include "pet/FrameComposer.h"

namespace petcheck {

namespace {

constexpr int kGap = 4, kMargin = 8, kLabelHeight = 16, kScale = 2, kChecker = 8;
constexpr std::uint32_t kSheetBack = ui::Rgb(64, 64, 64);
constexpr std::uint32_t kCheckLight = ui::Rgb(236, 236, 236), kCheckDark = ui::Rgb(200, 200, 200);
constexpr std::uint32_t kEdgeLine = ui::Rgb(230, 40, 40), kLabel = ui::Rgb(255, 255, 255);
constexpr std::uint32_t kMissing = ui::Rgb(110, 30, 30);

// 3 x 5 glyphs, one row of three bits per entry, top row first.
struct Glyph {
  char c;
  std::uint8_t rows[5];
};
constexpr Glyph kGlyphs[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 7, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 1, 1}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'C', {3, 4, 4, 4, 3}}, {'I', {7, 2, 2, 2, 7}},
};

void DrawText(ui::Bitmap& sheet, int x, int y, const std::string& text) {
  for (char ch : text) {
    for (const Glyph& g : kGlyphs) {
      if (g.c != ch) continue;
      for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 3; ++col)
          if (g.rows[row] & (4 >> col))
            for (int dy = 0; dy < kScale; ++dy)
              for (int dx = 0; dx < kScale; ++dx) {
                const int px = x + col * kScale + dx, py = y + row * kScale + dy;
                if (px < sheet.Width() && py < sheet.Height()) sheet.At(px, py) = kLabel;
              }
    }
    x += 4 * kScale;
  }
}

// "Movies\Control\10.gif" -> "C10".
std::string Label(const MovieEntry& e) {
  const std::size_t slash = e.file.rfind('\\'), dot = e.file.rfind('.');
  std::string label(1, e.control ? 'C' : 'I');
  label += e.file.substr(slash + 1, dot - slash - 1);
  return label;
}

int Rows(const MovieEntry& e) {
  const int frames = e.movie ? int(e.movie->frames.size()) : 0;
  return std::max(1, (frames + kSheetColumns - 1) / kSheetColumns);
}

void DrawCell(ui::Bitmap& sheet, int left, int top, const std::vector<std::uint32_t>& pic, int w, int h,
              bool markEdge) {
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      std::uint32_t c = ((x / kChecker + y / kChecker) % 2) ? kCheckDark : kCheckLight;
      if (markEdge && (x == kVisibleWidth || y == kVisibleHeight)) c = kEdgeLine;
      if (x < w && y < h) {
        const std::uint32_t p = pic[std::size_t(y) * std::size_t(w) + std::size_t(x)];
        if (p >> 24) c = p | ui::kOpaque;
      }
      sheet.At(left + x, top + y) = c;
    }
  }
}

}  // namespace

ui::Bitmap BuildContactSheet(const PetSet& set) {
  const int width = 2 * kMargin + kSheetColumns * (kFrameWidth + kGap) - kGap;
  int height = kMargin;
  for (const MovieEntry& e : set.movies) height += kLabelHeight + Rows(e) * (kFrameHeight + kGap) + kGap;
  ui::Bitmap sheet(width, height, kSheetBack);
  int top = kMargin;
  for (const MovieEntry& e : set.movies) {
    DrawText(sheet, kMargin, top + 2, Label(e));
    top += kLabelHeight;
    if (!e.movie) {
      for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x) sheet.At(kMargin + x, top + y) = kMissing;
    } else {
      pet::FrameComposer composer(e.movie);
      for (int i = 0; i < composer.FrameCount(); ++i) {
        const int left = kMargin + (i % kSheetColumns) * (kFrameWidth + kGap);
        const int cellTop = top + (i / kSheetColumns) * (kFrameHeight + kGap);
        DrawCell(sheet, left, cellTop, composer.Compose(i), composer.Width(), composer.Height(), !e.ringing);
      }
    }
    top += Rows(e) * (kFrameHeight + kGap) + kGap;
  }
  return sheet;
}

std::vector<std::uint8_t> EncodeBmp(const ui::Bitmap& picture) {
  const std::uint32_t w = std::uint32_t(picture.Width()), h = std::uint32_t(picture.Height());
  const std::uint32_t stride = (w * 3 + 3) & ~3u, size = 54 + stride * h;
  std::vector<std::uint8_t> out(size, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
  };
  out[0] = 'B', out[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  out[26] = 1;   // planes
  out[28] = 24;  // bits per pixel
  put32(34, stride * h);
  for (std::uint32_t y = 0; y < h; ++y) {
    std::uint8_t* row = &out[54 + std::size_t(h - 1 - y) * stride];
    for (std::uint32_t x = 0; x < w; ++x) {
      const std::uint32_t p = picture.At(int(x), int(y));
      row[3 * x] = std::uint8_t(p), row[3 * x + 1] = std::uint8_t(p >> 8), row[3 * x + 2] = std::uint8_t(p >> 16);
    }
  }
  return out;
}

bool WriteContactSheet(const PetSet& set, const std::string& path, std::string& error) {
  const std::vector<std::uint8_t> bytes = EncodeBmp(BuildContactSheet(set));
  std::ofstream out(path, std::ios::binary);
  if (out) out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!out) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace petcheck
