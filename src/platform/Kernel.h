#pragma once
// Process-level services: clock, module path, current directory, version query, named
// mutex, shell execute and process exit. Mirrors the kernel32/shell32 calls the program
// makes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct LocalTime {
  int year = 2000, month = 1, dayOfWeek = 0, day = 1;
  int hour = 0, minute = 0, second = 0, milliseconds = 0;
};

using Handle = std::uintptr_t;  // 0: none

struct MutexResult {
  Handle handle = 0;
  long lastError = 0;  // GetLastError right after CreateMutexA
};

// Thrown by a fake ExitProcess so that tests see the end of the process; the Windows
// implementation never returns. Deliberately not a std::exception, so that the event
// dispatcher's catch-all for handler errors lets it through.
struct ProcessExit {
  int code;
};

constexpr long kErrorAlreadyExists = 183;

class Kernel {
 public:
  virtual ~Kernel() = default;
  virtual LocalTime GetLocalTime() = 0;
  // The system clock in UTC milliseconds (GetSystemTimeAsFileTime): unlike the local time
  // it does not move when daylight saving starts or ends. Only differences are used.
  virtual std::int64_t GetSystemTimeMs() = 0;
  virtual std::string GetModuleFileName() = 0;
  virtual bool SetCurrentDirectory(const std::string& dir) = 0;
  virtual std::string GetCurrentDirectory() = 0;
  // GetVersionExA with a record of recordSize bytes, its size field set to recordSize.
  virtual bool GetVersionEx(std::uint32_t recordSize, std::uint32_t& major, std::uint32_t& minor) = 0;
  // CreateMutexA(default security, initial owner, name).
  virtual MutexResult CreateMutex(const std::string& name) = 0;
  virtual void ReleaseMutex(Handle mutex) = 0;
  virtual void CloseHandle(Handle h) = 0;
  // ShellExecuteA(owner, verb or "" for the default, file, params, dir, SW_SHOWNORMAL).
  virtual void ShellExecute(const std::string& verb, const std::string& file, const std::string& params,
                            const std::string& dir) = 0;
  // A bitmap resource built into the program, as a packed DIB; nothing when there is none.
  virtual std::optional<std::string> LoadBitmapResource(const std::string& name) = 0;
  // GetDriveTypeA of a root folder such as "C:\\", with its values.
  enum DriveType { kDriveUnknown = 0, kDriveNoRootDir = 1, kDriveRemovable = 2, kDriveFixed = 3, kDriveRemote = 4,
                   kDriveCdRom = 5, kDriveRamDisk = 6 };
  virtual int GetDriveType(const std::string& root) = 0;
  // A line for a debugger (OutputDebugStringA): what went wrong but was not worth stopping for.
  virtual void DebugLog(const std::string& text) = 0;
  [[noreturn]] virtual void ExitProcess(int code) = 0;
};

}  // namespace platform
