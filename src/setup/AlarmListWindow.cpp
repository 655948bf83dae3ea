#include "setup/AlarmListWindow.h"

#include <algorithm>

#include "alarm/AlarmList.h"
#include "alarm/AlarmTexts.h"
#include "app/Globals.h"
#include "desktop/MyMessageBoxUnit.h"
#include "platform/Platform.h"
#include "setup/AlarmExtras.h"
#include "setup/PlayListAlarm.h"
#include "setup/SimpleAlarmUnit.h"
#include "shell/ButtonRows.h"
#include "shell/PetMonitor.h"
#include "shell/main.h"

namespace {
constexpr ui::Key kVkEnd = 0x23, kVkHome = 0x24, kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28,
                  kVkSpace = 0x20, kVkDelete = 0x2E, kVkPrior = 0x21, kVkNext = 0x22;
// Two presses on a row this close together are a double click (Windows' default time).
constexpr std::int64_t kDoubleClickMs = 500;
// The scroll bar: arrows above and below a track in which the thumb moves.
constexpr int kBarLeft = 428;
constexpr int kTrackTop = kRowsArea.top + 16;
constexpr int kTrackBottom = kRowsArea.top + kRowsArea.height - 16;
constexpr int kThumbHeight = 32;
// The rows' "in 7 h 12 min" keep up with the clock.
constexpr unsigned kRefreshMs = 5000;

void ShowAlarmState() {
  if (FormMain) FormMain->ShowAlarmState();
}
}  // namespace

TFormAlarmList::TFormAlarmList()
    : BackImage(*this),
      Selection(*this),
      Area(*this),
      ImageScrollUp(*this),
      ImageScrollDown(*this),
      ImageThumb(*this),
      ImageAdd(*this),
      ImageEdit(*this),
      ImageDelete(*this),
      ImageClose(*this) {
  // The rows stand above the selection band and below the area that takes their presses.
  for (int i = 0; i < kListRows; ++i) Rows.emplace_back(*this, i);
  Area.BringToFront();
  for (ui::Image* top : {&ImageScrollUp, &ImageScrollDown, &ImageThumb, &ImageAdd, &ImageEdit, &ImageDelete,
                         &ImageClose})
    top->BringToFront();
  SetCaption("Alarms");
  SetClientSize(460, 340);
  ImageScrollUp.SetPosition(kBarLeft, kRowsArea.top);
  ImageScrollDown.SetPosition(kBarLeft, kTrackBottom);
  ImageThumb.SetPosition(kBarLeft, kTrackTop);
  Selection.SetVisible(false);
  Area.SetAccessible(ui::Role::List, "Alarms");
  ImageScrollUp.SetAccessibleName("Scroll up");
  ImageScrollDown.SetAccessibleName("Scroll down");
  ImageAdd.SetAccessibleName("Add");
  ImageEdit.SetAccessibleName("Edit");
  ImageDelete.SetAccessibleName("Delete");
  ImageClose.SetAccessibleName("Close");
  Area.OnMouseDown = [this](ui::MouseButton button, int x, int y) { RowPressed(x, y, button); };
  TimerRefresh.SetEnabled(false);
  TimerRefresh.SetInterval(kRefreshMs);
  TimerRefresh.OnTimer = [this] { Refresh(); };
}

