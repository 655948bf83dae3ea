// alarm_bench: what several alarms cost, run by hand (not a test). The whole program starts
// on the headless desktop with 1 and with 100 alarms stored; it prints the start-up time and
// the best time of one alarm check (every alarm asked, and the wake timer's next ring), and
// the heap the started program holds (the address sanitizer's count of bytes in use).
#include <chrono>
#include <cstdio>
#include <string>

#include "BestTime.h"
#include "TestEnvironment.h"
#include "alarm/AlarmList.h"

#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
std::size_t HeapBytes() { return __sanitizer_get_current_allocated_bytes(); }
#else
std::size_t HeapBytes() { return 0; }
#endif

namespace {
void Store(TestEnvironment& env, int count) {
  const std::string key = TestEnvironment::kKey;
  env.registry.PutDword(key, "AlarmHour", 6);
  env.registry.PutDword(key, "AlarmMin", 30);
  env.registry.PutDword(key, "AlarmIsOn", 1);
  env.registry.PutDword(key, "UsePlayist", 0);
  env.registry.PutString(key, "AlarmSound", "Sounds\\Alarms\\alarm0.wav");
  for (int id = 1; id < count; ++id) {
    const std::string sub = key + "\\Alarms\\" + std::to_string(id);
    env.registry.PutDword(sub, "AlarmIsOn", 1);
    env.registry.PutDword(sub, "AlarmHour", id % 24);
    env.registry.PutDword(sub, "AlarmMin", id % 60);
    env.registry.PutDword(sub, "AlarmDays", 1 + id % 127);
    env.registry.PutString(sub, "AlarmLabel", "Alarm number " + std::to_string(id));
  }
}
}  // namespace

int main() {
  for (int count : {1, 100}) {
    TestEnvironment env;
    Store(env, count);
    const std::size_t heapBefore = HeapBytes();
    const auto t0 = std::chrono::steady_clock::now();
    if (env.Start()) return 1;
    const double startMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    if (!Alarms || Alarms->Count() != count) return 2;
    const double heapKb = double(HeapBytes() - heapBefore) / 1024;
    const double check = bench::BestTime(
        [] {
          Alarms->CheckTime();
          return Alarms->Count();
        },
        0.5);
    std::printf(
        "figure: %3d alarm(s): start-up %.1f ms, one alarm check %.1f us, heap of the started program %.0f kB "
        "(headless, sanitized build)\n",
        count, startMs, check * 1e6, heapKb);
  }
  return 0;
}
