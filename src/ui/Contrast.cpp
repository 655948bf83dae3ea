#include "ui/Contrast.h"

#include "ui/Application.h"
#include "ui/Bitmap.h"

namespace ui {

bool HighContrastOn() { return Application::Instance().GetBackend().HighContrast(); }

std::uint32_t ShownColour(std::uint32_t own, SystemColour system) {
  auto& backend = Application::Instance().GetBackend();
  if (!backend.HighContrast()) return own;
  const std::uint32_t colour = kOpaque | backend.SystemColourOf(system);
  // A scheme may well use that purple; one step of blue off it looks the same.
  return colour == kKeyColour ? colour ^ 1u : colour;
}

}  // namespace ui
