#pragma once
// What both set-up windows have beyond the time and the sound: which alarm they edit (one of
// the list, by id, or a new one that OK adds), its name field, the Once switch that greys
// the days, and the "All alarms" button.
#include <functional>
#include <string>
#include <vector>

#include "setup/DayButtons.h"
#include "shell/ButtonRows.h"
#include "ui/Edit.h"
#include "ui/Image.h"

class CAlarm;

// Opens the alarm list (set by the list window when it is made).
inline std::function<void()> ShowAlarmList;

// Which alarm a set-up window edits.
struct EditedAlarm {
  int id = 0;
  bool isNew = false;
  // The alarm itself; none for a new one, or one deleted meanwhile.
  CAlarm* Find() const;
};

class AlarmExtras {
 public:
  // Made on `form` now, above the controls declared before.
  AlarmExtras(ui::Form& form, DayButtons& days, ui::Point nameAt, ui::Point onceAt, ui::Point allAlarmsAt);

  std::vector<ButtonRow> Rows();

  // The name and Once of the alarm (none: a new alarm's, empty and off); the days greyed
  // after them. Call after the window's buttons were rested.
  void Load(const CAlarm* alarm);
  void Store(CAlarm& alarm) const;
  bool Once() const { return once_; }
  std::string Name() const { return NameField.Text(); }

  ui::Edit NameField;
  ui::Image OnceSwitch;
  ui::Image AllAlarms;
  // The release of "All alarms" (the window hides first).
  std::function<void()> OnAllAlarms;

 private:
  void FlipOnce();

  DayButtons& days_;
  ui::Point onceAt_, allAt_;
  bool once_ = false;
  Picture iOnce_, aOnce_, iAll_, aAll_;
};

// A new alarm's start: switched on, the next whole hour.
int NewAlarmHour();
// After OK: the tray balloon that says when the alarm rings (nothing while it is off).
void TellWhenItRings(const CAlarm& alarm);
// The alarm a set-up window's OK gives its values to: the edited one, or for a new one a
// new alarm of the list (none, told to the user, when there are too many). `edited` then
// names it, so a second OK does not add another.
CAlarm* AlarmForOk(EditedAlarm& edited);
