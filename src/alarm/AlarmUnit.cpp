#include "alarm/AlarmUnit.h"

#include <algorithm>

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
  if (Load()) {
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
  UpdateWakeTimer(true);
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
    if (checkedBefore && last.local < target && !AlreadyRang(target)) {
      const std::int64_t passed = std::max<std::int64_t>(0, (now.utcMs - last.utcMs) / 1000);
      if (std::min<std::int64_t>(N - T, passed) <= kLateRingSeconds)
        Ring(target);
      else
        Missed(target);
    }
  } else if ((N < L || L < T) && !AlreadyRang(target)) {
    Ring(target);
  }
  UpdateWakeTimer(false);
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
  platform::WakeTimer* timer = platform::Installed().wakeTimer;
  if (!timer) return;
  if (!On) {
    if (WakeArmed || force) timer->Cancel();
    WakeArmed = false;
    return;
  }
  const std::int64_t next = LatestTarget(Now()) + kSecondsPerDay;
  if (!force && WakeArmed && next == WakeAt) return;
  // Asked once per moment even when the system refuses, so that a refusal is not repeated
  // at every check.
  timer->Arm(LocalTimeAt(next));
  WakeArmed = true;
  WakeAt = next;
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
  SnoozeMinutes += 10;
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
