#include "alarm/WakeArming.h"

#include "alarm/CalendarTime.h"
#include "platform/Platform.h"
#include "platform/WakeTimer.h"

bool CWakeArming::Set(std::optional<std::int64_t> next, bool force) {
  const bool same = next ? armed_ && *next == at_ : !armed_;
  if (same && !force) return false;
  armed_ = next.has_value();
  at_ = next.value_or(0);
  if (platform::WakeTimer* timer = platform::Installed().wakeTimer) {
    if (next)
      timer->Arm(LocalTimeAt(*next));
    else
      timer->Cancel();
  }
  return !same;
}
