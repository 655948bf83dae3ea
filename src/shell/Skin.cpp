#include "shell/Skin.h"

#include <stdexcept>

#include "app/Globals.h"
#include "platform/Platform.h"
#include "ui/BmpReader.h"

std::string ReadDataFile(const std::string& path) {
  auto bytes = platform::files().ReadAll(ProgramPath(path));
  if (!bytes) throw std::runtime_error("Cannot open file \"" + path + "\"");
  return std::move(*bytes);
}

Picture LoadPictureFile(const std::string& path) {
  const std::string bytes = ReadDataFile(path);
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  return std::make_shared<const ui::Bitmap>(ui::ReadBmpFile({data, bytes.size()}));
}

Picture LoadPictureResource(const std::string& name) {
  const auto dib = platform::kernel().LoadBitmapResource(name);
  if (!dib) throw std::runtime_error("Resource " + name + " not found");
  const auto* data = reinterpret_cast<const std::uint8_t*>(dib->data());
  return std::make_shared<const ui::Bitmap>(ui::ReadDib({data, dib->size()}));
}

bool LoadPictures(const std::vector<std::pair<Picture*, std::string>>& files) {
  try {
    for (const auto& [target, path] : files) *target = LoadPictureFile(path);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}
