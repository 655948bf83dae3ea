#include "ui/BmpReader.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/fake/FakeKernel.h"
#include "ui/Geometry.h"

using ui::BmpError;
using ui::Rgb;
using Bytes = std::vector<std::uint8_t>;

namespace {

void Put(Bytes& b, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}

// Rows in file order, each value packed at `bpp` bits (1/4/8 most significant first,
// 16/24/32 little-endian), each row padded to four bytes.
Bytes Pack(int bpp, const std::vector<std::vector<std::uint32_t>>& rows) {
  Bytes out;
  for (const auto& row : rows) {
    const std::size_t start = out.size();
    if (bpp < 8) {
      int bit = 0;
      for (std::uint32_t v : row) {
        if (bit == 0) out.push_back(0);
        out.back() |= std::uint8_t(v << (8 - bpp - bit));
        bit = (bit + bpp) % 8;
      }
    } else {
      for (std::uint32_t v : row) Put(out, v, bpp / 8);
    }
    while ((out.size() - start) % 4) out.push_back(0);
  }
  return out;
}

struct Dib {
  std::int32_t width = 0, height = 0;
  int bpp = 24;
  std::uint32_t compression = 0, headerSize = 40;
  std::vector<std::uint32_t> palette;  // 0xRRGGBB
  std::uint32_t coloursUsed = 0;
  std::vector<std::uint32_t> masks;  // written after a 40-byte header
  Bytes pixels;

