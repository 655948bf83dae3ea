#pragma once
// The speech bubble of the ringing layout: under the pet, between stop and snooze, it names
// the alarms that ring, up to three, then "+2 more".
#include <string>
#include <vector>

#include "shell/Skin.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"

class CRingBubble {
 public:
  static constexpr int kShownNames = 3;
  // Characters of a name shown before it is cut with "…".
  static constexpr std::size_t kNameChars = 18;
  static constexpr const char* kPicture = "Images\\MainWindow\\bubble.bmp";

  // Hidden until Show; the picture is read at once (a missing one raises, as any picture).
  explicit CRingBubble(ui::Form& form);
  // Shows the names, or hides the bubble when there are none.
  void Show(const std::vector<std::string>& names);
  // One line per name, each cut to kNameChars characters, the fourth and later counted.
  static std::string Text(const std::vector<std::string>& names);

  ui::Image Bubble;
  ui::Label Names;
};
