#pragma once
// What the pet does: a small state machine (normal, hidden, ringing) with one slot for a
// pending command, driven by a tick every 3 s and at the end of every movie.
#include <cstdint>

#include "ui/Form.h"
#include "ui/Timer.h"

enum LogicState : std::int32_t { StateNormal = 0, StateHidden = 1, StateRinging = 2 };
enum LogicCommand : std::int32_t {
  CommandNone = -1,
  CommandExit = 1,
  CommandHide = 2,
  CommandRing = 3,
  CommandEyesOff = 4
};

// Idle movie weights, by idle index, with "Funny eyes" off and on.
inline constexpr double kIdleWeightsTrackingOff[11] = {200, 200, 100, 100, 500, 2000, 2000, 2000, 0, 0, 0};
inline constexpr double kIdleWeightsTrackingOn[11] = {0, 0, 0, 0, 0, 0, 0, 0, 100, 100, 100};
// The idle index for a draw r in [0, 1): the first whose running sum exceeds r times the sum.
int IdleIndexForDraw(const double (&weights)[11], double draw);

constexpr const char* kFallbackAlarmSound = "Sounds\\Alarms\\alarm0.wav";
// How many random playlist entries are tried before the program's own sound.
constexpr int kPlaylistTries = 16;

class CLogic {
 public:
  CLogic();
  virtual ~CLogic();

  void Start();
  void Tick();
  void RequestExit();
  void RequestHide();
  void ShowPet();
  void EyesOn();
  void RequestEyesOff();
  bool EyesAreOn() const;
  bool IsHidden() const { return State == StateHidden; }
  // The last ring played the program's own sound because the alarm's could not be played.
  bool OwnSoundRang() const { return FallbackRang; }
  void PauseTicks() { Paused = true; }
  void ResumeTicks() { Paused = false; }
  void StartRinging();
  void StopRinging();
  void SnoozeRinging();
  // Asks the alarm at once, whatever the pet is doing, unless a ring is under way or a
  // tick runs: after a wake or a clock change a late ring must not wait for a movie's end.
  void CheckAlarmNow();
  // The same, and while it rings the check that lets what came due join the ring: a timer
  // at its end asks this, so that it rings on time.
  void CheckDueNow();
  // Whether a full-screen program is in front on the pet's display with the option on
  // (FullScreenWatch asks every half second). While it is, the pet and its window are
  // hidden and it plays nothing, whatever the user's own Hide says, except while a ring is due or under
  // way; it comes back when that program goes. A Show asked for meanwhile brings the pet
  // over that program until it goes.
  void SetFullScreenInFront(bool inFront);
  bool GivingWay() const;

  LogicState CurrentState() const { return State; }
  LogicCommand Pending() const { return PendingCommand; }

 private:
  class TickHold;
  void ChooseIdleMovie();
  void EndRinging(bool snooze);
  void KeepViewShown();
  void TickGivingWay(TickHold& hold);
  // A pending Exit or Hide done, with the tick's hold released before it lets messages run.
  [[noreturn]] void FinishExit(TickHold& hold);
  void FinishHide(TickHold& hold);
  // The pet put out of sight or back as GivingWay says.
  void ApplyGiveWay();

  LogicCommand PendingCommand = CommandNone;
  bool InTick = false;
  bool Paused = false;
  LogicState State = StateNormal;
  bool HiddenBeforeRinging = false;
  bool FallbackRang = false;
  bool FullScreenInFront = false;
  // The user asked for the pet while this full-screen program is in front.
  bool GiveWayWaived = false;
};

inline CLogic* Logic = nullptr;

// Hosts the behaviour tick; never shown.
class TFormTimer : public ui::Form {
 public:
  TFormTimer();
  ui::Timer TimerLogic;

 protected:
  void FormCreate() override;
  void FormDestroy() override;

 private:
  void TimerLogicTimer();
};

inline TFormTimer* FormTimer = nullptr;
