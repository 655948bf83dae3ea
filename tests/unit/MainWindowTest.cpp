#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "alarm/Reestr.h"
#include "pet/AnimatorUnit.h"
#include "pet/LogicWindow.h"
#include "shell/main.h"
#include "ui/Image.h"

namespace {
const char* kKey = TestEnvironment::kKey;

// A screen point where the main window shows the pet (not the key).
ui::Point OnThePet() {
  const ui::Bitmap& pixels = FormMain->Compose();
  for (int y = 60; y < 130; ++y)
    for (int x = 200; x < 260; ++x)
      if (pixels.At(x, y) != ui::kKeyColour) return {FormMain->Left() + x, FormMain->Top() + y};
  ADD_FAILURE() << "no visible pixel of the pet";
  return {};
}

// The primary display with a taskbar along its bottom, one display left of it (reaching
// above it), one above it and one right of it.
void FourDisplays(TestEnvironment& env) {
  env.desktop.SetMonitors({{{0, 0, 1280, 800}, {0, 0, 1280, 760}, true},
                           {{-1920, -100, 1920, 1080}, {-1920, -100, 1920, 1040}, false},
                           {{160, -1024, 1280, 1024}, {160, -1024, 1280, 1024}, false},
                           {{1280, 0, 1920, 1080}, {1280, 0, 1920, 1040}, false}});
}

// A plain window with an opaque picture all over, to see what falls through.
class WindowBelow : public ui::Form {
 public:
  WindowBelow() : picture(*this) {
    SetBounds(0, 0, 1280, 800);
    SetDesignVisible(true);
    picture.SetTransparent(false);
    picture.SetPicture(std::make_shared<ui::Bitmap>(1280, 800, ui::Rgb(10, 20, 30)));
    picture.OnMouseDown = [this](ui::MouseButton, int, int) { ++presses; };
  }
  ui::Image picture;
  int presses = 0;
};
}  // namespace

TEST(MainWindow, FirstRunStandsBeyondTheBottomRightCornerAndStoresIt) {
  TestEnvironment env;
  ASSERT_FALSE(env.Start());
  EXPECT_EQ(FormMain->Bounds(), (ui::Rect{1001, 680, 319, 170}));
  EXPECT_EQ(env.registry.Dword(kKey, "xpos"), 1001u);
  EXPECT_EQ(env.registry.Dword(kKey, "ypos"), 680u);
  EXPECT_TRUE(FormMain->TopMost());
  EXPECT_FALSE(FormMain->ImageStop.Visible());
}

TEST(MainWindow, AStoredPlaceOnNoDisplayGoesBackToTheFirstRunCorner) {
  struct Case {
    int x, y, wantX, wantY;
    bool fourDisplays = false;
  } cases[] = {// Beyond the right or bottom edge, where no display is: the first-run corner.
               {1280 + 41, 100, 1001, 680},
               {100, 800 + 51, 1001, 680},
               {1280 + 41, 800 + 51, 1001, 680},
               {1280, 100, 1001, 680},
               // Partly on the display: used as it is.
               {-100, -50, -100, -50},
               // Only the keyed-out margin left of the pet on the display: the pet is out of
               // sight, so the first-run corner.
               {1280 - 1, 800 - 1, 1001, 680},
               {1280 - 140, 100, 1001, 680},
               // A grip of 32 by 32 px of the pet stays, one pixel less does not; the pet stands
               // 140 px into the 319 by 170 window and is 172 by 136.
               {1280 - 140 - 32, 800 - 32, 1280 - 140 - 32, 800 - 32},
               {1280 - 140 - 31, 100, 1001, 680},
               {100, 800 - 31, 1001, 680},
               {32 - 140 - 172, 32 - 136, 32 - 140 - 172, 32 - 136},
               {31 - 140 - 172, 100, 1001, 680},
               {100, 31 - 136, 1001, 680},
               // On no display, left of or above the primary one: the first-run corner.
               {-500, -300, 1001, 680},
               {-1500, 300, 1001, 680},
               {400, -700, 1001, 680},
               {-1500, 900, 1001, 680},
               // The same places while those displays are there, and one on a display right
               // of the primary one, stay.
               {-1500, 300, -1500, 300, true},
               {400, -700, 400, -700, true},
               {1600, 300, 1600, 300, true}};
  for (const Case& c : cases) {
    TestEnvironment env;
    if (c.fourDisplays) FourDisplays(env);
    env.registry.PutDword(kKey, "xpos", std::uint32_t(c.x));
    env.registry.PutDword(kKey, "ypos", std::uint32_t(c.y));
    ASSERT_FALSE(env.Start());
    // The rule's idea of where the pet stands is where the animator puts it.
    EXPECT_EQ(Animator->View()->Bounds(), TFormMain::kPetArea);
    EXPECT_EQ(FormMain->Left(), c.wantX) << c.x << "," << c.y;
    EXPECT_EQ(FormMain->Top(), c.wantY) << c.x << "," << c.y;
    EXPECT_EQ(int(env.registry.Dword(kKey, "xpos")), c.wantX);
    EXPECT_EQ(int(env.registry.Dword(kKey, "ypos")), c.wantY);
  }
}

