#include "pet/MovieView.h"

#include <algorithm>
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

void MovieView::SetImage(std::shared_ptr<const pet::GifMovie> movie, LargerMovie larger) {
  movie_ = std::move(movie);
  composer_.reset();
  larger_ = std::move(larger);
  largerComposer_.reset();
  largerSet_ = 0;
  scaledIndex_ = -1;
  scaledFrame_ = ui::Bitmap();
  if (movie_ && !movie_->frames.empty()) {
    composer_.emplace(movie_);
    frameIndex_ = 0;
    if (autoSize_) SetBounds({Left(), Top(), movie_->screenWidth, movie_->screenHeight});
  } else {
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
  const pet::GifFrame& next = movie_->frames[std::size_t(to)];
  const pet::GifFrame& last = movie_->frames[std::size_t(from)];
  ui::Rect changed{next.left, next.top, next.width, next.height};
  if (last.disposal >= 2) changed = ui::Union(changed, {last.left, last.top, last.width, last.height});
  const int w = composer_ ? composer_->Width() : 0, h = composer_ ? composer_->Height() : 0;
  changed = ui::Intersect(changed, {0, 0, w, h});
  // A fifth of the pet's frames only hold the picture longer: they draw what is there
  // already, and the screen is left alone.
  if (composer_ && !changed.Empty() && SameInside(changed, from, to)) return;
  const int dx = center_ ? (Width() - w) / 2 : 0, dy = center_ ? (Height() - h) / 2 : 0;
  Invalidate({changed.left + dx, changed.top + dy, changed.width, changed.height});
}

bool MovieView::SameInside(ui::Rect part, int from, int to) {
  const int w = composer_->Width();
  // The composer keeps the frame it composed last, which is `from` once it has been painted.
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
  Invalidate();
}

const ui::Bitmap& MovieView::ScaledFrame(int scale) {
  if (scaledIndex_ == frameIndex_ && scaledScale_ == scale) return scaledFrame_;
  const ui::Size base{composer_->Width(), composer_->Height()};
  // The larger set is looked for once per movie; it must be the same movie, frame for frame.
  constexpr int kLargerSets[] = {100, 200};
  std::span<const int> sets(kLargerSets, largerSet_ < 0 || !larger_ ? 1 : 2);
  ui::ScalePlan plan = ui::PlanScale(sets, scale);
  if (plan.set != 100 && largerSet_ == 0) {
    std::shared_ptr<const pet::GifMovie> movie;
    try {
      movie = larger_(plan.set);
    } catch (...) {
      movie = nullptr;  // a damaged larger set: the movie itself is scaled instead
    }
    if (movie && movie->screenWidth == ui::ScaledLength(base.width, plan.set) &&
        movie->screenHeight == ui::ScaledLength(base.height, plan.set) && movie->frames.size() == movie_->frames.size()) {
      largerComposer_.emplace(std::move(movie));
      largerSet_ = plan.set;
    } else {
      largerSet_ = -1;
      plan = ui::PlanScale(std::span<const int>(kLargerSets, 1), scale);
    }
  }
  pet::FrameComposer& from = plan.set == 100 ? *composer_ : *largerComposer_;
  const auto& pixels = from.Compose(frameIndex_);
  ui::Bitmap frame(from.Width(), from.Height());
  std::copy(pixels.begin(), pixels.end(), frame.Pixels().begin());
  scaledFrame_ = ui::MakeScaled(frame, plan, base, scale, std::nullopt);
  scaledIndex_ = frameIndex_;
  scaledScale_ = scale;
  return scaledFrame_;
}

void MovieView::Paint(ui::Bitmap& surface) {
  if (!composer_ || frameIndex_ < 0) return;
  const int scale = Owner().Scale();
  int w = composer_->Width(), h = composer_->Height();
  int x = Left(), y = Top();
  if (center_) {
    x += (Width() - w) / 2;
    y += (Height() - h) / 2;
  }
  ui::Rect within = Bounds();
  const std::uint32_t* pixels = nullptr;
  if (scale == 100) {
    pixels = composer_->Compose(frameIndex_).data();
  } else {
    const ui::Bitmap& frame = ScaledFrame(scale);
    const ui::Rect at = Owner().ToScreenPart({x, y, w, h});
    x = at.left, y = at.top, w = frame.Width(), h = frame.Height();
    within = Owner().ToScreenPart(within);
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
