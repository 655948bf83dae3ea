#include "setup/DayButtons.h"

namespace {
// The pictures' file names, Monday first; they live as long as the program, since the rows
// keep pointers to them.
constexpr const char* kFiles[DayButtons::kCount][2] = {
    {"Images\\AlarmWindow\\imon.bmp", "Images\\AlarmWindow\\amon.bmp"},
    {"Images\\AlarmWindow\\itue.bmp", "Images\\AlarmWindow\\atue.bmp"},
    {"Images\\AlarmWindow\\iwed.bmp", "Images\\AlarmWindow\\awed.bmp"},
    {"Images\\AlarmWindow\\ithu.bmp", "Images\\AlarmWindow\\athu.bmp"},
    {"Images\\AlarmWindow\\ifri.bmp", "Images\\AlarmWindow\\afri.bmp"},
    {"Images\\AlarmWindow\\isat.bmp", "Images\\AlarmWindow\\asat.bmp"},
    {"Images\\AlarmWindow\\isun.bmp", "Images\\AlarmWindow\\asun.bmp"}};
}  // namespace

DayButtons::DayButtons(ui::Form& form, ui::Point monday) : monday_(monday), off_(kCount), on_(kCount) {
  static constexpr const char* kNames[kCount] = {"Monday", "Tuesday", "Wednesday", "Thursday",
                                                  "Friday", "Saturday", "Sunday"};
  for (int i = 0; i < kCount; ++i) images_.emplace_back(form).SetAccessibleName(kNames[i]);
}

std::vector<ButtonRow> DayButtons::Rows() {
  std::vector<ButtonRow> rows;
  for (int i = 0; i < kCount; ++i) {
    const ui::Point at{monday_.x + i * kStep, monday_.y};
    const std::size_t n = std::size_t(i);
    rows.push_back({ButtonRow::Switch, &images_[n], &off_[n], &on_[n], kFiles[i][0], kFiles[i][1], at, at,
                    [this, i] { Flip(i); }, [this, i] { return (days_ & (1 << i)) != 0; }, kFocusGroup});
  }
  return rows;
}

void DayButtons::Flip(int day) {
  days_ ^= 1 << day;
  const std::size_t n = std::size_t(day);
  images_[n].SetPicture((days_ & (1 << day)) ? on_[n] : off_[n]);
}
