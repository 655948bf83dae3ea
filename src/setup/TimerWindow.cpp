#include "setup/TimerWindow.h"

#include <string>

#include "alarm/AlarmUnit.h"
#include "alarm/Reestr.h"
#include "app/Globals.h"
#include "desktop/MyMessageBoxUnit.h"
#include "setup/TimerLast.h"
#include "shell/ButtonRows.h"
#include "shell/PetMonitor.h"
#include "shell/main.h"

namespace {
constexpr const char* kUnit = "TimerWindow";
constexpr ui::Size kSize{340, 290};
// The quick choices: five on the first row, four centred under them.
constexpr int kQuickStep = 60;
constexpr ui::Point kQuickFirstRow{24, 50}, kQuickSecondRow{54, 80};
// The fields' row: hours, minutes and seconds, each with its arrows 34 px to its right.
constexpr int kFieldsTop = 146;
constexpr int kFieldLeft[] = {50, 146, 242};

ui::Point QuickAt(std::size_t i) {
  const ui::Point row = i < 5 ? kQuickFirstRow : kQuickSecondRow;
  return {row.x + int(i % 5) * kQuickStep, row.y};
}
ui::Point Pressed(ui::Point p) { return {p.x - 2, p.y - 2}; }

const std::string& QuickFile(std::size_t i, bool active) {
  static const auto files = [] {
    std::vector<std::string> f;
    for (int minutes : TFormTimerStart::kQuickMinutes)
      for (const char* state : {"i", "a"})
        f.push_back(std::string("Images\\TimerWindow\\") + state + "min" + std::to_string(minutes) + ".bmp");
    return f;
  }();
  return files[i * 2 + (active ? 1 : 0)];
}
}  // namespace

TFormTimerStart::TFormTimerStart()
    : BackImage(*this),
      EditHours(*this),
      EditMinutes(*this),
      EditSeconds(*this),
      ImageUp1(*this),
      ImageDown1(*this),
      ImageUp2(*this),
      ImageDown2(*this),
      ImageUp3(*this),
      ImageDown3(*this),
      NameField(*this),
      ImageStart(*this),
      ImageCancel(*this),
      ImageClose(*this),
      Time(EditHours, EditMinutes, ImageUp1, ImageDown1, ImageUp2, ImageDown2, Timer, kUnit,
           {EditSeconds, ImageUp3, ImageDown3, 99}) {
  for (int minutes : kQuickMinutes) QuickImages.emplace_back(*this).SetAccessibleName(std::to_string(minutes) + " min");
  SetCaption("Timer");
  SetClientSize(kSize.width, kSize.height);
  const auto [h, m, s] = kFieldLeft;
  const int up = kFieldsTop - 5, down = kFieldsTop + 12;
  Time.Place({{h, kFieldsTop}, {m, kFieldsTop}, {h + 34, up}, {h + 34, down}, {m + 34, up}, {m + 34, down},
              {s, kFieldsTop}, {s + 34, up}, {s + 34, down}});
  NameField.SetBounds({72, 199, 244, 22});
  NameField.SetMaxLength(int(kMaxLabelChars));
  NameField.SetAccessible(ui::Role::Edit, "Name");
  ImageStart.SetAccessibleName("Start");
  ImageCancel.SetAccessibleName("Cancel");
  ImageClose.SetAccessibleName("Close");
  PlaceButtons(Rows());
}

