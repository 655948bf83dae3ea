#include "alarm/TimerList.h"

#include <algorithm>
#include <stdexcept>

#include "alarm/AlarmTexts.h"
#include "alarm/AlarmUnit.h"
#include "app/Globals.h"
#include "platform/Platform.h"

namespace {
// More subkeys than this are not read: a key filled by something gone wrong must not hold
// up the start.
constexpr std::size_t kMostLoaded = 1000;
constexpr const char* kLabelValue = "TimerLabel";
constexpr const char* kEndValue = "TimerEndUtc";

void Log(const std::string& text) { platform::kernel().DebugLog("Ravilo: " + text); }

std::int64_t NowUtcMs() { return platform::kernel().GetSystemTimeMs(); }
}  // namespace

CTimerList::CTimerList() { Load(); }

CTimerList::~CTimerList() = default;

std::string CTimerList::KeyPathOf(int id) { return std::string(CReestr::kKeyPath) + "\\Timers\\" + std::to_string(id); }

void CTimerList::Load() {
  TimersKey = std::make_unique<CReestr>(std::string(CReestr::kKeyPath) + "\\Timers");
  const std::int64_t now = NowUtcMs();
  std::size_t read = 0;
  for (const std::string& name : TimersKey->SubkeyNames()) {
    const int id = ParseSubkeyId(name);
    if (id == 0) {
      Log("timer key '" + name + "' is not a timer's number; left alone");
      continue;
    }
    if (++read > kMostLoaded) {
      Log("more than " + std::to_string(kMostLoaded) + " timer keys; the rest are not read");
      break;
    }
    CReestr store(KeyPathOf(id));
    Timer timer;
    timer.id = id;
    std::string why;
    const platform::RegType labelType = store.TypeOf(kLabelValue);
    if (!store.GetInt64(kEndValue, timer.endUtcMs))
      why = "its end is missing or not a QWORD";
    else if (timer.endUtcMs - now > kFurthestMs)
      why = "its end is more than 100 hours ahead";
    else if (labelType != platform::RegType::None && labelType != platform::RegType::Sz &&
             labelType != platform::RegType::ExpandSz)
      why = "its name is not a string";
    else if (Timers.size() >= std::size_t(kMaxTimers))
      why = "there are " + std::to_string(kMaxTimers) + " timers already";
    if (!why.empty()) {
      Log("timer key " + name + " removed: " + why);
      if (!TimersKey->DeleteSubkey(name)) Log("timer key " + name + " could not be removed");
      continue;
    }
    store.GetString(kLabelValue, timer.label);
    timer.label = CleanLabel(timer.label);
    Timers.push_back(std::move(timer));
  }
  Sort();
}

void CTimerList::Sort() {
  std::stable_sort(Timers.begin(), Timers.end(), [](const Timer& a, const Timer& b) {
    return a.endUtcMs != b.endUtcMs ? a.endUtcMs < b.endUtcMs : a.id < b.id;
  });
}

void CTimerList::Store(const Timer& timer) {
  CReestr store(KeyPathOf(timer.id));
  if (!store.IsOpen()) throw std::runtime_error("The timer could not be stored.");
  store.SetString(kLabelValue, timer.label);
  store.SetInt64(kEndValue, timer.endUtcMs);
}

bool CTimerList::Start(const std::string& label, std::int64_t seconds, std::string* refusal) {
  auto refuse = [refusal](const char* why) {
    if (refusal) *refusal = why;
    return false;
  };
  if (seconds < 1 || seconds > kLongestSeconds) return refuse("A timer runs from 1 second to 99:59:59.");
  if (int(Timers.size()) >= kMaxTimers) return refuse(kTooMany);
  // Never an id that is in use, nor one a damaged key still holds: the highest plus one.
  int id = 1;
  for (const Timer& t : Timers) id = std::max(id, t.id + 1);
  for (const std::string& name : TimersKey->SubkeyNames()) id = std::max(id, ParseSubkeyId(name) + 1);
  Timer timer{id, CleanLabel(label), NowUtcMs() + seconds * 1000, false};
  try {
    Store(timer);
  } catch (const std::exception&) {
    TimersKey->DeleteSubkey(std::to_string(id));
    return refuse("The timer could not be stored.");
  }
  Timers.push_back(std::move(timer));
  Sort();
  return true;
}

