// The main window's side of the alarms: the list made and wired to the ring, the notices
// and the tray, the title while it rings, and the tray's alarm items.
#include <string>

#include "alarm/AlarmList.h"
#include "alarm/Reestr.h"
#include "desktop/TrayIcon.h"
#include "pet/LogicWindow.h"
#include "platform/Platform.h"
#include "setup/AlarmListWindow.h"
#include "setup/PlayListAlarm.h"
#include "setup/SimpleAlarmUnit.h"
#include "shell/RingBubble.h"
#include "shell/main.h"

namespace {
// What a tray tip holds (NOTIFYICONDATA's szTip, its terminating zero included).
constexpr std::size_t kTipBytes = 127;

// Cut to fit, never inside a UTF-8 character.
std::string FitTip(std::string text) {
  if (text.size() <= kTipBytes) return text;
  std::size_t end = kTipBytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}
}  // namespace

void TFormMain::ConnectAlarms() {
  try {
    Bubble = std::make_unique<CRingBubble>(*this);
  } catch (const std::exception&) {
    ReportDamaged();
  }
  Alarms = new CAlarmList();
  Alarm = &Alarms->First();
  Alarms->StartRinging = [this] {
    if (!Logic) return;
    // Quiet before the first sound of a gentle start.
    RingVolume.Begin(Alarm->GetOptions());
    Logic->StartRinging();
  };
  Alarms->ReportMissed = [](const std::string& text) {
    if (TrayIcon) TrayIcon->ShowBalloon(text);
  };
  Alarms->NextRingChanged = [this] {
    ShowNextRing();
    // A one-off alarm switches itself off when its ring is over.
    ShowAlarmState();
  };
  Alarms->RingChanged = [this] {
    ShowRingNames();
    // An alarm that joins a ring of timers brings the snooze back.
    if (ImageStop.Visible()) ShowSnoozeButton();
  };
  Alarms->TimersChanged = [this] { TimersChanged(); };
  // Timers kept from the last run count on, or ring at once when they ended meanwhile.
  TimersChanged();
}

void TFormMain::ShowRingNames() {
  const bool ringing = Alarms && Alarms->Ringing();
  SetCaption(ringing ? "Ravilo: " + Alarms->RingNames() : "Ravilo");
  if (Bubble) Bubble->Show(ringing ? Alarms->RingNameList() : std::vector<std::string>{});
}

void TFormMain::ShowAlarmState() {
  if (!Alarms) return;
  if (Alarms->AnyOn())
    ShowAlarmOn();
  else
    ShowAlarmOff();
}

void TFormMain::SetAlarmTime1Click() {
  if (!Alarm) return;
  // With two alarms or more the item opens the list of them.
  if (Alarms && Alarms->Count() >= 2 && FormAlarmList) return FormAlarmList->OpenWindow();
  if (Alarm->IsPlaylistMode())
    FormPlayListAlarm->OpenWindow();
  else
    FormSimpleAlarm->OpenWindow();
}

void TFormMain::ShowSkipItem() {
  CAlarm* alarm = Alarms ? Alarms->SkipCandidate() : nullptr;
  const auto ring = alarm ? alarm->SkippableRing() : std::nullopt;
  SkipAlarm1.SetVisible(ring.has_value());
  SkipAlarm1.SetChecked(alarm && alarm->SkipSet());
  if (ring) SkipAlarm1.SetCaption("Skip next alarm (" + CAlarmList::RingText(*ring, *alarm) + ")");
}

void TFormMain::SkipAlarm1Click() {
  if (CAlarm* alarm = Alarms ? Alarms->SkipCandidate() : nullptr) alarm->ToggleSkip();
}

std::string TFormMain::TipText() const {
  std::string tip = CTrayIcon::kTip;
  // The timer that ends first, counted down.
  if (const auto running = Alarms ? Alarms->Timers().Running() : std::vector<const CTimerList::Timer*>{};
      !running.empty())
    tip += "\n" + CTimerList::CountdownText(*running.front(), platform::kernel().GetSystemTimeMs());
  if (!TimerNotice.empty()) tip += "\n" + TimerNotice;
  if (!Notice.empty()) return FitTip(tip + "\n" + Notice);
  if (!TimerNotice.empty()) return FitTip(tip);
  const CAlarm* alarm = Alarms ? Alarms->NextAlarm() : nullptr;
  const auto next = alarm ? alarm->NextRing() : std::nullopt;
  return FitTip(tip + "\n" + (next ? "Alarm: " + CAlarmList::RingText(*next, *alarm) : "Alarm off"));
}
