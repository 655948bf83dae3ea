#include "shell/main.h"

#include <algorithm>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "alarm/AlarmList.h"
#include "alarm/AlarmUnit.h"
#include "alarm/Reestr.h"
#include "alarm/SoundSystemForm.h"
#include "app/Globals.h"
#include "desktop/About.h"
#include "desktop/FullScreenWatch.h"
#include "desktop/OptionsForm.h"
#include "desktop/TaskBar.h"
#include "desktop/TrayIcon.h"
#include "pet/AnimatorUnit.h"
#include "pet/LogicWindow.h"
#include "setup/PlayListAlarm.h"
#include "setup/SimpleAlarmUnit.h"
#include "shell/PetMonitor.h"
#include "shell/RingBubble.h"
#include "ui/Application.h"
#include "ui/Rescale.h"

namespace {
constexpr const char* kDamaged = "Program is damaged. Try to reinstall the application.";

template <class T>
void Release(T*& object) {
  delete object;
  object = nullptr;
}
}  // namespace

TFormMain::TFormMain()
    : About1(TrayPopupMenu.Add("About")),
      N1(TrayPopupMenu.Add("-")),
      SetAlarmTime1(TrayPopupMenu.Add("Alarm")),
      SkipAlarm1(TrayPopupMenu.Add("Skip next alarm")),
      Options1(TrayPopupMenu.Add("Options\u2026")),
      Timer1(TrayPopupMenu.Add("Timer\u2026")),
      CancelTimerFirst(AddCancelTimerItems(TrayPopupMenu)),
      Show1(TrayPopupMenu.Add("Hide")),
      Funnyeyes1(TrayPopupMenu.Add("Funny eyes")),
      Exit1(TrayPopupMenu.Add("Exit")),
      ImageStop(*this),
      Image10MinMore(*this) {
  SetCaption("Ravilo");
  // The design size; creation puts the normal layout and the stored place in its stead.
  SetBounds(299, 272, 452, 242);
  SetTopMost(true);
  SetDesignVisible(true);

  ImageStop.SetBounds({0, 136, 140, 105});
  Image10MinMore.SetBounds({312, 136, 140, 105});
  ImageStop.SetAccessible(ui::Role::PushButton, "Stop");
  Image10MinMore.SetAccessible(ui::Role::PushButton, "10 min more");
  ImageStop.SetCursor(ui::Cursor::Arrow);
  Image10MinMore.SetCursor(ui::Cursor::Arrow);
  ImageStop.OnMouseDown = [this](ui::MouseButton, int, int) { StopHeld = true; ImageStopMouseDown(); };
  ImageStop.OnMouseUp = [this](ui::MouseButton, int, int) { StopHeld = false; ImageStopMouseUp(); };
  Image10MinMore.OnMouseDown = [this](ui::MouseButton, int, int) { SnoozeHeld = true; Image10MinMoreMouseDown(); };
  Image10MinMore.OnMouseUp = [this](ui::MouseButton, int, int) { SnoozeHeld = false; Image10MinMoreMouseUp(); };
  // A press the system took away (the capture lost), or the ring's end dropped, leaves the
  // button up, without its action.
  ImageStop.OnPressCancelled = [this] { StopHeld = false; ImageStop.SetPicture(IStopAlarm); };
  Image10MinMore.OnPressCancelled = [this] { SnoozeHeld = false; Image10MinMore.SetPicture(SnoozePicture(false)); };

  About1.OnClick = [this] { About1Click(); };
  SetAlarmTime1.OnClick = [this] { SetAlarmTime1Click(); };
  SkipAlarm1.OnClick = [this] { SkipAlarm1Click(); };
  SkipAlarm1.SetVisible(false);
  Options1.OnClick = [this] { Options1Click(); };
  Timer1.OnClick = [this] { Timer1Click(); };
  Show1.OnClick = [this] { Show1Click(); };
  Funnyeyes1.OnClick = [this] { Funnyeyes1Click(); };
  Exit1.OnClick = [this] { Exit1Click(); };
  TimerAutoStop.SetEnabled(false);
  TimerAutoStop.OnTimer = [this] { TimerAutoStopTimer(); };
  TimerTimerEnd.OnTimer = [this] { TimerTimerEndTimer(); };
  TimerCountdown.OnTimer = [this] { TimerCountdownTimer(); };
  TimerFullScreen.SetInterval(kFullScreenPollMs);
  TimerFullScreen.SetEnabled(false);
  TimerFullScreen.OnTimer = [] { WatchFullScreen(); };
}

