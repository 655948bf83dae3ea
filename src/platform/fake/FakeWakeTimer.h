#pragma once
// The wake timer for tests: every arm and cancel is recorded, with the time armed.
#include <optional>
#include <vector>

#include "platform/WakeTimer.h"

namespace platform::fake {

class FakeWakeTimer : public WakeTimer {
 public:
  bool Arm(const LocalTime& when) override;
  void Cancel() override;
  void StayAwake(bool on) override { awake = on; }

  struct Call {
    bool arm;        // false: cancel
    LocalTime when;  // for an arm
  };
  std::vector<Call> calls;
  std::optional<LocalTime> armed;  // the time it is set to, if it is set
  bool awake = false;              // the computer is kept awake
};

}  // namespace platform::fake
