#include "shell/SkinnedForm.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TestEnvironment.h"

namespace {

constexpr const char* kAok = "Images\\ForAllWindows\\aok.bmp";
constexpr const char* kIok = "Images\\ForAllWindows\\iok.bmp";
constexpr const char* kAcancel = "Images\\ForAllWindows\\acancel.bmp";
constexpr const char* kIcancel = "Images\\ForAllWindows\\icancel.bmp";
constexpr const char* kAonoff = "Images\\AlarmWindow\\aonoff.bmp";
constexpr const char* kIonoff = "Images\\AlarmWindow\\ionoff.bmp";

constexpr ui::Point kOkActive{20, 78}, kOkResting{22, 80}, kCancelActive{100, 78}, kCancelResting{102, 80},
    kSwitchAt{120, 20};
// Where the background's own transparent colour leaves a hole in the window.
constexpr ui::Rect kHole{0, 0, 12, 12};

// A 200 x 120 dialog: background, OK and cancel push buttons, an on/off switch.
class Dialog : public TSkinnedForm {
 public:
  Dialog() : back(*this), ok(*this), cancel(*this), onOff(*this) { SetBounds(400, 300, 200, 120); }

  void ShowDialog() {
    ResetButtons();
    Show();
  }

  ui::Image back, ok, cancel, onOff;
  Picture aOk, iOk, aCancel, iCancel, aOn, iOn;
  bool loaded = false;
  bool on = false;
  int okRuns = 0, cancelRuns = 0;

 protected:
  void FormCreate() override {
    loaded = LoadPictures(
        {{&aOk, kAok}, {&iOk, kIok}, {&aCancel, kAcancel}, {&iCancel, kIcancel}, {&aOn, kAonoff}, {&iOn, kIonoff}});
    auto background = std::make_shared<ui::Bitmap>(200, 120, ui::Rgb(200, 200, 200));
    const std::uint32_t own = ui::Rgb(1, 2, 3);
    background->At(0, 119) = own;
    for (int y = kHole.top; y < kHole.top + kHole.height; ++y)
      for (int x = kHole.left; x < kHole.left + kHole.width; ++x) background->At(x, y) = own;
    SetBackground(back, background, {0, 0});
    AddPushButton(ok, aOk, iOk, kOkActive, kOkResting, [this] { ++okRuns; });
    AddPushButton(cancel, aCancel, iCancel, kCancelActive, kCancelResting, [this] {
      ++cancelRuns;
      Hide();
    });
    AddSwitch(onOff, aOn, iOn, kSwitchAt, [this] { return on; }, [this] {
      on = !on;
      ResetButtons();
    });
    SetKeyButtons(ok, cancel);
  }
};

class SkinnedFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.kernel.currentDirectory = TestEnvironment::kProgramDir;
    ui::Application::Instance().CreateForm(dialog);
    ASSERT_TRUE(dialog->loaded);
    ASSERT_FALSE(dialog->Visible());
    dialog->ShowDialog();
  }
  void TearDown() override { ui::Application::Instance().DestroyForms(); }

  // A screen point at (x, y) of the dialog's client area.
  ui::Point At(int x, int y) const { return {dialog->Left() + x, dialog->Top() + y}; }
  ui::Point Middle(const ui::Image& image) const {
    return At(image.Left() + image.Width() / 2, image.Top() + image.Height() / 2);
  }
  void Key(char c) {
    ui::Application::Instance().Dispatch([&] { dialog->HandleKeyPress(c); });
  }
  // The picture an image shows and where.
  static void ExpectShows(const ui::Image& image, const Picture& picture, ui::Point at) {
    EXPECT_EQ(image.Picture(), picture);
    EXPECT_EQ((ui::Point{image.Left(), image.Top()}), at);
  }
  void ExpectAllResting() {
    ExpectShows(dialog->ok, dialog->iOk, kOkResting);
    ExpectShows(dialog->cancel, dialog->iCancel, kCancelResting);
    ExpectShows(dialog->onOff, dialog->on ? dialog->aOn : dialog->iOn, kSwitchAt);
  }

  TestEnvironment env;
  Dialog* dialog = nullptr;
};