  Bytes Info() const {
    Bytes b;
    if (headerSize == 12) {
      Put(b, 12, 4), Put(b, std::uint32_t(width), 2), Put(b, std::uint32_t(height), 2), Put(b, 1, 2), Put(b, bpp, 2);
      for (std::uint32_t c : palette) Put(b, c, 3);
      return b;
    }
    Put(b, headerSize, 4), Put(b, std::uint32_t(width), 4), Put(b, std::uint32_t(height), 4);
    Put(b, 1, 2), Put(b, bpp, 2), Put(b, compression, 4), Put(b, std::uint32_t(pixels.size()), 4);
    Put(b, 2835, 4), Put(b, 2835, 4), Put(b, coloursUsed, 4), Put(b, 0, 4);
    b.resize(headerSize, 0);
    for (std::uint32_t m : masks) Put(b, m, 4);
    for (std::uint32_t c : palette) Put(b, c, 4);
    return b;
  }
  // The packed DIB of a bitmap resource.
  Bytes Packed() const {
    Bytes b = Info();
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
  }
  // A .bmp file, with `gap` bytes between the colour table and the pixels.
  Bytes File(std::size_t gap = 0) const {
    const Bytes info = Info();
    Bytes b = {'B', 'M'};
    Put(b, std::uint32_t(14 + info.size() + gap + pixels.size()), 4), Put(b, 0, 4);
    Put(b, std::uint32_t(14 + info.size() + gap), 4);
    b.insert(b.end(), info.begin(), info.end());
    b.insert(b.end(), gap, 0xEE);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
  }
};

const std::uint32_t R = Rgb(255, 0, 0), G = Rgb(0, 255, 0), B = Rgb(0, 0, 255), W = Rgb(255, 255, 255),
                    K = Rgb(0, 0, 0), P = Rgb(128, 0, 128);

void ExpectPixels(const ui::Bitmap& bmp, int w, int h, const std::vector<std::uint32_t>& topDown) {
  ASSERT_EQ(bmp.Width(), w);
  ASSERT_EQ(bmp.Height(), h);
  EXPECT_EQ(bmp.Pixels(), topDown);
}

TEST(BmpReader, ReadsEveryDepthAndRowOrder) {
  const std::vector<std::uint32_t> pal = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x800080};
  struct Case {
    const char* name;
    Dib dib;
    std::vector<std::uint32_t> want;  // top row first
  };
  std::vector<Case> cases;
  // 24 bits, 3 wide (9 bytes + 3 padding a row), bottom row first.
  cases.push_back({"24 bottom-up",
                   {3, 2, 24, 0, 40, {}, 0, {}, Pack(24, {{0x0000FF, 0x00FF00, 0xFF0000}, {0xFFFFFF, 0, 0x800080}})},
                   {W, K, P, B, G, R}});
  cases.push_back({"24 top-down",
                   {3, -2, 24, 0, 40, {}, 0, {}, Pack(24, {{0x0000FF, 0x00FF00, 0xFF0000}, {0xFFFFFF, 0, 0x800080}})},
                   {B, G, R, W, K, P}});
  cases.push_back({"8 with 5 colours", {5, 1, 8, 0, 40, pal, 5, {}, Pack(8, {{4, 3, 2, 1, 0}})}, {P, W, B, G, R}});
  cases.push_back({"4 with a full table",
                   {3, 2, 4, 0, 40, {pal[0], pal[1], pal[2], pal[3], 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, pal[4]}, 0, {},
                    Pack(4, {{15, 0, 1}, {2, 3, 15}})},
                   {B, W, P, P, R, G}});
  cases.push_back({"1 bit, 10 wide",
                   {10, 1, 1, 0, 40, {0x000000, 0xFFFFFF}, 0, {}, Pack(1, {{1, 0, 0, 1, 1, 1, 0, 0, 0, 1}})},
                   {W, K, K, W, W, W, K, K, K, W}});
  cases.push_back({"32 bits, the fourth byte ignored",
                   {2, 1, 32, 0, 40, {}, 0, {}, Pack(32, {{0x00FF0000, 0x7F800080}})},
                   {R, P}});
  cases.push_back({"16 bits 5-5-5",
                   {4, 1, 16, 0, 40, {}, 0, {}, Pack(16, {{0x7C00, 0x03E0, 0x001F, 0x4210}})},
                   {R, G, B, Rgb(131, 131, 131)}});
  cases.push_back({"16 bits 5-6-5 bit fields",
                   {3, 1, 16, 3, 40, {}, 0, {0xF800, 0x07E0, 0x001F}, Pack(16, {{0xF800, 0x07E0, 0xFFFF}})},
                   {R, G, W}});
  cases.push_back({"core header, three-byte table",
                   {2, 2, 1, 0, 12, {0x112233, 0x445566}, 0, {}, Pack(1, {{0, 1}, {1, 1}})},
                   {Rgb(0x44, 0x55, 0x66), Rgb(0x44, 0x55, 0x66), Rgb(0x11, 0x22, 0x33), Rgb(0x44, 0x55, 0x66)}});
  cases.push_back({"version 5 header", {1, 1, 24, 0, 124, {}, 0, {}, Pack(24, {{0x800080}})}, {P}});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectPixels(ui::ReadBmpFile(c.dib.File()), c.dib.width, std::abs(c.dib.height), c.want);
    // Pixels that start further on than the colour table's end are found by the offset.
    ExpectPixels(ui::ReadBmpFile(c.dib.File(6)), c.dib.width, std::abs(c.dib.height), c.want);
    ExpectPixels(ui::ReadDib(c.dib.Packed()), c.dib.width, std::abs(c.dib.height), c.want);
  }
}

