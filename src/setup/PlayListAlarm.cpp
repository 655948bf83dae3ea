#include "setup/PlayListAlarm.h"

#include "alarm/AlarmUnit.h"
#include "alarm/Reestr.h"
#include "alarm/SoundSystemForm.h"
#include "app/Globals.h"
#include "desktop/MyMessageBoxUnit.h"
#include "setup/AddDirectoryDialog.h"
#include "setup/Busy.h"
#include "setup/FolderScan.h"
#include "setup/SimpleAlarmUnit.h"
#include "shell/PetMonitor.h"
#include "shell/main.h"
#include "ui/Application.h"

namespace {
constexpr const char* kUnit = "PlayListAlarm";
// Everything below the time and the days stands kDrop lower than the time's own row.
constexpr int kDrop = 40;

void ProcessMessages() { ui::Application::Instance().ProcessMessages(); }

// A path cut to fit the message box's line: the drive, then "...", then as many of the last
// folders as fit whole.
std::string ShortPathForLine(const std::string& path) {
  constexpr std::size_t kFits = 40;
  if (path.size() <= kFits) return path;
  const std::size_t drive = path.find('\\');
  std::size_t tail = path.rfind('\\');
  for (std::size_t at = tail; at != std::string::npos && at > drive && path.size() - at + drive + 4 <= kFits;
       at = at ? path.rfind('\\', at - 1) : std::string::npos)
    tail = at;
  if (drive == std::string::npos || tail <= drive) return "..." + path.substr(path.size() - (kFits - 3));
  return path.substr(0, drive + 1) + "..." + path.substr(tail);
}

void ShowAlarmState() {
  if (FormMain) FormMain->ShowAlarmState();
}

}  // namespace

TFormPlayListAlarm::TFormPlayListAlarm()
    : Image1(*this),
      ImageClose(*this),
      ImageOnOff(*this),
      MaskEditHour(*this),
      MaskEditMin(*this),
      ImageUp1(*this),
      ImageDown1(*this),
      ImageUp2(*this),
      ImageDown2(*this),
      ListBoxPlayList(*this),
      ImageStop(*this),
      ImageAddFile(*this),
      ImageAddDir(*this),
      ImageRemoveSelected(*this),
      ImageRemoveAll(*this),
      ImageOk(*this),
      ImageCancel(*this),
      ImageSimpleMode(*this),
      Time(MaskEditHour, MaskEditMin, ImageUp1, ImageDown1, ImageUp2, ImageDown2, Timer, kUnit),
      Days(*this, {24, 160}),
      Extras(*this, Days, {84, 52}, {264, 118}, {264, 504 + kDrop}) {
  SetCaption("Alarm(playlist mode)");
  SetClientSize(365, 559 + kDrop);
  Time.Place({{96, 120}, {192, 120}, {130, 115}, {130, 132}, {226, 115}, {226, 132}});
  PlaceButtons(Rows());
  ListBoxPlayList.SetBounds({40, 176 + kDrop, 275, 168});
  ListBoxPlayList.OnDblClick = [this] { ListBoxPlayListDblClick(); };
  Extras.OnAllAlarms = [this] {
    ImageCancel.OnMouseUp(ui::MouseButton::Left, 0, 0);
    if (ShowAlarmList) ShowAlarmList();
  };
  ImageStop.SetVisible(false);
  // The words on each button, for a screen reader.
  ImageClose.SetAccessibleName("Close");
  ImageOnOff.SetAccessibleName("Alarm on");
  ListBoxPlayList.SetAccessible(ui::Role::List, "Playlist");
  ImageStop.SetAccessibleName("Stop");
  ImageAddFile.SetAccessibleName("Add file");
  ImageAddDir.SetAccessibleName("Add folder");
  ImageRemoveSelected.SetAccessibleName("Remove selected");
  ImageRemoveAll.SetAccessibleName("Remove all");
  ImageOk.SetAccessibleName("OK");
  ImageCancel.SetAccessibleName("Cancel");
  ImageSimpleMode.SetAccessibleName("Simple mode");
  AddFileDialog.Title = TFormSimpleAlarm::kAddFilesTitle;
  AddFileDialog.Filter = TFormSimpleAlarm::kAddFilesFilter;
  AddFileDialog.MultiSelect = true;
}

