#pragma once
// What the running pet shows, for tests.
#include <cstdint>

#include "pet/AnimatorUnit.h"

// The list position of the movie the view shows, or -1.
inline int Showing() { return Animator->ShownPosition(); }

// How long a movie of the list plays once.
inline std::int64_t Duration(int listPosition) {
  std::int64_t total = 0;
  const auto decoded = Animator->Movie(listPosition);
  const auto& movie = *decoded;
  for (int i = 0; i < int(movie.frames.size()); ++i) total += pet::ClampedFrameDelayMs(movie, i);
  return total;
}
