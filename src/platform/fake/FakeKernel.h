#pragma once
// Process services for tests: a local clock that follows the test's virtual time, a fixed
// module path, a recorded mutex table and shell calls, and an ExitProcess that throws.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Kernel.h"

namespace platform::fake {

class FakeKernel : public Kernel {
 public:
  LocalTime GetLocalTime() override;
  std::int64_t GetSystemTimeMs() override;
  std::string GetModuleFileName() override { return moduleFileName; }
  bool SetCurrentDirectory(const std::string& dir) override;
  std::string GetCurrentDirectory() override { return currentDirectory; }
  bool GetVersionEx(std::uint32_t recordSize, std::uint32_t& major, std::uint32_t& minor) override;
  MutexResult CreateMutex(const std::string& name) override;
  void ReleaseMutex(Handle mutex) override;
  void CloseHandle(Handle h) override {}
  void ShellExecute(const std::string& verb, const std::string& file, const std::string& params,
                    const std::string& dir) override;
  // Read from resources/bitmaps/<name>.bmp of the source tree.
  std::optional<std::string> LoadBitmapResource(const std::string& name) override;
  void DebugLog(const std::string& text) override { debugLog.push_back(text); }
  std::vector<std::string> debugLog;
  [[noreturn]] void ExitProcess(int code) override;
  std::set<std::string> missingResources;
  // Drive types by upper-case letter; a letter not listed has no root folder.
  int GetDriveType(const std::string& root) override;
  std::map<char, int> driveTypes = {{'C', kDriveFixed}};
  std::vector<std::string> driveQueries;

  // The clock: seconds of the day at virtual time 0, plus the virtual milliseconds passed,
  // plus the changes made to the system clock. That is the UTC clock; the local clock is it
  // plus the zone's offset at that instant (none unless a test gives a zone, for example
  // one whose offset moves by an hour on a daylight-saving night).
  void SetTimeOfDay(int hour, int minute, int second) { startSecondOfDay = hour * 3600 + minute * 60 + second; }
  int startSecondOfDay = 12 * 3600;
  std::function<std::int64_t()> virtualMs = [] { return std::int64_t(0); };
  std::int64_t clockChangeMs = 0;  // the user set the clock this far on (negative: back)
  std::function<std::int64_t(std::int64_t utcMs)> zoneOffsetMs;

  std::string moduleFileName = "C:\\Program Files\\Ravilo\\Ravilo.exe";
  std::string currentDirectory = "C:\\Users\\user\\";
  std::uint32_t osMajor = 10, osMinor = 0;
  int versionFailuresLeft = 0;          // the version query fails this many times first
  std::vector<std::uint32_t> versionRecordSizes;  // every size asked
  std::set<std::string> existingMutexes;  // names another process holds
  std::set<std::string> heldMutexes;
  struct ShellCall {
    std::string verb, file, params, dir;
  };
  std::vector<ShellCall> shellCalls;
};

}  // namespace platform::fake
