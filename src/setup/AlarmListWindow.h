#pragma once
// The alarm list: one row per alarm sorted by the time of day, with its switch, time, name,
// repeat and state; Add, Edit, Delete and Close; a scroll bar and the wheel for more rows
// than fit. Created hidden at start-up, shown by OpenWindow, afterwards hidden and shown.
#include <cstdint>
#include <deque>
#include <vector>

#include "setup/AlarmListRows.h"
#include "shell/SkinnedForm.h"
#include "ui/Image.h"
#include "ui/Timer.h"

class CAlarm;

class TFormAlarmList : public TSkinnedForm {
 public:
  static constexpr const char* kDeleteQuestion = "Delete this alarm?";

  TFormAlarmList();

  void OpenWindow();
  // The rows again from the alarms (after one was added, changed or deleted).
  void Refresh();

  // Components, in declared order (later ones above).
  ui::Image BackImage;
  ui::Image Selection;
  std::deque<ListRow> Rows;
  RowsArea Area;
  ui::Image ImageScrollUp, ImageScrollDown, ImageThumb;
  ui::Image ImageAdd, ImageEdit, ImageDelete, ImageClose;
  ui::Timer TimerRefresh;

  // The alarms' ids in the order shown, the chosen one (-1: none) and the first shown.
  const std::vector<int>& Order() const { return order_; }
  int Chosen() const { return chosen_; }
  int FirstShown() const { return first_; }
  void Choose(int index);
  void ScrollTo(int first);

  // The user's actions, as the buttons and keys run them.
  void AddAlarm();
  void EditChosen();
  void DeleteChosen();
  void SwitchChosen();

  void HandleMouseWheel(int delta) override;
  void FormMouseDown(ui::MouseButton button, int x, int y) override;

 protected:
  void FormCreate() override;
  void FormDestroy() override;
  bool FormCloseQuery() override;
  void FormKeyDown(ui::KeyStroke stroke) override;

 private:
  void RowPressed(int x, int y, ui::MouseButton button);
  void ShowScrollBar();
  CAlarm* ChosenAlarm();

  std::vector<int> order_;
  int chosen_ = -1;
  int first_ = 0;
  std::int64_t lastPressMs_ = 0;
  int lastPressRow_ = -1;
  int wheelRest_ = 0;
  bool placed_ = false;
  Picture iAdd_, aAdd_, iEdit_, aEdit_, iDelete_, aDelete_, iClose_, aClose_, iRowOn_, aRowOn_, iUp_, aUp_, iDown_,
      aDown_, iThumb_, aThumb_, iRow_, aRow_;
};

inline TFormAlarmList* FormAlarmList = nullptr;
