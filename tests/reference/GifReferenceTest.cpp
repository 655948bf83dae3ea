// Compares our decoder and composer with giflib on GIFs made by other encoders.
//
// At test time, ImageMagick (/usr/bin/convert) and gifsicle make a set of animations in a
// temporary folder: every disposal method, transparency, local colour tables, interlacing,
// sub-frames at offsets, frames reaching outside the screen, optimised and lossy streams.
// Our program's own movies under data/Movies are checked as well when they exist.
//
// For each file, giflib's DGifSlurp gives the frames, and a small compositor here plays
// them the plain way: one canvas, each frame drawn over it, then disposed of (2: its
// rectangle back to the background; 3: the canvas as it was before the frame). It uses the
// movie view's background rule: transparent when the first frame has a transparent colour,
// else the window colour. Our composer must give the same pictures when stepped frame by
// frame, as the view plays a movie.
//
// The view's painting differs from plain playback in one place: when the picture starts at a
// whole-screen opaque frame with disposal 3 that lies before the current frame, the view
// leaves the background there instead of restoring what was beneath. None of the generated
// files has such a frame after frame 0; for any file that does, frames from there on are not
// compared (and the test says so).
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "GifBuilder.h"
#include "pet/FrameComposer.h"
#include "pet/GifMovie.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kWindow = 0xFFFFFFFFu;

struct Reference {
  int width = 0, height = 0;
  std::vector<std::vector<std::uint32_t>> pictures;
  std::vector<int> delaysMs;
  int quirkFrom = -1;  // first frame not compared (see above), -1: all compared
};

Reference PlayWithGiflib(const std::string& path) {
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (!gif) throw std::runtime_error("giflib cannot open " + path + ": " + GifErrorString(error));
  std::unique_ptr<GifFileType, void (*)(GifFileType*)> closer(gif, [](GifFileType* g) {
    int e;
    DGifCloseFile(g, &e);
  });
  if (DGifSlurp(gif) != GIF_OK) throw std::runtime_error("giflib cannot read " + path);

  Reference r;
  r.width = gif->SWidth;
  r.height = gif->SHeight;
  std::vector<GraphicsControlBlock> gcbs(std::size_t(gif->ImageCount));
  for (int i = 0; i < gif->ImageCount; ++i) {
    gcbs[std::size_t(i)] = GraphicsControlBlock{0, false, 0, NO_TRANSPARENT_COLOR};
    DGifSavedExtensionToGCB(gif, i, &gcbs[std::size_t(i)]);
  }
  std::uint32_t background = kWindow;
  if (gif->ImageCount > 0 && gcbs[0].TransparentColor != NO_TRANSPARENT_COLOR) background = 0;

  std::vector<std::uint32_t> canvas(std::size_t(r.width) * std::size_t(r.height), background);
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    const GifImageDesc& d = image.ImageDesc;
    const GraphicsControlBlock& gcb = gcbs[std::size_t(i)];
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    const std::vector<std::uint32_t> before = canvas;
    auto inside = [&](int x, int y) { return x >= 0 && y >= 0 && x < r.width && y < r.height; };
    for (int y = 0; y < d.Height; ++y)
      for (int x = 0; x < d.Width; ++x) {
        const int index = image.RasterBits[std::size_t(y) * std::size_t(d.Width) + std::size_t(x)];
        if (index == gcb.TransparentColor || !inside(d.Left + x, d.Top + y)) continue;
        std::uint32_t colour = 0xFF000000u;
        if (map && index < map->ColorCount) {
          const GifColorType& c = map->Colors[index];
          colour |= std::uint32_t(c.Red) << 16 | std::uint32_t(c.Green) << 8 | c.Blue;
        }
        canvas[std::size_t(d.Top + y) * std::size_t(r.width) + std::size_t(d.Left + x)] = colour;
      }
    r.pictures.push_back(canvas);
    r.delaysMs.push_back(gcb.DelayTime * 10);
    const bool wholeScreen = d.Left == 0 && d.Top == 0 && d.Width >= r.width && d.Height >= r.height;
    if (i > 0 && r.quirkFrom < 0 && gcb.DisposalMode == DISPOSE_PREVIOUS && wholeScreen &&
        gcb.TransparentColor == NO_TRANSPARENT_COLOR)
      r.quirkFrom = i + 1;
    if (gcb.DisposalMode == DISPOSE_BACKGROUND) {
      for (int y = 0; y < d.Height; ++y)
        for (int x = 0; x < d.Width; ++x)
          if (inside(d.Left + x, d.Top + y))
            canvas[std::size_t(d.Top + y) * std::size_t(r.width) + std::size_t(d.Left + x)] = background;
    } else if (gcb.DisposalMode == DISPOSE_PREVIOUS) {
      canvas = before;
    }
  }
  return r;
}

// Transparent pixels compare equal whatever RGB they carry.
std::uint32_t Normal(std::uint32_t p) { return (p >> 24) == 0 ? 0 : p; }

