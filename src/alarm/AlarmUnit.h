#pragma once
// The alarm: on/off, hour and minute, the sound or playlist it rings with, and the state of
// a ring in progress (the last stop or snooze, and how far snoozes moved the alarm time).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "alarm/AlarmOptions.h"
#include "alarm/WakeArming.h"

constexpr int kSecondsPerDay = 86400;
// A ring starts at the first check in the 30 seconds from the alarm time.
constexpr int kRingWindowSeconds = 30;
// An alarm time that passed unchecked (the computer slept, the program was held up, the
// clock was moved on) still rings if it passed at most this long ago; later than that the
// user is told it was missed.
constexpr int kLateRingSeconds = 3600;
constexpr const char* kDefaultAlarmSound = "Sounds\\Alarms\\alarm0.wav";

inline int SecondsOfDay(int h, int m, int s) { return h * 3600 + m * 60 + s; }

class CReestr;

// The longest name an alarm keeps, in characters.
constexpr std::size_t kMaxLabelChars = 100;
// The name as kept: line breaks dropped, cut after kMaxLabelChars characters (UTF-8).
std::string CleanLabel(const std::string& text);

class CAlarm {
 public:
  // The program's first alarm: its values in the program's key, its list "Playlist".
  CAlarm();
  // A further alarm: its values in that store, its list file of that name. Each value is
  // read on its own; a missing or damaged one takes its default and nothing is written.
  // The program's settings are given (the list reads them once for all its alarms), or
  // read from the program's key.
  CAlarm(CReestr& store, const std::string& listName, const AlarmOptions* program = nullptr);
  virtual ~CAlarm() = default;

  bool Load();
  // The five values, then the list file.
  void Save();
  // The five values alone (the registry; a refused write raises).
  void SaveSettings();
  // Stores the list file and, once it is stored, makes it the alarm's list; false when the
  // file could not be written, and then the alarm's list and the old file stay as they were.
  bool SavePlaylist(const std::vector<std::string>& list);
  void CheckTime();
  void RecordStop();
  void RecordSnooze();

  // What the set-up windows' OK stores: on or off, and the time of day.
  void SetOnAndTime(bool on, int hour, int minute) {
    // Another time of day is another alarm: what rang for the old one (kept so that a clock
    // put back does not ring it twice) does not hold the new one back, a skip of the old one
    // goes, and so does a snooze of it.
    if (hour != Hour || minute != Minute) {
      HaveLastRung = false;
      ClearSkip();
      EndSnooze();
    }
    if (!on) TurnOff();
    On = on;
    Hour = hour;
    Minute = minute;
  }
  // The days the alarm rings on (AlarmOptions' bits); stored by SaveSettings. Other days
  // clear a skip and end a snooze.
  void SetDays(int days);
  int Days() const { return Options.days; }
  // The settings of the Options window, read at creation; SetOptions stores all but the days.
  const AlarmOptions& GetOptions() const { return Options; }
  void SetOptions(const AlarmOptions& options);
  // The same settings taken over without storing them (they are the program's, stored once).
  void AdoptOptions(const AlarmOptions& options) {
    const int days = Options.days;
    Options = options;
    Options.days = days;
  }
  // The name ("AlarmLabel"), kept as CleanLabel makes it; stored by SaveSettings.
  const std::string& Label() const { return Name; }
  void SetLabel(const std::string& text) { Name = CleanLabel(text); }
  // A one-off alarm ("AlarmOnce") rings at the next time its hour and minute come round,
  // whatever the days, and switches itself off when that ring is stopped or missed.
  bool IsOnce() const { return Once; }
  void SetOnce(bool once) {
    if (once != Once) {
      ClearSkip();
      EndSnooze();
    }
    Once = once;
  }
  // The list file's name in the settings store ("Playlist", "Playlist-3").
  const std::string& ListName() const { return List; }
  // A snooze is pending (it has not rung yet).
  bool Snoozed() const { return HaveSnooze && !SnoozeRang; }
  // Everything stored of another alarm, made this one's (the first alarm's place taken by
  // another); the ring state is that alarm's too. Stored at once.
  void TakeOver(const CAlarm& other);
  // Back to 08:00, off, every day, simple mode with the program's own sound, no name, no
  // list; stored at once.
  void Reset();
  // The moment the latest missed notice was for.
  std::int64_t MissedMoment() const { return MissedAt; }

  // The next moment the alarm rings (local seconds), a skip and the days honoured; none
  // while it is off or no day is chosen.
  std::optional<std::int64_t> NextRing() const;
  // The ring a skip would leave out: the one skipped while a skip is set, else the next
  // ring of the alarm's own time (a pending snooze aside); none while it is off.
  std::optional<std::int64_t> SkippableRing() const;
  bool SkipSet() const { return HaveSkip; }
  // Sets a skip of SkippableRing, or clears the one that is set; stored at once.
  void ToggleSkip();
  // "Tue 07:30".
  static std::string RingText(std::int64_t moment);
  // "07:30".
  static std::string ClockText(std::int64_t moment);
  // Runs whenever the next ring changes (the tray shows it).
  std::function<void()> NextRingChanged;
  void TurnOn() { On = true; }
  // Switched off, a snooze ends as a stop ends it: switched on again, the alarm rings at its
  // own time on its own days.
  void TurnOff() {
    EndSnooze();
    On = false;
  }
  bool IsOn() const { return On; }
  void SetHour(int h) { Hour = h; }
  void SetMinute(int m) { Minute = m; }
  int GetHour() const { return Hour; }
  int GetMinute() const { return Minute; }
  void SetSound(const std::string& s) { Sound = s; }
  std::string GetSound() const { return Sound; }
  void SetPlaylistMode() { UsePlaylist = true; }
  void SetSingleMode() { UsePlaylist = false; }
  bool IsPlaylistMode() const { return UsePlaylist; }
  void SetPlaylist(const std::vector<std::string>& list) { Playlist = list; }
  int PlaylistCount() const { return int(Playlist.size()); }
  std::string PlaylistItem(int i) const;