bool CTimerList::Cancel(int id) {
  for (std::size_t i = 0; i < Timers.size(); ++i)
    if (Timers[i].id == id) {
      Remove(i);
      return true;
    }
  return false;
}

void CTimerList::Remove(std::size_t index) {
  const std::string name = std::to_string(Timers[index].id);
  Timers.erase(Timers.begin() + std::ptrdiff_t(index));
  if (!TimersKey->DeleteSubkey(name)) Log("timer key " + name + " could not be removed");
}

const CTimerList::Timer* CTimerList::ById(int id) const {
  for (const Timer& t : Timers)
    if (t.id == id) return &t;
  return nullptr;
}

std::vector<const CTimerList::Timer*> CTimerList::Running() const {
  std::vector<const Timer*> running;
  for (const Timer& t : Timers)
    if (!t.ringing) running.push_back(&t);
  return running;
}

std::optional<std::int64_t> CTimerList::NextEndMs() const {
  for (const Timer& t : Timers)
    if (!t.ringing) return t.endUtcMs;
  return std::nullopt;
}

void CTimerList::Check(std::int64_t nowUtcMs, std::int64_t nowLocal, std::vector<int>& due,
                       std::vector<std::string>& missed) {
  for (std::size_t i = 0; i < Timers.size();) {
    Timer& t = Timers[i];
    if (t.ringing || t.endUtcMs > nowUtcMs) {
      ++i;
      continue;
    }
    if (nowUtcMs - t.endUtcMs <= kLateRingMs) {
      t.ringing = true;
      due.push_back(t.id);
      ++i;
      continue;
    }
    // The end on the local clock as it stands now.
    const std::int64_t endLocal = nowLocal - (nowUtcMs - t.endUtcMs) / 1000;
    missed.push_back(NameOf(t) + " at " + CAlarm::ClockText(endLocal));
    Remove(i);
  }
}

void CTimerList::Extend(int id, std::int64_t nowUtcMs, std::int64_t ms) {
  for (Timer& t : Timers)
    if (t.id == id) {
      t.ringing = false;
      t.endUtcMs = nowUtcMs + ms;
      try {
        Store(t);
      } catch (const std::exception& e) {
        // Kept for this run; a restart would ring it again at once, which loses nothing.
        Log(std::string("timer ") + std::to_string(id) + " not stored: " + e.what());
      }
      break;
    }
  Sort();
}

std::string CTimerList::NameOf(const Timer& timer) { return timer.label.empty() ? kUnnamed : timer.label; }

std::string CTimerList::CountdownText(const Timer& timer, std::int64_t nowUtcMs) {
  const std::int64_t left = std::max<std::int64_t>(0, (timer.endUtcMs - nowUtcMs + 999) / 1000);
  const std::int64_t h = left / 3600, m = left / 60 % 60, s = left % 60;
  const std::string clock = h ? std::to_string(h) + ":" + TwoDigits(int(m)) + ":" + TwoDigits(int(s))
                              : std::to_string(m) + ":" + TwoDigits(int(s));
  return NameOf(timer) + ": " + clock + " left";
}

std::string CTimerList::CancelText(const Timer& timer, std::int64_t nowUtcMs) {
  // Whole minutes gone by, as the countdown's minutes read ("3:41 left" is "3 min left");
  // the last minute in seconds.
  const std::int64_t left = std::max<std::int64_t>(0, (timer.endUtcMs - nowUtcMs + 999) / 1000);
  const std::string wait = left < 60 ? std::to_string(left) + " s" : WaitText(left / 60 * 60);
  return "Cancel timer " + NameOf(timer) + " (" + wait + " left)";
}
