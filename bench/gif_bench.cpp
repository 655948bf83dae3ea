// gif_bench: prints figures, never fails on time.
//
// 1. Decode throughput of our decoder and of giflib's DGifSlurp on the same files, in the
//    same run, from memory: a 200-frame 172x136 movie and a 20-frame 1920x1080 movie made
//    with ImageMagick at bench time, and every data/Movies/**/*.gif there is.
// 2. The cost of one frame step (the retained picture plus one frame) against the size of
//    the frame's rectangle, on a 172x136 and a 1920x1080 screen, next to a picture composed
//    from scratch.
//
// Usage: gif_bench [FILE.gif ...]   (files given are measured instead of the generated ones)
#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "BestTime.h"
#include "pet/FrameComposer.h"
#include "pet/GifMovie.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

volatile std::size_t g_sink;

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct MemoryReader {
  const std::vector<std::uint8_t>* bytes;
  std::size_t at = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int n) {
  auto* r = static_cast<MemoryReader*>(gif->UserData);
  const std::size_t take = std::min<std::size_t>(std::size_t(n), r->bytes->size() - r->at);
  std::memcpy(buffer, r->bytes->data() + r->at, take);
  r->at += take;
  return int(take);
}

// Decodes with giflib; returns the number of pixels of all frames, 0 on failure.
std::size_t GiflibSlurp(const std::vector<std::uint8_t>& bytes) {
  MemoryReader reader{&bytes};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
  if (!gif) return 0;
  std::size_t pixels = 0;
  if (DGifSlurp(gif) == GIF_OK)
    for (int i = 0; i < gif->ImageCount; ++i)
      pixels += std::size_t(gif->SavedImages[i].ImageDesc.Width) * std::size_t(gif->SavedImages[i].ImageDesc.Height);
  DGifCloseFile(gif, &error);
  return pixels;
}

std::size_t OurDecode(const std::vector<std::uint8_t>& bytes) {
  const pet::GifMovie m = pet::DecodeGif(bytes);
  std::size_t pixels = 0;
  for (const auto& f : m.frames) pixels += f.indices.size();
  return pixels;
}

double BestTime(auto&& f, double seconds = 0.6) { return bench::BestTime(f, seconds); }

void DecodeFigures(const fs::path& path) {
  const std::vector<std::uint8_t> bytes = ReadFile(path);
  std::size_t ourPixels = 0;
  std::size_t memory = 0;
  try {
    const pet::GifMovie m = pet::DecodeGif(bytes);
    for (const auto& f : m.frames) memory += f.indices.size() + f.localPalette.size() * 4 + sizeof f;
    ourPixels = OurDecode(bytes);
  } catch (const pet::GifError& e) {
    std::printf("%-28s our decoder refuses it: %s\n", path.filename().c_str(), e.what());
    return;
  }
  const std::size_t pixels = GiflibSlurp(bytes);
  if (pixels == 0) {
    std::printf("%-28s giflib cannot read it\n", path.filename().c_str());
    return;
  }
  const double ours = BestTime([&] { return OurDecode(bytes); });
  const double theirs = BestTime([&] { return GiflibSlurp(bytes); });
  const double mb = double(bytes.size()) / 1e6, mpix = double(pixels) / 1e6;
  std::printf("%-28s %8.1f KB %7.2f Mpx | ours %7.1f MB/s %7.1f Mpx/s | giflib %7.1f MB/s %7.1f Mpx/s | x%.2f | kept %.1f MB%s\n",
              path.filename().c_str(), double(bytes.size()) / 1e3, mpix, mb / ours, mpix / ours, mb / theirs,
              mpix / theirs, theirs / ours, double(memory) / 1e6,
              ourPixels == pixels ? "" : " (clipped/short frames)");
}

// A movie of `frames` frames on a w x h screen: a whole-screen frame, then frames of
// rw x rh at moving places, disposal 1 or 2, with a transparent index.
std::shared_ptr<const pet::GifMovie> StepMovie(int w, int h, int rw, int rh, int frames, int disposal) {
  auto m = std::make_shared<pet::GifMovie>();
  m->screenWidth = w;
  m->screenHeight = h;
  for (int i = 0; i < 256; ++i) m->globalPalette.push_back(std::uint32_t(i) * 0x010101u);
  for (int k = 0; k < frames; ++k) {
    pet::GifFrame f;
    f.width = k == 0 ? w : rw;
    f.height = k == 0 ? h : rh;
    f.left = k == 0 ? 0 : (k * 37) % (w - rw + 1);
    f.top = k == 0 ? 0 : (k * 23) % (h - rh + 1);
    f.indices.resize(std::size_t(f.width) * std::size_t(f.height));
    for (std::size_t i = 0; i < f.indices.size(); ++i) f.indices[i] = std::uint8_t(i * 7 + std::size_t(k));
    f.transparentIndex = k == 0 ? -1 : 3;
    f.disposal = k == 0 ? 1 : disposal;
    m->frames.push_back(std::move(f));
  }
  return m;
}

