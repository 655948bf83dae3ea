#pragma once
// What the running pet shows, for tests.
#include <cstdint>

#include "pet/AnimatorUnit.h"

// The list position of the movie the view shows, or -1.
inline int Showing() { return Animator->ShownPosition(); }

// The heap that the decoded movie in the view holds: movies are decoded when played, so
// this changes with the movie and is left out when the heap is compared over time.
inline std::size_t ShownMovieBytes() {
  const auto& m = Animator->View()->Image();
  if (!m) return 0;
  std::size_t n = sizeof(pet::GifMovie) + m->globalPalette.capacity() * 4 + m->frames.capacity() * sizeof(pet::GifFrame);
  for (const auto& f : m->frames) n += f.indices.capacity() + f.localPalette.capacity() * 4;
  return n;
}

// How long a movie of the list plays once.
inline std::int64_t Duration(int listPosition) {
  std::int64_t total = 0;
  const auto decoded = Animator->Movie(listPosition);
  const auto& movie = *decoded;
  for (int i = 0; i < int(movie.frames.size()); ++i) total += pet::ClampedFrameDelayMs(movie, i);
  return total;
}
