#pragma once
// What every skinned window shares: bitmaps loaded from files beside the program, image
// buttons with an active (pressed or on) and an inactive (resting or off) picture, each at
// its own place.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/Bitmap.h"
#include "ui/Geometry.h"
#include "ui/Image.h"

using Picture = std::shared_ptr<const ui::Bitmap>;

// The bytes of a data file below the program's folder; throws "Cannot open file ..." when
// it is missing or unreadable.
std::string ReadDataFile(const std::string& path);
// Where a data file's rendering at a larger scale lies: the set's folder (`2x` for 200 %) at
// the top of the data folder, the same layout below it ("Images\\2x\\MainWindow\\...").
std::string ArtSetPath(const std::string& path, int setScale);
// The art sets that may lie beside the 1x files.
inline constexpr int kLargerArtSets[] = {200};
// A bitmap file below the program's folder; throws when it is missing or unreadable. Its
// renderings at larger scales are read from the sets when first needed.
Picture LoadPictureFile(const std::string& path);
// A bitmap built into the program; throws when there is none.
Picture LoadPictureResource(const std::string& name);

// Loads the window's bitmaps in the given order; the first one that can't be loaded ends
// the loading (the ones before it stay loaded) and the result is false.
bool LoadPictures(const std::vector<std::pair<Picture*, std::string>>& files);

class ImageButton {
 public:
  ImageButton(ui::Image& image, Picture& active, Picture& inactive, ui::Point activeAt, ui::Point inactiveAt)
      : image_(image), active_(active), inactive_(inactive), activeAt_(activeAt), inactiveAt_(inactiveAt) {}
  // A button that keeps its place when pressed (switches, the ringing buttons).
  ImageButton(ui::Image& image, Picture& active, Picture& inactive, ui::Point at)
      : ImageButton(image, active, inactive, at, at) {}

  void ShowActive() { Show(active_, activeAt_); }
  void ShowInactive() { Show(inactive_, inactiveAt_); }
  // Switches: the active picture means on.
  void ShowState(bool on) { on ? ShowActive() : ShowInactive(); }
  ui::Image& Image() { return image_; }

 private:
  void Show(const Picture& picture, ui::Point at) {
    image_.SetPicture(picture);
    image_.SetPosition(at.x, at.y);
  }
  ui::Image& image_;
  Picture& active_;
  Picture& inactive_;
  ui::Point activeAt_, inactiveAt_;
};