void TFormAlarmList::FormCreate() {
  SetBackground(BackImage, "AlarmListBack", {0, 0});
  using R = ButtonRow;
  const std::vector<ButtonRow> rows{
      {R::Push, &ImageAdd, &iAdd_, &aAdd_, "Images\\AlarmListWindow\\iadd.bmp", "Images\\AlarmListWindow\\aadd.bmp",
       {16, 300}, {14, 298}, [this] { AddAlarm(); }, nullptr},
      {R::Push, &ImageEdit, &iEdit_, &aEdit_, "Images\\AlarmListWindow\\iedit.bmp",
       "Images\\AlarmListWindow\\aedit.bmp", {104, 300}, {102, 298}, [this] { EditChosen(); }, nullptr},
      {R::Push, &ImageDelete, &iDelete_, &aDelete_, "Images\\AlarmListWindow\\idelete.bmp",
       "Images\\AlarmListWindow\\adelete.bmp", {192, 300}, {190, 298}, [this] { DeleteChosen(); }, nullptr},
      {R::Push, &ImageClose, &iClose_, &aClose_, "Images\\AlarmListWindow\\iclose.bmp",
       "Images\\AlarmListWindow\\aclose.bmp", {364, 300}, {362, 298}, [this] { FormCloseQuery(); }, nullptr},
      {R::Push, &ImageScrollUp, &iUp_, &aUp_, "Images\\AlarmListWindow\\iscrollup.bmp",
       "Images\\AlarmListWindow\\ascrollup.bmp", {kBarLeft, kRowsArea.top}, {kBarLeft, kRowsArea.top},
       [this] { ScrollTo(first_ - 1); }, nullptr},
      {R::Push, &ImageScrollDown, &iDown_, &aDown_, "Images\\AlarmListWindow\\iscrolldown.bmp",
       "Images\\AlarmListWindow\\ascrolldown.bmp", {kBarLeft, kTrackBottom}, {kBarLeft, kTrackBottom},
       [this] { ScrollTo(first_ + 1); }, nullptr},
      {R::PicturesOnly, nullptr, &iRowOn_, &aRowOn_, "Images\\AlarmListWindow\\irowonoff.bmp",
       "Images\\AlarmListWindow\\arowonoff.bmp", {}, {}, nullptr, nullptr},
      {R::PicturesOnly, nullptr, &iThumb_, &aThumb_, "Images\\AlarmListWindow\\ithumb.bmp",
       "Images\\AlarmListWindow\\athumb.bmp", {}, {}, nullptr, nullptr},
      {R::PicturesOnly, nullptr, &iRow_, &aRow_, "Images\\AlarmListWindow\\irow.bmp",
       "Images\\AlarmListWindow\\arow.bmp", {}, {}, nullptr, nullptr}};
  const bool loaded = LoadButtonPictures(rows);
  AddButtons(*this, rows);
  // The arrows are the mouse's; the keyboard scrolls with the rows.
  ImageScrollUp.SetFocusKind(ui::FocusKind::None);
  ImageScrollDown.SetFocusKind(ui::FocusKind::None);
  SetKeyButtons(ImageEdit, ImageClose);
  if (!loaded && FormMain) FormMain->ReportDamaged();
  ImageThumb.SetPicture(iThumb_);
  Selection.SetPicture(aRow_);
  ShowAlarmList = [this] { OpenWindow(); };
}

void TFormAlarmList::FormDestroy() {
  Trace("AlarmListWindow::Destroy");
  for (Picture* p : {&iAdd_, &aAdd_, &iEdit_, &aEdit_, &iDelete_, &aDelete_, &iClose_, &aClose_, &iRowOn_, &aRowOn_,
                     &iUp_, &aUp_, &iDown_, &aDown_, &iThumb_, &aThumb_, &iRow_, &aRow_})
    p->reset();
  ShowAlarmList = nullptr;
}

void TFormAlarmList::OpenWindow() {
  ResetButtons();
  Refresh();
  if (chosen_ < 0 && !order_.empty()) Choose(0);
  // In the middle of the pet's display, unless the user left it somewhere there.
  if (!Visible()) CentreOnPetDisplay(*this, placed_);
  TimerRefresh.SetEnabled(true);
  Show();
  // The keys work on the rows from the start, as in any list.
  SetFocusedControl(&Area);
}

bool TFormAlarmList::FormCloseQuery() {
  Hide();
  TimerRefresh.SetEnabled(false);
  return false;
}