TEST_F(SkinnedFormTest, AnyMouseButtonPressesAndTheReleaseRunsTheActionWhereverItIs) {
  ExpectAllResting();
  enum Where { kOnButton, kOutsideWindow, kOnOtherButton };
  const struct Case {
    ui::MouseButton button;
    Where releasedAt;
  } cases[] = {{ui::MouseButton::Left, kOnButton},       {ui::MouseButton::Right, kOnButton},
               {ui::MouseButton::Middle, kOnButton},     {ui::MouseButton::Left, kOutsideWindow},
               {ui::MouseButton::Right, kOutsideWindow}, {ui::MouseButton::Left, kOnOtherButton}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "button " << int(c.button) << " released at " << c.releasedAt);
    const int okRuns = dialog->okRuns;
    const ui::Point press = Middle(dialog->ok);
    ASSERT_EQ(env.desktop.Press(press, c.button), dialog);
    ExpectShows(dialog->ok, dialog->aOk, kOkActive);
    EXPECT_EQ(dialog->okRuns, okRuns);
    const ui::Point release = c.releasedAt == kOnButton        ? press
                              : c.releasedAt == kOutsideWindow ? ui::Point{5, 5}
                                                               : Middle(dialog->cancel);
    env.desktop.Release(release, c.button);
    EXPECT_EQ(dialog->okRuns, okRuns + 1);
    ExpectAllResting();
  }
  EXPECT_EQ(dialog->cancelRuns, 0);
  EXPECT_EQ(dialog->Bounds(), (ui::Rect{400, 300, 200, 120}));
}

TEST_F(SkinnedFormTest, EnterAndEscRunTheReleasesAndRestThePressedButton) {
  env.desktop.Press(Middle(dialog->ok), ui::MouseButton::Left);
  Key(13);
  EXPECT_EQ(dialog->okRuns, 1);
  ExpectShows(dialog->ok, dialog->iOk, kOkResting);
  for (char other : {'a', ' ', '\t', char(10), char(8)}) Key(other);
  EXPECT_EQ(dialog->okRuns, 1);
  EXPECT_EQ(dialog->cancelRuns, 0);
  Key(27);
  EXPECT_EQ(dialog->cancelRuns, 1);
  EXPECT_FALSE(dialog->Visible());
}

TEST_F(SkinnedFormTest, ShowingAgainAfterAnInterruptedPressShowsEveryButtonResting) {
  // A click on the switch flips it; a press released off it does not.
  env.desktop.Click(Middle(dialog->onOff));
  EXPECT_TRUE(dialog->on);
  ExpectShows(dialog->onOff, dialog->aOn, kSwitchAt);
  env.desktop.Press(Middle(dialog->onOff));
  env.desktop.Release({5, 5});
  EXPECT_TRUE(dialog->on);

  // OK is held down when Esc closes the window: the window's activation goes with it, and
  // with that the press.
  env.desktop.Press(Middle(dialog->ok), ui::MouseButton::Right);
  ExpectShows(dialog->ok, dialog->aOk, kOkActive);
  Key(27);
  ASSERT_FALSE(dialog->Visible());
  EXPECT_EQ(dialog->okRuns, 0);
  dialog->on = false;
  dialog->ShowDialog();
  ExpectAllResting();
  EXPECT_EQ(dialog->onOff.Picture(), dialog->iOn);
}

