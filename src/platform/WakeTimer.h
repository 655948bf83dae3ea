#pragma once
// A timer that may wake the computer from sleep: CreateWaitableTimer and SetWaitableTimer
// with resume allowed, due at a date and time of the local clock.
#include "platform/Kernel.h"

namespace platform {

class WakeTimer {
 public:
  virtual ~WakeTimer() = default;
  // Sets (or moves) the one timer to the given local date and time; false when the
  // system refused it.
  virtual bool Arm(const LocalTime& when) = 0;
  virtual void Cancel() = 0;
  // While on, the computer neither sleeps nor turns the display off (SetThreadExecutionState):
  // woken by the timer with no one at it, Windows would otherwise sleep again within minutes,
  // in the middle of the ring.
  virtual void StayAwake(bool on) = 0;
};

}  // namespace platform
