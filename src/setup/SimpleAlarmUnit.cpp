#include "setup/SimpleAlarmUnit.h"

#include "alarm/AlarmUnit.h"
#include "alarm/Reestr.h"
#include "alarm/SoundSystemForm.h"
#include "app/Globals.h"
#include "desktop/MyMessageBoxUnit.h"
#include "platform/Platform.h"
#include "shell/PetMonitor.h"
#include "setup/PlayListAlarm.h"
#include "shell/ButtonRows.h"
#include "shell/main.h"
#include "ui/Application.h"

namespace {
constexpr const char* kUnit = "SimpleAlarmUnit";
// The rows below the time and the days stand kDrop lower than the time's own row.
constexpr int kDrop = 40;
constexpr ui::Point kTestAt{232, 200 + kDrop};

void ShowAlarmState() {
  if (FormMain) FormMain->ShowAlarmState();
}
}  // namespace

TFormSimpleAlarm::TFormSimpleAlarm()
    : BackImage(*this),
      MaskEditHour(*this),
      MaskEditMin(*this),
      LabelMusic(*this),
      ImageClose(*this),
      ImageOnOff(*this),
      ImageUp1(*this),
      ImageDown1(*this),
      ImageUp2(*this),
      ImageDown2(*this),
      ImageChange(*this),
      ImageTest(*this),
      ImageOk(*this),
      ImageCancel(*this),
      ImagePlayListMode(*this),
      Time(MaskEditHour, MaskEditMin, ImageUp1, ImageDown1, ImageUp2, ImageDown2, Timer, kUnit),
      Days(*this, {32, 168}),
      Extras(*this, Days, {92, 60}, {272, 126}, {264, 288 + kDrop}) {
  SetCaption("Alarm(simple mode)");
  SetBounds(242, 167, 371, 336 + kDrop);
  Time.Place({{104, 128}, {200, 128}, {138, 123}, {138, 140}, {234, 123}, {234, 140}});
  PlaceButtons(Days.Rows());
  PlaceButtons(Extras.Rows());
  Extras.OnAllAlarms = [this] {
    ImageCancel.OnMouseUp(ui::MouseButton::Left, 0, 0);
    if (ShowAlarmList) ShowAlarmList();
  };
  LabelMusic.SetPosition(104, 164 + kDrop);
  LabelMusic.SetBackground(ui::Rgb(255, 255, 255));
  ImageClose.SetPosition(328, 16);
  ImageOnOff.SetPosition(24, 56);
  ImageChange.SetPosition(136, 200 + kDrop);
  ImageTest.SetPosition(kTestAt.x, kTestAt.y);
  ImageOk.SetPosition(72, 248 + kDrop);
  ImageCancel.SetPosition(216, 248 + kDrop);
  ImagePlayListMode.SetPosition(104, 288 + kDrop);
  // The words on each button, for a screen reader.
  ImageClose.SetAccessibleName("Close");
  ImageOnOff.SetAccessibleName("Alarm on");
  LabelMusic.SetAccessible(ui::Role::StaticText);
  ImageChange.SetAccessibleName("Change...");
  ImageTest.SetAccessibleName("Test");
  ImageOk.SetAccessibleName("OK");
  ImageCancel.SetAccessibleName("Cancel");
  ImagePlayListMode.SetAccessibleName("Playlist mode");
  AddFileDialog.Title = kAddFilesTitle;
  AddFileDialog.Filter = kAddFilesFilter;
  AddFileDialog.MultiSelect = true;
}

