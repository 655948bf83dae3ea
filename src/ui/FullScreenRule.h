#pragma once
// When another program counts as full screen in front of the pet. The shell's notification
// state (busy, full-screen Direct3D, presentation) is one for the whole session, so it counts
// only for the display that program's window is on; a maximised window is ordinary work
// (with a title bar drawn by the program itself, or on a display without a taskbar, it
// covers the display as a film would), so it never counts.
#include <optional>

#include "ui/Geometry.h"

namespace ui {

// Another program's window in front (the foreground window): visible, not minimised, not the
// desktop or the taskbar.
struct FrontWindow {
  Rect bounds;        // its rectangle, frame included
  Rect display;       // the whole area of the display holding its largest part
  bool maximised = false;
};

// Whether the pet, on the display whose whole area is `petDisplay`, should give way.
// `shellSaysFullScreen`: the shell's notification state is busy, full-screen Direct3D or
// presentation.
bool FullScreenInFront(bool shellSaysFullScreen, const std::optional<FrontWindow>& front, Rect petDisplay);

}  // namespace ui