void TFormAlarmList::Refresh() {
  if (!Alarms) return;
  const int chosenId = chosen_ >= 0 && chosen_ < int(order_.size()) ? order_[std::size_t(chosen_)] : -1;
  std::vector<std::pair<int, int>> byTime;  // (minute of the day, id); ids break ties
  for (int i = 0; i < Alarms->Count(); ++i) {
    const CAlarm& a = Alarms->At(i);
    byTime.push_back({a.GetHour() * 60 + a.GetMinute(), Alarms->IdAt(i)});
  }
  std::sort(byTime.begin(), byTime.end());
  order_.clear();
  for (const auto& [minute, id] : byTime) order_.push_back(id);
  const auto at = std::find(order_.begin(), order_.end(), chosenId);
  chosen_ = at != order_.end() ? int(at - order_.begin()) : std::min(chosen_, int(order_.size()) - 1);
  ScrollTo(first_);
}

void TFormAlarmList::ScrollTo(int first) {
  first_ = std::clamp(first, 0, std::max(0, int(order_.size()) - kListRows));
  const std::int64_t now = LocalNow();
  for (int i = 0; i < kListRows; ++i) {
    const int index = first_ + i;
    const CAlarm* alarm = index < int(order_.size()) && Alarms ? Alarms->ById(order_[std::size_t(index)]) : nullptr;
    Rows[std::size_t(i)].Show(alarm, now, aRowOn_, iRowOn_);
  }
  const int row = chosen_ - first_;
  const bool shown = chosen_ >= 0 && row >= 0 && row < kListRows;
  if (Selection.Visible() != shown) Selection.SetVisible(shown);
  if (shown) Selection.SetPosition(kRowsArea.left, kRowsArea.top + row * kRowHeight);
  ShowScrollBar();
}

void TFormAlarmList::ShowScrollBar() {
  const int count = int(order_.size());
  const bool needed = count > kListRows;
  ImageThumb.SetVisible(needed);
  if (!needed) return;
  const int range = kTrackBottom - kTrackTop - kThumbHeight;
  const int top = kTrackTop + range * first_ / (count - kListRows);
  if (ImageThumb.Top() != top) ImageThumb.SetPosition(kBarLeft, top);
}

void TFormAlarmList::Choose(int index) {
  if (order_.empty()) return;
  chosen_ = std::clamp(index, 0, int(order_.size()) - 1);
  // The chosen row is always in sight.
  if (chosen_ < first_)
    first_ = chosen_;
  else if (chosen_ >= first_ + kListRows)
    first_ = chosen_ - kListRows + 1;
  ScrollTo(first_);
}

CAlarm* TFormAlarmList::ChosenAlarm() {
  if (!Alarms || chosen_ < 0 || chosen_ >= int(order_.size())) return nullptr;
  return Alarms->ById(order_[std::size_t(chosen_)]);
}

void TFormAlarmList::RowPressed(int x, int y, ui::MouseButton button) {
  const int row = y / kRowHeight;
  const int index = first_ + row;
  if (index >= int(order_.size())) return;
  SetFocusedControl(&Area);
  Choose(index);
  if (button != ui::MouseButton::Left) return;
  const ui::Rect sw = Rows[std::size_t(row)].Switch.Bounds();
  if (ui::Rect{sw.left - kRowsArea.left, sw.top - kRowsArea.top, sw.width, sw.height}.Contains({x, y})) {
    SwitchChosen();
    lastPressRow_ = -1;
    return;
  }
  const std::int64_t now = platform::kernel().GetSystemTimeMs();
  if (lastPressRow_ == index && now - lastPressMs_ <= kDoubleClickMs) {
    lastPressRow_ = -1;
    EditChosen();
    return;
  }
  lastPressRow_ = index;
  lastPressMs_ = now;
}