TEST(MainWindow, RingingLayoutIsCentredOnThePetsDisplayAndRestoredExactlyAfterADrag) {
  TestEnvironment env;
  env.desktop.SetScreen({1280, 800}, {2560, 1025});
  env.registry.PutDword(kKey, "xpos", 300);
  env.registry.PutDword(kKey, "ypos", 200);
  ASSERT_FALSE(env.Start());
  FormMain->ShowRingingLayout();
  EXPECT_EQ(FormMain->Bounds(), (ui::Rect{640 - 230, 400 - 159, 460, 319}));
  EXPECT_TRUE(FormMain->ImageStop.Visible());
  EXPECT_TRUE(FormMain->Image10MinMore.Visible());
  // Dragged while ringing, by the pet.
  const ui::Point pet = OnThePet();
  env.desktop.Press(pet, ui::MouseButton::Left);
  env.desktop.MoveTo({pet.x + 90, pet.y - 40});
  env.desktop.Release({pet.x + 90, pet.y - 40}, ui::MouseButton::Left);
  EXPECT_EQ(FormMain->Left(), 410 + 90);
  // The snooze button, pressed and released.
  const ui::Point snooze{FormMain->Left() + 312 + 70, FormMain->Top() + 136 + 50};
  env.desktop.Click(snooze);
  EXPECT_EQ(FormMain->Bounds(), (ui::Rect{300, 200, 319, 170}));
  EXPECT_FALSE(FormMain->Image10MinMore.Visible());
}

TEST(MainWindow, RingingButtonsPressWithAnyButtonAndActWhereverReleased) {
  TestEnvironment env;
  ASSERT_FALSE(env.Start());
  FormMain->ShowRingingLayout();
  const auto placeholder = FormMain->ImageStop.Picture();
  const ui::Point stop{FormMain->Left() + 70, FormMain->Top() + 136 + 50};
  EXPECT_EQ(env.desktop.Press(stop, ui::MouseButton::Right), FormMain);
  EXPECT_NE(FormMain->ImageStop.Picture(), placeholder);  // the pressed picture
  EXPECT_TRUE(env.desktop.Menus().empty());
  EXPECT_EQ(FormMain->ImageStop.Left(), 0);  // keeps its place
  // Released far outside the window: the stop still happens.
  env.desktop.Release({5, 5}, ui::MouseButton::Right);
  EXPECT_EQ(FormMain->Width(), 319);
  EXPECT_FALSE(FormMain->ImageStop.Visible());
  EXPECT_EQ(FormMain->Left(), 1001);
}

TEST(MainWindow, PurplePixelsLetClicksThroughToTheWindowBelowAndTheTaskbarTakesItsOwn) {
  TestEnvironment env;
  env.desktop.SetMonitors({{{0, 0, 1280, 800}, {0, 0, 1280, 760}, true}});
  ASSERT_FALSE(env.Start());
  WindowBelow* below = nullptr;
  ui::Application::Instance().CreateForm(below);
  const ui::Point keyedOut{FormMain->Left() + 5, FormMain->Top() + 5};
  EXPECT_EQ(env.desktop.Press(keyedOut), below);
  env.desktop.Release(keyedOut);
  EXPECT_EQ(below->presses, 1);
  EXPECT_EQ(env.desktop.Press(OnThePet(), ui::MouseButton::Right), FormMain);
  EXPECT_EQ(below->presses, 1);
  // The window reaches under the taskbar: a click there is the taskbar's.
  for (const ui::Point outside : {ui::Point{640, 770}, ui::Point{5, 799}}) {
    EXPECT_EQ(env.desktop.Press(outside), nullptr) << outside.x << "," << outside.y;
    env.desktop.Release(outside);
  }
  EXPECT_EQ(below->presses, 1);
  // The capture shows no key colour anywhere.
  const ui::Bitmap screen = env.desktop.Capture();
  EXPECT_EQ(std::count(screen.Pixels().begin(), screen.Pixels().end(), ui::kKeyColour), 0);
}

