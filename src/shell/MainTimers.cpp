// The main window's side of the timers: the tray's "Timer…" and "Cancel timer" items, the
// clock that rings a timer on time, the tip's countdown, and the ringing button that gives
// a ring of timers one more minute.
#include <algorithm>
#include <string>

#include "alarm/AlarmList.h"
#include "desktop/TrayIcon.h"
#include "pet/LogicWindow.h"
#include "platform/Platform.h"
#include "setup/TimerWindow.h"
#include "shell/main.h"

namespace {
std::int64_t NowUtcMs() { return platform::kernel().GetSystemTimeMs(); }

// The one-shot clock is set again at least this often: a long wait is not trusted across a
// sleep or a change of the system clock.
constexpr std::int64_t kLongestWaitMs = 60'000;
}  // namespace

int TFormMain::AddCancelTimerItems(ui::PopupMenu& menu) {
  const int first = menu.Count();
  for (int i = 0; i < CTimerList::kMaxTimers; ++i) menu.Add("Cancel timer").SetVisible(false);
  return first;
}

void TFormMain::ShowTimerItems() {
  const std::vector<const CTimerList::Timer*> running =
      Alarms ? Alarms->Timers().Running() : std::vector<const CTimerList::Timer*>{};
  const std::int64_t now = NowUtcMs();
  for (int i = 0; i < CTimerList::kMaxTimers; ++i) {
    ui::MenuItem& item = TrayPopupMenu.Item(CancelTimerFirst + i);
    const bool shown = std::size_t(i) < running.size();
    item.SetVisible(shown);
    if (!shown) {
      item.OnClick = nullptr;
      continue;
    }
    item.SetCaption(CTimerList::CancelText(*running[std::size_t(i)], now));
    // By id: the timer may have ended while the menu was open.
    const int id = running[std::size_t(i)]->id;
    item.OnClick = [id] {
      if (Alarms) Alarms->CancelTimer(id);
    };
  }
}

void TFormMain::TimersChanged() {
  const auto end = Alarms ? Alarms->Timers().NextEndMs() : std::nullopt;
  if (!end) {
    TimerTimerEnd.SetEnabled(false);
    TimerCountdown.SetEnabled(false);
    ShowNextRing();
    return;
  }
  const std::int64_t left = *end - NowUtcMs();
  // Set afresh: a timer that was running restarts with the new wait.
  TimerTimerEnd.SetEnabled(false);
  TimerTimerEnd.SetInterval(unsigned(std::clamp<std::int64_t>(left, 1, kLongestWaitMs)));
  TimerTimerEnd.SetEnabled(true);
  // The countdown ticks when the shown second changes.
  TimerCountdown.SetEnabled(false);
  TimerCountdown.SetInterval(unsigned(left > 0 && left % 1000 ? left % 1000 : 1000));
  TimerCountdown.SetEnabled(true);
  ShowNextRing();
}

void TFormMain::TimerTimerEndTimer() {
  TimerTimerEnd.SetEnabled(false);
  if (!Alarms) return;
  const auto end = Alarms->Timers().NextEndMs();
  if (end && *end <= NowUtcMs() && Logic) Logic->CheckDueNow();
  // Still due: the logic was busy; asked again shortly.
  const auto next = Alarms->Timers().NextEndMs();
  if (next && *next <= NowUtcMs()) {
    TimerTimerEnd.SetInterval(100);
    TimerTimerEnd.SetEnabled(true);
    return;
  }
  if (next) TimersChanged();
}

void TFormMain::TimerCountdownTimer() {
  const auto end = Alarms ? Alarms->Timers().NextEndMs() : std::nullopt;
  if (!end) {
    TimerCountdown.SetEnabled(false);
    ShowNextRing();
    return;
  }
  const std::int64_t left = *end - NowUtcMs();
  const unsigned interval = unsigned(left > 0 && left % 1000 ? left % 1000 : 1000);
  if (interval != TimerCountdown.Interval()) TimerCountdown.SetInterval(interval);
  ShowNextRing();
}

void TFormMain::ShowSnoozeButton() {
  // The snooze button tells the length it gives; the 10 minutes keep the layout's own picture
  // until the length changes.
  const bool moreTime = Alarms && Alarms->Ringing() && !Alarms->RingHasAlarm();
  const int minutes = Alarm ? Alarm->GetOptions().snoozeMinutes : ShownSnooze;
  if (moreTime != MoreTimeShown || minutes != ShownSnooze) {
    MoreTimeShown = moreTime;
    ShownSnooze = minutes;
    Image10MinMore.SetPicture(SnoozePicture(SnoozeHeld));
  }
  Image10MinMore.SetAccessibleName(moreTime ? "+1 min" : std::to_string(ShownSnooze) + " min more");
}

void TFormMain::AddTimerNotice(const std::string& text) {
  if (TimerNotice.find(text) == std::string::npos) TimerNotice += (TimerNotice.empty() ? "" : "\n") + text;
  ShowNextRing();
  if (TrayIcon) TrayIcon->ShowBalloon(text);
}

void TFormMain::Timer1Click() {
  if (!FormTimerStart) return;
  FormTimerStart->OnStart = [](const std::string& label, std::int64_t seconds, std::string* refusal) {
    return Alarms && Alarms->StartTimer(label, seconds, refusal);
  };
  FormTimerStart->OpenWindow();
}
