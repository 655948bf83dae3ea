#pragma once
// The alarm: on/off, hour and minute, the sound or playlist it rings with, and the state of
// a ring in progress (the last stop or snooze, and how far snoozes moved the alarm time).
#include <functional>
#include <string>
#include <vector>

constexpr int kSecondsPerDay = 86400;
// A ring starts at the first check in the 30 seconds from the alarm time.
constexpr int kRingWindowSeconds = 30;
constexpr const char* kDefaultAlarmSound = "Sounds\\Alarms\\alarm0.wav";

inline int SecondsOfDay(int h, int m, int s) { return h * 3600 + m * 60 + s; }

class CAlarm {
 public:
  CAlarm();
  virtual ~CAlarm() = default;

  bool Load();
  void Save();
  void CheckTime();
  void RecordStop();
  void RecordSnooze();

  void TurnOn() { On = true; }
  void TurnOff() { On = false; }
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

  // What CheckTime calls when the alarm is due: the behaviour logic's StartRinging.
  std::function<void()> StartRinging;

 private:
  static int NowSeconds();
  void ShowNotRinging();

  bool On = false;
  int Minute = 0;
  int Hour = 8;
  int LatchMinute = 0, LatchHour = 0, LatchSecond = 0;
  bool Latched = false;
  int SnoozeMinutes = 0;
  int SnoozeSeconds = 0;
  std::vector<std::string> Playlist;
  std::string Sound = kDefaultAlarmSound;
  bool UsePlaylist = false;
  bool RingInProgress = false;
};

inline CAlarm* Alarm = nullptr;
