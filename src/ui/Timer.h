#pragma once
// A window timer: ticks arrive as messages on the GUI thread.
#include <functional>
#include <memory>

#include "ui/Backend.h"

namespace ui {

class Timer {
 public:
  Timer();
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  std::function<void()> OnTimer;

  // Called by the backend when the interval has passed.
  void Fire();

 private:
  void Update();
  std::unique_ptr<TimerPeer> peer_;
  unsigned interval_ = 1000;
  bool enabled_ = false;
};

}  // namespace ui
