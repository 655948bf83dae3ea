// The alarms as stored: the first in the program's key, the others in Alarms\<id>.
#include "alarm/AlarmList.h"

#include <algorithm>
#include <charconv>

#include "app/Globals.h"
#include "platform/Platform.h"

namespace {
// More subkeys than this are not read: a key filled by something gone wrong must not
// hold up the start.
constexpr std::size_t kMostLoaded = 1000;

void Log(const std::string& text) { platform::kernel().DebugLog("Ravilo: " + text); }
}  // namespace

CAlarmList::CAlarmList() {
  Entries.push_back({0, nullptr, std::make_unique<CAlarm>()});
  LoadFurther();
  for (Entry& e : Entries) Connect(*e.alarm);
  UpdateWakeTimer(true);
}

CAlarmList::~CAlarmList() = default;

std::string CAlarmList::KeyPathOf(int id) { return std::string(CReestr::kKeyPath) + "\\Alarms\\" + std::to_string(id); }

void CAlarmList::LoadFurther() {
  AlarmsKey = std::make_unique<CReestr>(std::string(CReestr::kKeyPath) + "\\Alarms");
  std::vector<int> ids;
  for (const std::string& name : AlarmsKey->SubkeyNames()) {
    const int id = ParseSubkeyId(name);
    if (id == 0) {
      Log("alarm key '" + name + "' is not an alarm's number; left alone");
      continue;
    }
    if (ids.size() >= kMostLoaded) {
      Log("more than " + std::to_string(kMostLoaded) + " alarm keys; the rest are not read");
      break;
    }
    ids.push_back(id);
  }
  std::sort(ids.begin(), ids.end());
  for (int id : ids) {
    auto store = std::make_unique<CReestr>(KeyPathOf(id));
    if (!store->IsOpen()) {
      Log("alarm key " + std::to_string(id) + " could not be opened");
      continue;
    }
    auto alarm = std::make_unique<CAlarm>(*store, ListNameOf(id), &First().GetOptions());
    Entries.push_back({id, std::move(store), std::move(alarm)});
  }
}

void CAlarmList::Connect(CAlarm& alarm) {
  CAlarm* a = &alarm;
  alarm.StartRinging = [this, a] { Due.push_back(a); };
  alarm.ReportMissed = [this, a](const std::string&) { Misses.push_back(a); };
  alarm.WakeTimerOwner = [this](bool force) { UpdateWakeTimer(force); };
  alarm.NextRingChanged = nullptr;
}

int CAlarmList::IdOf(const CAlarm& alarm) const {
  for (const Entry& e : Entries)
    if (e.alarm.get() == &alarm) return e.id;
  return -1;
}

CAlarm* CAlarmList::ById(int id) {
  for (Entry& e : Entries)
    if (e.id == id) return e.alarm.get();
  return nullptr;
}

CAlarm* CAlarmList::Add(std::string* refusal) {
  if (Count() >= kMaxAlarms) {
    if (refusal) *refusal = kTooMany;
    return nullptr;
  }
  // Never an id that is in use; the highest plus one.
  int id = 1;
  for (const Entry& e : Entries) id = std::max(id, e.id + 1);
  auto store = std::make_unique<CReestr>(KeyPathOf(id));
  if (!store->IsOpen()) {
    if (refusal) *refusal = "The new alarm could not be stored.";
    return nullptr;
  }
  auto alarm = std::make_unique<CAlarm>(*store, ListNameOf(id), &First().GetOptions());
  Connect(*alarm);
  CAlarm* added = alarm.get();
  Entries.push_back({id, std::move(store), std::move(alarm)});
  added->Save();
  return added;
}

bool CAlarmList::Delete(int id) {
  std::size_t index = 0;
  while (index < Entries.size() && Entries[index].id != id) ++index;
  if (index == Entries.size()) return false;
  CAlarm* gone = Entries[index].alarm.get();
  Ring.erase(std::remove(Ring.begin(), Ring.end(), gone), Ring.end());
  if (index == 0) {
    if (Entries.size() == 1) {
      First().Reset();
    } else {
      // The next alarm becomes the first: its values move into the program's key.
      First().TakeOver(*Entries[1].alarm);
      const bool wasRinging = std::find(Ring.begin(), Ring.end(), Entries[1].alarm.get()) != Ring.end();
      Ring.erase(std::remove(Ring.begin(), Ring.end(), Entries[1].alarm.get()), Ring.end());
      if (wasRinging) Ring.push_back(&First());
      RemoveFurther(1);
    }
  } else {
    RemoveFurther(index);
  }
  UpdateWakeTimer(true);
  if (RingChanged) RingChanged();
  return true;
}

void CAlarmList::RemoveFurther(std::size_t index) {
  const int id = Entries[index].id;
  if (LastSound == Entries[index].alarm.get()) LastSound = nullptr;
  Entries.erase(Entries.begin() + std::ptrdiff_t(index));
  if (!AlarmsKey->DeleteSubkey(std::to_string(id))) Log("alarm key " + std::to_string(id) + " could not be removed");
  platform::files().Remove(CReestr::ListPath(ListNameOf(id)));
}

std::string CAlarmList::NameOf(const CAlarm& alarm) {
  if (!alarm.Label().empty()) return alarm.Label();
  return TwoDigits(alarm.GetHour()) + ":" + TwoDigits(alarm.GetMinute());
}

void CAlarmList::SetOptions(const AlarmOptions& options) {
  First().SetOptions(options);
  for (Entry& e : Entries) e.alarm->AdoptOptions(options);
}
