#pragma once
// The wake timer as last set: the next ring's moment (local seconds), or none. Set again
// only when that moment changes, or when forced (after a resume the system has dropped it).
#include <cstdint>
#include <optional>

class CWakeArming {
 public:
  // Arms or cancels the installed wake timer for `next`; true when the moment changed.
  // A refusal is not asked again until the moment changes.
  bool Set(std::optional<std::int64_t> next, bool force);

 private:
  bool armed_ = false;
  std::int64_t at_ = 0;
};
