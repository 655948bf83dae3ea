#include "setup/TimeFields.h"

#include <string>
#include <tuple>
#include <utility>

#include "app/Globals.h"

namespace {
constexpr std::uint32_t kWhite = ui::Rgb(255, 255, 255);
constexpr int kLastHour = 23;
constexpr int kLastMinute = 59;

ui::Point Held(ui::Point p) { return {p.x - 2, p.y - 2}; }
}  // namespace

TimeFields::TimeFields(ui::Label& hour, ui::Label& minute, ui::Image& up1, ui::Image& down1, ui::Image& up2,
                       ui::Image& down2, ui::Timer& timer, const char* unit)
    : hour_(hour), minute_(minute), up1_(up1), down1_(down1), up2_(up2), down2_(down2), timer_(timer), unit_(unit) {
  timer_.OnTimer = [this] { TimerTimer(); };
}

void TimeFields::Place(const TimeFieldsLayout& layout) {
  layout_ = layout;
  for (auto [field, at] : {std::pair{&hour_, layout.hour}, std::pair{&minute_, layout.minute}}) {
    // 20 x 24 holds two digits in the design's font; a wider stand-in font widens the box
    // instead of cutting a digit off.
    field->SetPosition(at.x, at.y);
    field->SetMinimumSize({20, 24});
    field->SetBackground(kWhite);
    field->SetFont({"MS Sans Serif", -19});
    field->SetCaption("00");
  }
  hour_.SetAccessible(ui::Role::SpinBox, "Hour");
  minute_.SetAccessible(ui::Role::SpinBox, "Minute");
  up1_.SetAccessibleName("Hour up");
  down1_.SetAccessibleName("Hour down");
  up2_.SetAccessibleName("Minute up");
  down2_.SetAccessibleName("Minute down");
  for (auto [arrow, at] : {std::pair{&up1_, layout.up1}, std::pair{&down1_, layout.down1},
                           std::pair{&up2_, layout.up2}, std::pair{&down2_, layout.down2}})
    arrow->SetPosition(at.x, at.y);
  Idle();
}

void TimeFields::AddArrows(TSkinnedForm& form) {
  const struct {
    ui::Image& image;
    Picture& active;
    Picture& inactive;
    ui::Point at;
    int action;
  } arrows[] = {{up1_, aArrowUp, iArrowUp, layout_.up1, kHourUp},
                {down1_, aArrowDown, iArrowDown, layout_.down1, kHourDown},
                {up2_, aArrowUp, iArrowUp, layout_.up2, kMinuteUp},
                {down2_, aArrowDown, iArrowDown, layout_.down2, kMinuteDown}};
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
  for (auto [field, up, down, last] : {std::tuple{&hour_, &up1_, &down1_, kLastHour},
                                       std::tuple{&minute_, &up2_, &down2_, kLastMinute}}) {
    field->SetFocusKind(ui::FocusKind::Spin);
    field->SpinMaximum = last;
    field->OnStepPress = [this, up, down](int direction) {
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

void TimeFields::Load(int hour, int minute) {
  hour_.SetCaption(TwoDigits(hour));
  minute_.SetCaption(TwoDigits(minute));
}

int TimeFields::Hour() const { return std::stoi(hour_.Caption()); }
int TimeFields::Minute() const { return std::stoi(minute_.Caption()); }

void TimeFields::StepHour(int direction) { Step(hour_, direction, kLastHour); }
void TimeFields::StepMinute(int direction) { Step(minute_, direction, kLastMinute); }

void TimeFields::Step(ui::Label& field, int direction, int last) {
  RAVILO_ASSERT(direction == 1 || direction == -1, unit_);
  int v = std::stoi(field.Caption().substr(0, 2));
  // Each direction wraps at its own end only: an hour of 30 stepped down shows 29.
  if (direction > 0 && ++v > last) v = 0;
  if (direction < 0 && --v < 0) v = last;
  field.SetCaption(TwoDigits(v));
}

void TimeFields::Do(int action) {
  switch (action) {
    case kHourUp: StepHour(1); break;
    case kHourDown: StepHour(-1); break;
    case kMinuteUp: StepMinute(1); break;
    case kMinuteDown: StepMinute(-1); break;
    default: break;
  }
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
