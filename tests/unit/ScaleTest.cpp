// The pet and the windows at other scales than 100 %: the display's DPI and the pet's size.
#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "pet/AnimatorUnit.h"
#include "pet/EyesUnit.h"
#include "pet/LogicWindow.h"
#include "setup/PlayListAlarm.h"
#include "setup/SimpleAlarmUnit.h"
#include "shell/main.h"
#include "ui/Image.h"
#include "ui/Rescale.h"

namespace {
const char* kKey = TestEnvironment::kKey;

// Where the pet's feet stand on the screen.
ui::Point Feet() {
  return {FormMain->Left() + ui::ScaledLength(TFormMain::kFeet.x, FormMain->Scale()),
          FormMain->Top() + ui::ScaledLength(TFormMain::kFeet.y, FormMain->Scale())};
}

// The box around everything the desktop shows that is not the desktop.
ui::Rect DrawnBox(const ui::Bitmap& capture, std::uint32_t desktop) {
  int l = capture.Width(), t = capture.Height(), r = -1, b = -1;
  for (int y = 0; y < capture.Height(); ++y)
    for (int x = 0; x < capture.Width(); ++x)
      if (capture.At(x, y) != desktop) l = std::min(l, x), t = std::min(t, y), r = std::max(r, x), b = std::max(b, y);
  return r < 0 ? ui::Rect{} : ui::Rect{l, t, r - l + 1, b - t + 1};
}

ui::Point Middle(const ui::Form& form, const ui::Control& c) {
  const ui::Rect r = form.ToScreenPart(c.Bounds());
  return {form.Left() + r.left + r.width / 2, form.Top() + r.top + r.height / 2};
}
}  // namespace

TEST(Scale, ADpiChangeKeepsThePetsFeetWhereTheyStoodAndWindowsTakeTheSuggestedPlace) {
  TestEnvironment env;
  env.registry.PutDword(kKey, "xpos", 600);
  env.registry.PutDword(kKey, "ypos", 300);
  ASSERT_FALSE(env.Start());
  const ui::Point feet = Feet();
  ASSERT_EQ(feet, (ui::Point{826, 436}));
  for (int dpi : {144, 192, 120, 96}) {
    ASSERT_FALSE(env.Do([&] { FormMain->HandleDpiChanged(dpi, {0, 0, 10, 10}); }));
    const int scale = dpi * 100 / 96;
    EXPECT_EQ(FormMain->Scale(), scale);
    EXPECT_EQ(FormMain->Width(), ui::ScaledLength(TFormMain::kNormalWidth, scale));
    EXPECT_EQ(FormMain->Height(), ui::ScaledLength(TFormMain::kNormalHeight, scale));
    EXPECT_EQ(Feet(), feet) << dpi;
  }

  // A set-up window takes the place the system suggests, at the size it says it will have,
  // moved up where that would reach past the display's bottom.
  ASSERT_FALSE(env.ChooseFromTrayMenu("Alarm ["));
  ASSERT_TRUE(FormSimpleAlarm->Visible());
  const ui::Size size = FormSimpleAlarm->ScreenSizeAtDpi(192);
  ASSERT_FALSE(env.Do([&] { FormSimpleAlarm->HandleDpiChanged(192, {100, 40, size.width, size.height}); }));
  EXPECT_EQ(FormSimpleAlarm->Bounds(), (ui::Rect{100, 40, 742, 752}));
  ASSERT_FALSE(env.Do([&] { FormSimpleAlarm->HandleDpiChanged(192, {100, 50, size.width, size.height}); }));
  EXPECT_EQ(FormSimpleAlarm->Bounds(), (ui::Rect{100, 48, 742, 752}));
}