void TFormAlarmList::FormMouseDown(ui::MouseButton button, int x, int y) {
  // A press on the scroll bar's track pages towards it, as on any scroll bar.
  if (ImageThumb.Visible() && x >= kBarLeft && x < kBarLeft + 16 && y >= kTrackTop && y < kTrackBottom) {
    ScrollTo(y < ImageThumb.Top() ? first_ - kListRows : first_ + kListRows);
    return;
  }
  TSkinnedForm::FormMouseDown(button, x, y);
}

void TFormAlarmList::HandleMouseWheel(int delta) {
  // A notch is a row; a finer wheel adds up to one.
  wheelRest_ += delta;
  const int rows = wheelRest_ / 120;
  wheelRest_ %= 120;
  if (rows) ScrollTo(first_ - rows);
}

void TFormAlarmList::FormKeyDown(ui::KeyStroke stroke) {
  if (FocusedControl() != &Area) return;
  switch (stroke.key) {
    case kVkUp:
    case kVkLeft:
      return Choose(chosen_ - 1);
    case kVkDown:
    case kVkRight:
      return Choose(chosen_ + 1);
    case kVkPrior:
      return Choose(chosen_ - (kListRows - 1));
    case kVkNext:
      return Choose(chosen_ + (kListRows - 1));
    case kVkHome:
      return Choose(0);
    case kVkEnd:
      return Choose(int(order_.size()) - 1);
    case kVkSpace:
      if (!stroke.repeat) SwitchChosen();
      return;
    case kVkDelete:
      if (!stroke.repeat) DeleteChosen();
      return;
    default:
      return;
  }
}

void TFormAlarmList::AddAlarm() {
  if (Alarms && Alarms->Count() >= CAlarmList::kMaxAlarms) {
    MyMessageBox(CAlarmList::kTooMany);
    return;
  }
  if (FormPlayListAlarm && FormPlayListAlarm->Visible()) FormPlayListAlarm->Hide();
  if (!FormSimpleAlarm) return;
  FormSimpleAlarm->OpenWindow({0, true});
  // Above the list, which was in front for the click.
  FormSimpleAlarm->Activate();
}

void TFormAlarmList::EditChosen() {
  CAlarm* alarm = ChosenAlarm();
  if (!alarm) return;
  const EditedAlarm edited{Alarms->IdOf(*alarm), false};
  if (alarm->IsPlaylistMode()) {
    if (FormSimpleAlarm && FormSimpleAlarm->Visible()) FormSimpleAlarm->Hide();
    if (!FormPlayListAlarm) return;
    FormPlayListAlarm->OpenWindow(edited);
    FormPlayListAlarm->Activate();
  } else {
    if (FormPlayListAlarm && FormPlayListAlarm->Visible()) FormPlayListAlarm->Hide();
    if (!FormSimpleAlarm) return;
    FormSimpleAlarm->OpenWindow(edited);
    FormSimpleAlarm->Activate();
  }
}

void TFormAlarmList::DeleteChosen() {
  CAlarm* alarm = ChosenAlarm();
  if (!alarm || alarm->RingInProgressNow()) return;
  const int id = Alarms->IdOf(*alarm);
  if (!MyQuestionBox(kDeleteQuestion)) return;
  // A set-up window open on it (or on the first alarm, whose place another takes) would
  // store into another alarm.
  if (FormSimpleAlarm && FormSimpleAlarm->Visible() && (FormSimpleAlarm->Editing().id == id || id == 0))
    FormSimpleAlarm->Hide();
  if (FormPlayListAlarm && FormPlayListAlarm->Visible() && (FormPlayListAlarm->Editing().id == id || id == 0))
    FormPlayListAlarm->Hide();
  Alarms->Delete(id);
  Refresh();
  ShowAlarmState();
}

void TFormAlarmList::SwitchChosen() {
  CAlarm* alarm = ChosenAlarm();
  if (!alarm) return;
  if (alarm->IsOn())
    alarm->TurnOff();
  else
    alarm->TurnOn();
  alarm->SaveSettings();
  Refresh();
  ShowAlarmState();
}