TFormMain::~TFormMain() = default;

void TFormMain::FormCreate() {
  Randomize();
  Trace("Main Create");
  KeyHeld = false;
  std::vector<std::pair<Picture*, std::string>> pictures = {{&AStopAlarm, "Images\\MainWindow\\astopalarm.bmp"},
                                                            {&IStopAlarm, "Images\\MainWindow\\istopalarm.bmp"}};
  for (std::size_t i = 0; i < std::size(AlarmOptions::kSnoozeChoices); ++i) {
    const std::string minutes = std::to_string(AlarmOptions::kSnoozeChoices[i]);
    pictures.push_back({&ASnooze[i], "Images\\MainWindow\\a" + minutes + "minmore.bmp"});
    pictures.push_back({&ISnooze[i], "Images\\MainWindow\\i" + minutes + "minmore.bmp"});
  }
  pictures.push_back({&AMoreTime, "Images\\MainWindow\\aplus1min.bmp"});
  pictures.push_back({&IMoreTime, "Images\\MainWindow\\iplus1min.bmp"});
  if (!LoadPictures(pictures)) ReportDamaged();
  // Until first pressed, the ringing buttons show the pictures built into the layout.
  try {
    ImageStop.SetPicture(LoadPictureResource("RingStopFirst"));
    Image10MinMore.SetPicture(LoadPictureResource("Ring10MinFirst"));
  } catch (const std::exception&) {
    ReportDamaged();
  }
  ShowNormalLayout();

  Reestr = new CReestr();
  if (!Reestr->IsOpen()) ReportDamaged();
  // The place and the defaults written back below are logged when refused: the program is
  // built whole all the same.
  const CReestr::WriteFailuresLogged startUp(*Reestr);
  RingVolume.PutBackLeftOver();
  PetSize = AlarmOptions::Load(*Reestr).petSize;
  int x = 0, y = 0;
  LoadPosition(x, y);
  SetPosition(x, y);

  TaskBarControl = new CTaskBarControl();
  TaskBarControl->HideButton();

  try {
    TrayIcon = new CTrayIcon(*this);
  } catch (const std::exception&) {
    // Without its icons the program is as damaged as without any other picture.
    ReportDamaged();
  }

  Animator = new CAnimator(*this);
  if (!Animator->IsLoaded()) ReportDamaged();

  ConnectAlarms();
  ShowNextRing();

  // A damaged start never runs the pet: the loop ends at its first turn.
  if (Animator->IsLoaded()) {
    Logic = new CLogic();
    Logic->Start();
    Show1.SetChecked(Logic->IsHidden());
    TimerFullScreen.SetEnabled(true);
  }

  ShowAlarmState();
}

void TFormMain::FormDestroy() {
  Trace("MainWindow::Destroy");
  Trace("Unload images");
  AStopAlarm.reset();
  IStopAlarm.reset();
  for (Picture& p : ASnooze) p.reset();
  for (Picture& p : ISnooze) p.reset();
  AMoreTime.reset();
  IMoreTime.reset();
  Trace("disable idle");
  if (Logic) Logic->PauseTicks();
  TimerTimerEnd.SetEnabled(false);
  TimerCountdown.SetEnabled(false);
  TimerFullScreen.SetEnabled(false);
  RingVolume.End();
  if (Reestr) {
    // A refused write must not stop the rest of the release, which saves other settings.
    // While it rings, the window stands in the middle for the ring only: the place the pet
    // goes back to is the one kept.
    const ui::Point place = ImageStop.Visible() ? SavedPosition() : ui::Point{Left(), Top()};
    try {
      Reestr->SetInt("xpos", place.x);
      Reestr->SetInt("ypos", place.y);
    } catch (const std::exception&) {
    }
  }
  Trace("destroy taskbar");
  Release(TaskBarControl);
  Trace("destroy tray icon");
  Release(TrayIcon);
  Trace("destroy logic");
  Release(Logic);
  Trace("destroy animator");
  Release(Animator);
  Trace("destroy alarm");
  Alarm = nullptr;
  Release(Alarms);
  Trace("destroy regedit");
  Release(Reestr);
}

