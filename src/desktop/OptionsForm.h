#pragma once
// The Options window: the snooze length, the gentle start, the time after which an
// unanswered ring ends, whether the alarm rings through muted speakers, whether Windows
// starts Ravilo at log-on, whether the pet hides during full-screen programs, and its size. Created hidden at start-up and only hidden and shown
// again; edits stay in the window until OK gives them to the alarm, Cancel drops them.
#include <deque>
#include <iterator>
#include <vector>

#include "alarm/AlarmOptions.h"
#include "shell/ButtonRows.h"
#include "shell/SkinnedForm.h"
#include "ui/Image.h"

class TFormOptions : public TSkinnedForm {
 public:
  enum Setting { Snooze, GentleStart, RingEnds, PetSize };
  struct Choice {
    Setting setting;
    int value;
    const char* name;  // the pictures' file name after its "a" or "i"
  };
  // Each row in the order the window shows it: snooze minutes, gentle-start seconds (0 is
  // off), the minutes after which a ring ends (0 is never) and the pet's size in per cent
  // (0 is Auto, the display's scale).
  static constexpr Choice kChoices[] = {
      {Snooze, 5, "min5"},        {Snooze, 10, "min10"},       {Snooze, 15, "min15"},
      {Snooze, 20, "min20"},      {Snooze, 30, "min30"},       {GentleStart, 0, "off"},
      {GentleStart, 15, "sec15"}, {GentleStart, 30, "sec30"},  {GentleStart, 60, "sec60"},
      {RingEnds, 0, "never"},     {RingEnds, 5, "min5"},       {RingEnds, 10, "min10"},
      {RingEnds, 15, "min15"},    {RingEnds, 30, "min30"},     {RingEnds, 60, "min60"},
      {PetSize, 0, "sizeauto"},   {PetSize, 100, "size100"},   {PetSize, 150, "size150"},
      {PetSize, 200, "size200"},  {PetSize, 300, "size300"}};
  static constexpr int kChoiceCount = int(std::size(kChoices));

  TFormOptions();

  // Loads the alarm's settings and the log-on value, rests every button and shows the
  // window on the pet's display.
  void OpenWindow();

  // Components, in declared order (later ones above).
  ui::Image BackImage;
  ui::Image ImageClose;
  ui::Image ImageRingWhenMuted;
  ui::Image ImageStartAtLogOn;
  ui::Image ImageHideFullScreen;
  ui::Image ImageOk;
  ui::Image ImageCancel;
  // One per entry of kChoices, in its order.
  std::deque<ui::Image> ChoiceImages;

  // The button of a setting's value; nullptr when the window offers no such choice.
  ui::Image* ChoiceImage(Setting setting, int value);
  // The settings as edited so far.
  const AlarmOptions& Edited() const { return edited_; }
  bool StartAtLogOn() const { return startAtLogOn_; }

 protected:
  void FormCreate() override;
  void FormDestroy() override;
  bool FormCloseQuery() override;

 private:
  std::vector<ButtonRow> Rows();
  int& Value(Setting setting);
  void Choose(Setting setting, int value);
  void ImageOkMouseUp();
  void ImageCancelMouseUp();

  AlarmOptions edited_;
  bool startAtLogOn_ = false;
  bool loadedStartAtLogOn_ = false;
  bool placed_ = false;
  Picture iExit_, aExit_, iMuted_, aMuted_, iLogOn_, aLogOn_, iFullScreen_, aFullScreen_, iOk_, aOk_, iCancel_,
      aCancel_;
  // Sized once: the rows point at them.
  std::vector<Picture> choiceOff_, choiceOn_;
};

inline TFormOptions* FormOptions = nullptr;