  // The time the alarm rings next, in seconds of the day, snoozes included.
  int Target() const;
  bool RingInProgressNow() const { return RingInProgress; }
  // The moment (local seconds) the latest ring was for: the alarm's own time, or the end of
  // the snooze that rang; kept after the ring ends.
  std::int64_t LastRingMoment() const { return RingMoment; }

  // What CheckTime calls when the alarm is due: the behaviour logic's StartRinging.
  std::function<void()> StartRinging;
  // What CheckTime calls with "Missed alarm at hh:mm" when an alarm time passed too long
  // ago to ring for it.
  std::function<void(const std::string&)> ReportMissed;

  // Sets the wake timer to the next alarm time while the alarm is on, cancels it while it
  // is off. Without force only a change of that time reaches the timer. With several
  // alarms the list holds the timer: then this only tells WakeTimerOwner.
  void UpdateWakeTimer(bool force);
  std::function<void(bool force)> WakeTimerOwner;

 private:
  void ShowNotRinging();
  // The clock now, on both timelines: the local date and time, and the UTC system clock.
  struct Instant {
    std::int64_t local;  // local seconds (CalendarTime)
    int secondOfDay;
    std::int64_t utcMs;
    std::int64_t Utc() const { return utcMs / 1000; }
  };
  static Instant Now();
  // The alarm's own time, in seconds of the day.
  int OwnTarget() const;
  // The latest moment at or before now at which the local clock showed the alarm's own time.
  std::int64_t LatestTarget(const Instant& now) const;
  // The end of the pending snooze on the local clock as it stands now.
  std::int64_t SnoozeLocal(const Instant& now) const { return now.local + (SnoozeUntil - now.Utc()); }
  void CheckSnooze(const Instant& now, bool checkedBefore, const Instant& last);
  void CheckOwnTime(const Instant& now, bool checkedBefore, const Instant& last);
  // That moment rang or was reported already (a night when the clocks go back, or a clock
  // set back a little, shows the same time twice).
  bool AlreadyRang(std::int64_t target) const;
  // A ring of the alarm's own time at that moment is wanted: its day is chosen and it is not
  // skipped. (A snooze rings whatever the day.)
  bool Due(std::int64_t target) const;
  void EndSnooze();
  std::optional<std::int64_t> NextAfter(std::int64_t latest, bool honourSkip) const;
  void ClearSkip();
  void StoreSkip();
  void LoadSkip();
  void Ring(std::int64_t moment);
  void Missed(std::int64_t moment);
  void Latch();
  void AfterPress();
  void LoadOwnValues();
  void StoreSnooze();
  void LoadSnooze();
  // A one-off alarm's ring is over: switched off, and stored so.
  void OnceDone();

  bool On = false;
  int Minute = 0;
  int Hour = 8;
  int LatchMinute = 0, LatchHour = 0, LatchSecond = 0;
  bool Latched = false;
  // A pending snooze ends at a moment of real time (UTC seconds), so that ten minutes more
  // are ten minutes also when the clocks go back meanwhile. It rings once.
  bool HaveSnooze = false;
  bool SnoozeRang = false;
  std::int64_t SnoozeUntil = 0;
  std::int64_t RingMoment = 0;
  std::int64_t MissedAt = 0;
  std::vector<std::string> Playlist;
  // The list file was read at start (it may hold the user's list even when the registry
  // values are gone).
  bool PlaylistLoaded = false;
  std::string Sound = kDefaultAlarmSound;
  bool UsePlaylist = false;
  bool RingInProgress = false;

  // When the last check ran (also while the alarm is off), or a stop, snooze or save,
  // after which an alarm time that passed counts as passed unchecked.
  bool HaveLastCheck = false;
  Instant LastCheck{};
  // The latest moment of the alarm's own time that rang or was reported missed.
  bool HaveLastRung = false;
  std::int64_t LastRung = 0;
  // The next ring as last worked out, which the wake timer is set to.
  CWakeArming Wake;

  AlarmOptions Options;
  CReestr* Store = nullptr;
  std::string List = "Playlist";
  std::string Name;
  bool Once = false;
  // Written once they differ from their defaults or were found stored, so that an alarm
  // that never had a name or Once gains no values.
  bool NameStored = false;
  bool OnceStored = false;
  bool SnoozeStored = false;
  // The one ring left out (local seconds of the alarm's moment), stored as "AlarmSkip".
  bool HaveSkip = false;
  std::int64_t SkipAt = 0;
};

inline CAlarm* Alarm = nullptr;
