// The alarms rung together: checks, the ring as a set, stop and snooze of the set, the next
// ring of all and the wake timer.
#include <algorithm>

#include "alarm/AlarmList.h"
#include "alarm/CalendarTime.h"
#include "platform/Platform.h"

class CAlarmList::Batch {
 public:
  explicit Batch(CAlarmList& list) : list_(list) { ++list_.Batching; }
  ~Batch() {
    if (--list_.Batching > 0 || !list_.BatchWake) return;
    list_.BatchWake = false;
    const bool force = list_.BatchForce;
    list_.BatchForce = false;
    list_.UpdateWakeTimer(force);
  }
  Batch(const Batch&) = delete;
  Batch& operator=(const Batch&) = delete;

 private:
  CAlarmList& list_;
};

void CAlarmList::CheckTime() {
  if (Ringing()) {
    CheckJoin();
    return;
  }
  {
    Batch batch(*this);
    CheckEach();
  }
  ReportCollectedMisses();
  JoinDue();
}

void CAlarmList::CheckJoin() {
  if (!Ringing()) return;
  {
    Batch batch(*this);
    CheckEach();
  }
  ReportCollectedMisses();
  JoinDue();
}

void CAlarmList::CheckEach() {
  Due.clear();
  Misses.clear();
  DueTimers.clear();
  TimerMisses.clear();
  // An alarm in the ring is not asked again until the ring ends.
  for (Entry& e : Entries)
    if (!e.alarm->RingInProgressNow()) e.alarm->CheckTime();
  const std::size_t before = TimerStore.All().size();
  TimerStore.Check(platform::kernel().GetSystemTimeMs(), LocalSeconds(platform::kernel().GetLocalTime()), DueTimers,
                   TimerMisses);
  if (!DueTimers.empty() || TimerStore.All().size() != before) {
    UpdateWakeTimer(false);
    if (TimersChanged) TimersChanged();
  }
}

void CAlarmList::ReportCollectedMisses() {
  std::string timers;
  if (TimerMisses.size() == 1) {
    timers = "Missed timer " + TimerMisses[0];
  } else if (!TimerMisses.empty()) {
    timers = "Missed timers: ";
    for (std::size_t i = 0; i < TimerMisses.size(); ++i) timers += (i ? ", " : "") + TimerMisses[i];
  }
  TimerMisses.clear();
  if (Misses.empty()) {
    if (!timers.empty() && ReportMissed) ReportMissed(timers);
    return;
  }
  auto by = [this](const CAlarm* a, const CAlarm* b) {
    if (a->MissedMoment() != b->MissedMoment()) return a->MissedMoment() < b->MissedMoment();
    return IdOf(*a) < IdOf(*b);
  };
  std::stable_sort(Misses.begin(), Misses.end(), by);
  auto item = [](const CAlarm* a) {
    return CAlarm::ClockText(a->MissedMoment()) + (a->Label().empty() ? "" : " " + a->Label());
  };
  std::string text;
  if (Misses.size() == 1) {
    text = "Missed alarm at " + item(Misses[0]);
  } else {
    text = "Missed alarms: ";
    for (std::size_t i = 0; i < Misses.size(); ++i) text += (i ? ", " : "") + item(Misses[i]);
  }
  Misses.clear();
  if (!timers.empty()) text += "\n" + timers;
  if (ReportMissed) ReportMissed(text);
}

void CAlarmList::JoinDue() {
  if (Due.empty() && DueTimers.empty()) return;
  auto by = [this](const CAlarm* a, const CAlarm* b) {
    if (a->LastRingMoment() != b->LastRingMoment()) return a->LastRingMoment() < b->LastRingMoment();
    return IdOf(*a) < IdOf(*b);
  };
  std::stable_sort(Due.begin(), Due.end(), by);
  const bool start = !Ringing();
  for (CAlarm* a : Due)
    if (std::find(Ring.begin(), Ring.end(), a) == Ring.end()) Ring.push_back(a);
  Due.clear();
  for (int id : DueTimers)
    if (std::find(RingTimers.begin(), RingTimers.end(), id) == RingTimers.end()) RingTimers.push_back(id);
  DueTimers.clear();
  // Timers ring with the first alarm's sound.
  if (start) LastSound = Ring.empty() ? &First() : Ring.front();
  if (RingChanged) RingChanged();
  if (start && StartRinging) StartRinging();
}

std::vector<std::string> CAlarmList::RingNameList() const {
  std::vector<std::string> names;
  for (const CAlarm* a : Ring) names.push_back(NameOf(*a));
  for (const std::string& name : RingTimerNames()) names.push_back(name);
  return names;
}

std::vector<std::string> CAlarmList::RingTimerNames() const {
  std::vector<std::string> names;
  for (int id : RingTimers)
    if (const CTimerList::Timer* t = TimerStore.ById(id)) names.push_back(CTimerList::NameOf(*t));
  return names;
}

