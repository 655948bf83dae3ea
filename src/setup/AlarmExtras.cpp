#include "setup/AlarmExtras.h"

#include "alarm/AlarmList.h"
#include "alarm/AlarmTexts.h"
#include "alarm/AlarmUnit.h"
#include "desktop/MyMessageBoxUnit.h"
#include "desktop/TrayIcon.h"
#include "platform/Platform.h"
#include "setup/AlarmListWindow.h"

CAlarm* EditedAlarm::Find() const {
  if (isNew) return nullptr;
  if (!Alarms) return id == 0 ? Alarm : nullptr;
  return Alarms->ById(id);
}

AlarmExtras::AlarmExtras(ui::Form& form, DayButtons& days, ui::Point nameAt, ui::Point onceAt,
                         ui::Point allAlarmsAt)
    : NameField(form), OnceSwitch(form), AllAlarms(form), days_(days), onceAt_(onceAt), allAt_(allAlarmsAt) {
  NameField.SetBounds({nameAt.x, nameAt.y, 150, 22});
  NameField.SetMaxLength(int(kMaxLabelChars));
  NameField.SetAccessible(ui::Role::Edit, "Name");
  OnceSwitch.SetAccessibleName("Once");
  AllAlarms.SetAccessibleName("All alarms");
}

std::vector<ButtonRow> AlarmExtras::Rows() {
  using R = ButtonRow;
  std::vector<ButtonRow> rows{
      {R::Switch, &OnceSwitch, &iOnce_, &aOnce_, "Images\\AlarmWindow\\ionce.bmp", "Images\\AlarmWindow\\aonce.bmp",
       onceAt_, onceAt_, [this] { FlipOnce(); }, [this] { return once_; }},
      {R::Push, &AllAlarms, &iAll_, &aAll_, "Images\\AlarmWindow\\iallalarms.bmp",
       "Images\\AlarmWindow\\aallalarms.bmp", allAt_, {allAt_.x - 2, allAt_.y - 2},
       [this] {
         if (OnAllAlarms) OnAllAlarms();
       },
       nullptr}};
  for (ButtonRow& grey : days_.GreyRows()) rows.push_back(grey);
  return rows;
}

void AlarmExtras::Load(const CAlarm* alarm) {
  NameField.SetText(alarm ? alarm->Label() : std::string());
  once_ = alarm && alarm->IsOnce();
  OnceSwitch.SetPicture(once_ ? aOnce_ : iOnce_);
  days_.SetGreyed(once_);
}

void AlarmExtras::Store(CAlarm& alarm) const {
  alarm.SetLabel(Name());
  alarm.SetOnce(once_);
}

void AlarmExtras::FlipOnce() {
  once_ = !once_;
  OnceSwitch.SetPicture(once_ ? aOnce_ : iOnce_);
  days_.SetGreyed(once_);
}

int NewAlarmHour() { return (platform::kernel().GetLocalTime().hour + 1) % 24; }

void TellWhenItRings(const CAlarm& alarm) {
  if (FormAlarmList && FormAlarmList->Visible()) FormAlarmList->Refresh();
  const std::string text = SetBalloonText(alarm, LocalNow());
  if (!text.empty() && TrayIcon) TrayIcon->ShowBalloon(text);
}

CAlarm* AlarmForOk(EditedAlarm& edited) {
  if (!edited.isNew) return edited.Find();
  std::string refusal;
  CAlarm* alarm = Alarms ? Alarms->Add(&refusal) : nullptr;
  if (!alarm) {
    MyMessageBox(refusal.empty() ? CAlarmList::kTooMany : refusal);
    return nullptr;
  }
  edited = {Alarms->IdOf(*alarm), false};
  return alarm;
}
