#pragma once
// All the alarms. The first is the one kept in the program's own key (its list file
// "Playlist"); further ones live in subkeys Alarms\<id>, each with its list file
// "Playlist-<id>". The list also rings them: alarms due together ring as one ring, an alarm
// due while it rings joins it, and stop and snooze act on every alarm in the ring. Whatever
// asks "when is the next ring" (the tip, the skip item, the wake timer) asks here.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "alarm/AlarmUnit.h"
#include "alarm/Reestr.h"
#include "alarm/TimerList.h"

class CAlarmList {
 public:
  static constexpr int kMaxAlarms = 100;
  static constexpr const char* kTooMany = "There are 100 alarms already. Delete one to add another.";

  // Reads the first alarm as CAlarm does, then every subkey of Alarms whose name is an id.
  CAlarmList();
  ~CAlarmList();
  CAlarmList(const CAlarmList&) = delete;
  CAlarmList& operator=(const CAlarmList&) = delete;

  int Count() const { return int(Entries.size()); }
  // By index, in the order of ids; the first alarm is index 0 and has id 0.
  CAlarm& At(int index) { return *Entries[std::size_t(index)].alarm; }
  const CAlarm& At(int index) const { return *Entries[std::size_t(index)].alarm; }
  int IdAt(int index) const { return Entries[std::size_t(index)].id; }
  CAlarm& First() { return At(0); }
  int IdOf(const CAlarm& alarm) const;
  // The alarm of that id, or none (deleted meanwhile).
  CAlarm* ById(int id);
  // A new alarm (08:00, off, every day, simple mode with the program's own sound), stored at
  // once; none, with refusal set to kTooMany, when there are kMaxAlarms already.
  CAlarm* Add(std::string* refusal = nullptr);
  // Removes the alarm with that id, its subkey and its list file. The first alarm's place
  // is taken by the alarm of the lowest id; the only one goes back to its defaults, off.
  bool Delete(int id);

  // What names the alarm when it rings: its label, or without one its time ("07:30").
  static std::string NameOf(const CAlarm& alarm);

  // The behaviour tick's check, while no ring is under way: the alarms due start one ring,
  // the ones missed are told in one notice.
  void CheckTime();
  // The check while a ring is under way: an alarm that comes due joins it.
  void CheckJoin();
  bool Ringing() const { return !Ring.empty() || !RingTimers.empty(); }
  // The alarms in the ring, in the order they came due (then by id).
  const std::vector<CAlarm*>& RingSet() const { return Ring; }
  // The timers in the ring, in the order they came due.
  const std::vector<int>& RingTimerSet() const { return RingTimers; }
  // A ring of timers alone is answered with one more minute instead of a snooze.
  bool RingHasAlarm() const { return !Ring.empty(); }
  // "Pills, 08:00, Tea": the alarms, then the timers.
  std::string RingNames() const;
  std::vector<std::string> RingNameList() const;
  std::vector<std::string> RingTimerNames() const;
  // The alarm whose sound the ring plays: the earliest due, then the lowest id; after the
  // ring, the one that last rang; the first alarm before any ring.
  CAlarm& SoundAlarm();
  void RecordStop();
  void RecordSnooze();

  bool AnyOn() const;
  // The earliest next ring of all alarms, and the alarm it is (lowest id on a tie).
  std::optional<std::int64_t> NextRing() const;
  CAlarm* NextAlarm() const;
  // The alarm whose next ring the tray's skip item leaves out (a set skip counts as its
  // ring); none while every alarm is off.
  CAlarm* SkipCandidate();
  // "Tue 07:30 Pills", or "Tue 07:30" for an alarm without a name.
  static std::string RingText(std::int64_t moment, const CAlarm& alarm);

  // The timers. Started and cancelled here, so that the wake timer and the window follow.
  const CTimerList& Timers() const { return TimerStore; }
  bool StartTimer(const std::string& label, std::int64_t seconds, std::string* refusal = nullptr);
  bool CancelTimer(int id);
  // What a ring of timers alone gives each of them instead of a snooze.
  static constexpr std::int64_t kMoreTimeMs = 60'000;

  // The program's settings, given to every alarm and stored once.
  void SetOptions(const AlarmOptions& options);
  // Arms the wake timer for the earliest next ring of all; without force only a change.
  void UpdateWakeTimer(bool force);

  std::function<void()> StartRinging;
  std::function<void(const std::string&)> ReportMissed;
  std::function<void()> NextRingChanged;
  // The alarms in the ring changed: a ring began, an alarm joined it, or it ended.
  std::function<void()> RingChanged;
  // A timer started, ended, was cancelled or given more time.
  std::function<void()> TimersChanged;

 private:
  struct Entry {
    int id = 0;
    std::unique_ptr<CReestr> store;  // none for the first alarm: it is the program's key
    std::unique_ptr<CAlarm> alarm;
  };
  static std::string KeyPathOf(int id);
  static std::string ListNameOf(int id) { return "Playlist-" + std::to_string(id); }
  void Connect(CAlarm& alarm);
  void LoadFurther();
  // Checks the alarms not in the ring; what came due or was missed is collected.
  void CheckEach();
  void ReportCollectedMisses();
  void JoinDue();
  void EndRing(bool snooze);
  void RemoveFurther(std::size_t index);
  // The wake timer is asked once at the end of a check, not once per alarm.
  class Batch;

  std::vector<Entry> Entries;
  std::unique_ptr<CReestr> AlarmsKey;
  std::vector<CAlarm*> Ring;
  std::vector<int> RingTimers;
  CTimerList TimerStore;
  CAlarm* LastSound = nullptr;
  // Collected by the alarms' callbacks during a check.
  std::vector<CAlarm*> Due;
  std::vector<CAlarm*> Misses;
  std::vector<int> DueTimers;
  std::vector<std::string> TimerMisses;
  int Batching = 0;
  bool BatchWake = false;
  bool BatchForce = false;
  CWakeArming Wake;
};

inline CAlarmList* Alarms = nullptr;