void TFormSimpleAlarm::FormCreate() {
  Time.Idle();
  SetBackground(BackImage, "SimpleAlarmBack", {8, 8});
  bool loaded = LoadPictures({{&iExit_, "Images\\ForAllWindows\\iexit.bmp"},
                                    {&aExit_, "Images\\ForAllWindows\\aexit.bmp"},
                                    {&iOnOff_, "Images\\AlarmWindow\\ionoff.bmp"},
                                    {&aOnOff_, "Images\\AlarmWindow\\aonoff.bmp"},
                                    {&Time.iArrowUp, "Images\\AlarmWindow\\iarrowup.bmp"},
                                    {&Time.iArrowDown, "Images\\AlarmWindow\\iarrowdown.bmp"},
                                    {&Time.aArrowUp, "Images\\AlarmWindow\\aarrowup.bmp"},
                                    {&Time.aArrowDown, "Images\\AlarmWindow\\aarrowdown.bmp"},
                                    {&iChange_, "Images\\AlarmWindow\\ichange.bmp"},
                                    {&aChange_, "Images\\AlarmWindow\\achange.bmp"},
                                    {&iTest_, "Images\\AlarmWindow\\itest.bmp"},
                                    {&aTest_, "Images\\AlarmWindow\\atest.bmp"},
                                    {&iStop_, "Images\\PlayListModeWindow\\istop.bmp"},
                                    {&aStop_, "Images\\PlayListModeWindow\\astop.bmp"},
                                    {&iOk_, "Images\\ForAllWindows\\iok.bmp"},
                                    {&aOk_, "Images\\ForAllWindows\\aok.bmp"},
                                    {&iCancel_, "Images\\ForAllWindows\\icancel.bmp"},
                                    {&aCancel_, "Images\\ForAllWindows\\acancel.bmp"},
                                    {&iPlayListMode_, "Images\\AlarmWindow\\iplaylistmode.bmp"},
                                    {&aPlayListMode_, "Images\\AlarmWindow\\aplaylistmode.bmp"}});
  loaded = loaded && LoadButtonPictures(Days.Rows()) && LoadButtonPictures(Extras.Rows());
  // Registered in the order OpenWindow rests them.
  AddPushButton(ImageClose, aExit_, iExit_, {326, 14}, {328, 16}, [this] { ImageCloseMouseUp(); });
  AddSwitch(ImageOnOff, aOnOff_, iOnOff_, {24, 56}, [this] { return OnOffState_; }, [this] { ImageOnOffClick(); });
  Time.AddArrows(*this);
  AddButtons(*this, Days.Rows());
  AddButtons(*this, Extras.Rows());
  AddPushButton(ImageChange, aChange_, iChange_, {134, 198 + kDrop}, {136, 200 + kDrop},
                [this] { ImageChangeMouseUp(); });
  AddPushButton(ImageTest, testActive_, testInactive_, {230, 198 + kDrop}, kTestAt, [this] { ImageTestMouseUp(); });
  AddPushButton(ImageOk, aOk_, iOk_, {70, 246 + kDrop}, {72, 248 + kDrop}, [this] { ImageOkMouseUp(); });
  AddPushButton(ImageCancel, aCancel_, iCancel_, {214, 246 + kDrop}, {216, 248 + kDrop},
                [this] { ImageCancelMouseUp(); });
  AddPushButton(ImagePlayListMode, aPlayListMode_, iPlayListMode_, {102, 286 + kDrop}, {104, 288 + kDrop},
                [this] { ImagePlayListModeMouseUp(); });
  SetKeyButtons(ImageOk, ImageCancel);
  if (!loaded) {
    if (FormMain) FormMain->ReportDamaged();
    return;
  }
  ShowTestState();
  ShowAlarmState();
  Time.Idle();
}

void TFormSimpleAlarm::FormDestroy() {
  Trace("SimpleAlarmWindow::Destroy");
  for (Picture* p : {&iExit_, &aExit_, &iOnOff_, &aOnOff_, &Time.iArrowUp, &Time.iArrowDown, &Time.aArrowUp,
                     &Time.aArrowDown, &iChange_, &aChange_, &iTest_, &aTest_, &iStop_, &aStop_, &iOk_, &aOk_,
                     &iCancel_, &aCancel_, &iPlayListMode_, &aPlayListMode_, &testActive_, &testInactive_})
    p->reset();
  FreeButtonPictures(Days.Rows());
  FreeButtonPictures(Extras.Rows());
}

void TFormSimpleAlarm::OpenWindow(EditedAlarm edited) {
  Time.Idle();
  Edited_ = edited;
  // A test still running from the last opening is stopped with it.
  StopTest();
  ShowTestState();
  LoadFromAlarm();
  ResetButtons();
  const CAlarm* alarm = Edited_.Find();
  SoundFile_ = alarm ? alarm->GetSound() : kDefaultAlarmSound;
  Extras.Load(alarm);
  // Opens on the pet's display: where the user left it when it is there, else at its first
  // place counted from that display's corner.
  const ui::Monitor pet = Visible() ? PetMonitor() : TakePetDisplayScale(*this);
  if (!Visible() && !LiesOn(*this, pet)) {
    const ui::Point at = PlaceOn(pet, *this, {242, 167});
    SetPosition(at.x, at.y);
  }
  Show();
}

