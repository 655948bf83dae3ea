#include "platform/fake/FakeWakeTimer.h"

namespace platform::fake {

bool FakeWakeTimer::Arm(const LocalTime& when) {
  calls.push_back({true, when});
  armed = when;
  return true;
}

void FakeWakeTimer::Cancel() {
  calls.push_back({false, {}});
  armed.reset();
}

}  // namespace platform::fake
