#pragma once
// The control in which the pet's GIF movies play: draws the current frame with its
// transparent pixels left out, steps frames by their own delays from a GUI-thread timer,
// and tells its owner when a movie has started and stopped.
#include <functional>
#include <memory>
#include <optional>

#include "pet/FrameComposer.h"
#include "pet/GifMovie.h"
#include "ui/Control.h"
#include "ui/Timer.h"

class MovieView : public ui::Control {
 public:
  explicit MovieView(ui::Form& owner);
  ~MovieView() override;

  // The same movie in art set `set` (percent: 100 is the design size), or null when that set
  // has none. Asked for at most once per set while the movie shows.
  using MovieSets = std::function<std::shared_ptr<const pet::GifMovie>(int set)>;
  // The movie is shared, never changed; every setting starts it from its first frame.
  // `movie` is its art at `set` percent (its screen is the design size at that scale). The
  // view draws each scale from the set that suits it, asking `sets` for another set when the
  // scale wants one (frame for frame the same movie), and detects change on the frames of
  // the set it draws: nothing is composed twice.
  void SetImage(std::shared_ptr<const pet::GifMovie> movie, MovieSets sets = nullptr, int set = 100);
  // The movie drawn: the art of ArtSet().
  const std::shared_ptr<const pet::GifMovie>& Image() const { return movie_; }
  int ArtSet() const { return set_; }
  bool Animate() const { return animate_; }
  void SetAnimate(bool animate);
  bool Loop() const { return loop_; }
  void SetLoop(bool loop);
  int FrameIndex() const { return frameIndex_; }
  void SetFrameIndex(int index);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  // Centre the frame in the control (when the control is not sized to the movie).
  bool Center() const { return center_; }
  void SetCenter(bool center);
  // Take the movie's logical screen size with each new movie.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize) { autoSize_ = autoSize; }
  // Frame steps always run on the GUI thread here; the setting is kept for the owner.
  bool AsyncDrawing() const { return asyncDrawing_; }
  void SetAsyncDrawing(bool async) { asyncDrawing_ = async; }
  int FrameCount() const { return movie_ ? int(movie_->frames.size()) : 0; }
  // The delay the frame clock uses for the current frame: 0 (never fires) for an invalid
  // index or a movie of fewer than two frames, else the frame's delay within 50..10000 ms.
  int CurrentDelay() const;

  std::function<void()> OnStart;
  std::function<void()> OnStop;
  std::function<void()> OnFrameChanged;

  void Paint(ui::Bitmap& surface) override;
  void ScaleChanged() override;
  // One tick of the frame clock (the timer calls it; tests may too).
  void FrameStep();

 private:
  void Raise(const std::function<void()>& event);
  // Repaints what changes from frame `from` to frame `to`.
  void InvalidateStep(int from, int to);
  // Whether frame `to` shows the same pixels as frame `from` inside `part` (art coordinates).
  bool SameInside(ui::Rect part, int from, int to);
  void UpdateTimer(bool restart = false);
  // Draws from the art set that suits the form's scale, taking it from `sets_` if needed.
  void TakeSetFor(int scale);
  // The current frame at the form's scale, made when the frame or the scale changed; only
  // for a scale that is not the drawn set's own.
  const ui::Bitmap& ScaledFrame(int scale);

  std::shared_ptr<const pet::GifMovie> movie_;
  std::optional<pet::FrameComposer> composer_;
  MovieSets sets_;
  int set_ = 100;
  // The movie's size at 100 %.
  ui::Size design_{};
  // Sets that `sets_` had no fitting movie for (bit i: kArtSets[i]).
  unsigned missingSets_ = 0;
  ui::Bitmap scaledFrame_;
  int scaledIndex_ = -1, scaledScale_ = 100;
  ui::Timer frameTimer_;
  int frameIndex_ = -1;
  bool animate_ = false;
  bool loop_ = true;
  bool transparent_ = true;
  bool center_ = false;
  bool autoSize_ = true;
  bool asyncDrawing_ = false;
};
