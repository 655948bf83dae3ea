#pragma once
// The alarm time as two text fields, hours and minutes, each with an up and a down arrow.
// A press on an arrow steps its field at once (wrapping at the ends of the range); held, the
// step repeats after 400 ms and then every 100 ms until the release. Both alarm set-up
// windows use it; they own the controls and the timer, this only drives them.
#include <string>

#include "shell/SkinnedForm.h"
#include "ui/Geometry.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Timer.h"

// Where a window puts the fields and the resting arrows; a held arrow stands 2 px further
// left and 2 px higher.
struct TimeFieldsLayout {
  ui::Point hour, minute, up1, down1, up2, down2;
};

class TimeFields {
 public:
  // What the timer repeats.
  enum Action { kNone = -1, kHourUp = 0, kHourDown = 1, kMinuteUp = 2, kMinuteDown = 3 };
  static constexpr unsigned kFirstRepeatMs = 400;
  static constexpr unsigned kRepeatMs = 100;

  // `unit` names the window's unit in assertion failures.
  TimeFields(ui::Label& hour, ui::Label& minute, ui::Image& up1, ui::Image& down1, ui::Image& up2,
             ui::Image& down2, ui::Timer& timer, const char* unit);

  // The design look: white "00" fields and the resting places; the timer off.
  void Place(const TimeFieldsLayout& layout);
  // Makes the four arrows push buttons of the window (call once, from its creation), and the
  // two fields stops of its keyboard: Up and Down press their arrows (held, they repeat as
  // the arrows do), digits type the number.
  void AddArrows(TSkinnedForm& form);
  // Timer off and nothing to repeat (creation and every opening of the window).
  void Idle();

  // Loading from the alarm and reading back at OK.
  void Load(int hour, int minute);
  int Hour() const;
  int Minute() const;

  // direction is +1 or -1.
  void StepHour(int direction);
  void StepMinute(int direction);
  int RepeatAction() const { return repeatAction_; }

  // The arrow bitmaps; the window loads them in its own order.
  Picture iArrowUp, iArrowDown, aArrowUp, aArrowDown;

 private:
  void Step(ui::Label& field, int direction, int last);
  void Do(int action);
  void Press(int action);
  void Release();
  void TimerTimer();

  ui::Label& hour_;
  ui::Label& minute_;
  ui::Image& up1_;
  ui::Image& down1_;
  ui::Image& up2_;
  ui::Image& down2_;
  ui::Timer& timer_;
  const char* unit_;
  TimeFieldsLayout layout_{};
  int repeatAction_ = kNone;
  // The arrow that an arrow key holds down.
  ui::Image* keyArrow_ = nullptr;
};