void CompareWithGiflib(const std::string& path) {
  SCOPED_TRACE(path);
  Reference ref;
  try {
    ref = PlayWithGiflib(path);
  } catch (const std::exception& e) {
    FAIL() << e.what();
  }
  std::shared_ptr<const pet::GifMovie> movie;
  try {
    movie = std::make_shared<const pet::GifMovie>(pet::LoadGifFile(path));
  } catch (const pet::GifError& e) {
    FAIL() << "our decoder: " << e.what();
  }
  ASSERT_EQ(movie->screenWidth, ref.width);
  ASSERT_EQ(movie->screenHeight, ref.height);
  ASSERT_EQ(movie->frames.size(), ref.pictures.size());
  if (ref.quirkFrom >= 0)
    std::printf("note: %s: frames from %d on start at a whole-screen frame with disposal 3; not compared\n",
                path.c_str(), ref.quirkFrom);

  pet::FrameComposer stepped(movie, kWindow), fresh(movie, kWindow);
  const int frames = int(movie->frames.size());
  for (int i = 0; i < frames; ++i) {
    EXPECT_EQ(movie->frames[std::size_t(i)].delayMs, ref.delaysMs[std::size_t(i)]) << "frame " << i;
    const std::vector<std::uint32_t>& ours = stepped.Compose(i);
    if (ref.quirkFrom >= 0 && i >= ref.quirkFrom) continue;
    const std::vector<std::uint32_t>& want = ref.pictures[std::size_t(i)];
    ASSERT_EQ(ours.size(), want.size());
    int wrong = 0, first = -1;
    for (std::size_t p = 0; p < want.size(); ++p)
      if (Normal(ours[p]) != Normal(want[p])) {
        if (first < 0) first = int(p);
        ++wrong;
      }
    EXPECT_EQ(wrong, 0) << "frame " << i << ": first difference at (" << first % ref.width << ", "
                        << first / ref.width << "): ours " << std::hex << ours[std::size_t(first)]
                        << ", giflib " << want[std::size_t(first)];
  }
  // Jumping straight to the last frame composes it from scratch: the same picture.
  const std::vector<std::uint32_t> last = stepped.Compose(frames - 1);
  EXPECT_EQ(fresh.Compose(frames - 1), last);
}

class GeneratedGifs : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/gif-reference.XXXXXX";
    if (!mkdtemp(pattern)) return;
    dir_ = pattern;
  }
  static void TearDownTestSuite() {
    std::error_code ec;
    if (!dir_.empty()) fs::remove_all(dir_, ec);
  }
  // Runs a shell command in the temporary folder.
  static void Run(const std::string& command) {
    const std::string full = "cd '" + dir_ + "' && " + command + " 2>/dev/null";
    ASSERT_EQ(std::system(full.c_str()), 0) << full;
  }
  static std::string dir_;
};
std::string GeneratedGifs::dir_;

}  // namespace