// The button-up of a double-click that closed a dialog above, or of a press that began on the
// desktop, lands here without a press: no button acts, no switch flips.
TEST_F(SkinnedFormTest, AReleaseActsOnlyAfterAPressThisWindowSaw) {
  for (const ui::MouseButton button : {ui::MouseButton::Left, ui::MouseButton::Right}) {
    SCOPED_TRACE(int(button));
    for (const ui::Image* image : {&dialog->ok, &dialog->cancel, &dialog->onOff})
      env.desktop.Release(Middle(*image), button);
    // A press on the desktop, released over the window.
    EXPECT_EQ(env.desktop.Press({5, 5}, button), nullptr);
    env.desktop.Release(Middle(dialog->ok), button);
  }
  EXPECT_EQ(dialog->okRuns, 0);
  EXPECT_EQ(dialog->cancelRuns, 0);
  EXPECT_FALSE(dialog->on);
  EXPECT_TRUE(dialog->Visible());
  ExpectAllResting();
  // A press taken away by the system (the capture lost) rests the button, and the release
  // that follows does nothing.
  env.desktop.Press(Middle(dialog->ok));
  env.desktop.TakeCapture();
  ExpectAllResting();
  env.desktop.Release(Middle(dialog->ok));
  EXPECT_EQ(dialog->okRuns, 0);
  // A real click still works.
  env.desktop.Click(Middle(dialog->onOff));
  env.desktop.Click(Middle(dialog->ok));
  EXPECT_TRUE(dialog->on);
  EXPECT_EQ(dialog->okRuns, 1);
}

TEST_F(SkinnedFormTest, OnlyALeftPressOnTheBackgroundDragsTheWindow) {
  const struct Case {
    ui::MouseButton button;
    ui::Point at;  // client point
    bool hits, moves;
  } cases[] = {{ui::MouseButton::Left, {150, 60}, true, true},
               {ui::MouseButton::Left, {5, 110}, true, true},
               {ui::MouseButton::Right, {150, 60}, true, false},
               {ui::MouseButton::Middle, {150, 60}, true, false},
               // The background's own transparent colour is a hole: the press reaches the desktop.
               {ui::MouseButton::Left, {kHole.left + 3, kHole.top + 3}, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "button " << int(c.button) << " at " << c.at.x << "," << c.at.y);
    const ui::Rect before = dialog->Bounds();
    const ui::Point from = At(c.at.x, c.at.y);
    EXPECT_EQ(env.desktop.Press(from, c.button), c.hits ? dialog : nullptr);
    env.desktop.MoveTo({from.x + 30, from.y - 20});
    env.desktop.Release({from.x + 30, from.y - 20}, c.button);
    const ui::Rect want = c.moves ? ui::Rect{before.left + 30, before.top - 20, 200, 120} : before;
    EXPECT_EQ(dialog->Bounds(), want);
  }
  EXPECT_EQ(dialog->okRuns, 0);
  EXPECT_EQ(dialog->cancelRuns, 0);
  ExpectAllResting();
}

TEST(SkinnedPictures, LoadingStopsAtTheFirstBadFileKeepingTheOnesBefore) {
  const std::vector<std::string> files = {kAok, kIok, kAcancel, kIcancel};
  const struct Case {
    const char* name;
    int bad;  // -1: none
    bool hidden;
    std::string contents;
  } cases[] = {{"all there", -1, false, ""},
               {"first missing", 0, true, ""},
               {"third missing", 2, true, ""},
               {"last missing", 3, true, ""},
               {"second not a bitmap", 1, false, "not a bitmap at all"},
               {"third cut short", 2, false, std::string("BM") + std::string(40, '\0')}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestEnvironment fresh;
    fresh.kernel.currentDirectory = TestEnvironment::kProgramDir;
    if (c.bad >= 0) {
      if (c.hidden)
        fresh.files.Hide(files[std::size_t(c.bad)]);
      else
        fresh.files.Put(files[std::size_t(c.bad)], c.contents);
    }
    std::vector<Picture> pictures(files.size());
    std::vector<std::pair<Picture*, std::string>> list;
    for (std::size_t i = 0; i < files.size(); ++i) list.push_back({&pictures[i], files[i]});
    EXPECT_EQ(LoadPictures(list), c.bad < 0);
    const std::size_t loaded = c.bad < 0 ? files.size() : std::size_t(c.bad);
    for (std::size_t i = 0; i < files.size(); ++i) {
      EXPECT_EQ(pictures[i] != nullptr, i < loaded) << files[i];
      if (pictures[i]) {
        EXPECT_EQ(pictures[i]->Width(), 73);
      }
    }
  }
}

}  // namespace