// Run-length pictures, as the built-in backgrounds are stored: runs, literal runs (padded to
// two bytes), end of line, a delta jump, end of bitmap; pixels no run reaches take colour 0.
TEST(BmpReader, ReadsRunLengthPictures) {
  const std::vector<std::uint32_t> pal = {0x800080, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  // 5 x 4, bottom row first: "R R R" and a literal "G B R" whose R falls off the edge; "W",
  // then a jump of 2 right and 1 up to "G"; a run past the edge (cut); end of bitmap.
  const Bytes rle8 = {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 1, 4, 0, 2, 2, 1, 1, 2, 0, 0, 9, 3, 0, 1};
  const std::vector<std::uint32_t> want = {B, B, B, B, B,  //
                                           P, P, P, G, P,  //
                                           W, P, P, P, P,  //
                                           R, R, R, G, B};
  // The same at 4 bits: a run alternates its two nibbles, a literal run packs two a byte.
  const Bytes rle4 = {3, 0x11, 0, 3, 0x23, 0x10, 0, 0, 1, 0x44, 0, 2, 2, 1, 1, 0x22, 0, 0, 9, 0x33, 0, 1};
  const Dib d8{5, 4, 8, 1, 40, pal, 5, {}, rle8};
  Dib d4{5, 4, 4, 2, 40, pal, 5, {}, rle4};
  for (const Dib& d : {d8, d4}) {
    SCOPED_TRACE(d.bpp);
    ExpectPixels(ui::ReadBmpFile(d.File()), 5, 4, want);
    ExpectPixels(ui::ReadDib(d.Packed()), 5, 4, want);
  }
  // Alternating nibbles, and data that ends without its end-of-bitmap mark.
  d4.width = 3, d4.height = 1, d4.pixels = {3, 0x14};
  ExpectPixels(ui::ReadDib(d4.Packed()), 3, 1, {R, W, R});
  // A literal run at the very end whose pad byte is missing.
  Dib end8 = d8;
  end8.width = 3, end8.height = 1, end8.pixels = {0, 3, 1, 2, 3};
  ExpectPixels(ui::ReadDib(end8.Packed()), 3, 1, {R, G, B});
}

TEST(BmpReader, DamagedFilesFailCleanly) {
  const Dib good{2, 2, 8, 0, 40, {0xFF0000, 0x00FF00}, 2, {}, Pack(8, {{0, 1}, {1, 0}})};
  const Bytes file = good.File();
  auto cut = [&](std::size_t n) { return Bytes(file.begin(), file.begin() + std::ptrdiff_t(n)); };
  auto with = [&](auto change) {
    Dib d = good;
    change(d);
    return d.File();
  };
  Bytes wrongMagic = file;
  wrongMagic[0] = 'X';
  Bytes offsetPastEnd = file;
  offsetPastEnd[10] = 0xFF, offsetPastEnd[11] = 0xFF;

  // Damage to the file header only; the rest is tried as a packed DIB as well.
  const std::map<std::string, Bytes> fileCases = {
      {"empty", {}},
      {"no file header", cut(10)},
      {"wrong magic", wrongMagic},
      {"pixel offset past the end", offsetPastEnd},
  };
  for (const auto& [name, bytes] : fileCases) EXPECT_THROW(ui::ReadBmpFile(bytes), BmpError) << name;
  const std::map<std::string, Bytes> cases = {
      {"info header cut", cut(14 + 20)},
      {"unknown header size", with([](Dib& d) { d.headerSize = 20; })},
      {"colour table cut", cut(14 + 40 + 6)},
      {"pixels cut", cut(file.size() - 1)},
      {"index past the table", with([](Dib& d) { d.pixels = Pack(8, {{0, 1}, {2, 0}}); })},
      {"1-bit index past a one-entry table",
       with([](Dib& d) { d.bpp = 1, d.coloursUsed = 1, d.palette = {0}, d.pixels = Pack(1, {{0, 1}, {0, 0}}); })},
      {"table of 257 colours", with([](Dib& d) { d.coloursUsed = 257; })},
      {"no width", with([](Dib& d) { d.width = 0; })},
      {"negative width", with([](Dib& d) { d.width = -2; })},
      {"no height", with([](Dib& d) { d.height = 0; })},
      {"absurd size", with([](Dib& d) { d.width = 100000, d.height = 100000; })},
      {"absurd width", with([](Dib& d) { d.width = INT_MAX, d.height = 1; })},
      {"most negative height", with([](Dib& d) { d.height = INT_MIN; })},
      {"4-bit runs on an 8-bit picture", with([](Dib& d) { d.compression = 2; })},
      {"8-bit runs on a 24-bit picture", with([](Dib& d) { d.compression = 1, d.bpp = 24; })},
      {"run of an index past the table", with([](Dib& d) { d.compression = 1, d.pixels = {2, 5, 0, 1}; })},
      {"literal run cut", with([](Dib& d) { d.compression = 1, d.pixels = {0, 5, 1, 1}; })},
      {"top-down runs", with([](Dib& d) { d.compression = 1, d.height = -2, d.pixels = {2, 1, 0, 1}; })},
      {"jpeg inside", with([](Dib& d) { d.compression = 4; })},
      {"bit fields on a palette", with([](Dib& d) { d.compression = 3; })},
      {"bit fields cut", with([](Dib& d) { d.bpp = 16, d.compression = 3, d.palette.clear(), d.pixels.clear(); })},
      {"2 bits a pixel", with([](Dib& d) { d.bpp = 2; })},
      {"no bits", with([](Dib& d) { d.bpp = 0; })},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    EXPECT_THROW(ui::ReadBmpFile(bytes), BmpError);
    EXPECT_THROW(ui::ReadDib(std::span(bytes).subspan(14)), BmpError);
  }
  EXPECT_THROW(ui::ReadDib(Bytes(11, 0)), BmpError);
  EXPECT_NO_THROW(ui::ReadBmpFile(file));
}

Bytes ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(BmpReader, ReadsEveryPictureShippedWithTheProgram) {
  // Sizes by folder; buttons come in pairs of one size, a<name> active and i<name> inactive.
  const struct {
    const char* folder;
    std::vector<const char*> names;
    int width, height;
    bool pairs;
  } expected[] = {
      {"data/Images/ForAllWindows", {"ok", "cancel"}, 73, 26, true},
      {"data/Images/ForAllWindows", {"exit"}, 21, 20, true},
      {"data/Images/MainWindow", {"stopalarm", "5minmore", "10minmore", "15minmore", "20minmore", "30minmore", "plus1min"}, 140,
       105, true},
      {"data/Images/AboutWindow", {"ok"}, 55, 26, true},
      {"data/Images/AlarmWindow", {"onoff"}, 59, 30, true},
      {"data/Images/AlarmWindow", {"arrowup", "arrowdown"}, 15, 12, true},
      {"data/Images/AlarmWindow", {"change", "test"}, 86, 26, true},
      {"data/Images/AlarmWindow", {"playlistmode"}, 151, 26, true},
      {"data/Images/AlarmWindow", {"mon", "tue", "wed", "thu", "fri", "sat", "sun"}, 40, 24, true},
      {"data/Images/AlarmWindow", {"gmon", "gtue", "gwed", "gthu", "gfri", "gsat", "gsun"}, 40, 24, true},
      {"data/Images/AlarmWindow", {"once"}, 56, 24, true},
      {"data/Images/AlarmWindow", {"allalarms"}, 78, 26, true},
      {"data/Images/AlarmListWindow", {"add", "edit", "delete", "close"}, 80, 26, true},
      {"data/Images/AlarmListWindow", {"rowonoff"}, 36, 20, true},
      {"data/Images/AlarmListWindow", {"scrollup", "scrolldown"}, 16, 16, true},
      {"data/Images/AlarmListWindow", {"thumb"}, 16, 32, true},
      {"data/Images/AlarmListWindow", {"row"}, 404, 40, true},
      {"data/Images/PlayListModeWindow", {"stop"}, 86, 26, true},
      {"data/Images/PlayListModeWindow", {"addfile", "adddir", "removeselected", "removeall"}, 127, 25, true},
      {"data/Images/PlayListModeWindow", {"simplemode"}, 151, 26, true},
      {"data/Images/AddDirWindow", {"on"}, 20, 20, true},
      {"data/Images/TimerWindow", {"min1", "min3", "min5", "min10", "min15", "min25", "min30", "min45", "min60"}, 52,
       24, true},
      {"data/Images/TimerWindow", {"start"}, 73, 26, true},
      {"data/Images/OptionsWindow",
       {"min5", "min10", "min15", "min20", "min30", "min60", "off", "sec15", "sec30", "sec60", "never", "sizeauto",
        "size100", "size150", "size200", "size300"},
       50,
       24,
       true},
      {"data/Images/Eyes", {"left", "right"}, 7, 7, false},
      {"data/Images/MainWindow", {"bubble"}, 168, 96, false},
      {"resources/bitmaps", {"RingStopFirst", "Ring10MinFirst"}, 140, 105, false},
      {"resources/bitmaps", {"SimpleAlarmBack"}, 350, 359, false},
      {"resources/bitmaps", {"PlayListAlarmBack"}, 350, 586, false},
      {"resources/bitmaps", {"AddDirBack"}, 321, 350, false},
      {"resources/bitmaps", {"MessageBoxBack", "AboutBack"}, 259, 151, false},
      {"resources/bitmaps", {"OptionsBack"}, 480, 340, false},
      {"resources/bitmaps", {"AlarmListBack"}, 460, 340, false},
      {"resources/bitmaps", {"TimerBack"}, 340, 290, false},
      {"resources/bitmaps", {"CLOSEDFOLDER", "OPENFOLDER", "FLOPPY", "HARD", "NETWORK", "CDROM", "RAM"}, 16, 16, false},
  };
  const std::filesystem::path root = RAVILO_SOURCE_DIR;
  std::map<std::string, ui::Size> sizes;  // relative path -> size
  // The 1x set, and the 2x set in a folder "2x" at the top of each picture folder.
  for (const int n : {1, 2}) {
    for (const auto& e : expected) {
      std::string folder = e.folder;
      if (n == 2) folder.insert(folder.starts_with("data/Images") ? 11 : 17, "/2x");
      for (const char* name : e.names)
        for (const char* state : e.pairs ? std::vector<const char*>{"a", "i"} : std::vector<const char*>{""})
          sizes[folder + "/" + state + name + ".bmp"] = {e.width * n, e.height * n};
    }
  }

  std::size_t found = 0;
  for (const char* folder : {"data/Images", "resources/bitmaps"}) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder)) {
      if (!entry.is_regular_file() || entry.path().extension() != ".bmp") continue;
      const std::string rel = std::filesystem::relative(entry.path(), root).generic_string();
      SCOPED_TRACE(rel);
      ++found;
      const auto it = sizes.find(rel);
      ASSERT_NE(it, sizes.end()) << "a picture without an expected size";
      ui::Bitmap bmp;
      ASSERT_NO_THROW(bmp = ui::ReadBmpFile(ReadHostFile(entry.path())));
      EXPECT_EQ((ui::Size{bmp.Width(), bmp.Height()}), it->second);
    }
  }
  EXPECT_EQ(found, sizes.size()) << "an expected picture is missing";

  // Built-in pictures are read from their resources as the program reads them.
  platform::fake::FakeKernel kernel;
  for (const auto& [rel, size] : sizes) {
    if (!rel.starts_with("resources/")) continue;
    const bool twice = rel.starts_with("resources/bitmaps/2x/");
    const std::string name = std::filesystem::path(rel).stem().string() + (twice ? "_2x" : "");
    SCOPED_TRACE(name);
    const auto dib = kernel.LoadBitmapResource(name);
    ASSERT_TRUE(dib);
    const ui::Bitmap bmp = ui::ReadDib({reinterpret_cast<const std::uint8_t*>(dib->data()), dib->size()});
    EXPECT_EQ((ui::Size{bmp.Width(), bmp.Height()}), size);
  }
}

}  // namespace
