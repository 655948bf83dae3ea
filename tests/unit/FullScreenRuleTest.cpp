// When another program counts as full screen in front of the pet, with two displays side by
// side: the pet's 1280 x 800 primary and a 1920 x 1080 one right of it.
#include <gtest/gtest.h>

#include <optional>

#include "ui/FullScreenRule.h"

namespace {
const ui::Rect kPetDisplay{0, 0, 1280, 800}, kOther{1280, 0, 1920, 1080};
}  // namespace

TEST(FullScreenRule, TheShellCountsOnlyOnThePetsDisplayAndAMaximisedWindowNever) {
  struct Case {
    const char* what;
    bool shell;
    std::optional<ui::FrontWindow> front;
    bool givesWay;
  } cases[] = {
      {"nothing of another program in front", true, std::nullopt, false},
      {"a film full screen on the other display", true, ui::FrontWindow{kOther, kOther}, false},
      {"a game the shell knows, in a window on the pet's display", true,
       ui::FrontWindow{{100, 100, 800, 600}, kPetDisplay}, true},
      {"the same window, the shell saying nothing", false, ui::FrontWindow{{100, 100, 800, 600}, kPetDisplay}, false},
      {"a window covering the pet's display", false, ui::FrontWindow{kPetDisplay, kPetDisplay}, true},
      {"larger than the pet's display", false, ui::FrontWindow{{-8, -8, 1296, 816}, kPetDisplay}, true},
      {"one pixel short of it", false, ui::FrontWindow{{0, 0, 1280, 799}, kPetDisplay}, false},
      {"covering both displays, held by the other", false, ui::FrontWindow{{0, 0, 3200, 1080}, kOther}, true},
      // Its own title bar, on a display without a taskbar: the size of the display.
      {"maximised, covering the pet's display", false,
       ui::FrontWindow{kPetDisplay, kPetDisplay, true}, false},
      {"maximised while the shell says busy", true, ui::FrontWindow{kPetDisplay, kPetDisplay, true}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ui::FullScreenInFront(c.shell, c.front, kPetDisplay), c.givesWay);
  }
}
