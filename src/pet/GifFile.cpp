// Reading a GIF from a file by path: kept apart from the decoder so that the program, which
// reads its movies through its own file layer, does not link the iostreams.
#include <cstdint>
#include <fstream>
#include <vector>

#include "pet/GifMovie.h"

namespace pet {
namespace {
constexpr std::int64_t kMaxGifFileBytes = 1ll << 30;
}  // namespace

GifMovie LoadGifFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw GifError(path + ": cannot open the file");
  file.seekg(0, std::ios::end);
  const std::streamoff size = file.tellg();
  if (size < 0) throw GifError(path + ": cannot read the file");
  if (size > kMaxGifFileBytes) throw GifError(path + ": file too large");
  file.seekg(0, std::ios::beg);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (size > 0 && !file.read(reinterpret_cast<char*>(bytes.data()), size))
    throw GifError(path + ": cannot read the file");
  try {
    return DecodeGif(bytes);
  } catch (const GifError& e) {
    throw GifError(path + ": " + e.what());
  }
}

}  // namespace pet
