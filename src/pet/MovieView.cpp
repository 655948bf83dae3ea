#include "pet/MovieView.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <span>
#include <vector>

#include "ui/Form.h"
#include "ui/Rescale.h"

namespace {
// A one-frame movie played once still ends, after its frame has shown this long at least,
// so that whoever waits for the end of every movie is not left waiting.
int SingleFrameDelay(const pet::GifMovie& movie) {
  if (movie.frames.empty()) return 50;
  return std::clamp(movie.frames[0].delayMs, 50, 10000);
}

// The art sets a movie may come in, percent.
constexpr int kArtSets[] = {100, 200};

// The smallest design rectangle that covers `part` of art drawn at `set` percent.
ui::Rect DesignCover(ui::Rect part, int set) {
  if (set == 100 || part.Empty()) return part;
  const auto down = [set](int v) { return int(std::floor(double(v) * 100 / set)); };
  const auto up = [set](int v) { return int(std::ceil(double(v) * 100 / set)); };
  const int l = down(part.left), t = down(part.top);
  return {l, t, up(part.left + part.width) - l, up(part.top + part.height) - t};
}
}  // namespace

MovieView::MovieView(ui::Form& owner) : ui::Control(owner) {
  frameTimer_.SetInterval(1000);
  frameTimer_.OnTimer = [this] { FrameStep(); };
}

MovieView::~MovieView() {
  // No event reaches the owner while the view goes away.
  OnStart = nullptr;
  OnStop = nullptr;
  OnFrameChanged = nullptr;
  OnMouseDown = nullptr;
  SetAnimate(false);
}

int MovieView::CurrentDelay() const {
  if (!movie_ || frameIndex_ < 0 || frameIndex_ >= FrameCount()) return 0;
  return pet::ClampedFrameDelayMs(*movie_, frameIndex_);
}

void MovieView::UpdateTimer(bool restart) {
  int interval = CurrentDelay();
  if (interval == 0 && movie_ && FrameCount() < 2 && !loop_) interval = SingleFrameDelay(*movie_);
  // An interval of 0 keeps the timer from firing, as with a toolkit timer.
  frameTimer_.SetInterval(unsigned(interval));
  // A frame made current from outside the clock (a new movie, a chosen frame) shows for its
  // whole delay, also when that delay equals the interval already running.
  if (restart && frameTimer_.Enabled()) {
    frameTimer_.SetEnabled(false);
    frameTimer_.SetEnabled(true);
  }
}

void MovieView::SetImage(std::shared_ptr<const pet::GifMovie> movie, MovieSets sets, int set) {
  movie_ = std::move(movie);
  composer_.reset();
  sets_ = std::move(sets);
  set_ = set > 0 ? set : 100;
  missingSets_ = 0;
  scaledIndex_ = -1;
  scaledFrame_ = ui::Bitmap();
  if (movie_ && !movie_->frames.empty()) {
    composer_.emplace(movie_);
    design_ = {movie_->screenWidth * 100 / set_, movie_->screenHeight * 100 / set_};
    frameIndex_ = 0;
    if (autoSize_) SetBounds({Left(), Top(), design_.width, design_.height});
  } else {
    design_ = {};
    frameIndex_ = -1;
  }
  UpdateTimer(true);
  Invalidate();
}

void MovieView::SetFrameIndex(int index) {
  if (index == frameIndex_ || index < 0 || index >= FrameCount()) return;
  frameIndex_ = index;
  UpdateTimer(true);
  Raise(OnFrameChanged);
  Invalidate();
}

void MovieView::SetLoop(bool loop) {
  loop_ = loop;
  // A one-frame movie has a clock only when played once.
  UpdateTimer();
}

void MovieView::SetCenter(bool center) {
  center_ = center;
  Invalidate();
}

void MovieView::SetTransparent(bool transparent) {
  transparent_ = transparent;
  Invalidate();
}

void MovieView::SetAnimate(bool animate) {
  if (animate == animate_) return;
  if (animate) {
    UpdateTimer();
    frameTimer_.SetEnabled(true);
    animate_ = frameTimer_.Enabled();
    Raise(OnStart);
  } else {
    frameTimer_.SetEnabled(false);
    animate_ = false;
    Raise(OnStop);
    Invalidate();
  }
}

void MovieView::FrameStep() {
  if (!Visible() || !Owner().Created() || !movie_) return;
  if (FrameCount() < 2) {
    if (!loop_) SetAnimate(false);
    return;
  }
  const int previous = frameIndex_;
  frameIndex_ = frameIndex_ + 1 >= FrameCount() ? 0 : frameIndex_ + 1;
  Raise(OnFrameChanged);
  InvalidateStep(previous, frameIndex_);
  UpdateTimer();
  if (!loop_ && frameIndex_ == 0) SetAnimate(false);
}

void MovieView::InvalidateStep(int from, int to) {
  if (!movie_ || to != from + 1) {
    Invalidate();  // back to the first frame: composed afresh
    return;
  }
  // From one frame to the next, the picture changes only where the new frame lies and,
  // when the old one is disposed of (background or previous picture), where that one lay.
  // All of it in the pixels of the set drawn, which are the ones that reach the screen.
  const pet::GifFrame& next = movie_->frames[std::size_t(to)];
  const pet::GifFrame& last = movie_->frames[std::size_t(from)];
  ui::Rect changed{next.left, next.top, next.width, next.height};
  if (last.disposal >= 2) changed = ui::Union(changed, {last.left, last.top, last.width, last.height});
  const int w = composer_ ? composer_->Width() : 0, h = composer_ ? composer_->Height() : 0;
  changed = ui::Intersect(changed, {0, 0, w, h});
  // A fifth of the pet's frames only hold the picture longer: they draw what is there
  // already, and the screen is left alone.
  if (composer_ && !changed.Empty() && SameInside(changed, from, to)) return;
  changed = DesignCover(changed, set_);
  const int dx = center_ ? (Width() - design_.width) / 2 : 0, dy = center_ ? (Height() - design_.height) / 2 : 0;
  Invalidate({changed.left + dx, changed.top + dy, changed.width, changed.height});
}