TEST(MainWindow, LeftAndMiddleDragsMoveTheWindowAndTheEndStoresIt) {
  TestEnvironment env;
  ASSERT_FALSE(env.Start());
  ui::Point p = OnThePet();
  env.desktop.Press(p, ui::MouseButton::Left);
  env.desktop.MoveTo({p.x - 300, p.y - 200});
  env.desktop.Release({p.x - 300, p.y - 200}, ui::MouseButton::Left);
  EXPECT_EQ(FormMain->Left(), 701);
  EXPECT_EQ(FormMain->Top(), 480);
  EXPECT_EQ(env.registry.Dword(kKey, "xpos"), 1001u);  // dragging alone writes nothing
  p = OnThePet();
  env.desktop.Press(p, ui::MouseButton::Middle);
  env.desktop.Release({p.x - 100, p.y + 20}, ui::MouseButton::Middle);
  EXPECT_EQ(FormMain->Left(), 601);
  EXPECT_EQ(FormMain->Top(), 500);
  EXPECT_EQ(env.Do([&] { env.desktop.RequestClose(*FormMain); }), 1);
  EXPECT_EQ(env.registry.Dword(kKey, "xpos"), 601u);
  EXPECT_EQ(env.registry.Dword(kKey, "ypos"), 500u);
}

TEST(MainWindow, ARightPressOnThePetOpensTheMenuInItsOrder) {
  TestEnvironment env;
  ASSERT_FALSE(env.Start());
  env.desktop.Press(OnThePet(), ui::MouseButton::Right);
  ASSERT_EQ(env.desktop.Menus().size(), 1u);
  const auto menu = env.desktop.Menus()[0];
  EXPECT_EQ(menu.captions, (std::vector<std::string>{"About", "-", "Alarm [off]", "Options\u2026", "Timer\u2026", "Hide",
                                                     "Funny eyes", "Exit"}));
  EXPECT_EQ(menu.checked, (std::vector<bool>{false, false, false, false, false, false, true, false}));
  EXPECT_EQ(menu.at, env.desktop.CursorPos());
  EXPECT_EQ(FormMain->TrayPopupMenu.Find("&funny EYES"), &FormMain->Funnyeyes1);
  // The tray icon's right click opens the same menu.
  env.ClickTrayIcon(ui::TrayEvent::RightClick);
  ASSERT_EQ(env.desktop.Menus().size(), 2u);
  EXPECT_EQ(env.desktop.Menus()[1].captions, menu.captions);
}

TEST(MainWindow, RingingCentresOnTheFreeAreaOfTheDisplayThePetStandsOn) {
  const struct Case {
    const char* name;
    ui::Point stored, ringing;
  } cases[] = {{"primary", {300, 200}, {640 - 230, 380 - 159}},
               {"left, at negative x", {-1500, 300}, {-1920 + 960 - 230, -100 + 520 - 159}},
               {"above, at negative y", {400, -700}, {160 + 640 - 230, -1024 + 512 - 159}},
               {"right", {1600, 300}, {1280 + 960 - 230, 520 - 159}},
               // Mostly on the left display, partly on the primary.
               {"across a seam", {-200, 300}, {-1920 + 960 - 230, -100 + 520 - 159}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestEnvironment env;
    FourDisplays(env);
    env.registry.PutDword(kKey, "xpos", std::uint32_t(c.stored.x));
    env.registry.PutDword(kKey, "ypos", std::uint32_t(c.stored.y));
    ASSERT_FALSE(env.Start());
    ASSERT_EQ((ui::Point{FormMain->Left(), FormMain->Top()}), c.stored);
    FormMain->ShowRingingLayout();
    EXPECT_EQ(FormMain->Bounds(), (ui::Rect{c.ringing.x, c.ringing.y, 460, 319}));
    env.desktop.Click({FormMain->Left() + 70, FormMain->Top() + 136 + 50});
    EXPECT_EQ(FormMain->Bounds(), (ui::Rect{c.stored.x, c.stored.y, 319, 170}));
  }
  // No display can be looked up (the displays are changing): the primary display's middle.
  TestEnvironment env;
  FourDisplays(env);
  env.registry.PutDword(kKey, "xpos", std::uint32_t(-1500));
  env.registry.PutDword(kKey, "ypos", 300);
  ASSERT_FALSE(env.Start());
  env.desktop.FailMonitorLookups(true);
  FormMain->ShowRingingLayout();
  EXPECT_EQ(FormMain->Bounds(), (ui::Rect{640 - 230, 400 - 159, 460, 319}));
  env.desktop.Click({FormMain->Left() + 70, FormMain->Top() + 136 + 50});
  EXPECT_EQ(FormMain->Bounds(), (ui::Rect{-1500, 300, 319, 170}));
}
