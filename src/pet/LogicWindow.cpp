#include "pet/LogicWindow.h"

#include "alarm/AlarmList.h"
#include "alarm/AlarmUnit.h"
#include "alarm/Reestr.h"
#include "alarm/SoundSystemForm.h"
#include "app/Globals.h"
#include "platform/Platform.h"
#include "pet/AnimatorUnit.h"
#include "shell/main.h"

int IdleIndexForDraw(const double (&weights)[11], double draw) {
  double sum = 0;
  for (double w : weights) sum += w;
  const double r = draw * sum;
  double running = 0;
  for (int i = 0; i < 11; ++i) {
    running += weights[i];
    if (running > r) return i;
  }
  return 10;
}

// Holds InTick while a tick runs and lets it go however the tick ends, by an error too: a
// flag left set would refuse every later tick, and the alarm with them. An exit inside the
// tick releases the logic before the process ends (in the tests that end unwinds as an
// exception), so a logic that is no longer the program's is left alone.
class CLogic::TickHold {
 public:
  explicit TickHold(CLogic& logic) : logic_(logic) { logic_.InTick = true; }
  ~TickHold() { Release(); }
  TickHold(const TickHold&) = delete;
  TickHold& operator=(const TickHold&) = delete;
  void Release() {
    if (held_ && Logic == &logic_) logic_.InTick = false;
    held_ = false;
  }

 private:
  CLogic& logic_;
  bool held_ = true;
};

CLogic::CLogic() {
  PendingCommand = CommandNone;
  InTick = false;
  Paused = false;
  bool hidden = false;
  if (!Reestr->GetBool("hidden", hidden)) {
    Reestr->SetBool("hidden", false);
    State = StateNormal;
  } else {
    State = hidden ? StateHidden : StateNormal;
  }
  if (State == StateHidden) Animator->HideView();
}

CLogic::~CLogic() {
  try {
    Reestr->SetBool("hidden", State == StateHidden);
  } catch (const std::exception&) {
    // The rest of the release goes on.
  }
}

void CLogic::Start() {
  if (State != StateNormal) return;
  PendingCommand = CommandNone;
  Animator->PlayControlOnce(0);
}

void CLogic::Tick() {
  if (InTick || Paused) return;
  TickHold hold(*this);
  // An alarm that comes due while it rings joins the ring.
  if (State == StateRinging || PendingCommand == CommandRing) Alarms->CheckJoin();
  if (State == StateRinging) return;
  if (State == StateHidden) {
    Alarms->CheckTime();
    return;
  }
  if (GivingWay()) {
    TickGivingWay(hold);
    return;
  }
  KeepViewShown();
  if (Animator->IsPlaying()) return;
  switch (PendingCommand) {
    case CommandNone:
      ChooseIdleMovie();
      Alarms->CheckTime();
      break;
    case CommandExit:
      FinishExit(hold);
    case CommandHide:
      FinishHide(hold);
      break;
    case CommandRing:
      State = StateRinging;
      PendingCommand = CommandNone;
      Animator->PlayControlLooped(3);
      break;
    case CommandEyesOff:
      PendingCommand = CommandNone;
      Animator->TrackingOff();
      ChooseIdleMovie();
      break;
  }
}

void CLogic::FinishExit(TickHold& hold) {
  hold.Release();
  PendingCommand = CommandNone;
  FormMain->ExitProgram();
}

void CLogic::FinishHide(TickHold& hold) {
  // Hidden whole before ClearView lets the waiting messages through (so that the emptied
  // view is drawn): a click on the icon or a menu command among them finds the pet hidden and
  // shows it again whole, and a tick among them checks the alarm.
  State = StateHidden;
  PendingCommand = CommandNone;
  if (Animator->IsViewShown()) Animator->HideView();
  hold.Release();
  Animator->ClearView();
}

