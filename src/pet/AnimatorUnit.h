#pragma once
// Everything that is seen of the pet: the movie view on the main window, the sixteen
// movies it can play, and the funny eyes with the "Funny eyes" setting.
#include <array>
#include <optional>
#include <functional>
#include <memory>
#include <string>

#include "pet/GifMovie.h"
#include "pet/MovieView.h"

class TFormMain;

class CAnimator {
 public:
  static constexpr int kMovieCount = 16;
  static constexpr int kControlCount = 5;
  static constexpr int kIdleCount = 11;
  static constexpr const char* kMovieFiles[kMovieCount] = {
      "Movies\\Control\\1.gif", "Movies\\Control\\2.gif", "Movies\\Control\\3.gif", "Movies\\Control\\4.gif",
      "Movies\\Control\\10.gif", "Movies\\Idle\\5.gif",   "Movies\\Idle\\6.gif",    "Movies\\Idle\\7.gif",
      "Movies\\Idle\\8.gif",    "Movies\\Idle\\9.gif",    "Movies\\Idle\\11.gif",   "Movies\\Idle\\12.gif",
      "Movies\\Idle\\13.gif",   "Movies\\Idle\\14.gif",   "Movies\\Idle\\15.gif",   "Movies\\Idle\\16.gif"};
  // Which idle movies show the eyes.
  static constexpr bool kShowsEyes[kIdleCount] = {false, false, false, false, false, false,
                                                  false, false, true,  true,  true};

  explicit CAnimator(TFormMain& host);
  virtual ~CAnimator();

  void PlayControlOnce(int i);
  void PlayControlLooped(int i);
  void PlayIdle(int i);
  bool IsPlaying() const;
  bool IsLoaded() const { return Loaded; }
  void Rewind();
  void SetStopHandler(std::function<void()> handler);
  void ShowView();
  void HideView();
  bool IsViewShown() const { return view_ && view_->Visible(); }
  void ClearView();
  void TrackingOn();
  void TrackingOff();
  bool IsTracking() const { return Tracking; }
  void HideEyesIfTracking();
  void ShowEyesIfTracking();

  MovieView* View() const { return view_.get(); }
  // Movie `listPosition` freshly decoded from its file bytes (throws pet::GifError).
  std::shared_ptr<const pet::GifMovie> Movie(int listPosition) const;
  // The list position of the movie the view shows, or -1 (none, or one set by someone else).
  int ShownPosition() const;

 private:
  void SetEyesCheckMark();
  // A control movie: once, or looped (the ringing movie).
  void PlayControl(int i, bool loop);
  TFormMain& host_;
  bool Loaded = true;
  bool Tracking = true;
  std::unique_ptr<MovieView> view_;
  // Each movie's file as read at start-up, where it was decoded once to prove it sound. A
  // movie is decoded again when it is played, in the one art set it is drawn from, and its
  // frames live only while the view shows it: the files are far smaller than their frames.
  std::array<std::string, kMovieCount> Movies;
  // What the start-up decoding found of each movie, for a larger set to be checked against.
  struct Shape {
    int width = 0, height = 0;
    std::size_t frames = 0;
  };
  std::array<Shape, kMovieCount> Shapes;
  // Each movie's file in the larger set (there is one, 2x), read the first time the pet is
  // drawn at a scale that wants it and kept like the 1x files, so a movie start reads no
  // file; empty when missing.
  std::array<std::optional<std::string>, kMovieCount> LargerMovies;
  // Movie `listPosition` decoded in art set `set`, or null when that set has no sound movie
  // of the same shape.
  std::shared_ptr<const pet::GifMovie> MovieInSet(int listPosition, int set);
  void Show(int listPosition);
  std::weak_ptr<const pet::GifMovie> shown_;
  int shownPosition_ = -1;
};

inline CAnimator* Animator = nullptr;
