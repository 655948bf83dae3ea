#include "alarm/AlarmOptions.h"

#include <algorithm>
#include <iterator>

#include "alarm/Reestr.h"

namespace {
// The stored value when it is one the setting takes, else the default.
template <typename Valid>
int Read(CReestr& store, const char* name, int fallback, Valid valid) {
  int v = 0;
  return store.GetInt(name, v) && valid(v) ? v : fallback;
}

template <std::size_t N>
bool OneOf(const int (&choices)[N], int v) {
  return std::find(std::begin(choices), std::end(choices), v) != std::end(choices);
}
}  // namespace

int AlarmOptions::LoadDays(CReestr& store) {
  return Read(store, "AlarmDays", AlarmOptions{}.days, [](int v) { return v >= 1 && v <= kAllDays; });
}

AlarmOptions AlarmOptions::Load(CReestr& store) {
  AlarmOptions o;
  o.days = LoadDays(store);
  o.snoozeMinutes = Read(store, "SnoozeMinutes", o.snoozeMinutes, [](int v) { return OneOf(kSnoozeChoices, v); });
  o.rampSeconds = Read(store, "RampSeconds", o.rampSeconds, [](int v) { return OneOf(kRampChoices, v); });
  o.autoStopMinutes =
      Read(store, "AutoStopMinutes", o.autoStopMinutes, [](int v) { return v >= 0 && v <= kMaxAutoStopMinutes; });
  o.ringWhenMuted = Read(store, "RingWhenMuted", 1, [](int v) { return v == 0 || v == 1; }) != 0;
  o.petSize = Read(store, "PetSize", o.petSize, [](int v) { return OneOf(kPetSizeChoices, v); });
  o.hideFullScreen = Read(store, "HideFullScreen", 1, [](int v) { return v == 0 || v == 1; }) != 0;
  return o;
}

void AlarmOptions::Save(CReestr& store) const {
  store.SetInt("SnoozeMinutes", snoozeMinutes);
  store.SetInt("RampSeconds", rampSeconds);
  store.SetInt("AutoStopMinutes", autoStopMinutes);
  store.SetBool("RingWhenMuted", ringWhenMuted);
  store.SetInt("PetSize", petSize);
  store.SetBool("HideFullScreen", hideFullScreen);
}

std::string DayName(int dayOfWeek) {
  static constexpr const char* kNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  return kNames[((dayOfWeek % 7) + 7) % 7];
}