// In the normal state the pet is shown. A view found hidden here, by a way not foreseen,
// would hold its movie for good (a hidden view does not advance), and with it every tick,
// the alarm check included, and Hide and Exit would have no view to play on: it is shown
// again, so that its movie ends and the ticks go on.
void CLogic::KeepViewShown() {
  if (State != StateNormal || Animator->IsViewShown()) return;
  platform::kernel().DebugLog("Ravilo: the pet was hidden in the normal state; shown again");
  Animator->ShowView();
}

bool CLogic::GivingWay() const {
  return FullScreenInFront && !GiveWayWaived && State != StateRinging && PendingCommand != CommandRing;
}

void CLogic::SetFullScreenInFront(bool inFront) {
  if (!inFront) GiveWayWaived = false;
  FullScreenInFront = inFront;
  ApplyGiveWay();
}

void CLogic::ApplyGiveWay() {
  if (!FormMain || !Animator) return;
  if (GivingWay()) {
    // Out of sight at once: the view and the eyes now, the window at the next look. Hiding a
    // window that was once active waits up to two seconds under Wine when no window manager
    // answers; the pet must not stay in view for that long.
    if (Animator->IsViewShown()) {
      // The movie in play stops, so that a hide or an exit waiting for its end is done now.
      Animator->Rewind();
      Animator->HideEyesIfTracking();
      Animator->HideView();
      Tick();
    } else if (FormMain->Visible()) {
      FormMain->Hide();
    }
    return;
  }
  bool back = false;
  if (!FormMain->Visible()) {
    FormMain->Show();
    back = true;
  }
  if (State == StateNormal && !Animator->IsViewShown()) {
    Animator->ShowView();
    back = true;
  }
  if (back) Tick();  // the next idle movie at once
}

// The pet is out of the way of a full-screen program: no movie is started (nobody would see it),
// commands take effect at once, and the alarm is watched as while hidden.
void CLogic::TickGivingWay(TickHold& hold) {
  if (Animator->IsPlaying()) Animator->Rewind();  // its stop notification finds InTick set
  switch (PendingCommand) {
    case CommandExit:
      FinishExit(hold);
    case CommandHide:
      FinishHide(hold);
      return;
    case CommandEyesOff:
      PendingCommand = CommandNone;
      Animator->TrackingOff();
      break;
    default:
      break;
  }
  Alarms->CheckTime();
}

void CLogic::ChooseIdleMovie() {
  const auto& weights = Animator->IsTracking() ? kIdleWeightsTrackingOn : kIdleWeightsTrackingOff;
  Animator->PlayIdle(IdleIndexForDraw(weights, Random()));
}

void CLogic::RequestExit() {
  // While the alarm rings, or is about to (its ring command waits for the idle movie to
  // end), exit is refused: the alarm must be stopped or snoozed first.
  if (State == StateRinging || PendingCommand == CommandRing) return;
  if (State == StateHidden || GivingWay()) FormMain->ExitProgram();
  KeepViewShown();
  PendingCommand = CommandExit;
  Animator->PlayControlOnce(1);
}

void CLogic::RequestHide() {
  if (State != StateNormal || PendingCommand == CommandRing) return;
  if (GivingWay()) {
    // Nothing to see go: hidden at once.
    PendingCommand = CommandHide;
    Tick();
    return;
  }
  KeepViewShown();
  PendingCommand = CommandHide;
  Animator->PlayControlOnce(1);
}

void CLogic::ShowPet() {
  if (GivingWay()) {
    GiveWayWaived = true;
    ApplyGiveWay();
  }
  if (State != StateHidden) return;
  Animator->ShowView();
  Animator->PlayControlOnce(2);
  PendingCommand = CommandNone;
  State = StateNormal;
}

void CLogic::EyesOn() {
  RAVILO_ASSERT(Animator != nullptr, "LogicWindow");
  Animator->TrackingOn();
  Animator->HideEyesIfTracking();
}

void CLogic::RequestEyesOff() {
  RAVILO_ASSERT(Animator != nullptr, "LogicWindow");
  if (PendingCommand == CommandNone) PendingCommand = CommandEyesOff;
}

