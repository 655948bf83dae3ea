#pragma once
// The seven day switches of the alarm set-up windows, Monday to Sunday in a row under the
// time. They work on the window's own copy of the days (Monday bit 0 ... Sunday bit 6): a
// click flips one day, and the window gives the copy to the alarm only at OK.
#include <deque>
#include <vector>

#include "shell/ButtonRows.h"
#include "ui/Geometry.h"
#include "ui/Image.h"

class DayButtons {
 public:
  static constexpr int kCount = 7;
  // How far apart the switches stand.
  static constexpr int kStep = 44;
  // What OK says when every day is off.
  static constexpr const char* kNoDay = "Choose at least one day\nfor the alarm.";
  // The switches are one stop of the keyboard, Left and Right going from day to day.
  static constexpr int kFocusGroup = 1;

  // The switches are made on `form` now, so they stand above the controls declared before.
  // `monday` is where the first one stands.
  DayButtons(ui::Form& form, ui::Point monday);

  // Switch rows for the window's button table, Monday first.
  std::vector<ButtonRow> Rows();

  // The greyed pictures (a one-off alarm rings whatever the day), as rows of pictures only.
  std::vector<ButtonRow> GreyRows();
  // Greyed, the switches show the days kept for later, take no click and no focus.
  void SetGreyed(bool greyed);
  bool Greyed() const { return greyed_; }

  void Load(int days) { days_ = days; }
  int Days() const { return days_; }
  // The switch of a day, Monday 0 to Sunday 6.
  ui::Image& Button(int day) { return images_[std::size_t(day)]; }

 private:
  void Flip(int day);

  ui::Point monday_;
  int days_ = 0;
  bool greyed_ = false;
  std::deque<ui::Image> images_;
  std::vector<Picture> off_, on_, greyOff_ = std::vector<Picture>(kCount), greyOn_ = std::vector<Picture>(kCount);
};
