#include <gtest/gtest.h>

#include <cstdio>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "PetProbe.h"
#include "RingHelpers.h"
#include "TestEnvironment.h"
#include "alarm/AlarmUnit.h"
#include "app/Globals.h"
#include "pet/AnimatorUnit.h"
#include "pet/EyesUnit.h"
#include "pet/LogicWindow.h"
#include "shell/main.h"

#if defined(__SANITIZE_ADDRESS__)
// The address sanitizer's count of the bytes allocated and not yet freed.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#define RAVILO_HEAP_COUNTED 1
#endif

namespace {
using namespace ring;
const char* kKey = TestEnvironment::kKey;
const std::string kDir = TestEnvironment::kProgramDir;
}  // namespace

TEST(Logic, HideOrExitReplacesTheIdleMovieAtOnceAndTakesEffectWhenItEnds) {
  for (const std::string item : {"Hide", "Exit"}) {
    SCOPED_TRACE(item);
    TestEnvironment env;
    ASSERT_FALSE(env.Start());
    env.RunFor(Duration(0) + 400);  // an idle movie is under way
    ASSERT_GE(Showing(), CAnimator::kControlCount);
    ASSERT_GT(Animator->View()->FrameIndex(), 0);
    ASSERT_FALSE(env.ChooseFromTrayMenu(item));
    EXPECT_EQ(Showing(), 1);
    EXPECT_EQ(Animator->View()->FrameIndex(), 0);
    EXPECT_TRUE(Animator->IsPlaying());
    EXPECT_FALSE(env.RunFor(Duration(1) - 150));
    EXPECT_EQ(Showing(), 1);
    EXPECT_TRUE(Animator->View()->Visible());
    const std::optional<int> code = env.RunFor(300);
    if (item == "Exit") {
      EXPECT_EQ(code, 1);
      EXPECT_EQ(env.registry.Dword(kKey, "hidden"), 0u);
      continue;
    }
    ASSERT_FALSE(code);
    EXPECT_TRUE(Logic->IsHidden());
    EXPECT_FALSE(Animator->View()->Visible());
    EXPECT_EQ(Animator->View()->Image(), nullptr);
    EXPECT_TRUE(FormMain->Show1.Checked());
    // Hidden, nothing plays; exit then ends at once and the next start stays hidden.
    EXPECT_FALSE(env.RunFor(10'000));
    EXPECT_FALSE(Animator->IsPlaying());
    EXPECT_EQ(env.ChooseFromTrayMenu("Exit"), 1);
    EXPECT_EQ(env.registry.Dword(kKey, "hidden"), 1u);
  }
}

TEST(Logic, ShowingAHiddenPetPlaysControlMovie2AndClearsTheHideMark) {
  for (bool viaTrayIcon : {false, true}) {
    SCOPED_TRACE(viaTrayIcon);
    TestEnvironment env;
    env.registry.PutDword(kKey, "hidden", 1);
    ASSERT_FALSE(env.Start());
    EXPECT_FALSE(Animator->View()->Visible());
    EXPECT_TRUE(FormMain->Show1.Checked());
    EXPECT_FALSE(env.RunFor(10'000));
    EXPECT_FALSE(Animator->IsPlaying());
    ASSERT_FALSE(viaTrayIcon ? env.ClickTrayIcon() : env.ChooseFromTrayMenu("Hide"));
    EXPECT_FALSE(Logic->IsHidden());
    EXPECT_TRUE(Animator->View()->Visible());
    EXPECT_EQ(Showing(), 2);
    EXPECT_EQ(Animator->View()->FrameIndex(), 0);
    EXPECT_FALSE(FormMain->Show1.Checked());
    env.RunFor(Duration(2) + 100);
    EXPECT_GE(Showing(), CAnimator::kControlCount);
    // Shown already: a click on the icon changes nothing the pet does.
    const int idle = Showing();
    ASSERT_FALSE(env.ClickTrayIcon());
    EXPECT_EQ(Showing(), idle);
    EXPECT_FALSE(Logic->IsHidden());
  }
}

namespace {
// After a race, an unforeseen path or an error, the pet is still whole: the view shown
// exactly when the state says so, the alarm ringing at its time, Hide and Exit working.
void ExpectAWholePet(TestEnvironment& env) {
  EXPECT_EQ(Animator->View()->Visible(), !Logic->IsHidden());
  EXPECT_EQ(FormMain->Show1.Checked(), Logic->IsHidden());
  ASSERT_TRUE(RunUntil(env, RingingLayout, 70'000, 100)) << "no ring by " << Clock(env);
  ASSERT_TRUE(RunUntil(env, [] { return Showing() == 3; }, 30'000));
  env.desktop.Click(StopButton());
  EXPECT_EQ(Logic->CurrentState(), StateNormal);
  ASSERT_FALSE(env.ChooseFromTrayMenu("Hide"));
  EXPECT_FALSE(env.RunFor(Duration(1) + 100));
  EXPECT_TRUE(Logic->IsHidden());
  EXPECT_FALSE(Animator->View()->Visible());
  ASSERT_FALSE(env.ChooseFromTrayMenu("Hide"));
  EXPECT_FALSE(env.RunFor(Duration(2) + 100));
  ASSERT_FALSE(env.ChooseFromTrayMenu("Exit"));
  EXPECT_EQ(env.RunFor(30'000), 1);
}
}  // namespace

TEST(Logic, ACommandThatArrivesWhileThePetHidesFindsItHiddenWhole) {
  // The hide step lets the waiting messages through, so that the emptied view is drawn;
  // a click on the icon or a menu command may be among them.
  for (const std::string arrives : {"click", "Hide", "Exit"}) {
    SCOPED_TRACE(arrives);
    TestEnvironment env;
    env.kernel.SetTimeOfDay(11, 59, 0);
    PresetAlarm(env, 12, 0);
    ASSERT_FALSE(env.Start());
    env.RunFor(Duration(0) + 400);
    ASSERT_FALSE(env.ChooseFromTrayMenu("Hide"));
    ASSERT_EQ(Logic->Pending(), CommandHide);
    bool arrived = false;
    env.desktop.BeforeProcessMessages = [&] {
      if (arrived) return;
      arrived = true;
      env.desktop.MenuChooser = [arrives](const ui::headless::RecordedMenu& menu) {
        for (std::size_t i = 0; i < menu.captions.size(); ++i)
          if (menu.captions[i] == arrives) return int(i);
        return -1;
      };
      env.desktop.RaiseTrayEvent(env.notifyIcon.shownRecord.window,
                                 arrives == "click" ? ui::TrayEvent::LeftClick : ui::TrayEvent::RightClick);
    };
    const std::optional<int> code = env.RunFor(Duration(1) + 100);
    EXPECT_TRUE(arrived);
    if (arrives == "Exit") {
      // Hidden by then: the program ends at once, and starts hidden next time.
      EXPECT_EQ(code, 1);
      EXPECT_EQ(env.registry.Dword(kKey, "hidden"), 1u);
      continue;
    }
    ASSERT_FALSE(code);
    env.desktop.BeforeProcessMessages = nullptr;
    // Shown again, whole: the greeting of showing plays to its end and idle movies follow.
    EXPECT_FALSE(Logic->IsHidden());
    EXPECT_TRUE(Animator->View()->Visible());
    EXPECT_FALSE(FormMain->Show1.Checked());
    EXPECT_EQ(Logic->Pending(), CommandNone);
    EXPECT_EQ(Showing(), 2);
    ASSERT_TRUE(RunUntil(env, [] { return Showing() >= CAnimator::kControlCount; }, Duration(2) + 100));
    ExpectAWholePet(env);
    EXPECT_TRUE(env.desktop.MessageBoxes().empty());
  }
}

TEST(Logic, AOnceMovieLeftOnAHiddenViewIsTakenUpAgain) {
  // However the view came to be hidden in the normal state, its movie would never end (a
  // hidden view does not advance), and every tick would wait for it: no alarm, and Hide or
  // Exit would find no view to play on. Left alone, or with Hide or Exit chosen at once.
  for (const std::string then : {"", "Hide", "Exit"}) {
    SCOPED_TRACE(then);
    TestEnvironment env;
    env.kernel.SetTimeOfDay(11, 59, 0);
    PresetAlarm(env, 12, 0);
    ASSERT_FALSE(env.Start());
    env.RunFor(Duration(0) + 400);
    ASSERT_TRUE(Animator->IsPlaying());
    Animator->HideView();
    if (then == "Exit") {
      ASSERT_FALSE(env.ChooseFromTrayMenu("Exit"));
      EXPECT_EQ(env.RunFor(Duration(1) + 100), 1);
      EXPECT_TRUE(env.desktop.MessageBoxes().empty());
      continue;
    }
    if (then == "Hide") {
      ASSERT_FALSE(env.ChooseFromTrayMenu("Hide"));
      EXPECT_FALSE(env.RunFor(Duration(1) + 100));
      EXPECT_TRUE(Logic->IsHidden());
      ASSERT_FALSE(env.ChooseFromTrayMenu("Hide"));
    } else {
      EXPECT_FALSE(env.RunFor(3100));  // the next tick
    }
    ExpectAWholePet(env);
    EXPECT_EQ(env.kernel.debugLog,
              std::vector<std::string>{"Ravilo: the pet was hidden in the normal state; shown again"});
    EXPECT_TRUE(env.desktop.MessageBoxes().empty());
  }
}

TEST(Logic, AnErrorInsideATickHoldsUpNoLaterTick) {
  TestEnvironment env;
  env.kernel.SetTimeOfDay(11, 59, 0);
  PresetAlarm(env, 12, 0);
  bool failNext = false;
  SetRandomSource([&] {
    if (failNext) {
      failNext = false;
      throw std::runtime_error("no draw");
    }
    return 0.5;
  });
  ASSERT_FALSE(env.Start());
  env.RunFor(Duration(0) + 100);
  const int idle = Showing();
  ASSERT_GE(idle, CAnimator::kControlCount);
  failNext = true;
  // The tick at the end of this movie fails; the error is shown and the next tick goes on.
  env.RunFor(Duration(idle) + 100);
  ASSERT_EQ(env.desktop.MessageBoxes().size(), 1u);
  EXPECT_EQ(env.desktop.MessageBoxes()[0].text, "no draw");
  ASSERT_TRUE(RunUntil(env, [] { return Animator->IsPlaying(); }, 3100));
  ExpectAWholePet(env);
}

TEST(Logic, AnHourOfIdleLifeLeavesNothingBehind) {
  TestEnvironment env;
  ASSERT_FALSE(env.Start());
  env.RunFor(600'000);
  // The view composes its picture when first drawn; a sample taken on a movie's first frame,
  // before any drawing, would lack it. Drawn here, as a screen would be, it is at both.
  env.desktop.Capture();
#ifdef RAVILO_HEAP_COUNTED
  const std::size_t heapBefore = __sanitizer_get_current_allocated_bytes() - ShownMovieBytes();
#endif
  for (int minute = 0; minute < 60; ++minute) {
    ASSERT_FALSE(env.RunFor(60'000));
    EXPECT_LE(env.media.OpenDevices().size(), 1u);
    // Only the view and its frame composer hold the frames of the movie playing.
    EXPECT_LE(Animator->View()->Image().use_count(), 2);
  }
  env.desktop.Capture();
#ifdef RAVILO_HEAP_COUNTED
  const std::size_t heapAfter = __sanitizer_get_current_allocated_bytes() - ShownMovieBytes();
  EXPECT_LT(heapAfter, heapBefore + 64 * 1024) << heapBefore << " -> " << heapAfter;
  std::printf("heap over one hour of virtual time: %zu -> %zu bytes\n", heapBefore, heapAfter);
#endif
}

namespace {
// Runs until done() holds; the virtual milliseconds it took, or -1 when it did not within 5 s.
std::int64_t MsUntil(TestEnvironment& env, const std::function<bool()>& done) {
  const std::int64_t start = env.desktop.Now();
  if (!RunUntil(env, done, 5000)) return -1;
  return env.desktop.Now() - start;
}
std::int64_t MsUntilWindow(TestEnvironment& env, bool shown) {
  return MsUntil(env, [&] { return FormMain->Visible() == shown; });
}
bool PetSeen() { return FormMain->Visible() && Animator->View()->Visible(); }

void SetHideFullScreen(bool on) {
  AlarmOptions o = Alarm->GetOptions();
  o.hideFullScreen = on;
  Alarm->SetOptions(o);
}
}  // namespace

TEST(FullScreen, ThePetGivesWayOnItsOwnDisplayWithinASecondAndComesBackWithinASecond) {
  TestEnvironment env;
  // The pet stands in the primary display's corner; another display lies right of it.
  env.desktop.SetMonitors({{{0, 0, 1280, 800}, {0, 0, 1280, 760}, true},
                           {{1280, 0, 1920, 1080}, {1280, 0, 1920, 1040}, false}});
  ASSERT_FALSE(env.Start());
  env.RunFor(Duration(0) + 400);
  // Full screen on the other display leaves the pet be.
  env.desktop.SetOtherProgramInFront(ui::Rect{1280, 0, 1920, 1080});
  EXPECT_EQ(MsUntil(env, [] { return !PetSeen(); }), -1);
  // A window larger than the pet's display covers it too: the pet goes out of sight at once,
  // its window at the next look.
  env.desktop.SetOtherProgramInFront(ui::Rect{-8, -8, 1296, 816});
  const std::int64_t hid = MsUntil(env, [] { return !PetSeen(); });
  EXPECT_GE(hid, 0);
  EXPECT_LE(hid, 500);
  EXPECT_FALSE(Eyes->EyesShown());
  EXPECT_LE(hid + MsUntilWindow(env, false), 1000);
  // Out of the way it plays nothing, while the user's state stays shown.
  EXPECT_FALSE(Animator->IsPlaying());
  EXPECT_FALSE(env.RunFor(30'000));
  EXPECT_FALSE(FormMain->Visible());
  EXPECT_FALSE(Animator->IsPlaying());
  EXPECT_FALSE(Logic->IsHidden());
  EXPECT_FALSE(FormMain->Show1.Checked());
  env.desktop.SetOtherProgramInFront(std::nullopt);
  const std::int64_t back = MsUntil(env, PetSeen);
  EXPECT_GE(back, 0);
  EXPECT_LE(back, 1000);
  EXPECT_GE(Showing(), CAnimator::kControlCount);  // an idle movie at once
  EXPECT_TRUE(Animator->IsPlaying());
  std::printf("the pet gave way after %lld ms and came back after %lld ms\n", (long long)hid, (long long)back);

  // With the option off it stays; switched on again it goes, and off brings it back.
  SetHideFullScreen(false);
  env.desktop.SetOtherProgramInFront(ui::Rect{0, 0, 1280, 800});
  EXPECT_EQ(MsUntil(env, [] { return !PetSeen(); }), -1);
  SetHideFullScreen(true);
  EXPECT_LE(MsUntilWindow(env, false), 1000);
  SetHideFullScreen(false);
  EXPECT_LE(MsUntil(env, PetSeen), 1000);
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
  EXPECT_TRUE(env.kernel.debugLog.empty());
}

TEST(FullScreen, TheUsersHideStaysAndHideShowAndExitAreDoneAtOnceMeanwhile) {
  for (const std::string asks : {"hidden before", "Hide", "Show", "click", "Exit"}) {
    SCOPED_TRACE(asks);
    TestEnvironment env;
    if (asks == "hidden before" || asks == "Show" || asks == "click") env.registry.PutDword(kKey, "hidden", 1);
    ASSERT_FALSE(env.Start());
    env.RunFor(Duration(0) + 400);
    env.desktop.SetOtherProgramInFront(ui::Rect{0, 0, 1280, 800});
    ASSERT_LE(MsUntilWindow(env, false), 1000);
    if (asks == "Exit") {
      EXPECT_EQ(env.ChooseFromTrayMenu("Exit"), 1);
      EXPECT_EQ(env.registry.Dword(kKey, "hidden"), 0u);
      continue;
    }
    if (asks == "Hide") {
      ASSERT_FALSE(env.ChooseFromTrayMenu("Hide"));
      EXPECT_TRUE(Logic->IsHidden());
      EXPECT_FALSE(Animator->View()->Visible());
      EXPECT_TRUE(FormMain->Show1.Checked());
    }
    if (asks == "Show" || asks == "click") {
      // Asked for, the pet comes over the full-screen program and stays until it goes.
      ASSERT_FALSE(asks == "Show" ? env.ChooseFromTrayMenu("Hide") : env.ClickTrayIcon());
      EXPECT_TRUE(FormMain->Visible());
      EXPECT_TRUE(Animator->View()->Visible());
      EXPECT_EQ(Showing(), 2);
      EXPECT_FALSE(Logic->IsHidden());
      EXPECT_FALSE(FormMain->Show1.Checked());
      EXPECT_EQ(MsUntilWindow(env, false), -1);
      // The next full-screen program sends it away again.
      env.desktop.SetOtherProgramInFront(std::nullopt);
      EXPECT_FALSE(env.RunFor(1000));
      env.desktop.SetOtherProgramInFront(ui::Rect{0, 0, 1280, 800});
      EXPECT_LE(MsUntilWindow(env, false), 1000);
      env.desktop.SetOtherProgramInFront(std::nullopt);
      EXPECT_LE(MsUntilWindow(env, true), 1000);
      EXPECT_TRUE(Animator->View()->Visible());
      continue;
    }
    // The window comes back, the pet the user hid does not.
    env.desktop.SetOtherProgramInFront(std::nullopt);
    EXPECT_LE(MsUntilWindow(env, true), 1000);
    EXPECT_FALSE(env.RunFor(5000));
    EXPECT_TRUE(Logic->IsHidden());
    EXPECT_FALSE(Animator->View()->Visible());
    EXPECT_TRUE(FormMain->Show1.Checked());
    EXPECT_EQ(env.ChooseFromTrayMenu("Exit"), 1);
    EXPECT_EQ(env.registry.Dword(kKey, "hidden"), 1u);
  }
}

TEST(FunnyEyes, TurningThemOffWaitsForTheMovieThenOnlyOtherMoviesPlay) {
  TestEnvironment env;
  ASSERT_FALSE(env.Start());
  env.RunFor(Duration(0) + 100);
  const int eyeMovie = Showing();
  ASSERT_GE(eyeMovie, 13);
  EXPECT_TRUE(Eyes->EyesShown());
  ASSERT_FALSE(env.ChooseFromTrayMenu("Funny eyes"));
  EXPECT_EQ(Logic->Pending(), CommandEyesOff);
  EXPECT_TRUE(FormMain->Funnyeyes1.Checked());
  EXPECT_EQ(Showing(), eyeMovie);
  EXPECT_TRUE(Eyes->EyesShown());
  ASSERT_TRUE(RunUntil(env, [] { return !Animator->IsTracking(); }, Duration(eyeMovie) + 100));
  EXPECT_FALSE(FormMain->Funnyeyes1.Checked());
  EXPECT_FALSE(Eyes->EyesShown());
  EXPECT_FALSE(FormEyes->timer.Enabled());
  for (int i = 0; i < 30; ++i) {
    const int idle = Showing();
    ASSERT_GE(idle, CAnimator::kControlCount);
    ASSERT_LT(idle, 13);
    env.RunFor(Duration(idle) + 10);
  }
  EXPECT_FALSE(Eyes->EyesShown());
  ASSERT_FALSE(env.ChooseFromTrayMenu("Exit"));
  EXPECT_EQ(env.RunFor(Duration(1) + 100), 1);
  EXPECT_EQ(env.registry.Dword(kKey, "mouse_tracking"), 0u);
}

TEST(FunnyEyes, OffIsIgnoredWhileAnotherCommandWaitsAndOnShowsThemWithTheNextEyeMovie) {
  {
    TestEnvironment env;
    ASSERT_FALSE(env.Start());
    env.RunFor(Duration(0) + 100);
    ASSERT_FALSE(env.ChooseFromTrayMenu("Hide"));
    ASSERT_FALSE(env.ChooseFromTrayMenu("Funny eyes"));
    EXPECT_EQ(Logic->Pending(), CommandHide);
    EXPECT_TRUE(FormMain->Funnyeyes1.Checked());
    env.RunFor(Duration(1) + 100);
    EXPECT_TRUE(Logic->IsHidden());
    EXPECT_TRUE(Animator->IsTracking());
  }
  TestEnvironment env;
  env.registry.PutDword(kKey, "mouse_tracking", 0);
  ASSERT_FALSE(env.Start());
  EXPECT_FALSE(FormMain->Funnyeyes1.Checked());
  env.RunFor(Duration(0) + 100);
  const int idle = Showing();
  ASSERT_LT(idle, 13);
  ASSERT_FALSE(env.ChooseFromTrayMenu("Funny eyes"));
  EXPECT_TRUE(Animator->IsTracking());
  EXPECT_TRUE(FormMain->Funnyeyes1.Checked());
  EXPECT_FALSE(Eyes->EyesShown());  // not before an eye movie
  EXPECT_EQ(Showing(), idle);
  ASSERT_TRUE(RunUntil(env, [&] { return Showing() != idle; }, Duration(idle) + 100));
  EXPECT_GE(Showing(), 13);
  EXPECT_TRUE(Eyes->EyesShown());
}

TEST(Animator, AnyMissingMovieOrEyeBitmapIsReportedOnceAndEndsTheProgram) {
  std::vector<std::string> files(std::begin(CAnimator::kMovieFiles), std::end(CAnimator::kMovieFiles));
  files.push_back("Images\\Eyes\\left.bmp");
  files.push_back("Images\\Eyes\\right.bmp");
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    TestEnvironment env;
    env.files.Hide(kDir + file);
    EXPECT_EQ(env.Start(), 0);
    ASSERT_EQ(env.desktop.MessageBoxes().size(), 1u);
    EXPECT_EQ(env.desktop.MessageBoxes()[0].text, "Program is damaged. Try to reinstall the application.");
    EXPECT_EQ(env.desktop.MessageBoxes()[0].caption, "Error");
    EXPECT_EQ(FormMain, nullptr);
    EXPECT_EQ(Logic, nullptr);
  }
}

// A week of life with the alarm ringing every morning and stopped by the user: the heap at
// the end of each day stays within 1 MB of the first day's. Takes about half an hour under
// the sanitizers, so it runs by hand:
//   build/native/unit_tests --gtest_also_run_disabled_tests --gtest_filter='*SevenDays*'
TEST(Logic, DISABLED_SevenDaysWithADailyRingKeepTheHeapFlat) {
  TestEnvironment env;
  env.kernel.SetTimeOfDay(7, 29, 50);
  PresetAlarm(env, 7, 30);
  ASSERT_FALSE(env.Start());
  std::size_t firstDay = 0;
  for (int day = 0; day < 7; ++day) {
    ASSERT_TRUE(RunUntil(env, RingingLayout, 26 * 3600 * 1000ll, 1000)) << "day " << day;
    std::printf("day %d: ringing at %lld s of the day\n", day + 1, static_cast<long long>(Clock(env) % 86400));
    std::fflush(stdout);
    ASSERT_FALSE(env.RunFor(5000));
    env.desktop.Click(StopButton());
    ASSERT_FALSE(RingingLayout());
    ASSERT_FALSE(env.RunFor(3600 * 1000));
#ifdef RAVILO_HEAP_COUNTED
    const std::size_t heap = __sanitizer_get_current_allocated_bytes() - ShownMovieBytes();
    if (day == 0) firstDay = heap;
    std::printf("day %d: heap %zu bytes\n", day + 1, heap);
    std::fflush(stdout);
    EXPECT_LT(heap, firstDay + 1024 * 1024) << "day " << day + 1;
    EXPECT_GT(heap + 1024 * 1024, firstDay) << "day " << day + 1;
#endif
  }
}
