#pragma once
// What the running pet shows, for tests.
#include <cstdint>

#include "pet/AnimatorUnit.h"

// The list position of the movie the view shows, or -1.
inline int Showing() {
  const auto& shown = Animator->View()->Image();
  for (int i = 0; i < CAnimator::kMovieCount; ++i)
    if (shown && shown == Animator->Movie(i)) return i;
  return -1;
}

// How long a movie of the list plays once.
inline std::int64_t Duration(int listPosition) {
  std::int64_t total = 0;
  const auto& movie = *Animator->Movie(listPosition);
  for (int i = 0; i < int(movie.frames.size()); ++i) total += pet::ClampedFrameDelayMs(movie, i);
  return total;
}
