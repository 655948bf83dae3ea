#include "shell/Skin.h"

#include <functional>
#include <iterator>
#include <optional>
#include <stdexcept>

#include "app/Globals.h"
#include "platform/Platform.h"
#include "ui/BmpReader.h"
#include "ui/ScaledArt.h"

std::string ReadDataFile(const std::string& path) {
  auto bytes = platform::files().ReadAll(ProgramPath(path));
  if (!bytes) throw std::runtime_error("Cannot open file \"" + path + "\"");
  return std::move(*bytes);
}

std::string ArtSetPath(const std::string& path, int setScale) {
  const std::size_t top = path.find('\\');
  const std::string set = std::to_string(setScale / 100) + "x";
  return top == std::string::npos ? set + "\\" + path : path.substr(0, top + 1) + set + path.substr(top);
}

namespace {
ui::Bitmap ReadPicture(const std::string& path) {
  const std::string bytes = ReadDataFile(path);
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  return ui::ReadBmpFile({data, bytes.size()});
}

std::optional<ui::Bitmap> ReadResource(const std::string& name) {
  const auto dib = platform::kernel().LoadBitmapResource(name);
  if (!dib) return std::nullopt;
  const auto* data = reinterpret_cast<const std::uint8_t*>(dib->data());
  return ui::ReadDib({data, dib->size()});
}

// The picture, with its renderings in the larger sets read by `read` when first needed. A set
// without this picture, or with a damaged one, leaves it to be scaled from the 1x.
Picture WithLargerSets(ui::Bitmap picture, std::function<std::optional<ui::Bitmap>(int setScale)> read) {
  picture.SetArt(std::make_shared<ui::ScaledArt>(
      std::vector<int>(std::begin(kLargerArtSets), std::end(kLargerArtSets)),
      [read = std::move(read)](int setScale) -> std::shared_ptr<const ui::Bitmap> {
        try {
          auto larger = read(setScale);
          return larger ? std::make_shared<const ui::Bitmap>(std::move(*larger)) : nullptr;
        } catch (const std::exception&) {
          return nullptr;
        }
      }));
  return std::make_shared<const ui::Bitmap>(std::move(picture));
}
}  // namespace

Picture LoadPictureFile(const std::string& path) {
  return WithLargerSets(ReadPicture(path), [path](int setScale) -> std::optional<ui::Bitmap> {
    return ReadPicture(ArtSetPath(path, setScale));
  });
}

Picture LoadPictureResource(const std::string& name) {
  auto picture = ReadResource(name);
  if (!picture) throw std::runtime_error("Resource " + name + " not found");
  // The larger sets are built in as "<name>_2x".
  return WithLargerSets(std::move(*picture), [name](int setScale) {
    return ReadResource(name + "_" + std::to_string(setScale / 100) + "x");
  });
}

bool LoadPictures(const std::vector<std::pair<Picture*, std::string>>& files) {
  try {
    for (const auto& [target, path] : files) *target = LoadPictureFile(path);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}
