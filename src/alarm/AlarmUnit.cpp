#include "alarm/AlarmUnit.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "alarm/CalendarTime.h"
#include "alarm/Reestr.h"
#include "app/Globals.h"
#include "platform/Platform.h"

namespace {
// An alarm moment this close before the last one that rang is the same ring seen again:
// the hour repeated when the clocks go back, or a clock set back by hand. A clock set back
// further than this starts afresh.
constexpr std::int64_t kSameRingSeconds = 3 * 3600;
}  // namespace

CAlarm::CAlarm() {
  const bool loaded = Load();
  // Read on their own: whatever became of the five values, these keep theirs.
  Options = AlarmOptions::Load(*Reestr);
  LoadSkip();
  if (loaded) {
    UpdateWakeTimer(true);
  } else {
    // Any missing value resets the five values together: 08:00, off, our own sound, simple
    // mode. A list file that loaded is the user's and stays as it is: the values go missing
    // when the folder moves to another PC or account, or a registry cleaner runs.
    On = false;
    Minute = 0;
    Hour = 8;
    Sound = kDefaultAlarmSound;
    UsePlaylist = false;
    SaveSettings();
    if (!PlaylistLoaded) SavePlaylist(Playlist);
  }
}

bool CAlarm::Load() {
  PlaylistLoaded = Reestr->LoadList("Playlist", Playlist);
  if (!PlaylistLoaded) Playlist.clear();
  return Reestr->GetBool("AlarmIsOn", On) && Reestr->GetString("AlarmSound", Sound) &&
         Reestr->GetBool("UsePlayist", UsePlaylist) && Reestr->GetInt("AlarmMin", Minute) &&
         Reestr->GetInt("AlarmHour", Hour);
}

void CAlarm::Save() {
  SaveSettings();
  SavePlaylist(Playlist);
}

void CAlarm::SaveSettings() {
  Reestr->SetBool("AlarmIsOn", On);
  Reestr->SetString("AlarmSound", Sound);
  Reestr->SetBool("UsePlayist", UsePlaylist);
  Reestr->SetInt("AlarmMin", Minute);
  Reestr->SetInt("AlarmHour", Hour);
  Reestr->SetInt("AlarmDays", Options.days);
  StoreSkip();
  UpdateWakeTimer(true);
}

void CAlarm::SetDays(int days) {
  if (days != Options.days) ClearSkip();
  Options.days = days;
}

void CAlarm::SetOptions(const AlarmOptions& options) {
  const int days = Options.days;
  Options = options;
  Options.days = days;
  Options.Save(*Reestr);
}

bool CAlarm::SavePlaylist(const std::vector<std::string>& list) {
  if (!Reestr->SaveList("Playlist", list)) return false;
  Playlist = list;
  return true;
}

