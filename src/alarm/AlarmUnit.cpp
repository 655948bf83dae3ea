#include "alarm/AlarmUnit.h"

#include "alarm/Reestr.h"
#include "app/Globals.h"
#include "platform/Platform.h"

CAlarm::CAlarm() {
  if (!Load()) {
    // Any missing value resets the whole alarm: 08:00, off, our own sound, simple mode.
    On = false;
    Minute = 0;
    Hour = 8;
    Sound = kDefaultAlarmSound;
    Playlist.clear();
    UsePlaylist = false;
    Save();
  }
}

bool CAlarm::Load() {
  if (!Reestr->LoadList("Playlist", Playlist)) Playlist.clear();
  return Reestr->GetBool("AlarmIsOn", On) && Reestr->GetString("AlarmSound", Sound) &&
         Reestr->GetBool("UsePlayist", UsePlaylist) && Reestr->GetInt("AlarmMin", Minute) &&
         Reestr->GetInt("AlarmHour", Hour);
}

void CAlarm::Save() {
  Reestr->SetBool("AlarmIsOn", On);
  Reestr->SetString("AlarmSound", Sound);
  Reestr->SetBool("UsePlayist", UsePlaylist);
  Reestr->SetInt("AlarmMin", Minute);
  Reestr->SetInt("AlarmHour", Hour);
  Reestr->SaveList("Playlist", Playlist);
}

int CAlarm::NowSeconds() {
  const auto t = platform::kernel().GetLocalTime();
  return SecondsOfDay(t.hour, t.minute, t.second);
}

int CAlarm::Target() const {
  // 64-bit on the way: snoozes and out-of-range stored values must not overflow.
  const long long t = (long long)Hour * 3600 + ((long long)Minute + SnoozeMinutes) * 60 + SnoozeSeconds;
  return int(((t % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay);
}

void CAlarm::CheckTime() {
  if (!On) return;
  const int T = Target();
  int N = NowSeconds();
  if (N < T) N += kSecondsPerDay;
  int L = SecondsOfDay(LatchHour, LatchMinute, LatchSecond);
  if (L < T) L += kSecondsPerDay;
  if (!Latched) L = -100000;
  if (N - T >= kRingWindowSeconds) {
    Latched = false;
    return;
  }
  if (N < L || L < T) {
    if (StartRinging) StartRinging();
    RingInProgress = true;
  }
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
}

std::string CAlarm::PlaylistItem(int i) const {
  RAVILO_ASSERT(i >= 0 && i < PlaylistCount(), "AlarmUnit");
  return Playlist[std::size_t(i)];
}
