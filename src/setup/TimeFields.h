#pragma once
// A time as text fields, hours and minutes (and for a timer's length, seconds), each with an
// up and a down arrow. A press on an arrow steps its field at once (wrapping at the ends of
// the range); held, the step repeats after 400 ms and then every 100 ms until the release.
// The alarm set-up windows and the timer window use it; they own the controls and the timer,
// this only drives them.
#include <string>
#include <vector>

#include "shell/SkinnedForm.h"
#include "ui/Geometry.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Timer.h"

// Where a window puts the fields and the resting arrows; a held arrow stands 2 px further
// left and 2 px higher. The third field's places are used only by a window that has one.
struct TimeFieldsLayout {
  ui::Point hour, minute, up1, down1, up2, down2;
  ui::Point second{}, up3{}, down3{};
};

class TimeFields {
 public:
  // What the timer repeats.
  enum Action {
    kNone = -1,
    kHourUp = 0,
    kHourDown = 1,
    kMinuteUp = 2,
    kMinuteDown = 3,
    kSecondUp = 4,
    kSecondDown = 5
  };
  static constexpr unsigned kFirstRepeatMs = 400;
  static constexpr unsigned kRepeatMs = 100;
  static constexpr int kLastHourOfDay = 23;

  // A length rather than a time of day: a third field, seconds, and hours up to lastHour.
  struct Length {
    ui::Label& second;
    ui::Image& up3;
    ui::Image& down3;
    int lastHour;
  };

  // `unit` names the window's unit in assertion failures.
  TimeFields(ui::Label& hour, ui::Label& minute, ui::Image& up1, ui::Image& down1, ui::Image& up2,
             ui::Image& down2, ui::Timer& timer, const char* unit);
  TimeFields(ui::Label& hour, ui::Label& minute, ui::Image& up1, ui::Image& down1, ui::Image& up2,
             ui::Image& down2, ui::Timer& timer, const char* unit, Length length);

  // The design look: white "00" fields and the resting places; the timer off.
  void Place(const TimeFieldsLayout& layout);
  // Makes the arrows push buttons of the window (call once, from its creation), and the
  // fields stops of its keyboard: Up and Down press their arrows (held, they repeat as
  // the arrows do), digits type the number.
  void AddArrows(TSkinnedForm& form);
  // Timer off and nothing to repeat (creation and every opening of the window).
  void Idle();

  // Loading from the alarm (or the timer's last length) and reading back at OK.
  void Load(int hour, int minute, int second = 0);
  int Hour() const;
  int Minute() const;
  // 0 without a seconds field.
  int Second() const;

  // direction is +1 or -1.
  void StepHour(int direction);
  void StepMinute(int direction);
  void StepSecond(int direction);
  int RepeatAction() const { return repeatAction_; }

  // The arrow bitmaps; the window loads them in its own order.
  Picture iArrowUp, iArrowDown, aArrowUp, aArrowDown;

 private:
  struct Field {
    ui::Label* label;
    ui::Image* up;
    ui::Image* down;
    int last;
    // As a reader says them: the field, then its arrows.
    const char* name;
    const char* upName;
    const char* downName;
    ui::Point at, upAt, downAt;
  };
  void Step(std::size_t field, int direction);
  void Do(int action);
  void Press(int action);
  void Release();
  void TimerTimer();

  std::vector<Field> fields_;
  ui::Timer& timer_;
  const char* unit_;
  int repeatAction_ = kNone;
  // The arrow that an arrow key holds down.
  ui::Image* keyArrow_ = nullptr;
};
