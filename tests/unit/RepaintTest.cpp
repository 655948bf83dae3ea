// Windows repaint only what changed, and what they show is what a full repaint shows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "TestEnvironment.h"
#include "desktop/About.h"
#include "pet/AnimatorUnit.h"
#include "pet/MovieView.h"
#include "shell/main.h"
#include "ui/Image.h"

namespace {

// Frame 0 covers the 6 x 4 screen; frame 1 is a 2 x 1 patch at (1, 1) disposed of to the
// background; frame 2 a 1 x 1 patch at (4, 3) left in place; frame 3 a 3 x 2 patch at (0, 0).
std::shared_ptr<const pet::GifMovie> PatchMovie() {
  auto m = std::make_shared<pet::GifMovie>();
  m->screenWidth = 6, m->screenHeight = 4;
  m->globalPalette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  auto frame = [&](int l, int t, int w, int h, std::uint8_t index, int disposal) {
    pet::GifFrame f;
    f.left = l, f.top = t, f.width = w, f.height = h, f.disposal = disposal, f.delayMs = 100;
    f.indices.assign(std::size_t(w * h), index);
    m->frames.push_back(f);
  };
  frame(0, 0, 6, 4, 0, 1);
  frame(1, 1, 2, 1, 1, 2);
  frame(4, 3, 1, 1, 2, 1);
  frame(0, 0, 3, 2, 3, 1);
  frame(1, 0, 1, 1, 3, 1);  // draws over frame 3's patch in its own colour
  return m;
}

class PatchForm : public ui::Form {
 public:
  PatchForm() : view(*this), pupil(*this) {
    SetBounds(100, 100, 40, 30);
    SetDesignVisible(true);
    view.SetPosition(10, 5);
    pupil.SetPicture(std::make_shared<const ui::Bitmap>(3, 3, ui::Rgb(1, 2, 3)));
    pupil.SetPosition(12, 6);
  }
  MovieView view;
  ui::Image pupil;
};

}  // namespace

TEST(Repaint, AFrameStepRepaintsItsFrameAndAPupilMoveItsOldAndNewPlace) {
  TestEnvironment env;
  PatchForm* form = nullptr;
  ui::Application::Instance().CreateForm(form);
  form->view.SetImage(PatchMovie());
  form->Compose();
  EXPECT_TRUE(form->Damage().Empty());

  form->view.FrameStep();  // to frame 1: its own patch
  EXPECT_EQ(form->Damage(), (ui::Rect{11, 6, 2, 1}));
  form->Compose();
  form->view.FrameStep();  // to frame 2: its patch and frame 1's, given back to the background
  EXPECT_EQ(form->Damage(), (ui::Rect{11, 6, 4, 3}));
  form->Compose();
  form->view.FrameStep();  // to frame 3: frame 2 stays, so only frame 3's patch
  EXPECT_EQ(form->Damage(), (ui::Rect{10, 5, 3, 2}));
  form->Compose();
  form->view.FrameStep();  // to frame 4: the same pixels again, so nothing
  EXPECT_TRUE(form->Damage().Empty());
  form->view.FrameStep();  // back to frame 0: the whole movie
  EXPECT_EQ(form->Damage(), (ui::Rect{10, 5, 6, 4}));
  form->Compose();

  form->pupil.SetPosition(20, 20);
  EXPECT_EQ(form->Damage(), (ui::Rect{12, 6, 11, 17}));  // the old 3 x 3 place and the new one
  form->Compose();
  form->pupil.SetVisible(false);
  EXPECT_EQ(form->Damage(), (ui::Rect{20, 20, 3, 3}));
  ui::Application::Instance().DestroyForms();
}

// Two minutes of the pet's life with the pointer circling round it (half a minute at 200 %,
// where it is drawn from the 2x frames and their changes): after every step the surface,
// repainted only where it was damaged, equals one repainted whole.
TEST(Repaint, ThePetLooksTheSameAsWhenRepaintedWhole) {
  for (const int size : {100, 200}) {
    TestEnvironment env;
    if (size != 100) env.registry.PutDword(TestEnvironment::kKey, "PetSize", std::uint32_t(size));
    ASSERT_FALSE(env.Start());
    ASSERT_EQ(FormMain->Scale(), size);
    const int seconds = size == 100 ? 120 : 30;
    int partial = 0, whole = 0, mismatches = 0, fromLargerSet = 0;
    for (int step = 0; step < seconds * 40 && mismatches == 0; ++step) {
      const double a = step * 0.05;
      env.desktop.SetCursor({FormMain->Left() + (200 + int(60 * std::cos(a))) * size / 100,
                             FormMain->Top() + (60 + int(60 * std::sin(a))) * size / 100});
      ASSERT_FALSE(env.RunFor(25));
      fromLargerSet += Animator->View()->ArtSet() == 200;
      const ui::Rect damage = FormMain->Damage();
      if (damage.Empty()) continue;
      (damage == ui::Rect{0, 0, FormMain->Width(), FormMain->Height()} ? whole : partial)++;
      const std::vector<std::uint32_t> repainted = FormMain->Compose().Pixels();
      FormMain->Invalidate();
      if (FormMain->Compose().Pixels() != repainted) ++mismatches;
    }
    EXPECT_EQ(mismatches, 0) << "at " << size << " %";
    EXPECT_GT(partial, 20 * whole) << partial << " partial repaints, " << whole << " whole at " << size << " %";
    if (size == 200) EXPECT_EQ(fromLargerSet, seconds * 40) << "steps drawn from the 2x frames";
    std::printf("%d %%: %d partial repaints, %d whole\n", size, partial, whole);
  }
}

TEST(Repaint, AHiddenWindowKeepsNoSurface) {
  TestEnvironment env;
  ASSERT_FALSE(env.Start());
  ASSERT_FALSE(env.Do([] { AboutForm->ShowAbout(); }));
  ASSERT_FALSE(env.RunFor(100));
  const std::vector<std::uint32_t> shown = AboutForm->Compose().Pixels();
  ASSERT_FALSE(env.Do([] { AboutForm->Hide(); }));
  EXPECT_EQ(AboutForm->SurfaceBytes(), 0u);
  ASSERT_FALSE(env.Do([] { AboutForm->ShowAbout(); }));
  EXPECT_EQ(AboutForm->Compose().Pixels(), shown);  // rebuilt as it was
}
