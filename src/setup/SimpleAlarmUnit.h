#pragma once
// The simple-mode alarm window: on/off, hour and minute, the days, the one sound file the
// alarm rings with, a test playback of it, OK and Cancel, and the way to the playlist mode.
// Created hidden at start-up, shown by OpenWindow and afterwards only hidden and shown
// again. Edits stay in the window until OK gives them to the alarm; Cancel drops them.
#include <string>

#include "setup/AlarmExtras.h"
#include "setup/DayButtons.h"
#include "setup/TimeFields.h"
#include "shell/SkinnedForm.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/OpenDialog.h"
#include "ui/Timer.h"

class TFormSimpleAlarm : public TSkinnedForm {
 public:
  static constexpr const char* kCannotPlay = "не могу проиграть файл";
  static constexpr const char* kAddFilesTitle = "Add files";
  static constexpr const char* kAddFilesFilter = "Windows Media files (*.wav)|*.wav|All files (*.*)|*.*";

  TFormSimpleAlarm();

  // Loads everything from the alarm (by default the first; a new one starts from a new
  // alarm's values), rests every button and shows the window (not modal).
  void OpenWindow(EditedAlarm edited = {});
  const EditedAlarm& Editing() const { return Edited_; }

  // Components, in declared order (later ones above).
  ui::Image BackImage;
  ui::Label MaskEditHour;
  ui::Label MaskEditMin;
  ui::Label LabelMusic;
  ui::Image ImageClose;
  ui::Image ImageOnOff;
  ui::Image ImageUp1;
  ui::Image ImageDown1;
  ui::Image ImageUp2;
  ui::Image ImageDown2;
  ui::Image ImageChange;
  ui::Image ImageTest;
  ui::Image ImageOk;
  ui::Image ImageCancel;
  ui::Image ImagePlayListMode;
  ui::OpenDialog AddFileDialog;
  ui::Timer Timer;

  TimeFields Time;
  DayButtons Days;
  AlarmExtras Extras;

  const std::string& SoundFile() const { return SoundFile_; }
  bool OnOffState() const { return OnOffState_; }
  // "Test", or "Stop" while a test playback started here runs.
  const std::string& TestState() const { return TestState_; }

 protected:
  void FormCreate() override;
  void FormDestroy() override;
  bool FormCloseQuery() override;

 private:
  void LoadFromAlarm();
  bool CheckSoundFile();
  void ShowTestState();
  void ImageOnOffClick();
  void ImageChangeMouseUp();
  void ImageTestMouseUp();
  void ImageOkMouseUp();
  void ImageCancelMouseUp();
  void ImageCloseMouseUp();
  void ImagePlayListModeMouseUp();
  void StopTest();

  EditedAlarm Edited_;
  std::string SoundFile_;
  bool OnOffState_ = false;
  std::string TestState_ = "Test";

  Picture iExit_, aExit_, iOnOff_, aOnOff_, iChange_, aChange_, iTest_, aTest_, iStop_, aStop_, iOk_, aOk_,
      iCancel_, aCancel_, iPlayListMode_, aPlayListMode_;
  // What the test button shows: the test or the stop pictures, after TestState.
  Picture testActive_, testInactive_;
};

inline TFormSimpleAlarm* FormSimpleAlarm = nullptr;
