#pragma once
// The playlist-mode alarm window: on/off, hour and minute, the days, and a list of sound
// files built from single files and from whole folders, with a preview of an entry. OK gives it all to
// the alarm and puts it into playlist mode; Cancel drops it. Created hidden at start-up,
// shown by OpenWindow and afterwards only hidden and shown again.
#include <string>
#include <vector>

#include "setup/AlarmExtras.h"
#include "setup/DayButtons.h"
#include "setup/TimeFields.h"
#include "shell/ButtonRows.h"
#include "shell/SkinnedForm.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/OpenDialog.h"
#include "ui/Timer.h"

class TFormPlayListAlarm : public TSkinnedForm {
 public:
  static constexpr const char* kEmpty = "Playlist is empty. Add some files for playing in it.";
  // What OK says when the list file could not be written, followed by the file's path.
  static constexpr const char* kCannotSave = "Can't save the playlist to";

  TFormPlayListAlarm();

  // Loads everything from the alarm (by default the first; a new one starts from a new
  // alarm's values), rests every button and shows the window (not modal).
  void OpenWindow(EditedAlarm edited = {});
  const EditedAlarm& Editing() const { return Edited_; }

  // Components, in declared order (later ones above).
  ui::Image Image1;
  ui::Image ImageClose;
  ui::Image ImageOnOff;
  ui::Label MaskEditHour;
  ui::Label MaskEditMin;
  ui::Image ImageUp1;
  ui::Image ImageDown1;
  ui::Image ImageUp2;
  ui::Image ImageDown2;
  ui::ListBox ListBoxPlayList;
  ui::Image ImageStop;
  ui::Image ImageAddFile;
  ui::Image ImageAddDir;
  ui::Image ImageRemoveSelected;
  ui::Image ImageRemoveAll;
  ui::Image ImageOk;
  ui::Image ImageCancel;
  ui::Image ImageSimpleMode;
  ui::OpenDialog AddFileDialog;
  ui::Timer Timer;

  TimeFields Time;
  DayButtons Days;
  AlarmExtras Extras;

  const std::vector<std::string>& PlayListPaths() const { return PlayListPaths_; }
  bool OnOffState() const { return OnOffState_; }
  // A folder is being read into the list.
  bool Scanning() const { return scanning_; }

 protected:
  void FormCreate() override;
  void FormDestroy() override;
  bool FormCloseQuery() override;

 private:
  std::vector<ButtonRow> Rows();
  void LoadFromAlarm();
  void Append(const std::string& path);
  void StopPreview(bool hide);
  void ImageOnOffClick();
  void ListBoxPlayListDblClick();
  void ImageStopMouseUp();
  void ImageAddFileMouseUp();
  void ImageAddDirMouseUp();
  void ImageRemoveSelectedMouseUp();
  void ImageRemoveAllMouseUp();
  void ImageOkMouseUp();
  void ImageCancelMouseUp();
  void ImageSimpleModeMouseUp();

  EditedAlarm Edited_;
  std::vector<std::string> PlayListPaths_;
  bool OnOffState_ = false;
  bool placed_ = false;
  bool scanning_ = false;
  Picture iExit_, aExit_, iOnOff_, aOnOff_, iStop_, aStop_, iAddFile_, aAddFile_, iAddDir_, aAddDir_,
      iRemoveSelected_, aRemoveSelected_, iRemoveAll_, aRemoveAll_, iOk_, aOk_, iCancel_, aCancel_, iSimpleMode_,
      aSimpleMode_;
};

inline TFormPlayListAlarm* FormPlayListAlarm = nullptr;
