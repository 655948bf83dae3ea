#pragma once
// Windows' high-contrast mode: what the program draws itself (labels, the focus mark, not the
// pictures of the art) takes the system's colours while it is on.
#include <cstdint>

#include "ui/Backend.h"

namespace ui {

bool HighContrastOn();
// `own` while high contrast is off; else the system's colour, kept off the purple key so
// that it is never keyed out.
std::uint32_t ShownColour(std::uint32_t own, SystemColour system);
// The colour of the mark on the control that has the keyboard.
inline std::uint32_t FocusMarkColour(std::uint32_t own) { return ShownColour(own, SystemColour::Highlight); }

}  // namespace ui
