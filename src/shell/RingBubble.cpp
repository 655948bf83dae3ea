#include "shell/RingBubble.h"

namespace {
// Where the bubble stands in the ringing layout, and its text inside it.
constexpr ui::Rect kBubbleAt{142, 138, 168, 96};
constexpr ui::Point kTextAt{kBubbleAt.left + 12, kBubbleAt.top + 22};

std::string Cut(const std::string& name) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < name.size(); ++i)
    if ((static_cast<unsigned char>(name[i]) & 0xC0) != 0x80 && ++chars > CRingBubble::kNameChars)
      return name.substr(0, i) + "\u2026";
  return name;
}
}  // namespace

CRingBubble::CRingBubble(ui::Form& form) : Bubble(form), Names(form) {
  Bubble.SetPicture(LoadPictureFile(kPicture));
  Bubble.SetPosition(kBubbleAt.left, kBubbleAt.top);
  Names.SetPosition(kTextAt.x, kTextAt.y);
  Names.SetFont({ui::Font{}.name, -12});
  // The whole inside of the bubble: under Wine a font without Cyrillic measures such a name
  // narrower than the fallback font then draws it, and the label's own size would cut it.
  Names.SetMinimumSize({kBubbleAt.width - 20, kBubbleAt.height - 28});
  Bubble.SetVisible(false);
  Names.SetVisible(false);
}

void CRingBubble::Show(const std::vector<std::string>& names) {
  Names.SetCaption(Text(names));
  Bubble.SetVisible(!names.empty());
  Names.SetVisible(!names.empty());
}

std::string CRingBubble::Text(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size() && i < std::size_t(kShownNames); ++i)
    text += (i ? "\n" : "") + Cut(names[i]);
  if (names.size() > std::size_t(kShownNames)) text += "\n+" + std::to_string(names.size() - kShownNames) + " more";
  return text;
}