void StepFigures(int w, int h, int rw, int rh, int disposal) {
  const int frames = 200;
  auto movie = StepMovie(w, h, rw, rh, frames, disposal);
  pet::FrameComposer c(movie);
  c.Compose(0);
  // Steps 1..frames-1 in order, all on the retained path.
  double best = 1e9;
  for (int round = 0; round < 5; ++round) {
    c.Compose(0);
    const auto t0 = Clock::now();
    for (int i = 1; i < frames; ++i) g_sink = c.Compose(i).size();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  const double step = best / (frames - 1);
  const double scratch = BestTime([&] {
    c.Reset();
    return c.Compose(frames / 2).size();
  }, 0.2);
  std::printf("screen %4dx%-4d rect %4dx%-4d disposal %d | step %9.2f us  %6.2f ns/rect pixel | from scratch %9.2f us\n",
              w, h, rw, rh, disposal, step * 1e6, step * 1e9 / (double(rw) * rh), scratch * 1e6);
}

bool Make(const std::string& dir, const std::string& command) {
  const std::string full = "cd '" + dir + "' && " + command + " >/dev/null 2>&1";
  return std::system(full.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(__OPTIMIZE__)
  std::printf("gif_bench (optimised build)\n");
#else
  std::printf("gif_bench (UNOPTIMISED build: figures are not representative)\n");
#endif
  std::vector<fs::path> files;
  std::string dir;
  for (int i = 1; i < argc; ++i) files.emplace_back(argv[i]);
  if (files.empty()) {
    char pattern[] = "/tmp/gif-bench.XXXXXX";
    if (mkdtemp(pattern)) dir = pattern;
    const std::string c = "/usr/bin/convert";
    std::printf("making the test movies with ImageMagick in %s ...\n", dir.c_str());
    std::fflush(stdout);
    if (!dir.empty() &&
        Make(dir, c + " -size 172x136 plasma:red-yellow plasma:blue-green -morph 198 -set delay 5 -loop 0 "
                      "pet-200x172x136.gif"))
      files.push_back(fs::path(dir) / "pet-200x172x136.gif");
    if (!dir.empty() &&
        Make(dir, c + " -size 172x136 xc:white -fill red -draw 'circle 60,60 60,30' xc:white -fill blue "
                      "-draw 'rectangle 80,40 150,120' -morph 198 -set delay 5 -loop 0 flat-200x172x136.gif"))
      files.push_back(fs::path(dir) / "flat-200x172x136.gif");
    if (!dir.empty() &&
        Make(dir, c + " -size 1920x1080 plasma:red-yellow plasma:blue-green -morph 18 -set delay 5 -loop 0 "
                      "hd-20x1920x1080.gif"))
      files.push_back(fs::path(dir) / "hd-20x1920x1080.gif");
    const fs::path movies = fs::path(RAVILO_SOURCE_DIR) / "data" / "Movies";
    if (fs::exists(movies)) {
      std::vector<fs::path> ours;
      for (const auto& e : fs::recursive_directory_iterator(movies))
        if (e.path().extension() == ".gif") ours.push_back(e.path());
      std::sort(ours.begin(), ours.end());
      files.insert(files.end(), ours.begin(), ours.end());
    }
  }

  std::printf("\n== decode (best of repeated runs, from memory; x = our speed / giflib's)\n");
  for (const auto& f : files) DecodeFigures(f);

  std::printf("\n== one frame step (retained picture + one frame) against the rectangle\n");
  for (auto [w, h] : {std::pair{172, 136}, std::pair{1920, 1080}})
    for (auto [rw, rh] : {std::pair{8, 8}, std::pair{32, 32}, std::pair{172, 136}})
      for (int disposal : {1, 2}) StepFigures(w, h, rw, rh, disposal);

  if (!dir.empty()) {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  return 0;
}
