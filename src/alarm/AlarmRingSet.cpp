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
  // An alarm in the ring is not asked again until the ring ends.
  for (Entry& e : Entries)
    if (!e.alarm->RingInProgressNow()) e.alarm->CheckTime();
}

void CAlarmList::ReportCollectedMisses() {
  if (Misses.empty()) return;
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
  if (ReportMissed) ReportMissed(text);
}

void CAlarmList::JoinDue() {
  if (Due.empty()) return;
  auto by = [this](const CAlarm* a, const CAlarm* b) {
    if (a->LastRingMoment() != b->LastRingMoment()) return a->LastRingMoment() < b->LastRingMoment();
    return IdOf(*a) < IdOf(*b);
  };
  std::stable_sort(Due.begin(), Due.end(), by);
  const bool start = Ring.empty();
  for (CAlarm* a : Due)
    if (std::find(Ring.begin(), Ring.end(), a) == Ring.end()) Ring.push_back(a);
  Due.clear();
  if (start) LastSound = Ring.front();
  if (RingChanged) RingChanged();
  if (start && StartRinging) StartRinging();
}

std::vector<std::string> CAlarmList::RingNameList() const {
  std::vector<std::string> names;
  for (const CAlarm* a : Ring) names.push_back(NameOf(*a));
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
    const std::vector<CAlarm*> ring = Ring.empty() ? std::vector<CAlarm*>{&First()} : Ring;
    Ring.clear();
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

void CAlarmList::UpdateWakeTimer(bool force) {
  if (Batching > 0) {
    BatchWake = true;
    BatchForce = BatchForce || force;
    return;
  }
  if (Wake.Set(NextRing(), force) && NextRingChanged) NextRingChanged();
}