// Every button of the window, in the order its pictures load; the arrows' pictures are the
// time fields' own.
std::vector<ButtonRow> TFormPlayListAlarm::Rows() {
  using R = ButtonRow;
  const auto cancel = [this] { ImageCancel.OnMouseUp(ui::MouseButton::Left, 0, 0); };
  std::vector<ButtonRow> rows = {
      {R::Push, &ImageClose, &iExit_, &aExit_, "Images\\ForAllWindows\\iexit.bmp", "Images\\ForAllWindows\\aexit.bmp",
       {320, 8}, {318, 6}, cancel, {}},
      {R::Switch, &ImageOnOff, &iOnOff_, &aOnOff_, "Images\\AlarmWindow\\ionoff.bmp", "Images\\AlarmWindow\\aonoff.bmp",
       {16, 48}, {16, 48}, [this] { ImageOnOffClick(); }, [this] { return OnOffState_; }},
      {R::PicturesOnly, nullptr, &Time.iArrowUp, &Time.aArrowUp, "Images\\AlarmWindow\\iarrowup.bmp",
       "Images\\AlarmWindow\\aarrowup.bmp", {}, {}, {}, {}},
      {R::PicturesOnly, nullptr, &Time.iArrowDown, &Time.aArrowDown, "Images\\AlarmWindow\\iarrowdown.bmp",
       "Images\\AlarmWindow\\aarrowdown.bmp", {}, {}, {}, {}},
      {R::Push, &ImageStop, &iStop_, &aStop_, "Images\\PlayListModeWindow\\istop.bmp",
       "Images\\PlayListModeWindow\\astop.bmp", {40, 352 + kDrop}, {38, 350 + kDrop},
       [this] { ImageStopMouseUp(); }, {}},
      {R::Push, &ImageAddFile, &iAddFile_, &aAddFile_, "Images\\PlayListModeWindow\\iaddfile.bmp",
       "Images\\PlayListModeWindow\\aaddfile.bmp", {40, 392 + kDrop}, {38, 390 + kDrop},
       [this] { ImageAddFileMouseUp(); }, {}},
      {R::Push, &ImageAddDir, &iAddDir_, &aAddDir_, "Images\\PlayListModeWindow\\iadddir.bmp",
       "Images\\PlayListModeWindow\\aadddir.bmp", {40, 424 + kDrop}, {38, 422 + kDrop},
       [this] { ImageAddDirMouseUp(); }, {}},
      {R::Push, &ImageRemoveSelected, &iRemoveSelected_, &aRemoveSelected_,
       "Images\\PlayListModeWindow\\iremoveselected.bmp", "Images\\PlayListModeWindow\\aremoveselected.bmp",
       {184, 392 + kDrop}, {182, 390 + kDrop}, [this] { ImageRemoveSelectedMouseUp(); }, {}},
      {R::Push, &ImageRemoveAll, &iRemoveAll_, &aRemoveAll_, "Images\\PlayListModeWindow\\iremoveall.bmp",
       "Images\\PlayListModeWindow\\aremoveall.bmp", {184, 424 + kDrop}, {182, 422 + kDrop},
       [this] { ImageRemoveAllMouseUp(); }, {}},
      {R::Push, &ImageOk, &iOk_, &aOk_, "Images\\ForAllWindows\\iok.bmp", "Images\\ForAllWindows\\aok.bmp",
       {72, 464 + kDrop}, {70, 462 + kDrop}, [this] { ImageOkMouseUp(); }, {}},
      {R::Push, &ImageCancel, &iCancel_, &aCancel_, "Images\\ForAllWindows\\icancel.bmp",
       "Images\\ForAllWindows\\acancel.bmp", {208, 464 + kDrop}, {206, 462 + kDrop},
       [this] { ImageCancelMouseUp(); }, {}},
      {R::Push, &ImageSimpleMode, &iSimpleMode_, &aSimpleMode_, "Images\\PlayListModeWindow\\isimplemode.bmp",
       "Images\\PlayListModeWindow\\asimplemode.bmp", {104, 504 + kDrop}, {102, 502 + kDrop},
       [this] { ImageSimpleModeMouseUp(); }, {}},
  };
  // The days wait like the other buttons while a folder is read.
  auto days = Days.Rows();
  for (ButtonRow& extra : Extras.Rows()) days.push_back(std::move(extra));
  for (ButtonRow& day : days) {
    const auto flip = day.release;
    if (flip)
      day.release = [this, flip] {
        if (!scanning_) flip();
      };
    rows.push_back(std::move(day));
  }
  return rows;
}

