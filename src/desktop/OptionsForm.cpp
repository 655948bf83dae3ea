#include "desktop/OptionsForm.h"

#include <string>

#include "alarm/AlarmList.h"
#include "alarm/AlarmUnit.h"
#include "app/Globals.h"
#include "desktop/LogOnStart.h"
#include "desktop/MyMessageBoxUnit.h"
#include "shell/PetMonitor.h"
#include "shell/main.h"

namespace {
constexpr const char* kCannotSetLogOn = "Could not change whether Ravilo starts when you log on.";
// Where the choice rows stand, and how far apart their buttons are.
constexpr int kChoiceLeft = 140, kChoiceStep = 54;
constexpr int kRowTop[] = {52, 86, 120, 258};

// The file names live as long as the program: the rows keep pointers to them.
const std::string& ChoiceFile(int index, bool active) {
  static const auto files = [] {
    std::vector<std::string> f;
    for (const auto& c : TFormOptions::kChoices)
      for (const char* state : {"i", "a"}) f.push_back(std::string("Images\\OptionsWindow\\") + state + c.name + ".bmp");
    return f;
  }();
  return files[std::size_t(index) * 2 + (active ? 1 : 0)];
}
// A choice as a reader says it: its row, then the words on its button ("Snooze 5 min").
std::string ChoiceName(const TFormOptions::Choice& c) {
  static constexpr const char* kRows[] = {"Snooze", "Gentle start", "Ring ends after", "Pet size"};
  const std::string words = c.value == 0 ? (c.setting == TFormOptions::PetSize      ? "Auto"
                                            : c.setting == TFormOptions::RingEnds ? "Never"
                                                                                  : "Off")
                            : c.setting == TFormOptions::PetSize   ? std::to_string(c.value) + " %"
                            : c.setting == TFormOptions::GentleStart ? std::to_string(c.value) + " s"
                                                                     : std::to_string(c.value) + " min";
  return std::string(kRows[c.setting]) + " " + words;
}
}  // namespace

TFormOptions::TFormOptions()
    : BackImage(*this),
      ImageClose(*this),
      ImageRingWhenMuted(*this),
      ImageStartAtLogOn(*this),
      ImageHideFullScreen(*this),
      ImageOk(*this),
      ImageCancel(*this),
      choiceOff_(kChoiceCount),
      choiceOn_(kChoiceCount) {
  SetCaption("Options");
  SetClientSize(480, 340);
  ImageClose.SetAccessibleName("Close");
  ImageOk.SetAccessibleName("OK");
  ImageCancel.SetAccessibleName("Cancel");
  ImageRingWhenMuted.SetAccessibleName("Ring even when the sound is muted");
  ImageStartAtLogOn.SetAccessibleName("Start Ravilo when I log on");
  ImageHideFullScreen.SetAccessibleName("Hide during full-screen programs");
  for (int i = 0; i < kChoiceCount; ++i)
    ChoiceImages.emplace_back(*this).SetAccessible(ui::Role::RadioButton, ChoiceName(kChoices[i]));
  PlaceButtons(Rows());
}

