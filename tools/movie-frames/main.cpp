// movie-frames FILE.gif OUTDIR
//
// Decodes a movie with our decoder, composes every frame in play order exactly as the movie
// view shows it (frame 0, then each next frame from the retained picture), writes
// OUTDIR/frame-NNN.ppm (binary P6 at the logical screen size, transparent pixels in the key
// purple 128,0,128) and prints "frame N delay_ms D" with the delay the view plays the frame
// for. A file that cannot be decoded: a message on stderr and exit code 1.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "pet/FrameComposer.h"
#include "pet/GifMovie.h"

namespace {

bool WritePpm(const std::string& path, const std::vector<std::uint32_t>& pixels, int width, int height) {
  std::ofstream out(path, std::ios::binary);
  if (!out) return false;
  out << "P6\n" << width << ' ' << height << "\n255\n";
  std::vector<char> row(std::size_t(width) * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint32_t p = pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
      if ((p >> 24) == 0) p = 0x800080;  // the key purple
      row[std::size_t(x) * 3] = char((p >> 16) & 0xFF);
      row[std::size_t(x) * 3 + 1] = char((p >> 8) & 0xFF);
      row[std::size_t(x) * 3 + 2] = char(p & 0xFF);
    }
    out.write(row.data(), std::streamsize(row.size()));
  }
  return bool(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: movie-frames FILE.gif OUTDIR\n";
    return 2;
  }
  std::shared_ptr<const pet::GifMovie> movie;
  try {
    movie = std::make_shared<const pet::GifMovie>(pet::LoadGifFile(argv[1]));
  } catch (const pet::GifError& e) {
    std::cerr << "movie-frames: " << e.what() << '\n';
    return 1;
  }
  std::error_code ec;
  std::filesystem::create_directories(argv[2], ec);
  pet::FrameComposer composer(movie);
  for (int i = 0; i < composer.FrameCount(); ++i) {
    const std::vector<std::uint32_t>& picture = composer.Compose(i);
    char name[32];
    std::snprintf(name, sizeof name, "frame-%03d.ppm", i);
    const std::string path = (std::filesystem::path(argv[2]) / name).string();
    if (!WritePpm(path, picture, composer.Width(), composer.Height())) {
      std::cerr << "movie-frames: cannot write " << path << '\n';
      return 1;
    }
    std::cout << "frame " << i << " delay_ms " << pet::ClampedFrameDelayMs(*movie, i) << '\n';
  }
  return 0;
}
