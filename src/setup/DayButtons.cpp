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
constexpr const char* kGreyFiles[DayButtons::kCount][2] = {
    {"Images\\AlarmWindow\\igmon.bmp", "Images\\AlarmWindow\\agmon.bmp"},
    {"Images\\AlarmWindow\\igtue.bmp", "Images\\AlarmWindow\\agtue.bmp"},
    {"Images\\AlarmWindow\\igwed.bmp", "Images\\AlarmWindow\\agwed.bmp"},
    {"Images\\AlarmWindow\\igthu.bmp", "Images\\AlarmWindow\\agthu.bmp"},
    {"Images\\AlarmWindow\\igfri.bmp", "Images\\AlarmWindow\\agfri.bmp"},
    {"Images\\AlarmWindow\\igsat.bmp", "Images\\AlarmWindow\\agsat.bmp"},
    {"Images\\AlarmWindow\\igsun.bmp", "Images\\AlarmWindow\\agsun.bmp"}};
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

std::vector<ButtonRow> DayButtons::GreyRows() {
  std::vector<ButtonRow> rows;
  for (int i = 0; i < kCount; ++i) {
    const std::size_t n = std::size_t(i);
    rows.push_back({ButtonRow::PicturesOnly, nullptr, &greyOff_[n], &greyOn_[n], kGreyFiles[i][0], kGreyFiles[i][1],
                    {}, {}, nullptr, nullptr});
  }
  return rows;
}

void DayButtons::SetGreyed(bool greyed) {
  greyed_ = greyed;
  for (int i = 0; i < kCount; ++i) {
    const std::size_t n = std::size_t(i);
    const bool on = (days_ & (1 << i)) != 0;
    images_[n].SetEnabled(!greyed);
    images_[n].SetPicture(greyed ? (on ? greyOn_[n] : greyOff_[n]) : (on ? on_[n] : off_[n]));
  }
}

void DayButtons::Flip(int day) {
  if (greyed_) return;
  days_ ^= 1 << day;
  const std::size_t n = std::size_t(day);
  images_[n].SetPicture((days_ & (1 << day)) ? on_[n] : off_[n]);
}
