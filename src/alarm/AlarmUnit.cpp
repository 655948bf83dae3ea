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

std::string CleanLabel(const std::string& text) {
  std::string out;
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\r' || c == '\n') continue;
    // A character starts at every byte that is not a UTF-8 continuation byte.
    if ((c & 0xC0) != 0x80 && ++chars > kMaxLabelChars) break;
    out += char(c);
  }
  return out;
}

CAlarm::CAlarm() : Store(Reestr) {
  const bool loaded = Load();
  // Read on their own: whatever became of the five values, these keep theirs.
  Options = AlarmOptions::Load(*Reestr);
  LoadOwnValues();
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

CAlarm::CAlarm(CReestr& store, const std::string& listName, const AlarmOptions* program)
    : Store(&store), List(listName) {
  PlaylistLoaded = Store->LoadList(List, Playlist);
  if (!PlaylistLoaded) Playlist.clear();
  bool b = false;
  int v = 0;
  std::string text;
  On = Store->GetBool("AlarmIsOn", b) && b;
  if (Store->GetString("AlarmSound", text)) Sound = text;
  UsePlaylist = Store->GetBool("UsePlayist", b) && b;
  if (Store->GetInt("AlarmHour", v) && v >= 0 && v <= 23) Hour = v;
  if (Store->GetInt("AlarmMin", v) && v >= 0 && v <= 59) Minute = v;
  // The snooze length and the rest are the program's; the days are the alarm's own.
  if (program)
    Options = *program;
  else if (Reestr)
    Options = AlarmOptions::Load(*Reestr);
  Options.days = AlarmOptions::LoadDays(*Store);
  LoadOwnValues();
}

void CAlarm::LoadOwnValues() {
  std::string text;
  NameStored = Store->GetString("AlarmLabel", text);
  Name = CleanLabel(text);
  int v = 0;
  OnceStored = Store->GetInt("AlarmOnce", v);
  Once = OnceStored && v == 1;
  LoadSkip();
  LoadSnooze();
}

bool CAlarm::Load() {
  PlaylistLoaded = Store->LoadList(List, Playlist);
  if (!PlaylistLoaded) Playlist.clear();
  return Store->GetBool("AlarmIsOn", On) && Store->GetString("AlarmSound", Sound) &&
         Store->GetBool("UsePlayist", UsePlaylist) && Store->GetInt("AlarmMin", Minute) &&
         Store->GetInt("AlarmHour", Hour);
}

void CAlarm::Reset() {
  EndSnooze();
  ClearSkip();
  RingInProgress = false;
  HaveLastRung = false;
  Latched = false;
  On = false;
  Hour = 8;
  Minute = 0;
  Sound = kDefaultAlarmSound;
  UsePlaylist = false;
  Playlist.clear();
  Options.days = AlarmOptions::kAllDays;
  Name.clear();
  Once = false;
  Save();
}

void CAlarm::TakeOver(const CAlarm& o) {
  On = o.On;
  Hour = o.Hour;
  Minute = o.Minute;
  Sound = o.Sound;
  UsePlaylist = o.UsePlaylist;
  Playlist = o.Playlist;
  Options.days = o.Options.days;
  Name = o.Name;
  Once = o.Once;
  HaveSkip = o.HaveSkip;
  SkipAt = o.SkipAt;
  HaveSnooze = o.HaveSnooze;
  SnoozeRang = o.SnoozeRang;
  SnoozeUntil = o.SnoozeUntil;
  HaveLastRung = o.HaveLastRung;
  LastRung = o.LastRung;
  Latched = o.Latched;
  LatchHour = o.LatchHour;
  LatchMinute = o.LatchMinute;
  LatchSecond = o.LatchSecond;
  RingInProgress = o.RingInProgress;
  RingMoment = o.RingMoment;
  Save();
  StoreSnooze();
}

void CAlarm::Save() {
  SaveSettings();
  SavePlaylist(Playlist);
}

void CAlarm::SaveSettings() {
  Store->SetBool("AlarmIsOn", On);
  Store->SetString("AlarmSound", Sound);
  Store->SetBool("UsePlayist", UsePlaylist);
  Store->SetInt("AlarmMin", Minute);
  Store->SetInt("AlarmHour", Hour);
  Store->SetInt("AlarmDays", Options.days);
  if (!Name.empty() || NameStored) {
    Store->SetString("AlarmLabel", Name);
    NameStored = true;
  }
  if (Once || OnceStored) {
    Store->SetInt("AlarmOnce", Once ? 1 : 0);
    OnceStored = true;
  }
  StoreSkip();
  UpdateWakeTimer(true);
}

void CAlarm::SetDays(int days) {
  if (days != Options.days) {
    ClearSkip();
    EndSnooze();
  }
  Options.days = days;
}

void CAlarm::SetOptions(const AlarmOptions& options) {
  const int days = Options.days;
  Options = options;
  Options.days = days;
  Options.Save(*Reestr);
}

bool CAlarm::SavePlaylist(const std::vector<std::string>& list) {
  if (!Store->SaveList(List, list)) return false;
  Playlist = list;
  return true;
}

int CAlarm::OwnTarget() const {
  // 64-bit on the way: out-of-range stored values must not overflow.
  const long long t = (long long)Hour * 3600 + (long long)Minute * 60;
  return int(((t % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay);
}

int CAlarm::Target() const {
  if (!HaveSnooze) return OwnTarget();
  const auto t = LocalTimeAt(SnoozeLocal(Now()));
  return SecondsOfDay(t.hour, t.minute, t.second);
}

CAlarm::Instant CAlarm::Now() {
  auto& kernel = platform::kernel();
  const auto t = kernel.GetLocalTime();
  return {LocalSeconds(t), SecondsOfDay(t.hour, t.minute, t.second), kernel.GetSystemTimeMs()};
}

std::int64_t CAlarm::LatestTarget(const Instant& now) const {
  const int T = OwnTarget();
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
  if (HaveSnooze)
    CheckSnooze(now, checkedBefore, last);
  else
    CheckOwnTime(now, checkedBefore, last);
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

void CAlarm::CheckSnooze(const Instant& now, bool checkedBefore, const Instant& last) {
  if (SnoozeRang) return;
  // Real seconds since the snooze ended; the local clock may have been put back or on since.
  const std::int64_t late = now.Utc() - SnoozeUntil;
  if (late < 0) return;
  // A snooze kept from the last run that ended while the program was closed is over.
  if (!checkedBefore && late >= kRingWindowSeconds) {
    EndSnooze();
    return;
  }
  const std::int64_t moment = now.local - late;
  // Passed after the last check: the computer slept, or the program was held up.
  const bool unchecked = checkedBefore && last.Utc() < SnoozeUntil;
  if (late < kRingWindowSeconds || (unchecked && late <= kLateRingSeconds)) {
    SnoozeRang = true;
    StoreSnooze();
    Ring(moment);
  } else if (unchecked) {
    Missed(moment);
  }
}

void CAlarm::CheckOwnTime(const Instant& now, bool checkedBefore, const Instant& last) {
  const int T = OwnTarget();
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
      HaveLastRung = true;
      LastRung = target;
      if (std::min<std::int64_t>(N - T, passed) <= kLateRingSeconds)
        Ring(target);
      else
        Missed(target);
    }
  } else if ((N < L || L < T) && !AlreadyRang(target) && Due(target)) {
    HaveLastRung = true;
    LastRung = target;
    Ring(target);
  }
}

bool CAlarm::Due(std::int64_t target) const {
  if (HaveSkip && target == SkipAt) return false;
  if (Once) return true;
  return (Options.days & DayBit(LocalTimeAt(target).dayOfWeek)) != 0;
}

std::optional<std::int64_t> CAlarm::NextAfter(std::int64_t latest, bool honourSkip) const {
  // Within a week every day comes once; a skip of a weekly alarm's ring puts the next one a
  // week further, up to two weeks on.
  for (int k = 1; k <= 14; ++k) {
    const std::int64_t m = latest + std::int64_t(k) * kSecondsPerDay;
    if (!honourSkip && HaveSkip && m == SkipAt) return m;
    if (Due(m)) return m;
  }
  return std::nullopt;
}

std::optional<std::int64_t> CAlarm::NextRing() const {
  if (!On) return std::nullopt;
  const Instant now = Now();
  if (HaveSnooze && !SnoozeRang) return SnoozeLocal(now);
  return NextAfter(LatestTarget(now), true);
}

std::optional<std::int64_t> CAlarm::SkippableRing() const {
  if (!On) return std::nullopt;
  if (HaveSkip) return SkipAt;
  // The alarm's own time, a snooze left out.
  const std::int64_t latest = LatestTarget(Now());
  for (int k = 1; k <= 7; ++k) {
    const std::int64_t m = latest + std::int64_t(k) * kSecondsPerDay;
    if (Once || (Options.days & DayBit(LocalTimeAt(m).dayOfWeek))) return m;
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
    Store->SetString("AlarmSkip", "");
    return;
  }
  const auto t = LocalTimeAt(SkipAt);
  Store->SetString("AlarmSkip", std::to_string(t.year) + "-" + TwoDigits(t.month) + "-" + TwoDigits(t.day) + " " +
                                     TwoDigits(t.hour) + ":" + TwoDigits(t.minute));
}

void CAlarm::LoadSkip() {
  ClearSkip();
  std::string text;
  if (!Store->GetString("AlarmSkip", text)) return;
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
  return DayName(LocalTimeAt(moment).dayOfWeek) + " " + ClockText(moment);
}

std::string CAlarm::ClockText(std::int64_t moment) {
  const auto t = LocalTimeAt(moment);
  return TwoDigits(t.hour) + ":" + TwoDigits(t.minute);
}

void CAlarm::Ring(std::int64_t moment) {
  RingMoment = moment;
  // The ring goes on until someone stops it, also on a computer the wake timer woke.
  if (platform::WakeTimer* timer = platform::Installed().wakeTimer) timer->StayAwake(true);
  if (StartRinging) StartRinging();
  RingInProgress = true;
}

void CAlarm::Missed(std::int64_t moment) {
  // Counted as stopped: a missed snooze must not move tomorrow's alarm.
  EndSnooze();
  if (Once) OnceDone();
  MissedAt = moment;
  if (ReportMissed) ReportMissed("Missed alarm at " + ClockText(moment));
}

void CAlarm::EndSnooze() {
  HaveSnooze = false;
  StoreSnooze();
}

void CAlarm::OnceDone() {
  On = false;
  try {
    Store->SetBool("AlarmIsOn", false);
  } catch (const std::exception& e) {
    // Read back on next start, it rings once more; the run goes on.
    platform::kernel().DebugLog(std::string("Ravilo: ") + e.what());
  }
}

void CAlarm::StoreSnooze() {
  // The end of a pending snooze, in UTC seconds, so that it rings after a restart too.
  const bool pending = HaveSnooze && !SnoozeRang;
  if (!pending && !SnoozeStored) return;
  try {
    Store->SetString("AlarmSnooze", pending ? std::to_string(SnoozeUntil) : "");
    SnoozeStored = pending;
  } catch (const std::exception& e) {
    platform::kernel().DebugLog(std::string("Ravilo: ") + e.what());
  }
}

void CAlarm::LoadSnooze() {
  std::string text;
  SnoozeStored = Store->GetString("AlarmSnooze", text);
  long long until = 0;
  char tail = 0;
  if (!SnoozeStored || std::sscanf(text.c_str(), "%lld%c", &until, &tail) != 1) return;
  HaveSnooze = true;
  SnoozeRang = false;
  SnoozeUntil = until;
}

void CAlarm::UpdateWakeTimer(bool force) {
  if (WakeTimerOwner) {
    WakeTimerOwner(force);
    return;
  }
  if (Wake.Set(NextRing(), force) && NextRingChanged) NextRingChanged();
}

void CAlarm::ShowNotRinging() {
  if (!RingInProgress) SystemMessageBox("дык будильник не звенит ! ", "error");
}

void CAlarm::Latch() {
  const auto t = platform::kernel().GetLocalTime();
  Latched = true;
  LatchHour = t.hour;
  LatchMinute = t.minute;
  LatchSecond = t.second;
}

void CAlarm::RecordStop() {
  ShowNotRinging();
  Latch();
  EndSnooze();
  RingInProgress = false;
  if (Once) OnceDone();
  AfterPress();
}

void CAlarm::RecordSnooze() {
  ShowNotRinging();
  Latch();
  // To the second after the press, however many snoozes came before.
  HaveSnooze = true;
  SnoozeRang = false;
  SnoozeUntil = Now().Utc() + std::int64_t(Options.snoozeMinutes) * 60;
  StoreSnooze();
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