std::vector<ButtonRow> TFormOptions::Rows() {
  using R = ButtonRow;
  std::vector<ButtonRow> rows = {
      {R::Push, &ImageClose, &iExit_, &aExit_, "Images\\ForAllWindows\\iexit.bmp", "Images\\ForAllWindows\\aexit.bmp",
       {446, 8}, {444, 6}, [this] { ImageCancelMouseUp(); }, {}},
      {R::Push, &ImageOk, &iOk_, &aOk_, "Images\\ForAllWindows\\iok.bmp", "Images\\ForAllWindows\\aok.bmp", {144, 302},
       {142, 300}, [this] { ImageOkMouseUp(); }, {}},
      {R::Push, &ImageCancel, &iCancel_, &aCancel_, "Images\\ForAllWindows\\icancel.bmp",
       "Images\\ForAllWindows\\acancel.bmp", {264, 302}, {262, 300}, [this] { ImageCancelMouseUp(); }, {}},
      {R::Switch, &ImageRingWhenMuted, &iMuted_, &aMuted_, "Images\\AddDirWindow\\ion.bmp",
       "Images\\AddDirWindow\\aon.bmp", {24, 156}, {24, 156},
       [this] {
         edited_.ringWhenMuted = !edited_.ringWhenMuted;
         ResetButtons();
       },
       [this] { return edited_.ringWhenMuted; }},
      {R::Switch, &ImageStartAtLogOn, &iLogOn_, &aLogOn_, "Images\\AddDirWindow\\ion.bmp",
       "Images\\AddDirWindow\\aon.bmp", {24, 202}, {24, 202},
       [this] {
         startAtLogOn_ = !startAtLogOn_;
         ResetButtons();
       },
       [this] { return startAtLogOn_; }},
      {R::Switch, &ImageHideFullScreen, &iFullScreen_, &aFullScreen_, "Images\\AddDirWindow\\ion.bmp",
       "Images\\AddDirWindow\\aon.bmp", {24, 230}, {24, 230},
       [this] {
         edited_.hideFullScreen = !edited_.hideFullScreen;
         ResetButtons();
       },
       [this] { return edited_.hideFullScreen; }},
  };
  int column = 0;
  for (int i = 0; i < kChoiceCount; ++i) {
    const Choice c = kChoices[i];
    column = i > 0 && kChoices[i - 1].setting == c.setting ? column + 1 : 0;
    const ui::Point at{kChoiceLeft + column * kChoiceStep, kRowTop[c.setting]};
    rows.push_back({R::Switch, &ChoiceImages[std::size_t(i)], &choiceOff_[std::size_t(i)],
                    &choiceOn_[std::size_t(i)], ChoiceFile(i, false).c_str(), ChoiceFile(i, true).c_str(), at, at,
                    [this, c] { Choose(c.setting, c.value); }, [this, c] { return Value(c.setting) == c.value; },
                    // Each row is one stop of the keyboard.
                    1 + int(c.setting)});
  }
  return rows;
}

void TFormOptions::FormCreate() {
  SetBackground(BackImage, "OptionsBack", {0, 0});
  const auto rows = Rows();
  const bool loaded = LoadButtonPictures(rows);
  AddButtons(*this, rows);
  SetKeyButtons(ImageOk, ImageCancel);
  if (!loaded && FormMain) FormMain->ReportDamaged();
}

void TFormOptions::FormDestroy() {
  Trace("OptionsWindow::Destroy");
  FreeButtonPictures(Rows());
}

ui::Image* TFormOptions::ChoiceImage(Setting setting, int value) {
  for (int i = 0; i < kChoiceCount; ++i)
    if (kChoices[i].setting == setting && kChoices[i].value == value) return &ChoiceImages[std::size_t(i)];
  return nullptr;
}

int& TFormOptions::Value(Setting setting) {
  switch (setting) {
    case Snooze: return edited_.snoozeMinutes;
    case GentleStart: return edited_.rampSeconds;
    case PetSize: return edited_.petSize;
    case RingEnds: break;
  }
  return edited_.autoStopMinutes;
}

void TFormOptions::Choose(Setting setting, int value) {
  Value(setting) = value;
  ResetButtons();
}

void TFormOptions::OpenWindow() {
  edited_ = Alarm ? Alarm->GetOptions() : AlarmOptions{};
  loadedStartAtLogOn_ = startAtLogOn_ = logon::StartsAtLogOn();
  ResetButtons();
  // Centred on the free area of the pet's display the first time, and again whenever it was
  // left on another display; otherwise it opens where the user left it.
  const ui::Monitor pet = Visible() ? PetMonitor() : TakePetDisplayScale(*this);
  if (!Visible() && (!placed_ || !LiesOn(*this, pet))) {
    const ui::Rect area = pet.workArea;
    SetPosition(area.left + (area.width - Width()) / 2, area.top + (area.height - Height()) / 2);
    placed_ = true;
  }
  Show();
}

void TFormOptions::ImageOkMouseUp() {
  // Stored before the window goes: a refused write is shown with the edits still in it.
  if (Alarms)
    Alarms->SetOptions(edited_);
  else if (Alarm)
    Alarm->SetOptions(edited_);
  Hide();
  if (FormMain) FormMain->PetOptionsChanged();
  // Written only when the user changed it: an installer's value for this copy stays as it is.
  if (startAtLogOn_ != loadedStartAtLogOn_ && !logon::SetStartAtLogOn(startAtLogOn_)) MyMessageBox(kCannotSetLogOn);
}

void TFormOptions::ImageCancelMouseUp() { Hide(); }

bool TFormOptions::FormCloseQuery() {
  ImageCancelMouseUp();
  return false;
}