TEST(Scale, ThePetComesBackExactlyWhereItStoodOnADisplayOfAnotherScalingThanThePrimary) {
  struct Case {
    int primaryDpi, petDpi;
  } cases[] = {{144, 96}, {96, 144}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.primaryDpi);
    TestEnvironment env;
    env.desktop.SetMonitors({{{0, 0, 1920, 1200}, {0, 0, 1920, 1160}, true, c.primaryDpi},
                             {{1920, 0, 2880, 1800}, {1920, 0, 2880, 1760}, false, c.petDpi}});
    env.registry.PutDword(kKey, "xpos", 2400);
    env.registry.PutDword(kKey, "ypos", 600);
    ASSERT_FALSE(env.Start());
    EXPECT_EQ(FormMain->Scale(), c.petDpi * 100 / 96);
    EXPECT_EQ((ui::Point{FormMain->Left(), FormMain->Top()}), (ui::Point{2400, 600}));
    EXPECT_EQ(env.Do([&] { env.desktop.RequestClose(*FormMain); }), 1);
    EXPECT_EQ(env.registry.Dword(kKey, "xpos"), 2400u);
    EXPECT_EQ(env.registry.Dword(kKey, "ypos"), 600u);
  }
}

TEST(Scale, AChosenPetSizeStaysOnEveryDisplayAndCountsInTheStoredPlaceRule) {
  {
    // The first-run corner with a pet of twice the size: its margins double as well.
    TestEnvironment env;
    env.registry.PutDword(kKey, "PetSize", 200);
    ASSERT_FALSE(env.Start());
    EXPECT_EQ(FormMain->Bounds(), (ui::Rect{1280 - 638 + 80, 800 - 340 + 100, 638, 340}));
    ASSERT_FALSE(env.Do([&] { FormMain->HandleDpiChanged(144, {0, 0, 10, 10}); }));
    EXPECT_EQ(FormMain->Scale(), 200);
  }
  // 172 px of the pet would leave 12 px of it on the display; twice as large, 184 px do.
  for (int size : {0, 200}) {
    TestEnvironment env;
    if (size) env.registry.PutDword(kKey, "PetSize", std::uint32_t(size));
    env.registry.PutDword(kKey, "xpos", std::uint32_t(-300));
    env.registry.PutDword(kKey, "ypos", 300);
    ASSERT_FALSE(env.Start());
    EXPECT_EQ(FormMain->Left(), size ? -300 : 1001) << size;
  }
  {
    // A pet three times as large on a small display rings as large as the free area holds.
    TestEnvironment env;
    env.desktop.SetMonitors({{{0, 0, 1280, 800}, {0, 0, 1280, 760}, true}});
    env.registry.PutDword(kKey, "PetSize", 300);
    ASSERT_FALSE(env.Start());
    ASSERT_FALSE(env.Do([] { FormMain->ShowRingingLayout(); }));
    EXPECT_EQ(FormMain->Scale(), 225);
    EXPECT_LE(FormMain->Width(), 1280);
    EXPECT_LE(FormMain->Height(), 760);
    ASSERT_FALSE(env.Do([] { FormMain->ShowNormalLayout(); }));
    EXPECT_EQ(FormMain->Scale(), 300);
  }
}

TEST(Scale, ThePetTwiceAsLargeIsDrawnTwiceAsLargeAndItsEyesLookAsAtItsOwnSize) {
  ui::Rect box[2];
  ui::Point pupils[2][2];
  for (int i : {0, 1}) {
    TestEnvironment env;
    env.desktop.SetMonitors({{{0, 0, 1280, 800}, {0, 0, 1280, 760}, true}});
    env.registry.PutDword(kKey, "xpos", 100);
    env.registry.PutDword(kKey, "ypos", 100);
    if (i) env.registry.PutDword(kKey, "PetSize", 200);
    ASSERT_FALSE(env.Start());
    const int scale = FormMain->Scale();
    // The pointer at the same place in the pet's own pixels: below and right of its face.
    env.desktop.SetCursor({FormMain->Left() + 300 * scale / 100, FormMain->Top() + 200 * scale / 100});
    ASSERT_FALSE(env.Do([] { Eyes->FollowPointer(); }));
    pupils[i][0] = {Eyes->LeftEye().Left(), Eyes->LeftEye().Top()};
    pupils[i][1] = {Eyes->RightEye().Left(), Eyes->RightEye().Top()};
    // The same frame of the same movie, with no other chosen meanwhile.
    ASSERT_FALSE(env.Do([] {
      Logic->PauseTicks();
      Animator->View()->SetImage(Animator->Movie(0));
      Animator->View()->SetAnimate(false);
      Animator->View()->SetFrameIndex(0);
    }));
    box[i] = DrawnBox(env.desktop.Capture(ui::Rgb(0, 64, 64)), ui::Rgb(0, 64, 64));
  }
  ASSERT_FALSE(box[0].Empty());
  EXPECT_NEAR(box[1].width, 2 * box[0].width, 2);
  EXPECT_NEAR(box[1].height, 2 * box[0].height, 2);
  EXPECT_EQ(pupils[1][0], pupils[0][0]);
  EXPECT_EQ(pupils[1][1], pupils[0][1]);
}