int CAlarm::Target() const {
  // 64-bit on the way: snoozes and out-of-range stored values must not overflow.
  const long long t = (long long)Hour * 3600 + ((long long)Minute + SnoozeMinutes) * 60 + SnoozeSeconds;
  return int(((t % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay);
}

CAlarm::Instant CAlarm::Now() {
  auto& kernel = platform::kernel();
  const auto t = kernel.GetLocalTime();
  return {LocalSeconds(t), SecondsOfDay(t.hour, t.minute, t.second), kernel.GetSystemTimeMs()};
}

std::int64_t CAlarm::LatestTarget(const Instant& now) const {
  const int T = Target();
  int N = now.secondOfDay;
  if (N < T) N += kSecondsPerDay;
  return now.local - (N - T);
}

bool CAlarm::AlreadyRang(std::int64_t target) const {
  return HaveLastRung && target <= LastRung && LastRung - target <= kSameRingSeconds;
}

void CAlarm::CheckTime() {
  const Instant now = Now();
  const bool checkedBefore = HaveLastCheck;
  const Instant last = LastCheck;
  HaveLastCheck = true;
  LastCheck = now;
  if (!On) {
    UpdateWakeTimer(false);
    return;
  }
  const int T = Target();
  int N = now.secondOfDay;
  if (N < T) N += kSecondsPerDay;
  int L = SecondsOfDay(LatchHour, LatchMinute, LatchSecond);
  if (L < T) L += kSecondsPerDay;
  if (!Latched) L = -100000;
  const std::int64_t target = now.local - (N - T);
  if (N - T >= kRingWindowSeconds) {
    Latched = false;
    // No check saw the alarm time if it came after the last one: the computer slept, the
    // program was held up or the clock was put on. How late: by the local clock, but never
    // more than really passed since that check, so that an alarm in the hour skipped when
    // the clocks go forward rings as if on time.
    if (checkedBefore && last.local < target && !AlreadyRang(target) && Due(target)) {
      const std::int64_t passed = std::max<std::int64_t>(0, (now.utcMs - last.utcMs) / 1000);
      if (std::min<std::int64_t>(N - T, passed) <= kLateRingSeconds)
        Ring(target);
      else
        Missed(target);
    }
  } else if ((N < L || L < T) && !AlreadyRang(target) && Due(target)) {
    Ring(target);
  }
  // A skip is done with once its moment has passed.
  if (HaveSkip && now.local >= SkipAt + kRingWindowSeconds) {
    ClearSkip();
    try {
      StoreSkip();
    } catch (const std::exception&) {
      // Not stored: read back at the next start, it is a moment that has passed, and goes then.
    }
  }
  UpdateWakeTimer(false);
}

bool CAlarm::Due(std::int64_t target) const {
  if (Snoozed()) return true;
  if (HaveSkip && target == SkipAt) return false;
  return (Options.days & DayBit(LocalTimeAt(target).dayOfWeek)) != 0;
}

std::optional<std::int64_t> CAlarm::NextAfter(std::int64_t latest, bool honourSkip) const {
  // Within a week every day comes once; the eighth day is the first again.
  for (int k = 1; k <= 8; ++k) {
    const std::int64_t m = latest + std::int64_t(k) * kSecondsPerDay;
    if (!honourSkip && HaveSkip && m == SkipAt) return m;
    if (Due(m)) return m;
  }
  return std::nullopt;
}

std::optional<std::int64_t> CAlarm::NextRing() const {
  if (!On) return std::nullopt;
  return NextAfter(LatestTarget(Now()), true);
}

std::optional<std::int64_t> CAlarm::SkippableRing() const {
  if (!On) return std::nullopt;
  if (HaveSkip) return SkipAt;
  // The alarm's own time, a snooze left out.
  const Instant now = Now();
  const int T = SecondsOfDay(Hour, Minute, 0);
  int N = now.secondOfDay;
  if (N < T) N += kSecondsPerDay;
  const std::int64_t latest = now.local - (N - T);
  for (int k = 1; k <= 7; ++k) {
    const std::int64_t m = latest + std::int64_t(k) * kSecondsPerDay;
    if (Options.days & DayBit(LocalTimeAt(m).dayOfWeek)) return m;
  }
  return std::nullopt;
}

void CAlarm::ToggleSkip() {
  if (HaveSkip) {
    ClearSkip();
  } else if (const auto next = SkippableRing()) {
    HaveSkip = true;
    SkipAt = *next;
  }
  StoreSkip();
  UpdateWakeTimer(true);
}

void CAlarm::ClearSkip() {
  HaveSkip = false;
  SkipAt = 0;
}

void CAlarm::StoreSkip() {
  if (!HaveSkip) {
    Reestr->SetString("AlarmSkip", "");
    return;
  }
  const auto t = LocalTimeAt(SkipAt);
  Reestr->SetString("AlarmSkip", std::to_string(t.year) + "-" + TwoDigits(t.month) + "-" + TwoDigits(t.day) + " " +
                                     TwoDigits(t.hour) + ":" + TwoDigits(t.minute));
}

void CAlarm::LoadSkip() {
  ClearSkip();
  std::string text;
  if (!Reestr->GetString("AlarmSkip", text)) return;
  platform::LocalTime t;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d%c", &t.year, &t.month, &t.day, &t.hour, &t.minute, &tail) != 5 ||
      t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59 || t.hour < 0 ||
      t.minute < 0)
    return;
  HaveSkip = true;
  SkipAt = LocalSeconds(t);
}

std::string CAlarm::RingText(std::int64_t moment) {
  const auto t = LocalTimeAt(moment);
  return DayName(t.dayOfWeek) + " " + TwoDigits(t.hour) + ":" + TwoDigits(t.minute);
}

void CAlarm::Ring(std::int64_t target) {
  HaveLastRung = true;
  LastRung = target;
  // The ring goes on until someone stops it, also on a computer the wake timer woke.
  if (platform::WakeTimer* timer = platform::Installed().wakeTimer) timer->StayAwake(true);
  if (StartRinging) StartRinging();
  RingInProgress = true;
}

void CAlarm::Missed(std::int64_t target) {
  HaveLastRung = true;
  LastRung = target;
  // Counted as stopped: a missed snooze must not move tomorrow's alarm.
  SnoozeMinutes = 0;
  SnoozeSeconds = 0;
  const auto t = LocalTimeAt(target);
  if (ReportMissed) ReportMissed("Missed alarm at " + TwoDigits(t.hour) + ":" + TwoDigits(t.minute));
}

void CAlarm::UpdateWakeTimer(bool force) {
  const auto next = NextRing();
  const bool same = next ? WakeArmed && *next == WakeAt : !WakeArmed;
  if (same && !force) return;
  WakeArmed = next.has_value();
  WakeAt = next.value_or(0);
  // Asked once per moment even when the system refuses, so that a refusal is not repeated
  // at every check.
  if (platform::WakeTimer* timer = platform::Installed().wakeTimer) {
    if (next)
      timer->Arm(LocalTimeAt(*next));
    else
      timer->Cancel();
  }
  if (!same && NextRingChanged) NextRingChanged();
}

void CAlarm::ShowNotRinging() {
  if (!RingInProgress) SystemMessageBox("дык будильник не звенит ! ", "error");
}

void CAlarm::RecordStop() {
  ShowNotRinging();
  const auto t = platform::kernel().GetLocalTime();
  Latched = true;
  LatchHour = t.hour;
  LatchMinute = t.minute;
  LatchSecond = t.second;
  SnoozeMinutes = 0;
  SnoozeSeconds = 0;
  RingInProgress = false;
  AfterPress();
}

void CAlarm::RecordSnooze() {
  ShowNotRinging();
  const auto t = platform::kernel().GetLocalTime();
  Latched = true;
  LatchHour = t.hour;
  LatchMinute = t.minute;
  LatchSecond = t.second;
  const int T = Target();
  int N = SecondsOfDay(t.hour, t.minute, t.second);
  if (N < T) N += kSecondsPerDay;
  SnoozeMinutes += Options.snoozeMinutes;
  SnoozeSeconds += N - T;
  // Kept within a day so that endless snoozing can never overflow; the target is the same.
  SnoozeSeconds %= kSecondsPerDay;
  SnoozeMinutes %= kSecondsPerDay / 60;
  RingInProgress = false;
  AfterPress();
}

void CAlarm::AfterPress() {
  // The user has seen the alarm: a moment before the press is not one to ring late for.
  HaveLastCheck = true;
  LastCheck = Now();
  if (platform::WakeTimer* timer = platform::Installed().wakeTimer) timer->StayAwake(false);
  UpdateWakeTimer(true);
}

std::string CAlarm::PlaylistItem(int i) const {
  RAVILO_ASSERT(i >= 0 && i < PlaylistCount(), "AlarmUnit");
  return Playlist[std::size_t(i)];
}