bool MovieView::SameInside(ui::Rect part, int from, int to) {
  const int w = composer_->Width();
  // The composer keeps the frame it composed last, which is `from` once it has been painted;
  // `to` stays composed for the paint that follows.
  const auto& before = composer_->Compose(from);
  std::vector<std::uint32_t> old;
  old.reserve(std::size_t(part.width) * std::size_t(part.height));
  for (int y = part.top; y < part.top + part.height; ++y) {
    const auto row = before.begin() + std::ptrdiff_t(std::size_t(y) * std::size_t(w) + std::size_t(part.left));
    old.insert(old.end(), row, row + part.width);
  }
  const auto& after = composer_->Compose(to);
  auto o = old.begin();
  for (int y = part.top; y < part.top + part.height; ++y, o += part.width) {
    const auto row = after.begin() + std::ptrdiff_t(std::size_t(y) * std::size_t(w) + std::size_t(part.left));
    if (!std::equal(row, row + part.width, o)) return false;
  }
  return true;
}

void MovieView::Raise(const std::function<void()>& event) {
  if (!event) return;
  const auto handler = event;  // the handler may replace the event
  handler();
}

void MovieView::ScaleChanged() {
  scaledIndex_ = -1;
  scaledFrame_ = ui::Bitmap();
  TakeSetFor(Owner().Scale());
  Invalidate();
}

void MovieView::TakeSetFor(int scale) {
  if (!movie_ || !sets_) return;
  for (;;) {
    int available[std::size(kArtSets)];
    std::size_t n = 0;
    for (std::size_t i = 0; i < std::size(kArtSets); ++i)
      if (kArtSets[i] == set_ || !(missingSets_ & (1u << i))) available[n++] = kArtSets[i];
    const int wanted = ui::PlanScale(std::span<const int>(available, n), scale).set;
    if (wanted == set_) return;
    const std::size_t bit = std::size_t(std::find(std::begin(kArtSets), std::end(kArtSets), wanted) - kArtSets);
    std::shared_ptr<const pet::GifMovie> movie;
    try {
      movie = sets_(wanted);
    } catch (...) {
      movie = nullptr;  // a damaged set: the one drawn now is scaled instead
    }
    // It must be the same movie, frame for frame, at that set's size.
    if (movie && movie->screenWidth == ui::ScaledLength(design_.width, wanted) &&
        movie->screenHeight == ui::ScaledLength(design_.height, wanted) && movie->frames.size() == movie_->frames.size()) {
      movie_ = std::move(movie);
      composer_.emplace(movie_);
      set_ = wanted;
      scaledIndex_ = -1;
      return;
    }
    missingSets_ |= 1u << bit;
  }
}

const ui::Bitmap& MovieView::ScaledFrame(int scale) {
  if (scaledIndex_ == frameIndex_ && scaledScale_ == scale) return scaledFrame_;
  const int set = set_;
  const ui::ScalePlan plan = ui::PlanScale(std::span<const int>(&set, 1), scale);
  const auto& pixels = composer_->Compose(frameIndex_);
  ui::Bitmap frame(composer_->Width(), composer_->Height());
  std::copy(pixels.begin(), pixels.end(), frame.Pixels().begin());
  scaledFrame_ = ui::MakeScaled(frame, plan, design_, scale, std::nullopt);
  scaledIndex_ = frameIndex_;
  scaledScale_ = scale;
  return scaledFrame_;
}

void MovieView::Paint(ui::Bitmap& surface) {
  if (!composer_ || frameIndex_ < 0) return;
  const int scale = Owner().Scale();
  if (sets_ && set_ != scale) TakeSetFor(scale);
  int w = design_.width, h = design_.height;
  int x = Left(), y = Top();
  if (center_) {
    x += (Width() - w) / 2;
    y += (Height() - h) / 2;
  }
  ui::Rect within = Bounds();
  const std::uint32_t* pixels = nullptr;
  if (scale != 100) {
    const ui::Rect at = Owner().ToScreenPart({x, y, w, h});
    x = at.left, y = at.top;
    within = Owner().ToScreenPart(within);
  }
  if (scale == set_) {
    // The set's own scale: its frames as composed.
    pixels = composer_->Compose(frameIndex_).data();
    w = composer_->Width(), h = composer_->Height();
  } else {
    const ui::Bitmap& frame = ScaledFrame(scale);
    w = frame.Width(), h = frame.Height();
    pixels = frame.Pixels().data();
  }
  // Drawn within the control only; without Transparent the background shows instead of
  // the see-through pixels.
  const std::uint32_t background = composer_->Background() | ui::kOpaque;
  const ui::Rect c = ui::Intersect(ui::Intersect({x, y, w, h}, within), surface.Clip());
  const int cx0 = c.left, cy0 = c.top, cx1 = c.left + c.width, cy1 = c.top + c.height;
  for (int ty = cy0; ty < cy1; ++ty) {
    const std::uint32_t* row = pixels + std::size_t(ty - y) * w;
    for (int tx = cx0; tx < cx1; ++tx) {
      const std::uint32_t p = row[tx - x];
      if (p & ui::kOpaque)
        surface.At(tx, ty) = p;
      else if (!transparent_)
        surface.At(tx, ty) = background;
    }
  }
}
