#include "pet/MovieView.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "TestEnvironment.h"

namespace {

// Palette entries: red, green, blue, white, and green again (the same colour, another index).
const std::vector<std::uint32_t> kPalette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x00FF00};
constexpr int kW = 4, kH = 3;

// A frame covering the whole screen in one colour index.
pet::GifFrame Frame(std::uint8_t index, int delayMs) {
  pet::GifFrame f;
  f.width = kW;
  f.height = kH;
  f.indices.assign(kW * kH, index);
  f.delayMs = delayMs;
  return f;
}

// Frame i is filled with palette index i % 4, so the colour tells which frame shows.
std::shared_ptr<const pet::GifMovie> Movie(const std::vector<int>& delaysMs) {
  auto m = std::make_shared<pet::GifMovie>();
  m->screenWidth = kW;
  m->screenHeight = kH;
  m->globalPalette = kPalette;
  for (std::size_t i = 0; i < delaysMs.size(); ++i) m->frames.push_back(Frame(std::uint8_t(i % 4), delaysMs[i]));
  return m;
}

class MovieForm : public ui::Form {
 public:
  MovieForm() : view(*this) {
    SetBounds(300, 200, 40, 30);
    SetDesignVisible(true);
    view.SetPosition(10, 5);
  }
  MovieView view;
};

class MovieViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::Application::Instance().CreateForm(form);
    ASSERT_TRUE(form->Visible());
    view().OnStart = [this] { starts.push_back(Now()); };
    view().OnStop = [this] { stops.push_back(Now()); };
    view().OnFrameChanged = [this] { changes.push_back({Now(), view().FrameIndex()}); };
  }
  void TearDown() override { ui::Application::Instance().DestroyForms(); }

  MovieView& view() { return form->view; }
  std::int64_t Now() const { return env.desktop.Now(); }
  void Run(std::int64_t ms) { env.desktop.RunFor(ms); }
  // The colour shown at pixel (x, y) of the movie.
  std::uint32_t Shown(int x = 0, int y = 0) { return form->Compose().At(view().Left() + x, view().Top() + y); }
  void Play(const std::vector<int>& delaysMs, bool loop) {
    view().SetImage(Movie(delaysMs));
    view().SetLoop(loop);
    view().SetAnimate(true);
  }

  struct Change {
    std::int64_t at;
    int index;
  };
  TestEnvironment env;
  MovieForm* form = nullptr;
  std::vector<std::int64_t> starts, stops;
  std::vector<Change> changes;
};

TEST_F(MovieViewTest, FramesStayUpForTheirDelayWithin50To10000Ms) {
  // Delays as stored (10 x hundredths): 0, 1, 4 hundredths play at 50 ms, 1000 and more at 10 s.
  const std::vector<int> stored = {0, 10, 40, 50, 60, 9990, 10000, 15000, 2000000, 0};
  const std::vector<int> shown = {50, 50, 50, 50, 60, 9990, 10000, 10000, 10000, 50};
  Play(stored, true);
  std::int64_t total = 0;
  for (int d : shown) total += d;
  Run(total);
  ASSERT_EQ(changes.size(), shown.size());
  std::int64_t at = 0;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    at += shown[i];
    EXPECT_EQ(changes[i].at, at) << "frame " << i;
    EXPECT_EQ(changes[i].index, int((i + 1) % shown.size()));
  }
  EXPECT_TRUE(stops.empty());
  EXPECT_EQ(starts, std::vector<std::int64_t>{0});
}

TEST_F(MovieViewTest, AOnceMovieStopsOnceAfterAllItsDelaysShowingFrameZero) {
  Play({100, 0, 300}, false);
  Run(449);
  EXPECT_TRUE(stops.empty());
  EXPECT_EQ(view().FrameIndex(), 2);
  EXPECT_EQ(Shown(), ui::Rgb(0, 0, 255));
  Run(1);
  EXPECT_EQ(stops, std::vector<std::int64_t>{450});
  EXPECT_FALSE(view().Animate());
  EXPECT_EQ(view().FrameIndex(), 0);
  EXPECT_EQ(Shown(), ui::Rgb(255, 0, 0));
  Run(60000);
  EXPECT_EQ(stops.size(), 1u);
  EXPECT_EQ(changes.size(), 3u);
  // Stopping what is stopped raises nothing; neither does a view that never ran.
  view().SetAnimate(false);
  EXPECT_EQ(stops.size(), 1u);
  view().SetImage(Movie({100, 100}));
  view().SetAnimate(false);
  EXPECT_EQ(stops.size(), 1u);
  EXPECT_EQ(starts.size(), 1u);
}

TEST_F(MovieViewTest, ANewMovieWhileAnimatingRestartsAtItsFirstFrameForItsFullDelay) {
  Play({100, 100, 100}, false);
  Run(150);
  ASSERT_EQ(view().FrameIndex(), 1);
  // The new movie's first frame has the same delay as the frame it replaces.
  view().SetImage(Movie({100, 200}));
  EXPECT_EQ(view().FrameIndex(), 0);
  EXPECT_TRUE(view().Animate());
  EXPECT_EQ(Shown(), ui::Rgb(255, 0, 0));
  Run(99);
  EXPECT_EQ(view().FrameIndex(), 0) << "the first frame showed for less than its delay";
  Run(1);
  EXPECT_EQ(view().FrameIndex(), 1);
  Run(200);
  EXPECT_EQ(stops, std::vector<std::int64_t>{450});
  EXPECT_EQ(starts, std::vector<std::int64_t>{0});
}