TEST_F(GeneratedGifs, MatchGiflib) {
  ASSERT_FALSE(dir_.empty()) << "cannot make a temporary folder";
  ASSERT_TRUE(fs::exists("/usr/bin/convert"))
      << "ImageMagick's /usr/bin/convert is missing: apt-get install imagemagick";
  ASSERT_TRUE(fs::exists("/usr/bin/gifsicle")) << "gifsicle is missing: apt-get install gifsicle";
  const std::string c = "/usr/bin/convert", g = "/usr/bin/gifsicle";

  // Whole-screen frames, opaque, each with its own (local) colour table.
  Run(c + " -delay 8 -size 60x40 gradient:skyblue-navy"
          " \\( -clone 0 -fill red -draw 'circle 20,20 20,10' \\)"
          " \\( -clone 0 -fill green -draw 'rectangle 30,5 50,30' \\)"
          " \\( -clone 0 -fill yellow -draw 'circle 40,20 40,12' \\) -loop 0 opaque.gif");
  // Optimised into transparent sub-frames at offsets (disposal 1 and 3).
  Run(g + " -O2 opaque.gif > gifsicle-O2.gif");
  Run(g + " -O3 opaque.gif > gifsicle-O3.gif");
  Run(c + " opaque.gif -layers optimize magick-optimize.gif");
  Run(g + " -i -O2 opaque.gif > gifsicle-interlaced.gif");
  // A transparent first frame (transparent background), disposal 2.
  Run(c + " -delay 5 -dispose Background -size 60x40 xc:none -fill red -draw 'circle 20,20 20,10'"
          " \\( -size 60x40 xc:none -fill blue -draw 'rectangle 10,10 40,30' \\)"
          " \\( -size 60x40 xc:none -fill green -draw 'circle 45,25 45,15' \\) transparent-background.gif");
  Run(c + " transparent-background.gif -interlace GIF magick-interlaced.gif");
  Run(g + " -O3 transparent-background.gif > transparent-O3.gif");
  Run(c + " -delay 5 -dispose Previous -size 60x40 xc:none -fill red -draw 'circle 20,20 20,10'"
          " \\( -size 60x40 xc:none -fill blue -draw 'rectangle 10,10 40,30' \\) transparent-previous.gif");
  // Sub-frames at offsets with every disposal, one reaching outside the screen.
  Run(c + " -delay 5 -dispose None -size 60x40 xc:orange -dispose Previous"
          " \\( -size 20x10 xc:blue -repage 60x40+10+5 \\) \\( -size 15x15 xc:red -repage 60x40+30+20 \\)"
          " -dispose Background \\( -size 25x10 xc:green -repage 60x40+5+25 \\)"
          " -dispose None \\( -size 10x30 xc:purple -repage 60x40+40+2 \\)"
          " \\( -size 30x30 xc:black -repage 60x40+45+25 \\) offsets.gif");
  for (const char* d : {"none", "asis", "background", "previous"})
    Run(g + " --disposal=" + d + " offsets.gif > offsets-" + d + ".gif");
  Run(g + " --disposal=previous -i offsets.gif > offsets-previous-interlaced.gif");
  // Many colours: full code tables and clear codes; local tables from gifsicle.
  Run(c + " -delay 10 -size 200x150 plasma:red-yellow plasma:green-blue plasma:purple-white -loop 0 plasma.gif");
  Run(g + " -O2 plasma.gif > plasma-local.gif");
  Run(g + " -O3 --lossy=80 plasma.gif > plasma-lossy.gif");
  Run(g + " --colors 16 -O3 plasma.gif > plasma-16.gif");
  Run(c + " plasma.gif -coalesce -layers optimize-transparency plasma-transparency.gif");

  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir_))
    if (entry.path().extension() == ".gif") {
      CompareWithGiflib(entry.path().string());
      ++files;
    }
  EXPECT_EQ(files, 20);
}

TEST(OurMovies, MatchGiflib) {
  const fs::path movies = fs::path(RAVILO_SOURCE_DIR) / "data" / "Movies";
  if (!fs::exists(movies)) GTEST_SKIP() << "no data/Movies yet";
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(movies))
    if (entry.path().extension() == ".gif") {
      CompareWithGiflib(entry.path().string());
      ++files;
    }
  std::printf("compared %d movies of data/Movies\n", files);
}

// Files that browsers show although the format frowns on them, built here: giflib's raw
// frames (indices) must be ours, and where there is a colour table, so must the pictures.
TEST(TolerantGifs, MatchGiflibWhereItDecodes) {
  using gifbuild::Bytes;
  using gifbuild::Gif;
  std::mt19937 rng(5);
  Bytes noise(60 * 45);
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = i % 50 < 20 ? 0 : std::uint8_t(rng() & 1);
  const Bytes ramp = gifbuild::Ramp(12);
  const std::pair<std::string, Bytes> files[] = {
      {"code-size-1.gif", Gif(60, 45).Gce(1, 5).Image(0, 0, 60, 45, noise, false, {}, 1)
                              .Gce(1, 5).Image(10, 5, 30, 30, Bytes(noise.begin(), noise.begin() + 900), true, {}, 1)
                              .Done()},
      {"no-colour-table.gif", Gif(4, 3, false).Image(0, 0, 4, 3, ramp).Image(1, 1, 2, 2, {3, 0, 1, 2}).Done()},
      {"surplus.gif", Gif(4, 3).Image(0, 0, 4, 3, {}, false, gifbuild::Lzw(ramp, 2, true, {15, 1, 31}))
                          .Image(0, 0, 4, 3, {}, true, gifbuild::Lzw(ramp, 2, true, {2})).Done()},
  };
  char pattern[] = "/tmp/gif-tolerant.XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    const std::string path = std::string(pattern) + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    const pet::GifMovie ours = pet::LoadGifFile(path);
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) {
      std::printf("note: giflib does not decode %s; ours does\n", name.c_str());
      if (gif) DGifCloseFile(gif, &error);
      continue;
    }
    ASSERT_EQ(std::size_t(gif->ImageCount), ours.frames.size());
    for (int i = 0; i < gif->ImageCount; ++i) {
      const SavedImage& image = gif->SavedImages[i];
      const pet::GifFrame& f = ours.frames[std::size_t(i)];
      ASSERT_EQ(f.width, image.ImageDesc.Width) << "frame " << i;
      ASSERT_EQ(f.height, image.ImageDesc.Height) << "frame " << i;
      EXPECT_EQ(f.indices, Bytes(image.RasterBits, image.RasterBits + f.indices.size())) << "frame " << i;
    }
    const bool hasTable = gif->SColorMap != nullptr;
    DGifCloseFile(gif, &error);
    if (hasTable) CompareWithGiflib(path);
  }
  fs::remove_all(pattern);
}