TEST(Scale, AWindowOnADisplayAtOneAndAHalfTakesClicksWhereItsButtonsAreDrawn) {
  TestEnvironment env;
  env.desktop.SetMonitors({{{0, 0, 1920, 1200}, {0, 0, 1920, 1160}, true, 144}});
  ASSERT_FALSE(env.Start());
  EXPECT_EQ(FormMain->Scale(), 150);
  ASSERT_FALSE(env.ChooseFromTrayMenu("Alarm ["));
  ASSERT_TRUE(FormSimpleAlarm->Visible());
  EXPECT_EQ(FormSimpleAlarm->Scale(), 150);
  EXPECT_EQ(FormSimpleAlarm->Bounds(), (ui::Rect{242, 167, 557, 564}));
  // The OK button's picture is where its scaled bounds are, and a click there is OK's.
  const ui::Point ok = Middle(*FormSimpleAlarm, FormSimpleAlarm->ImageOk);
  const ui::Bitmap capture = env.desktop.Capture();
  EXPECT_NE(capture.At(ok.x, ok.y), ui::kKeyColour);
  env.desktop.Click(ok);
  ASSERT_FALSE(env.RunFor(100));
  EXPECT_FALSE(FormSimpleAlarm->Visible());

  // On a display at 200 % whose free area is 1280 x 760, the 376 px high window comes at
  // 200 %, the 599 px high playlist window at 125 %, as large as the area holds. Each stands
  // wholly on the free area, where its buttons take clicks.
  const ui::Rect free{0, 0, 1280, 760};
  const auto onFreeArea = [&](const ui::Form& form) { return ui::Intersect(form.Bounds(), free) == form.Bounds(); };
  env.desktop.SetMonitors({{{0, 0, 1280, 800}, free, true, 192}});
  ASSERT_FALSE(env.ChooseFromTrayMenu("Alarm ["));
  EXPECT_EQ(FormSimpleAlarm->Scale(), 200);
  EXPECT_TRUE(onFreeArea(*FormSimpleAlarm));
  env.desktop.Click(Middle(*FormSimpleAlarm, FormSimpleAlarm->ImagePlayListMode));
  ASSERT_FALSE(env.RunFor(100));
  ASSERT_TRUE(FormPlayListAlarm->Visible());
  EXPECT_EQ(FormPlayListAlarm->Scale(), 125);
  EXPECT_TRUE(onFreeArea(*FormPlayListAlarm));

  // The display's scaling changes while the window is open, 200 to 100 and back: the system
  // suggests the window's top-left at twice its size, which the free area cannot hold.
  for (int dpi : {96, 192}) {
    env.desktop.SetMonitors({{{0, 0, 1280, 800}, free, true, dpi}});
    const ui::Size size = FormPlayListAlarm->ScreenSizeAtDpi(dpi);
    const ui::Rect suggested{FormPlayListAlarm->Left(), FormPlayListAlarm->Top(), size.width, size.height};
    ASSERT_FALSE(env.Do([&] { FormPlayListAlarm->HandleDpiChanged(dpi, suggested); }));
    EXPECT_EQ(FormPlayListAlarm->Scale(), dpi == 96 ? 100 : 125);
    EXPECT_TRUE(onFreeArea(*FormPlayListAlarm)) << dpi;
  }
}