TEST_F(MovieViewTest, SettingTheFrameShowsItForItsFullDelay) {
  Play({100, 100, 100}, true);
  Run(60);
  const auto before = changes.size();
  for (int same : {-1, 3, 99, 0}) view().SetFrameIndex(same);
  EXPECT_EQ(changes.size(), before);
  EXPECT_EQ(view().FrameIndex(), 0);
  view().SetFrameIndex(2);
  ASSERT_EQ(changes.size(), before + 1);
  EXPECT_EQ(Shown(), ui::Rgb(0, 0, 255));
  Run(99);
  EXPECT_EQ(view().FrameIndex(), 2);
  Run(1);
  EXPECT_EQ(view().FrameIndex(), 0);
}

TEST_F(MovieViewTest, AnInvisibleViewDoesNotAdvance) {
  Play({100, 100, 100}, false);
  Run(50);
  view().SetVisible(false);
  Run(5000);
  EXPECT_EQ(view().FrameIndex(), 0);
  EXPECT_TRUE(changes.empty());
  EXPECT_TRUE(stops.empty());
  EXPECT_TRUE(view().Animate());
  view().SetVisible(true);
  const std::int64_t shownAgain = Now();
  Run(1000);
  ASSERT_EQ(stops.size(), 1u);
  // Three more steps, the first at most one delay after it shows again.
  EXPECT_GT(stops[0], shownAgain + 200);
  EXPECT_LE(stops[0], shownAgain + 300);
  EXPECT_EQ(changes.size(), 3u);
}

TEST_F(MovieViewTest, AOneFrameMovieEndsAfterItsDelayOnceButNeverWhenLooped) {
  struct Case {
    int delayMs;
    bool loop;
    bool afterLooped;     // started, as the animator does, while a looped movie runs
    std::int64_t stopAt;  // -1: never
  } cases[] = {{0, false, false, 50},  {3000, false, false, 3000}, {50000, false, false, 10000},
               {400, false, true, 400}, {0, true, false, -1},      {3000, true, true, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "delay " << c.delayMs << " loop " << c.loop << " after " << c.afterLooped);
    if (c.afterLooped) {
      Play({70, 70}, true);
      Run(30);
    }
    starts.clear();
    stops.clear();
    changes.clear();
    const std::int64_t t0 = Now();
    Play({c.delayMs}, c.loop);
    Run(100000);
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(view().FrameIndex(), 0);
    EXPECT_EQ(starts.size(), c.afterLooped ? 0u : 1u);
    if (c.stopAt < 0) {
      EXPECT_TRUE(stops.empty());
      EXPECT_TRUE(view().Animate());
      view().SetAnimate(false);
    } else {
      EXPECT_EQ(stops, std::vector<std::int64_t>{t0 + c.stopAt});
    }
  }
}

TEST_F(MovieViewTest, OnlyReallyTransparentPixelsLetTheKeyColourThrough) {
  // Index 1 is transparent; index 4 has the same colour but is opaque.
  auto m = std::make_shared<pet::GifMovie>(*Movie({100}));
  pet::GifFrame& f = m->frames[0];
  f.transparentIndex = 1;
  f.indices = {0, 1, 4, 2, 1, 1, 3, 4, 0, 0, 0, 1};
  view().SetImage(m);
  EXPECT_EQ(view().Bounds(), (ui::Rect{10, 5, kW, kH}));
  const std::uint32_t red = ui::Rgb(255, 0, 0), green = ui::Rgb(0, 255, 0), blue = ui::Rgb(0, 0, 255),
                      white = ui::Rgb(255, 255, 255), key = ui::kKeyColour;
  const std::vector<std::uint32_t> keyed = {red, key, green, blue, key, key, white, green, red, red, red, key};
  for (bool transparent : {true, false}) {
    view().SetTransparent(transparent);
    for (int i = 0; i < kW * kH; ++i) {
      const std::uint32_t want = keyed[i] == key && !transparent ? green : keyed[i];
      EXPECT_EQ(Shown(i % kW, i / kW), want) << "pixel " << i << (transparent ? "" : " opaque");
    }
  }
  // Around the movie the form keeps its key colour.
  EXPECT_EQ(form->Compose().At(view().Left() - 1, view().Top()), key);
  EXPECT_EQ(form->Compose().At(view().Left() + kW, view().Top() + kH), key);
}

TEST_F(MovieViewTest, DestroyingAnAnimatingViewTellsNoOne) {
  auto extra = std::make_unique<MovieView>(*form);
  int events = 0;
  extra->OnStop = [&] { ++events; };
  extra->SetImage(Movie({100, 100}));
  extra->SetLoop(false);
  extra->SetAnimate(true);
  Run(50);
  extra.reset();
  Run(1000);
  EXPECT_EQ(events, 0);
}

}  // namespace

TEST_F(MovieViewTest, WithoutAutoSizeTheFrameIsClippedOrCentredInTheControl) {
  view().SetAutoSize(false);
  view().SetBounds({10, 5, kW + 4, kH + 2});
  view().SetImage(Movie({100}));
  EXPECT_EQ(view().Bounds(), (ui::Rect{10, 5, kW + 4, kH + 2}));
  const std::uint32_t first = Shown(0, 0);
  EXPECT_NE(first, ui::kKeyColour);
  view().SetCenter(true);
  EXPECT_EQ(Shown(0, 0), ui::kKeyColour);
  EXPECT_EQ(Shown(2, 1), first);
  // A control smaller than the movie shows only its own part.
  view().SetCenter(false);
  view().SetBounds({10, 5, 1, 1});
  EXPECT_EQ(Shown(0, 0), first);
  EXPECT_EQ(Shown(1, 0), ui::kKeyColour);
}