std::vector<ButtonRow> TFormTimerStart::Rows() {
  using R = ButtonRow;
  std::vector<ButtonRow> rows{
      {R::Push, &ImageClose, &iExit_, &aExit_, "Images\\ForAllWindows\\iexit.bmp", "Images\\ForAllWindows\\aexit.bmp",
       {306, 8}, {304, 6}, [this] { CancelPressed(); }, nullptr},
      {R::Push, &ImageStart, &iStart_, &aStart_, "Images\\TimerWindow\\istart.bmp", "Images\\TimerWindow\\astart.bmp",
       {88, 246}, {86, 244}, [this] { StartPressed(); }, nullptr},
      {R::Push, &ImageCancel, &iCancel_, &aCancel_, "Images\\ForAllWindows\\icancel.bmp",
       "Images\\ForAllWindows\\acancel.bmp", {180, 246}, {178, 244}, [this] { CancelPressed(); }, nullptr}};
  for (std::size_t i = 0; i < kQuickMinutes.size(); ++i) {
    const ui::Point at = QuickAt(i);
    rows.push_back({R::Push, &QuickImages[i], &iQuick_[i], &aQuick_[i], QuickFile(i, false).c_str(),
                    QuickFile(i, true).c_str(), at, Pressed(at), [this, i] { ChooseQuick(kQuickMinutes[i]); },
                    nullptr});
  }
  return rows;
}

void TFormTimerStart::FormCreate() {
  Time.Idle();
  SetBackground(BackImage, "TimerBack", {0, 0});
  bool loaded = LoadPictures({{&Time.iArrowUp, "Images\\AlarmWindow\\iarrowup.bmp"},
                              {&Time.iArrowDown, "Images\\AlarmWindow\\iarrowdown.bmp"},
                              {&Time.aArrowUp, "Images\\AlarmWindow\\aarrowup.bmp"},
                              {&Time.aArrowDown, "Images\\AlarmWindow\\aarrowdown.bmp"}});
  const auto rows = Rows();
  loaded = LoadButtonPictures(rows) && loaded;
  Time.AddArrows(*this);
  AddButtons(*this, rows);
  SetKeyButtons(ImageStart, ImageCancel);
  if (!loaded && FormMain) FormMain->ReportDamaged();
}

void TFormTimerStart::FormDestroy() {
  Trace("TimerWindow::Destroy");
  for (Picture* p : {&Time.iArrowUp, &Time.iArrowDown, &Time.aArrowUp, &Time.aArrowDown}) p->reset();
  FreeButtonPictures(Rows());
}

void TFormTimerStart::OpenWindow() {
  // Asked for again while it shows, it keeps what the user has set so far.
  if (!Visible()) {
    Time.Idle();
    ResetButtons();
    const LastTimer last = Reestr ? ReadLastTimer(*Reestr) : LastTimer{};
    ShowLength(last.seconds);
    NameField.SetText(last.label);
    // In the middle of the pet's display, unless the user left it somewhere there.
    CentreOnPetDisplay(*this, placed_);
  }
  Show();
}

std::int64_t TFormTimerStart::Length() const {
  return std::int64_t(Time.Hour()) * 3600 + Time.Minute() * 60 + Time.Second();
}

void TFormTimerStart::ShowLength(std::int64_t seconds) {
  Time.Load(int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60));
}

void TFormTimerStart::ChooseQuick(int minutes) { ShowLength(std::int64_t(minutes) * 60); }

void TFormTimerStart::StartPressed() {
  const std::int64_t seconds = Length();
  if (seconds <= 0) {
    MyMessageBox(kNoTime);
    return;
  }
  const std::string label = NameField.Text();
  if (!OnStart) {
    Trace("TimerWindow: no one starts timers");
    return;
  }
  std::string refusal;
  if (!OnStart(label, seconds, &refusal)) {
    MyMessageBox(refusal.empty() ? kNotStarted : refusal);
    return;
  }
  Time.Idle();
  Hide();
  if (!Reestr) return;
  // The timer runs: a value that cannot be kept only offers the default next time.
  CReestr::WriteFailuresLogged logged(*Reestr);
  WriteLastTimer(*Reestr, {seconds, label});
}

void TFormTimerStart::CancelPressed() {
  Time.Idle();
  Hide();
}

bool TFormTimerStart::FormCloseQuery() {
  CancelPressed();
  return false;
}
