#include "platform/fake/FakeKernel.h"

#include <fstream>
#include <sstream>

namespace platform::fake {

std::int64_t FakeKernel::GetSystemTimeMs() { return std::int64_t(startSecondOfDay) * 1000 + virtualMs() + clockChangeMs; }

LocalTime FakeKernel::GetLocalTime() {
  const std::int64_t utc = GetSystemTimeMs();
  const std::int64_t total = utc + (zoneOffsetMs ? zoneOffsetMs(utc) : 0);
  const std::int64_t dayMs = 86400 * 1000;
  const std::int64_t days = total / dayMs - (total % dayMs < 0);
  const std::int64_t inDay = total - days * dayMs;
  LocalTime t;
  t.day = 1 + int(days);
  t.dayOfWeek = int(days % 7);
  t.hour = int(inDay / 3600000);
  t.minute = int(inDay / 60000 % 60);
  t.second = int(inDay / 1000 % 60);
  t.milliseconds = int(inDay % 1000);
  return t;
}

bool FakeKernel::SetCurrentDirectory(const std::string& dir) {
  currentDirectory = dir;
  return true;
}

bool FakeKernel::GetVersionEx(std::uint32_t recordSize, std::uint32_t& major, std::uint32_t& minor) {
  versionRecordSizes.push_back(recordSize);
  if (versionFailuresLeft > 0) {
    --versionFailuresLeft;
    return false;
  }
  major = osMajor;
  minor = osMinor;
  return true;
}

MutexResult FakeKernel::CreateMutex(const std::string& name) {
  if (existingMutexes.count(name) || heldMutexes.count(name)) return {0x44, kErrorAlreadyExists};
  heldMutexes.insert(name);
  return {0x40, 0};
}

void FakeKernel::ReleaseMutex(Handle) { heldMutexes.clear(); }

void FakeKernel::ShellExecute(const std::string& verb, const std::string& file, const std::string& params,
                              const std::string& dir) {
  shellCalls.push_back({verb, file, params, dir});
}

std::optional<std::string> FakeKernel::LoadBitmapResource(const std::string& name) {
  if (missingResources.count(name)) return std::nullopt;
  // As resources/Ravilo.rc names them: "<name>_2x" is the 2x set's bitmaps/2x/<name>.bmp.
  std::string file = name;
  if (file.size() > 3 && file.ends_with("_2x")) file = "2x/" + file.substr(0, file.size() - 3);
  std::ifstream in(std::string(RAVILO_SOURCE_DIR) + "/resources/bitmaps/" + file + ".bmp", std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream s;
  s << in.rdbuf();
  const std::string bytes = s.str();
  if (bytes.size() < 14) return std::nullopt;
  return bytes.substr(14);  // a resource holds the bitmap without its file header
}

int FakeKernel::GetDriveType(const std::string& root) {
  driveQueries.push_back(root);
  if (root.empty()) return kDriveNoRootDir;
  auto it = driveTypes.find(root[0]);
  return it == driveTypes.end() ? kDriveNoRootDir : it->second;
}

void FakeKernel::ExitProcess(int code) { throw ProcessExit{code}; }

}  // namespace platform::fake