std::string CAlarmList::RingNames() const {
  std::string names;
  for (const std::string& name : RingNameList()) names += (names.empty() ? "" : ", ") + name;
  return names;
}

CAlarm& CAlarmList::SoundAlarm() { return LastSound ? *LastSound : First(); }

void CAlarmList::RecordStop() { EndRing(false); }

void CAlarmList::RecordSnooze() { EndRing(true); }

void CAlarmList::EndRing(bool snooze) {
  {
    Batch batch(*this);
    // Without a ring the first alarm answers as the one alarm always has (it says so).
    const std::vector<CAlarm*> ring = Ring.empty() && RingTimers.empty() ? std::vector<CAlarm*>{&First()} : Ring;
    const std::vector<int> timers = RingTimers;
    Ring.clear();
    RingTimers.clear();
    // A snooze gives the timers in the ring the snooze's length; a ring of timers alone is
    // answered with one more minute. A stop ends them.
    const std::int64_t more = ring.empty() ? kMoreTimeMs : std::int64_t(First().GetOptions().snoozeMinutes) * 60'000;
    const std::int64_t now = platform::kernel().GetSystemTimeMs();
    for (int id : timers) {
      if (snooze)
        TimerStore.Extend(id, now, more);
      else
        TimerStore.Cancel(id);
    }
    if (!timers.empty()) {
      UpdateWakeTimer(false);
      if (TimersChanged) TimersChanged();
    }
    // Snoozed in the same second, they come back in the same check, as one ring again.
    for (CAlarm* a : ring) {
      if (snooze)
        a->RecordSnooze();
      else
        a->RecordStop();
    }
  }
  if (RingChanged) RingChanged();
}

bool CAlarmList::AnyOn() const {
  return std::any_of(Entries.begin(), Entries.end(), [](const Entry& e) { return e.alarm->IsOn(); });
}

std::optional<std::int64_t> CAlarmList::NextRing() const {
  std::optional<std::int64_t> best;
  for (const Entry& e : Entries)
    if (const auto next = e.alarm->NextRing(); next && (!best || *next < *best)) best = next;
  return best;
}

CAlarm* CAlarmList::NextAlarm() const {
  CAlarm* best = nullptr;
  std::int64_t at = 0;
  for (const Entry& e : Entries)
    if (const auto next = e.alarm->NextRing(); next && (!best || *next < at)) {
      best = e.alarm.get();
      at = *next;
    }
  return best;
}

CAlarm* CAlarmList::SkipCandidate() {
  CAlarm* best = nullptr;
  std::int64_t at = 0;
  for (Entry& e : Entries)
    if (const auto ring = e.alarm->SkippableRing(); ring && (!best || *ring < at)) {
      best = e.alarm.get();
      at = *ring;
    }
  return best;
}

std::string CAlarmList::RingText(std::int64_t moment, const CAlarm& alarm) {
  return CAlarm::RingText(moment) + (alarm.Label().empty() ? "" : " " + alarm.Label());
}

bool CAlarmList::StartTimer(const std::string& label, std::int64_t seconds, std::string* refusal) {
  if (!TimerStore.Start(label, seconds, refusal)) return false;
  UpdateWakeTimer(false);
  if (TimersChanged) TimersChanged();
  return true;
}

bool CAlarmList::CancelTimer(int id) {
  if (std::find(RingTimers.begin(), RingTimers.end(), id) != RingTimers.end()) return false;
  if (!TimerStore.Cancel(id)) return false;
  UpdateWakeTimer(false);
  if (TimersChanged) TimersChanged();
  return true;
}

void CAlarmList::UpdateWakeTimer(bool force) {
  if (Batching > 0) {
    BatchWake = true;
    BatchForce = BatchForce || force;
    return;
  }
  // The computer wakes for the first timer's end too, on the local clock as it stands now.
  std::optional<std::int64_t> wake = NextRing();
  if (const auto end = TimerStore.NextEndMs()) {
    // The local clock's offset from UTC to the nearest second, so that the moment does not
    // move with the part of a second at which it is asked.
    auto& kernel = platform::kernel();
    const platform::LocalTime local = kernel.GetLocalTime();
    const std::int64_t offsetMs = LocalSeconds(local) * 1000 + local.milliseconds - kernel.GetSystemTimeMs();
    const std::int64_t offset = (offsetMs >= 0 ? offsetMs + 500 : offsetMs - 500) / 1000;
    const std::int64_t at = (*end + 999) / 1000 + offset;
    if (!wake || at < *wake) wake = at;
  }
  const bool changed = Wake.Set(wake, force);
  // The tip and the skip item follow the alarms' next ring alone.
  if (changed && NextRingChanged) NextRingChanged();
}
