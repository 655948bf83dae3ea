#include "platform/win32/Win32WakeTimer.h"

#include <cstdio>

namespace platform::win32 {
namespace {
// To the debugger's output (under Wine: WINEDEBUG=+debugstr).
void Log(const char* what, DWORD error) {
  char text[128];
  std::snprintf(text, sizeof text, "Ravilo: wake timer: %s failed, error %lu\n", what, static_cast<unsigned long>(error));
  ::OutputDebugStringA(text);
}
// A local date and time as a UTC file time, by the zone's rules for that date, so that a
// daylight-saving change before the alarm does not move the wake by an hour.
// TzSpecificLocalTimeToSystemTime came with Windows XP and is looked up, so that the
// program still loads on Windows 2000; there the offset of today is used.
bool LocalToUtc(const SYSTEMTIME& local, FILETIME& utc) {
  using Convert = BOOL(WINAPI*)(const TIME_ZONE_INFORMATION*, const SYSTEMTIME*, SYSTEMTIME*);
  static const auto convert = reinterpret_cast<Convert>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "TzSpecificLocalTimeToSystemTime")));
  if (convert) {
    SYSTEMTIME st;
    return convert(nullptr, &local, &st) && ::SystemTimeToFileTime(&st, &utc);
  }
  FILETIME localFile;
  return ::SystemTimeToFileTime(&local, &localFile) && ::LocalFileTimeToFileTime(&localFile, &utc);
}
}  // namespace

Win32WakeTimer::~Win32WakeTimer() {
  if (!timer_) return;
  ::CancelWaitableTimer(timer_);
  ::CloseHandle(timer_);
}

bool Win32WakeTimer::Arm(const LocalTime& when) {
  if (!timer_) {
    timer_ = ::CreateWaitableTimerA(nullptr, TRUE, nullptr);
    if (!timer_) {
      Log("CreateWaitableTimer", ::GetLastError());
      return false;
    }
    ::OutputDebugStringA("Ravilo: wake timer created\n");
  }
  SYSTEMTIME local{};
  local.wYear = WORD(when.year);
  local.wMonth = WORD(when.month);
  local.wDayOfWeek = WORD(when.dayOfWeek);
  local.wDay = WORD(when.day);
  local.wHour = WORD(when.hour);
  local.wMinute = WORD(when.minute);
  local.wSecond = WORD(when.second);
  FILETIME due;
  if (!LocalToUtc(local, due)) {
    Log("time conversion", ::GetLastError());
    return false;
  }
  LARGE_INTEGER at;
  at.LowPart = due.dwLowDateTime;
  at.HighPart = LONG(due.dwHighDateTime);
  ::SetLastError(0);  // a success leaves the error alone unless resume is unsupported
  if (!::SetWaitableTimer(timer_, &at, 0, nullptr, nullptr, TRUE)) {
    Log("SetWaitableTimer", ::GetLastError());
    return false;
  }
  // Set, but perhaps the machine cannot be woken by it (no wake-timer support): the alarm
  // still rings when the machine wakes otherwise, late or with a missed-alarm note.
  const bool canWake = ::GetLastError() != ERROR_NOT_SUPPORTED;
  char text[128];
  std::snprintf(text, sizeof text, "Ravilo: wake timer set for %04d-%02d-%02d %02d:%02d:%02d%s\n", when.year, when.month,
                when.day, when.hour, when.minute, when.second, canWake ? "" : " (this system cannot wake for it)");
  ::OutputDebugStringA(text);
  return true;
}

void Win32WakeTimer::Cancel() {
  if (timer_ && !::CancelWaitableTimer(timer_)) Log("CancelWaitableTimer", ::GetLastError());
}

void Win32WakeTimer::StayAwake(bool on) {
  const EXECUTION_STATE state = on ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED : ES_CONTINUOUS;
  if (!::SetThreadExecutionState(state)) Log("SetThreadExecutionState", ::GetLastError());
}

}  // namespace platform::win32
