#include "ui/Timer.h"

#include "ui/Application.h"

namespace ui {

Timer::Timer() : peer_(Application::Instance().GetBackend().CreateTimerPeer(*this)) {}

Timer::~Timer() {
  enabled_ = false;
  if (peer_) peer_->Update(false, interval_);
}

void Timer::SetInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  Update();
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Update();
}

void Timer::Update() {
  // An interval of 0 never fires, as with a toolkit timer.
  peer_->Update(enabled_ && interval_ > 0, interval_);
}

void Timer::Fire() {
  if (!enabled_ || !OnTimer) return;
  // A copy: the handler may destroy this timer (the program may end inside it).
  const auto handler = OnTimer;
  Application::Instance().Dispatch(handler);
}

}  // namespace ui