void TFormPlayListAlarm::FormCreate() {
  Time.Idle();
  SetBackground(Image1, "PlayListAlarmBack", {0, 0});
  const auto rows = Rows();
  const bool loaded = LoadButtonPictures(rows);
  AddButtons(*this, rows);
  Time.AddArrows(*this);
  SetKeyButtons(ImageOk, ImageCancel);
  if (!loaded) {
    if (FormMain) FormMain->ReportDamaged();
    return;
  }
  PlayListPaths_.clear();
}

void TFormPlayListAlarm::FormDestroy() {
  Trace("PlayListAlarmWindow::Destroy");
  FreeButtonPictures(Rows());
  PlayListPaths_.clear();
}

void TFormPlayListAlarm::OpenWindow(EditedAlarm edited) {
  // While a folder is read the window is already open, and its list is not to be reloaded.
  if (scanning_) return Show();
  Time.Idle();
  Edited_ = edited;
  LoadFromAlarm();
  ResetButtons();
  ImageStop.SetVisible(false);
  Extras.Load(Edited_.Find());
  // In the middle of the pet's display, unless the user left it somewhere there.
  if (!Visible()) CentreOnPetDisplay(*this, placed_);
  Show();
}

void TFormPlayListAlarm::LoadFromAlarm() {
  const CAlarm* alarm = Edited_.Find();
  OnOffState_ = alarm ? alarm->IsOn() : true;
  ImageOnOff.SetPicture(OnOffState_ ? aOnOff_ : iOnOff_);
  if (alarm)
    Time.Load(alarm->GetHour(), alarm->GetMinute());
  else
    Time.Load(NewAlarmHour(), 0);
  Days.Load(alarm ? alarm->Days() : AlarmOptions::kAllDays);
  ListBoxPlayList.Clear();
  PlayListPaths_.clear();
  if (alarm)
    for (int i = 0; i < alarm->PlaylistCount(); ++i) Append(alarm->PlaylistItem(i));
}

void TFormPlayListAlarm::Append(const std::string& path) {
  ListBoxPlayList.Add(ExtractNamePart(path));
  PlayListPaths_.push_back(path);
}

void TFormPlayListAlarm::ImageOnOffClick() {
  if (scanning_) return;
  OnOffState_ = !OnOffState_;
  ImageOnOff.SetPicture(OnOffState_ ? aOnOff_ : iOnOff_);
}

void TFormPlayListAlarm::StopPreview(bool hide) {
  // Only the preview: a ring that started meanwhile has taken the sound over and goes on.
  if (SoundSystem) SoundSystem->StopOwn(this);
  if (hide) ImageStop.SetVisible(false);
}

void TFormPlayListAlarm::ListBoxPlayListDblClick() {
  ProcessMessages();
  bool playing = false;
  for (int i = 0; i < ListBoxPlayList.Count(); ++i) {
    if (!ListBoxPlayList.Selected(i)) continue;
    if (SoundSystem && SoundSystem->IsActive()) {
      StopPreview(/*hide=*/false);
      ProcessMessages();
    }
    RAVILO_ASSERT(i < int(PlayListPaths_.size()), kUnit);
    playing = SoundSystem && SoundSystem->PlayLooped(PlayListPaths_[std::size_t(i)], this);
    break;
  }
  ImageStop.SetPicture(iStop_);
  ImageStop.SetPosition(40, 352 + kDrop);
  ImageStop.SetVisible(playing);
}

void TFormPlayListAlarm::ImageStopMouseUp() { StopPreview(/*hide=*/true); }

