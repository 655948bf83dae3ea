// alarm_bench: what several alarms cost, run by hand (not a test). The whole program starts
// on the headless desktop with 1 and with 100 alarms stored; it prints the start-up time and
// the best time of one alarm check (every alarm asked, and the wake timer's next ring).
#include <chrono>
#include <cstdio>
#include <string>

#include "BestTime.h"
#include "TestEnvironment.h"
#include "alarm/AlarmList.h"

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
    const auto t0 = std::chrono::steady_clock::now();
    if (env.Start()) return 1;
    const double startMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    if (!Alarms || Alarms->Count() != count) return 2;
    const double check = bench::BestTime(
        [] {
          Alarms->CheckTime();
          return Alarms->Count();
        },
        0.5);
    std::printf("figure: %3d alarm(s): start-up %.1f ms, one alarm check %.1f us (headless, sanitized build)\n", count,
                startMs, check * 1e6);
  }
  return 0;
}
