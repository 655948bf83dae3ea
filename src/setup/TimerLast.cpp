#include "setup/TimerLast.h"

#include "alarm/AlarmUnit.h"
#include "alarm/Reestr.h"

LastTimer ReadLastTimer(CReestr& store) {
  LastTimer last;
  int seconds = 0;
  if (store.GetInt(LastTimer::kSecondsValue, seconds) && seconds > 0 && seconds <= LastTimer::kMostSeconds)
    last.seconds = seconds;
  std::string label;
  // A name the field could not hold (too long, with line breaks) was not written by us.
  if (store.GetString(LastTimer::kLabelValue, label) && CleanLabel(label) == label) last.label = label;
  return last;
}

void WriteLastTimer(CReestr& store, const LastTimer& last) {
  store.SetInt(LastTimer::kSecondsValue, int(last.seconds));
  store.SetString(LastTimer::kLabelValue, last.label);
}