void TFormPlayListAlarm::ImageAddFileMouseUp() {
  if (scanning_) return;
  ProcessMessages();
  std::string folder;
  if (!Reestr || !Reestr->GetString("OpenDialogsDir", folder)) folder.clear();
  AddFileDialog.InitialDir = folder;
  if (!AddFileDialog.Execute()) return;
  // Neither the extension nor duplicates are looked at: the user chose these files.
  for (const std::string& file : AddFileDialog.Files()) Append(file);
  if (Reestr) Reestr->SetString("OpenDialogsDir", ExtractDirPart(AddFileDialog.FileName()));
}

void TFormPlayListAlarm::ImageAddDirMouseUp() {
  if (scanning_) return;
  ProcessMessages();
  if (!DialogAddDir || !DialogAddDir->Execute()) return;
  const std::string folder = DialogAddDir->Directory();
  const bool recurse = DialogAddDir->Recurse();
  // The windows keep painting while a large tree is read; the buttons of this window wait
  // until it is done, so OK can't store half a folder.
  Busy busy(scanning_);
  std::vector<std::string> found;
  for (const std::string& extension : SoundExtensions) {
    found.clear();
    ScanDirectory(folder, extension, recurse, found, [] { ProcessMessages(); });
    ListBoxPlayList.BeginUpdate();
    for (const std::string& path : found) Append(path);
    ListBoxPlayList.EndUpdate();
  }
}

void TFormPlayListAlarm::ImageRemoveSelectedMouseUp() {
  if (scanning_) return;
  ProcessMessages();
  int left = ListBoxPlayList.SelCount();
  for (int i = ListBoxPlayList.Count() - 1; i >= 0 && left > 0; --i) {
    if (!ListBoxPlayList.Selected(i)) continue;
    ListBoxPlayList.Delete(i);
    PlayListPaths_.erase(PlayListPaths_.begin() + i);
    --left;
  }
}

void TFormPlayListAlarm::ImageRemoveAllMouseUp() {
  if (scanning_) return;
  ProcessMessages();
  PlayListPaths_.clear();
  ListBoxPlayList.Clear();
}

void TFormPlayListAlarm::ImageOkMouseUp() {
  if (scanning_) return;
  ProcessMessages();
  if (Days.Days() == 0) {
    MyMessageBox(DayButtons::kNoDay);
    return;
  }
  if (ListBoxPlayList.Count() == 0) {
    MyMessageBox(kEmpty);
    return;
  }
  CAlarm* alarm = AlarmForOk(Edited_);
  if (!alarm) {
    // Refused (too many alarms): the edits stay. Deleted meanwhile: nothing to store.
    if (Edited_.isNew) return;
    ImageCancel.OnMouseUp(ui::MouseButton::Left, 0, 0);
    return;
  }
  // The list file first: when it can't be written (a folder the user may not write to, a
  // full disk) nothing changes, and the window stays open with the edits.
  if (!alarm->SavePlaylist(PlayListPaths_)) {
    MyMessageBox(std::string(kCannotSave) + "\n" + ShortPathForLine(CReestr::ListPath(alarm->ListName())) +
                 "\nIs the disk full, or read-only?");
    return;
  }
  alarm->SetOnAndTime(OnOffState_, Time.Hour(), Time.Minute());
  alarm->SetDays(Days.Days());
  Extras.Store(*alarm);
  alarm->SetPlaylistMode();
  alarm->SaveSettings();
  Hide();
  // A preview started here ends with the window, as it does on Cancel.
  if (ImageStop.Visible()) StopPreview(/*hide=*/true);
  ShowAlarmState();
  TellWhenItRings(*alarm);
}

void TFormPlayListAlarm::ImageCancelMouseUp() {
  if (scanning_) return;
  Hide();
  StopPreview(/*hide=*/true);
}

void TFormPlayListAlarm::ImageSimpleModeMouseUp() {
  if (scanning_) return;
  ImageCancel.OnMouseUp(ui::MouseButton::Left, 0, 0);
  if (FormSimpleAlarm) FormSimpleAlarm->OpenWindow(Edited_);
}

bool TFormPlayListAlarm::FormCloseQuery() {
  ImageCancel.OnMouseUp(ui::MouseButton::Left, 0, 0);
  return false;
}
