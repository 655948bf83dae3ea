#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "pet/AnimatorUnit.h"
#include "pet/EyesUnit.h"
#include "shell/main.h"

namespace {
const char* kKey = TestEnvironment::kKey;

// Where an eye's image is centred, in the main window's coordinates.
ui::Point PupilOf(ui::Image& eye) { return {eye.Left() + eye.Width() / 2, eye.Top() + eye.Height() / 2}; }

// The main window at (100, 100).
void PlaceWindow(TestEnvironment& env) {
  env.registry.PutDword(kKey, "xpos", 100);
  env.registry.PutDword(kKey, "ypos", 100);
}

void PointAt(TestEnvironment& env, int x, int y) { env.desktop.SetCursor({100 + x, 100 + y}); }
}  // namespace

TEST(EyeGeometry, PupilSitsOnThePointerWhenNearElseSevenPixelsTowardIt) {
  struct Case {
    int x, y, cx, cy;
    ui::Point want;
  } cases[] = {
      {230, 60, 230, 60, {230, 60}},    // on the centre
      {235, 60, 230, 60, {235, 60}},    // nearer than the radius
      {233, 64, 230, 60, {233, 64}},    // d = 5
      {237, 60, 230, 60, {237, 60}},    // d = 7 exactly: on the circle
      {5000, 60, 230, 60, {237, 60}},
      {207, -900, 207, 60, {207, 53}},
      // Whole-pixel pointers never give an exact half (7·dx/d is never k + ½ for
      // integers), so the rounding is checked to the nearest pixel on both sides.
      {236, 68, 230, 60, {234, 66}},    // 234.2, 65.6
      {224, 52, 230, 60, {226, 54}},    // 225.8, 54.4: not truncated toward zero
      {201, 68, 207, 60, {203, 66}},    // 202.8, 65.6
  };
  for (const Case& c : cases)
    EXPECT_EQ(PupilCentre(c.x, c.y, c.cx, c.cy), c.want) << c.x << "," << c.y << " around " << c.cx << "," << c.cy;
}

TEST(EyeGeometry, FollowPointerClampsEachPupilTowardTheOtherEyeAndDownward) {
  TestEnvironment env;
  PlaceWindow(env);
  ASSERT_FALSE(env.Start());
  struct Case {
    int x, y;  // the pointer, window coordinates
    ui::Point left, right;
  } cases[] = {
      {230, 60, {230, 60}, {208, 60}},      // on the left centre; the right eye would go to 214
      {207, 60, {228, 60}, {207, 60}},      // on the right centre; the left eye would go to 223
      {235, 60, {235, 60}, {208, 60}},      // 5 px right of the left centre
      {218, 5000, {230, 66}, {207, 66}},    // far below: 67 held at 66
      {-5000, 60, {228, 60}, {200, 60}},    // far left
      {5000, 60, {237, 60}, {208, 60}},     // far right
      {218, -5000, {230, 53}, {207, 53}},   // upward the full radius
  };
  for (const Case& c : cases) {
    PointAt(env, c.x, c.y);
    Eyes->FollowPointer();
    EXPECT_EQ(PupilOf(Eyes->LeftEye()), c.left) << c.x << "," << c.y;
    EXPECT_EQ(PupilOf(Eyes->RightEye()), c.right) << c.x << "," << c.y;
  }
}

TEST(Eyes, ShownBeforeTheirWindowExistsTheyFollowThePointerEvery50ms) {
  // Starting hidden with "Funny eyes" on: the eyes are shown while the animator is built,
  // before FormEyes exists, and no greeting hides them.
  TestEnvironment env;
  PlaceWindow(env);
  env.registry.PutDword(kKey, "hidden", 1);
  ASSERT_FALSE(env.Start());
  ASSERT_TRUE(Eyes->EyesShown());
  EXPECT_TRUE(Eyes->LeftEye().Visible());
  EXPECT_TRUE(FormEyes->timer.Enabled());
  EXPECT_EQ(FormEyes->timer.Interval(), 50u);
  for (int i = 0; i < 6; ++i) {
    const bool right = i % 2 == 0;
    PointAt(env, right ? 5000 : -5000, 60);
    env.RunFor(50);
    EXPECT_EQ(PupilOf(Eyes->LeftEye()).x, right ? 237 : 228) << i;
    EXPECT_EQ(PupilOf(Eyes->RightEye()).x, right ? 208 : 200) << i;
  }
}

TEST(Eyes, InANormalStartTheGreetingHidesThemAndAnEyeMovieShowsThem) {
  TestEnvironment env;
  PlaceWindow(env);
  ASSERT_FALSE(env.Start());
  EXPECT_FALSE(Eyes->EyesShown());
  EXPECT_FALSE(Eyes->LeftEye().Visible());
  EXPECT_FALSE(FormEyes->timer.Enabled());
  // The greeting lasts a few seconds; then only eye movies play.
  env.RunFor(5000);
  ASSERT_TRUE(Eyes->EyesShown());
  EXPECT_TRUE(FormEyes->timer.Enabled());
  PointAt(env, 218, 5000);
  env.RunFor(50);
  EXPECT_EQ(PupilOf(Eyes->LeftEye()), (ui::Point{230, 66}));
  EXPECT_EQ(PupilOf(Eyes->RightEye()), (ui::Point{207, 66}));
}

TEST(Eyes, ShowingShownEyesOrHidingHiddenOnesChangesNothing) {
  TestEnvironment env;
  PlaceWindow(env);
  env.registry.PutDword(kKey, "hidden", 1);
  ASSERT_FALSE(env.Start());
  ASSERT_TRUE(Eyes->EyesShown());
  PointAt(env, 5000, 60);
  Eyes->FollowPointer();
  PointAt(env, -5000, 60);
  Eyes->ShowEyes();  // already shown: not even moved
  EXPECT_EQ(PupilOf(Eyes->LeftEye()).x, 237);
  EXPECT_TRUE(FormEyes->timer.Enabled());
  for (int i = 0; i < 2; ++i) {
    Eyes->HideEyes();
    EXPECT_FALSE(Eyes->EyesShown());
    EXPECT_FALSE(Eyes->LeftEye().Visible());
    EXPECT_FALSE(Eyes->RightEye().Visible());
    EXPECT_FALSE(FormEyes->timer.Enabled());
    EXPECT_FALSE(EyesTimerWanted);
  }
  env.RunFor(200);
  EXPECT_EQ(PupilOf(Eyes->LeftEye()).x, 237);  // hidden eyes are not moved
  Eyes->ShowEyes();
  EXPECT_TRUE(Eyes->RightEye().Visible());
  EXPECT_TRUE(FormEyes->timer.Enabled());
  EXPECT_EQ(PupilOf(Eyes->LeftEye()).x, 228);  // placed as they appear
}
