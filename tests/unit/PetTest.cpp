#include <gtest/gtest.h>

#include <random>

#include "PetProbe.h"
#include "TestEnvironment.h"
#include "alarm/AlarmUnit.h"
#include "alarm/Reestr.h"
#include "app/Globals.h"
#include "pet/AnimatorUnit.h"
#include "pet/EyesUnit.h"
#include "pet/LogicWindow.h"
#include "shell/main.h"

namespace {
const char* kKey = TestEnvironment::kKey;

}  // namespace

TEST(IdleChoice, DrawsPickByRunningSums) {
  EXPECT_EQ(IdleIndexForDraw(kIdleWeightsTrackingOff, 0.5), 6);  // r = 3550
  EXPECT_EQ(IdleIndexForDraw(kIdleWeightsTrackingOff, 0.0), 0);
  EXPECT_EQ(IdleIndexForDraw(kIdleWeightsTrackingOn, 0.0), 8);
  EXPECT_EQ(IdleIndexForDraw(kIdleWeightsTrackingOff, 200.0 / 7100), 1);  // r equal to a sum: the next
  EXPECT_EQ(IdleIndexForDraw(kIdleWeightsTrackingOff, 0.9999999), 7);
  EXPECT_EQ(IdleIndexForDraw(kIdleWeightsTrackingOn, 0.9999999), 10);
}

TEST(IdleChoice, FrequenciesFollowTheWeights) {
  std::vector<int> off(11), on(11);
  std::mt19937_64 g(7);
  std::uniform_real_distribution<double> u(0, 1);
  const int n = 710000;
  for (int i = 0; i < n; ++i) {
    off[IdleIndexForDraw(kIdleWeightsTrackingOff, u(g))]++;
    on[IdleIndexForDraw(kIdleWeightsTrackingOn, u(g))]++;
  }
  // The weights as the pet's design gives them, written out here so that a wrong weight in
  // the program's tables fails even when the totals still add up.
  const double offWeights[11] = {200, 200, 100, 100, 500, 2000, 2000, 2000, 0, 0, 0};
  const double onWeights[11] = {0, 0, 0, 0, 0, 0, 0, 0, 100, 100, 100};
  for (int i = 0; i < 11; ++i) {
    EXPECT_NEAR(off[i], n * offWeights[i] / 7100, n * 0.004) << i;
    EXPECT_NEAR(on[i], n * onWeights[i] / 300, n * 0.004) << i;
  }
}

TEST(Pet, GreetsThenLivesOnIdleMoviesAndWritesItsDefaults) {
  TestEnvironment env;
  ASSERT_FALSE(env.Start());
  EXPECT_EQ(Showing(), 0);  // the greeting
  EXPECT_TRUE(Animator->IsPlaying());
  EXPECT_EQ(env.registry.Dword(kKey, "hidden"), 0u);
  EXPECT_EQ(env.registry.Dword(kKey, "mouse_tracking"), 1u);
  EXPECT_TRUE(FormMain->Funnyeyes1.Checked());
  env.RunFor(Duration(0) + 10);
  EXPECT_GE(Showing(), CAnimator::kControlCount);  // an idle movie
  // With tracking on only the eye movies play.
  for (int i = 0; i < 20; ++i) {
    EXPECT_GE(Showing(), 13);
    env.RunFor(Duration(Showing()) + 10);
  }
}
