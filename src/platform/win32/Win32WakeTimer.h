#pragma once
#include "platform/WakeTimer.h"
#include "platform/win32/WinHeaders.h"

namespace platform::win32 {

// One waitable timer, made at the first arm and closed with the object. Nothing waits on
// it: set with resume allowed, it only wakes a sleeping computer for the alarm.
class Win32WakeTimer : public WakeTimer {
 public:
  Win32WakeTimer() = default;
  ~Win32WakeTimer() override;
  Win32WakeTimer(const Win32WakeTimer&) = delete;
  Win32WakeTimer& operator=(const Win32WakeTimer&) = delete;

  bool Arm(const LocalTime& when) override;
  void Cancel() override;
  void StayAwake(bool on) override;

 private:
  HANDLE timer_ = nullptr;
};

}  // namespace platform::win32
