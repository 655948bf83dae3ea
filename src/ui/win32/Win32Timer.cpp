// Timers on SetTimer: each enabled ui::Timer holds one thread timer, found by its id when
// it fires.
#include <map>

#include "ui/Timer.h"
#include "ui/win32/Win32Backend.h"

namespace ui::win32 {
namespace {

std::map<UINT_PTR, Timer*>& Timers() {
  static std::map<UINT_PTR, Timer*> timers;
  return timers;
}

void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = Timers().find(id);
  if (it == Timers().end()) return;
  RunTimerHandler(*it->second);
}

class Win32TimerPeer : public TimerPeer {
 public:
  explicit Win32TimerPeer(Timer& timer) : timer_(timer) {}
  ~Win32TimerPeer() override { Stop(); }
  void Update(bool enabled, unsigned intervalMs) override {
    Stop();
    if (!enabled) return;
    id_ = SetTimer(nullptr, 0, intervalMs, TimerProc);
    if (id_)
      Timers()[id_] = &timer_;
    else
      OutputDebugStringA("Ravilo: SetTimer failed\n");
  }

 private:
  void Stop() {
    if (!id_) return;
    KillTimer(nullptr, id_);
    Timers().erase(id_);
    id_ = 0;
  }
  Timer& timer_;
  UINT_PTR id_ = 0;
};

}  // namespace

std::unique_ptr<TimerPeer> MakeTimerPeer(Timer& timer) { return std::make_unique<Win32TimerPeer>(timer); }

}  // namespace ui::win32
