#include "setup/TimeFields.h"

#include <string>
#include <utility>

#include "app/Globals.h"

namespace {
constexpr std::uint32_t kWhite = ui::Rgb(255, 255, 255);
constexpr int kLastMinute = 59;

ui::Point Held(ui::Point p) { return {p.x - 2, p.y - 2}; }
}  // namespace

TimeFields::TimeFields(ui::Label& hour, ui::Label& minute, ui::Image& up1, ui::Image& down1, ui::Image& up2,
                       ui::Image& down2, ui::Timer& timer, const char* unit)
    : fields_{{&hour, &up1, &down1, kLastHourOfDay, "Hour", "Hour up", "Hour down", {}, {}, {}},
              {&minute, &up2, &down2, kLastMinute, "Minute", "Minute up", "Minute down", {}, {}, {}}},
      timer_(timer),
      unit_(unit) {
  timer_.OnTimer = [this] { TimerTimer(); };
}

// A length is read as so many hours, minutes and seconds.
TimeFields::TimeFields(ui::Label& hour, ui::Label& minute, ui::Image& up1, ui::Image& down1, ui::Image& up2,
                       ui::Image& down2, ui::Timer& timer, const char* unit, Length length)
    : fields_{{&hour, &up1, &down1, length.lastHour, "Hours", "Hours up", "Hours down", {}, {}, {}},
              {&minute, &up2, &down2, kLastMinute, "Minutes", "Minutes up", "Minutes down", {}, {}, {}},
              {&length.second, &length.up3, &length.down3, kLastMinute, "Seconds", "Seconds up", "Seconds down",
               {}, {}, {}}},
      timer_(timer),
      unit_(unit) {
  timer_.OnTimer = [this] { TimerTimer(); };
}

void TimeFields::Place(const TimeFieldsLayout& layout) {
  const ui::Point places[][3] = {{layout.hour, layout.up1, layout.down1},
                                 {layout.minute, layout.up2, layout.down2},
                                 {layout.second, layout.up3, layout.down3}};
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    Field& f = fields_[i];
    f.at = places[i][0];
    f.upAt = places[i][1];
    f.downAt = places[i][2];
    // 20 x 24 holds two digits in the design's font; a wider stand-in font widens the box
    // instead of cutting a digit off.
    f.label->SetPosition(f.at.x, f.at.y);
    f.label->SetMinimumSize({20, 24});
    f.label->SetBackground(kWhite);
    f.label->SetFont({"MS Sans Serif", -19});
    f.label->SetCaption("00");
    f.label->SetAccessible(ui::Role::SpinBox, f.name);
    f.up->SetAccessibleName(f.upName);
    f.down->SetAccessibleName(f.downName);
    f.up->SetPosition(f.upAt.x, f.upAt.y);
    f.down->SetPosition(f.downAt.x, f.downAt.y);
  }
  Idle();
}

void TimeFields::AddArrows(TSkinnedForm& form) {
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    Field& f = fields_[i];
    const struct {
      ui::Image& image;
      Picture& active;
      Picture& inactive;
      ui::Point at;
      int action;
    } arrows[] = {{*f.up, aArrowUp, iArrowUp, f.upAt, int(2 * i)},
                  {*f.down, aArrowDown, iArrowDown, f.downAt, int(2 * i + 1)}};
    for (const auto& a : arrows) {
      form.AddPushButton(a.image, a.active, a.inactive, Held(a.at), a.at, [this] { Release(); });
      // The button's own press shows the held picture; the step and the repeat follow.
      auto show = a.image.OnMouseDown;
      a.image.OnMouseDown = [this, show, action = a.action](ui::MouseButton button, int x, int y) {
        show(button, x, y);
        Press(action);
      };
      // No release comes after a lost capture (Win+L, Alt+Tab while held): the repeat ends here,
      // or it would step the field for as long as the program runs.
      auto rest = a.image.OnPressCancelled;
      a.image.OnPressCancelled = [this, rest] {
        if (rest) rest();
        Release();
      };
      // The fields stand for their arrows.
      a.image.SetFocusKind(ui::FocusKind::None);
    }
  }
  for (Field& f : fields_) {
    ui::Label* field = f.label;
    field->SetFocusKind(ui::FocusKind::Spin);
    field->SpinMaximum = f.last;
    field->OnStepPress = [this, up = f.up, down = f.down](int direction) {
      keyArrow_ = direction > 0 ? up : down;
      if (keyArrow_->OnMouseDown) keyArrow_->OnMouseDown(ui::MouseButton::Left, 0, 0);
    };
    field->OnStepRelease = [this] {
      ui::Image* arrow = std::exchange(keyArrow_, nullptr);
      if (arrow && arrow->OnMouseUp) arrow->OnMouseUp(ui::MouseButton::Left, 0, 0);
    };
    field->OnTyped = [field](int value) { field->SetCaption(TwoDigits(value)); };
  }
}

void TimeFields::Idle() {
  timer_.SetEnabled(false);
  repeatAction_ = kNone;
}

void TimeFields::Load(int hour, int minute, int second) {
  const int values[] = {hour, minute, second};
  for (std::size_t i = 0; i < fields_.size(); ++i) fields_[i].label->SetCaption(TwoDigits(values[i]));
}

int TimeFields::Hour() const { return std::stoi(fields_[0].label->Caption()); }
int TimeFields::Minute() const { return std::stoi(fields_[1].label->Caption()); }
int TimeFields::Second() const { return fields_.size() > 2 ? std::stoi(fields_[2].label->Caption()) : 0; }

void TimeFields::StepHour(int direction) { Step(0, direction); }
void TimeFields::StepMinute(int direction) { Step(1, direction); }
void TimeFields::StepSecond(int direction) { Step(2, direction); }

void TimeFields::Step(std::size_t index, int direction) {
  RAVILO_ASSERT(direction == 1 || direction == -1, unit_);
  if (index >= fields_.size()) return;
  ui::Label& field = *fields_[index].label;
  const int last = fields_[index].last;
  int v = std::stoi(field.Caption().substr(0, 2));
  // Each direction wraps at its own end only: an hour of 30 stepped down shows 29.
  if (direction > 0 && ++v > last) v = 0;
  if (direction < 0 && --v < 0) v = last;
  field.SetCaption(TwoDigits(v));
}

void TimeFields::Do(int action) {
  if (action < 0 || action >= 2 * int(fields_.size())) return;
  Step(std::size_t(action / 2), action % 2 ? -1 : 1);
}

void TimeFields::Press(int action) {
  Do(action);
  timer_.SetEnabled(true);
  timer_.SetInterval(kFirstRepeatMs);
  repeatAction_ = action;
}

// RepeatAction keeps its value; it does nothing while the timer is off.
void TimeFields::Release() { timer_.SetEnabled(false); }

void TimeFields::TimerTimer() {
  timer_.SetInterval(kRepeatMs);
  Do(repeatAction_);
}
