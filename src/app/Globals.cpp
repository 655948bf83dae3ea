#include "app/Globals.h"

#include <chrono>
#include <random>
#include <stdexcept>

#include "platform/Platform.h"
#include "ui/Application.h"

std::string ExeDirectory() { return ExtractDirPart(platform::kernel().GetModuleFileName()); }

std::string ProgramPath(const std::string& path) {
  // "C:\x", "C:x" (a drive named), "\\server\share" and "\x" are not relative to a folder.
  const bool full = (path.size() >= 2 && path[1] == ':') || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
  return full || path.empty() ? path : ExeDirectory() + path;
}

std::string ExtractDirPart(const std::string& path) {
  const auto slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ExtractNamePart(const std::string& path) {
  const auto slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TwoDigits(int n) {
  std::string s = std::to_string(n);
  return s.size() == 1 ? "0" + s : s;
}

bool GetOsVersion(int& major, int& minor) {
  // The version record is 148 bytes; a system that refuses it is asked again with a record
  // one byte larger each time, up to a bound.
  constexpr std::uint32_t kRecordSize = 148;
  constexpr std::uint32_t kMaxRetries = 1024;
  std::uint32_t ma = 0, mi = 0;
  for (std::uint32_t size = kRecordSize; size <= kRecordSize + kMaxRetries; ++size) {
    if (platform::kernel().GetVersionEx(size, ma, mi)) {
      major = int(ma);
      minor = int(mi);
      return true;
    }
  }
  major = 0;
  minor = 0;
  return false;
}

bool IsOsTooOld() {
  int major = 0, minor = 0;
  // A system that never answers the query is not refused: nothing says it is old.
  if (!GetOsVersion(major, minor)) return false;
  return major <= 4;
}

void AssertionFailure(const char* unit, int line) {
  throw std::logic_error("Assertion failure (" + std::string(unit) + ", line " + std::to_string(line) + ")");
}

int SystemMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  return ui::Application::Instance().GetBackend().MessageBox(text, caption, flags);
}

namespace {
std::mt19937_64& Generator() {
  static std::mt19937_64 generator(12345);
  return generator;
}
std::function<double()>& Source() {
  static std::function<double()> source;
  return source;
}
}  // namespace

void Randomize() {
  const auto t = platform::kernel().GetLocalTime();
  Generator().seed(std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                   std::uint64_t(t.hour * 3600000 + t.minute * 60000 + t.second * 1000 + t.milliseconds));
}

double Random() {
  if (Source()) return Source()();
  return std::uniform_real_distribution<double>(0.0, 1.0)(Generator());
}

int RandomBelow(int n) {
  if (n <= 0) return 0;
  const int r = int(Random() * n);
  return r < n ? r : n - 1;
}

void SetRandomSource(std::function<double()> source) { Source() = std::move(source); }