void TFormSimpleAlarm::LoadFromAlarm() {
  const CAlarm* alarm = Edited_.Find();
  if (!alarm) {
    // A new alarm: on, the next whole hour, every day, the program's own sound.
    OnOffState_ = true;
    Time.Load(NewAlarmHour(), 0);
    Days.Load(AlarmOptions::kAllDays);
    LabelMusic.SetCaption(ExtractNamePart(kDefaultAlarmSound));
    return;
  }
  OnOffState_ = alarm->IsOn();
  Time.Load(alarm->GetHour(), alarm->GetMinute());
  Days.Load(alarm->Days());
  LabelMusic.SetCaption(ExtractNamePart(alarm->GetSound()));
}

void TFormSimpleAlarm::ShowTestState() {
  const bool stop = TestState_ == "Stop";
  testActive_ = stop ? aStop_ : aTest_;
  testInactive_ = stop ? iStop_ : iTest_;
  ImageTest.SetAccessibleName(TestState_);
  ImageTest.SetPicture(testInactive_);
  ImageTest.SetPosition(kTestAt.x, kTestAt.y);
}

void TFormSimpleAlarm::StopTest() {
  if (TestState_ != "Stop") return;
  // Only the test: a ring that started meanwhile has taken the sound over and goes on.
  if (SoundSystem) SoundSystem->StopOwn(this);
  TestState_ = "Test";
}

void TFormSimpleAlarm::ImageOnOffClick() {
  OnOffState_ = !OnOffState_;
  ImageOnOff.SetPicture(OnOffState_ ? aOnOff_ : iOnOff_);
}

void TFormSimpleAlarm::ImageChangeMouseUp() {
  // The resting picture is painted, and a test ended, before the dialog opens.
  ui::Application::Instance().ProcessMessages();
  if (TestState_ == "Stop") ImageTest.OnMouseUp(ui::MouseButton::Left, 0, 0);
  std::string folder;
  if (!Reestr || !Reestr->GetString("OpenDialogsDir", folder)) folder.clear();
  AddFileDialog.InitialDir = folder;
  if (!AddFileDialog.Execute()) return;
  const std::string file = AddFileDialog.FileName();
  LabelMusic.SetCaption(ExtractNamePart(file));
  SoundFile_ = file;
  // Kept at once: a later Cancel does not undo it.
  if (Reestr) Reestr->SetString("OpenDialogsDir", ExtractDirPart(file));
}

void TFormSimpleAlarm::ImageTestMouseUp() {
  if (TestState_ == "Test") {
    if (SoundSystem && SoundSystem->PlayLooped(SoundFile_, this))
      TestState_ = "Stop";
    else
      MyMessageBox(kCannotPlay);
  } else {
    StopTest();
  }
  ShowTestState();
  ui::Application::Instance().ProcessMessages();
}

bool TFormSimpleAlarm::CheckSoundFile() {
  if (platform::files().FileExists(ProgramPath(SoundFile_))) return true;
  MyMessageBox("File " + SoundFile_ + " wasn\"t found. It may have been moved or deleted.");
  return false;
}

void TFormSimpleAlarm::ImageOkMouseUp() {
  if (Days.Days() == 0) {
    MyMessageBox(DayButtons::kNoDay);
    return;
  }
  if (!CheckSoundFile()) return;
  CAlarm* alarm = AlarmForOk(Edited_);
  if (!alarm) {
    // Refused (too many alarms): the edits stay. Deleted meanwhile: nothing to store.
    if (Edited_.isNew) return;
    ImageCancel.OnMouseUp(ui::MouseButton::Left, 0, 0);
    return;
  }
  alarm->SetOnAndTime(OnOffState_, Time.Hour(), Time.Minute());
  alarm->SetDays(Days.Days());
  Extras.Store(*alarm);
  alarm->SetSound(SoundFile_);
  alarm->SetSingleMode();
  alarm->Save();
  Hide();
  StopTest();
  ShowAlarmState();
  TellWhenItRings(*alarm);
}

void TFormSimpleAlarm::ImageCancelMouseUp() {
  Hide();
  StopTest();
}

void TFormSimpleAlarm::ImageCloseMouseUp() { ImageCancel.OnMouseUp(ui::MouseButton::Left, 0, 0); }

// The alarm's mode changes only when the user confirms the playlist-mode window.
void TFormSimpleAlarm::ImagePlayListModeMouseUp() {
  ImageCancel.OnMouseUp(ui::MouseButton::Left, 0, 0);
  if (FormPlayListAlarm) FormPlayListAlarm->OpenWindow(Edited_);
}

bool TFormSimpleAlarm::FormCloseQuery() {
  ImageClose.OnMouseUp(ui::MouseButton::Left, 0, 0);
  return false;
}