void TFormMain::ReportDamaged() {
  // Several windows load the same shared bitmaps; one missing file is told about once.
  if (!DamageReported) SystemMessageBox(kDamaged, "Error", ui::kMbOk);
  DamageReported = true;
  ui::Application::Instance().Terminate();
}

void TFormMain::ExitProgram() {
  Trace("Exit Program");
  if (Logic) Logic->PauseTicks();
  // Silent before the volume is put back, or the ring's end would be its loudest moment.
  if (SoundSystem) SoundSystem->Stop();
  RingVolume.End();
  Release(TrayIcon);  // the icon disappears at once
  Trace("Call Halt");
  ui::Application::Instance().Halt(1);
}

const Picture& TFormMain::SnoozePicture(bool pressed) const {
  if (MoreTimeShown) return pressed ? AMoreTime : IMoreTime;
  std::size_t i = 0;
  while (i + 1 < std::size(AlarmOptions::kSnoozeChoices) && AlarmOptions::kSnoozeChoices[i] != ShownSnooze) ++i;
  return pressed ? ASnooze[i] : ISnooze[i];
}

void TFormMain::ShowRingingLayout() {
  Notice.clear();
  ShowNextRing();
  if (const int limit = Alarm ? Alarm->GetOptions().autoStopMinutes : 0; limit > 0) {
    TimerAutoStop.SetInterval(unsigned(limit) * 60'000u);
    TimerAutoStop.SetEnabled(true);
  }
  ShowSnoozeButton();
  ImageStop.SetVisible(true);
  Image10MinMore.SetVisible(true);
  // Grows and moves in one step, so the ringing layout is never seen in the pet's corner.
  CentreForRinging();
}

void TFormMain::ShowNormalLayout() {
  // The ring is over: a press still held on one of its buttons does nothing when released.
  if (StopHeld || SnoozeHeld) ReleaseCapture();
  TimerAutoStop.SetEnabled(false);
  if (Scale() != PetScale) SetScale(PetScale);
  SetClientSize(kNormalWidth, kNormalHeight);
  ImageStop.SetVisible(false);
  Image10MinMore.SetVisible(false);
}

void TFormMain::ShowAlarmOn() {
  if (TrayIcon) TrayIcon->SetIcon(1);
  SetAlarmTime1.SetCaption("Alarm [on]");
}

void TFormMain::ShowAlarmOff() {
  if (TrayIcon) TrayIcon->SetIcon(0);
  SetAlarmTime1.SetCaption("Alarm [off]");
}

void TFormMain::LoadPosition(int& x, int& y) {
  auto& backend = ui::Application::Instance().GetBackend();
  const ui::Size screen = backend.ScreenSize();
  const ui::Monitor primary = backend.PrimaryMonitor();
  PetScale = PetScaleOn(primary);
  SetScale(PetScale);
  // The corner's margins are keyed out; they grow with the pet.
  const int cornerX = screen.width - Width() + ui::ScaledLength(40, Scale());
  const int cornerY = screen.height - Height() + ui::ScaledLength(50, Scale());
  if (!Reestr->GetInt("xpos", x)) x = cornerX;
  if (!Reestr->GetInt("ypos", y)) y = cornerY;
  // The place was stored at the scale of the display it lies on. The pet takes that scale
  // before it goes there: moved there at the primary's, it would be rescaled with its feet
  // kept, and so stand elsewhere at every start.
  if (const auto display = backend.MonitorFromRect({x, y, Width(), Height()}, true)) {
    PetScale = PetScaleOn(*display);
    SetScale(PetScale);
  }
  // A place that leaves no grip of the pet on a display (that display was unplugged, the
  // laptop undocked, or the place was beyond the screen's edge) would keep it out of sight
  // for good: the first-run corner. The pet itself is judged, not the window, whose margins
  // are keyed out. A place with a grip on a display is used as it is, negative or not.
  const ui::Rect area = ToScreenPart(kPetArea);
  const ui::Rect pet{x + area.left, y + area.top, area.width, area.height};
  const auto display = backend.MonitorFromRect(pet, false);
  const ui::Rect shown = display ? ui::Intersect(pet, display->bounds) : ui::Rect{};
  if (shown.width < kGrip || shown.height < kGrip) {
    x = cornerX;
    y = cornerY;
    PetScale = PetScaleOn(primary);
    SetScale(PetScale);
  }
  Reestr->SetInt("xpos", x);
  Reestr->SetInt("ypos", y);
}

void TFormMain::CentreForRinging() {
  SavedLeft = Left();
  SavedTop = Top();
  // The middle of the free area of the display the pet stands on (judged by its normal size),
  // so that the buttons never straddle two displays or fall between them.
  // The lookup fails while displays change; the primary display then, as PetMonitor does.
  auto& backend = ui::Application::Instance().GetBackend();
  const auto display = backend.MonitorFromRect(Bounds(), true);
  const ui::Rect area = (display ? *display : backend.PrimaryMonitor()).workArea;
  // A large pet on a small display rings as large as the free area holds.
  const int scale = FittingScale({kRingingWidth, kRingingHeight}, area, Scale());
  SetScale(scale);
  const int width = ui::ScaledLength(kRingingWidth, scale), height = ui::ScaledLength(kRingingHeight, scale);
  SetBounds(area.left + area.width / 2 - width / 2, area.top + area.height / 2 - height / 2, kRingingWidth,
            kRingingHeight);
}

int TFormMain::PetScaleOn(const ui::Monitor& monitor) const { return PetSize ? PetSize : ui::MonitorScale(monitor); }

void TFormMain::ApplyPetScale(int scale) {
  PetScale = scale;
  // While it rings, the new size comes with the normal layout.
  if (scale == Scale() || ImageStop.Visible()) return;
  const int old = Scale();
  const ui::Rect before = ToScreenPart(kPetArea);
  const ui::Point feet{Left() + ui::ScaledLength(kFeet.x, old), Top() + ui::ScaledLength(kFeet.y, old)};
  auto& backend = ui::Application::Instance().GetBackend();
  const auto display = backend.MonitorFromRect({Left() + before.left, Top() + before.top, before.width, before.height}, true);
  SetScale(scale);
  int x = feet.x - ui::ScaledLength(kFeet.x, scale), y = feet.y - ui::ScaledLength(kFeet.y, scale);
  if (display) {
    // The pet may stand partly past its display's edge (the first-run corner does, by its
    // keyed-out margins); larger, it stands past it no further than in proportion.
    const ui::Rect b = display->bounds;
    const ui::Rect now = ToScreenPart(kPetArea);
    // Along one axis: the window's new place `at`, where the pet was (`was`, `wasLength`) and
    // where it lies in the window now (`in`, `length`), against the display's `from`, `size`.
    const auto keep = [&](int at, int was, int wasLength, int in, int length, int from, int size) {
      const int pastEnd = std::max(0, was + wasLength - (from + size)) * scale / old;
      const int pastStart = std::max(0, from - was) * scale / old;
      at -= std::max(0, at + in + length - (from + size) - pastEnd);
      return at + std::max(0, from - (at + in) - pastStart);
    };
    x = keep(x, Left() + before.left, before.width, now.left, now.width, b.left, b.width);
    y = keep(y, Top() + before.top, before.height, now.top, now.height, b.top, b.height);
  }
  SetPosition(x, y);
}

void TFormMain::PetOptionsChanged() {
  if (!Alarm) return;
  PetSize = Alarm->GetOptions().petSize;
  ApplyPetScale(PetScaleOn(PetMonitor()));
}

void TFormMain::FormDpiChanged(int dpi, ui::Rect) {
  // A size of the user's own stays the same on every display.
  if (!PetSize) ApplyPetScale(ui::ScaleForDpi(dpi));
  if (TrayIcon) TrayIcon->ScaleChanged();
}

ui::Size TFormMain::ScreenSizeAtDpi(int dpi) const {
  if (PetSize || ImageStop.Visible()) return {Width(), Height()};
  return Form::ScreenSizeAtDpi(dpi);
}

void TFormMain::RestorePosition() { SetPosition(SavedLeft, SavedTop); }

void TFormMain::ImageStopMouseDown() { ImageStop.SetPicture(AStopAlarm); }

void TFormMain::ImageStopMouseUp() {
  ShowNormalLayout();
  RestorePosition();
  ImageStop.SetPicture(IStopAlarm);
  if (Logic) Logic->StopRinging();
  RingEnded();
}

void TFormMain::Image10MinMoreMouseDown() { Image10MinMore.SetPicture(SnoozePicture(true)); }

void TFormMain::Image10MinMoreMouseUp() {
  ShowNormalLayout();
  RestorePosition();
  Image10MinMore.SetPicture(SnoozePicture(false));
  if (Logic) Logic->SnoozeRinging();
  RingEnded();
}

void TFormMain::RingEnded() {
  // The sound has stopped: the volume goes back without a last burst.
  RingVolume.End();
  if (Logic && Logic->OwnSoundRang()) AddNotice(kOwnSoundNotice);
}

void TFormMain::AddNotice(const std::string& text) {
  if (Notice.find(text) == std::string::npos) Notice += (Notice.empty() ? "" : "\n") + text;
  ShowNextRing();
  if (TrayIcon) TrayIcon->ShowBalloon(text);
}

void TFormMain::TrayMessage(ui::TrayEvent event) {
  // A double click comes after the press of its first click: two clicks.
  if (event == ui::TrayEvent::LeftClick || event == ui::TrayEvent::DoubleClick)
    TrayClick();
  else if (event == ui::TrayEvent::RightClick)
    PopupTrayMenu();
}

void TFormMain::HandleTaskbarCreated() {
  if (TrayIcon) TrayIcon->TaskbarCreated();
}

void TFormMain::FormKeyDown(ui::KeyStroke stroke) {
  KeyHeld = true;
  // The context-menu key and Shift+F10 open the menu, over the middle of the pet: typed to
  // it, they are the user choosing the pet, as a press on it is.
  if (!stroke.repeat && (stroke.key == ui::kVkApps || (stroke.key == ui::kVkF10 && stroke.shift))) {
    UserActivated = true;
    PopupTrayMenu(ui::Point{Left() + Width() / 2, Top() + Height() / 2});
    // The menu's own loop took the key-ups of the keys that opened it.
    KeyHeld = false;
    return;
  }
  // While it rings, Enter stops and Esc snoozes (the safer key only postpones), through the
  // very handlers a release of the buttons runs; but only a fresh press in a pet the user
  // chose. The keyboard's repeat of a key held since before the ring, or typing meant for
  // the window that had the keyboard, must not end the ring unheard.
  if (!ImageStop.Visible() || stroke.repeat || !UserActivated) return;
  if (stroke.key == ui::kVkReturn)
    ImageStopMouseUp();
  else if (stroke.key == ui::kVkEscape)
    Image10MinMoreMouseUp();
  else
    return;
  // The window goes back to its place and size: under Wine 8 without a window manager it
  // loses the foreground on the way without being told, and the key's release goes
  // elsewhere, which would refuse every close after a ring answered by key.
  KeyHeld = false;
}

void TFormMain::TimerAutoStopTimer() {
  TimerAutoStop.SetEnabled(false);
  if (!ImageStop.Visible()) return;
  const int minutes = int(TimerAutoStop.Interval() / 60'000u);
  // A button held down is an answer on its way: the ring ends, but not unanswered.
  const bool answered = StopHeld || SnoozeHeld;
  const bool alarmRang = !Alarms || Alarms->RingHasAlarm();
  const std::vector<std::string> timers = Alarms ? Alarms->RingTimerNames() : std::vector<std::string>{};
  ImageStopMouseUp();
  if (!Alarms || answered) return;
  for (const std::string& name : timers) AddTimerNotice("Timer " + name + " rang unanswered");
  if (!alarmRang) return;
  // The ring left unanswered: a snooze's, not the alarm's own time.
  AddNotice("Alarm at " + CAlarm::ClockText(Alarms->SoundAlarm().LastRingMoment()) + " rang unanswered for " +
            std::to_string(minutes) + (minutes == 1 ? " minute" : " minutes"));
}

void TFormMain::TrayClick() {
  if (!Notice.empty() || !TimerNotice.empty()) {
    Notice.clear();
    TimerNotice.clear();
    ShowNextRing();
  }
  if (Logic && (Logic->IsHidden() || Logic->GivingWay())) {
    Logic->ShowPet();
    Show1.SetChecked(false);
  } else {
    Activate();
    UserActivated = true;
  }
}

void TFormMain::PopupTrayMenu(std::optional<ui::Point> at) {
  ShowSkipItem();
  ShowTimerItems();
  auto& backend = ui::Application::Instance().GetBackend();
  backend.PopupMenu(TrayPopupMenu, at ? *at : backend.CursorPos(), *this);
  PostMessage(kWmNull, 0, 0);
}

void TFormMain::FormMouseDown(ui::MouseButton button, int, int) {
  // The press has activated the window.
  UserActivated = true;
  if (button == ui::MouseButton::Right) {
    PopupTrayMenu();
    return;
  }
  ReleaseCapture();
  BeginSystemMove();
}

void TFormMain::About1Click() { AboutForm->ShowAbout(); }
void TFormMain::Options1Click() {
  if (FormOptions) FormOptions->OpenWindow();
}

void TFormMain::ShowNextRing() {
  if (TrayIcon) TrayIcon->SetTip(TipText());
}

void TFormMain::Show1Click() {
  if (!Logic) return;
  // The check mark follows the request made, also when the logic ignores it.
  if (Logic->IsHidden()) {
    Logic->ShowPet();
    Show1.SetChecked(false);
  } else {
    Logic->RequestHide();
    Show1.SetChecked(true);
  }
}

void TFormMain::Funnyeyes1Click() {
  if (!Logic) return;
  if (Logic->EyesAreOn())
    Logic->RequestEyesOff();
  else
    Logic->EyesOn();
}

void TFormMain::Exit1Click() {
  Trace("Exit Click");
  if (Logic) Logic->RequestExit();
}

bool TFormMain::FormCloseQuery() {
  Trace("Close query");
  const bool allowed = !KeyHeld;
  Trace(allowed ? "YES" : "NO");
  if (allowed) ExitProgram();
  return allowed;
}

void TFormMain::FormClose() { Trace("FormClose"); }

void TFormMain::FormEndSession(bool ending) {
  if (!ending) return;
  Trace("End session");
  ExitProgram();
}

void TFormMain::FormPowerResume() {
  // An alarm time slept through rings now (or is reported missed), and the wake timer is
  // set again for the next one.
  if (Logic) Logic->CheckAlarmNow();
  if (Alarms) Alarms->UpdateWakeTimer(true);
  // The timers' clocks were set before the sleep.
  TimersChanged();
}

void TFormMain::FormTimeChange() {
  if (Logic) Logic->CheckAlarmNow();
  if (Alarms) Alarms->UpdateWakeTimer(true);
  // Set on the system clock, a timer's end is as far off as the new clock says.
  TimersChanged();
}
