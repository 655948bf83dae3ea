#pragma once
// The countdown timers: "Tea in 4 minutes". Each ends at a moment of real time (UTC
// milliseconds) fixed when it starts, so that a clock change or a new time zone does not
// move it, and is kept in its own subkey Timers\<id> ("TimerLabel", "TimerEndUtc") so that a
// restart keeps it. The list only counts and stores; the alarm list rings them.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "alarm/Reestr.h"

class CTimerList {
 public:
  static constexpr int kMaxTimers = 20;
  static constexpr std::int64_t kLongestSeconds = 99 * 3600 + 59 * 60 + 59;
  // A stored end further ahead than this was not written by a timer of ours.
  static constexpr std::int64_t kFurthestMs = 100LL * 3600 * 1000;
  // A timer that ended unseen (the program not running, the computer asleep) still rings
  // when it is at most this late; later than that it is reported missed.
  static constexpr std::int64_t kLateRingMs = 3600LL * 1000;
  static constexpr const char* kTooMany = "There are 20 timers running already. Cancel one to start another.";
  static constexpr const char* kUnnamed = "Timer";

  struct Timer {
    int id = 0;
    std::string label;
    std::int64_t endUtcMs = 0;
    // It came due and rings (it is not counted down any more).
    bool ringing = false;
  };

  // Reads every subkey of Timers whose name is an id; a damaged one is removed and logged.
  CTimerList();
  ~CTimerList();
  CTimerList(const CTimerList&) = delete;
  CTimerList& operator=(const CTimerList&) = delete;

  // A timer of that many seconds (1 to kLongestSeconds) from now, stored at once; false with
  // the reason when it cannot be.
  bool Start(const std::string& label, std::int64_t seconds, std::string* refusal = nullptr);
  // Gone, its subkey removed; false when there is no such timer.
  bool Cancel(int id);
  // Every timer, ringing ones too, by end (then id).
  const std::vector<Timer>& All() const { return Timers; }
  const Timer* ById(int id) const;
  // The timers counting down, by end.
  std::vector<const Timer*> Running() const;
  // The end of the first timer counting down.
  std::optional<std::int64_t> NextEndMs() const;

  // Marks the timers whose end has come (by nowUtcMs) as ringing, and gives their ids; those
  // later than kLateRingMs are removed and given as "Tea at 14:05" instead.
  void Check(std::int64_t nowUtcMs, std::int64_t nowLocal, std::vector<int>& due, std::vector<std::string>& missed);
  // A ringing timer answered with more time: it counts down again from now.
  void Extend(int id, std::int64_t nowUtcMs, std::int64_t ms);

  // What names a timer: its label, or "Timer".
  static std::string NameOf(const Timer& timer);
  // "Tea: 3:41 left", "Timer: 1:02:03 left"; seconds rounded up, so that 0:00 is the ring.
  static std::string CountdownText(const Timer& timer, std::int64_t nowUtcMs);
  // "Cancel timer Tea (3 min left)" for 3:41 left, "(41 s left)" in the last minute.
  static std::string CancelText(const Timer& timer, std::int64_t nowUtcMs);

 private:
  static std::string KeyPathOf(int id);
  void Load();
  void Sort();
  void Store(const Timer& timer);
  void Remove(std::size_t index);

  std::vector<Timer> Timers;
  std::unique_ptr<CReestr> TimersKey;
};