bool CLogic::EyesAreOn() const {
  RAVILO_ASSERT(Animator != nullptr, "LogicWindow");
  return Animator->IsTracking();
}

void CLogic::StartRinging() {
  Paused = true;
  // Whatever could not be played in time, the program's own sound is tried; failing that the
  // ring goes on silently while the sound system tries again.
  // The sound of the alarm that came due first.
  CAlarm& source = Alarms->SoundAlarm();
  if (SoundSystem && source.IsPlaylistMode()) {
    const int count = source.PlaylistCount();
    SoundSystem->Ring(count > 0 ? kPlaylistTries : 0,
                      [count] {
                        CAlarm& a = Alarms->SoundAlarm();
                        return a.PlaylistCount() == count ? a.PlaylistItem(RandomBelow(count))
                                                          : std::string(kFallbackAlarmSound);
                      },
                      kFallbackAlarmSound);
  } else if (SoundSystem) {
    SoundSystem->Ring(1, [] { return Alarms->SoundAlarm().GetSound(); }, kFallbackAlarmSound);
  }
  // Told after the ring when a sound the user chose gave way to the program's own.
  FallbackRang = SoundSystem && SoundSystem->FallbackRang();
  HiddenBeforeRinging = State == StateHidden;
  // Shown from hidden, and from out of the way of a full-screen program.
  if (!Animator->IsViewShown()) Animator->ShowView();
  FormMain->ShowRingingLayout();
  // A ring always comes, over a full-screen program too; shown after the layout is made, so
  // that it appears whole in its place.
  if (!FormMain->Visible()) FormMain->Show();
  State = StateNormal;
  PendingCommand = CommandRing;
  Paused = false;
  InTick = false;
  Tick();
}

void CLogic::CheckAlarmNow() {
  if (InTick || Paused || State == StateRinging || PendingCommand == CommandRing) return;
  TickHold hold(*this);
  Alarms->CheckTime();
}

void CLogic::CheckDueNow() {
  if (InTick || Paused) return;
  if (State != StateRinging && PendingCommand != CommandRing) return CheckAlarmNow();
  TickHold hold(*this);
  Alarms->CheckJoin();
}

void CLogic::StopRinging() { EndRinging(false); }

void CLogic::SnoozeRinging() { EndRinging(true); }

void CLogic::EndRinging(bool snooze) {
  Paused = true;
  if (snooze)
    Alarms->RecordSnooze();
  else
    Alarms->RecordStop();
  if (SoundSystem) SoundSystem->Stop();
  if (State == StateRinging) {
    if (HiddenBeforeRinging) {
      Animator->Rewind();  // its stop notification finds the ticks paused
      Animator->HideView();
      State = StateHidden;
    } else {
      Paused = false;
      State = StateNormal;
      PendingCommand = CommandNone;
      Animator->Rewind();  // the stop notification starts the next idle movie at once
    }
  }
  // Pressed before the ringing movie began (its command still waiting for the idle movie
  // to end): the pending ring is dropped and the idle movie plays on, the pet shown.
  PendingCommand = CommandNone;
  Paused = false;
  // Out of the way again if the full-screen program is still in front.
  ApplyGiveWay();
}

TFormTimer::TFormTimer() {
  SetCaption("FormTimer");
  SetClientSize(100, 100);
  TimerLogic.SetInterval(3000);
  TimerLogic.OnTimer = [this] { TimerLogicTimer(); };
  TimerLogic.SetEnabled(true);
}

void TFormTimer::FormCreate() {
  if (Animator) Animator->SetStopHandler([this] { TimerLogicTimer(); });
}

void TFormTimer::FormDestroy() {
  TimerLogic.SetEnabled(false);
  if (Animator) Animator->SetStopHandler(nullptr);
}

void TFormTimer::TimerLogicTimer() {
  if (Logic) Logic->Tick();
}
