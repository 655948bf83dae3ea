#include "desktop/LogOnStart.h"

#include <algorithm>
#include <cctype>

#include "app/Globals.h"
#include "platform/Platform.h"

namespace logon {
namespace {

// The Run key, open for as long as the object lives.
class RunKey {
 public:
  RunKey() {
    const long r = platform::registry().CreateKeyCurrentUser(kRunKey, platform::kKeyAllAccess, key_);
    if (r != platform::kErrorSuccess || key_ == 0) {
      platform::kernel().DebugLog("Ravilo: cannot open the Run key, error " + std::to_string(r));
      key_ = 0;
    }
  }
  ~RunKey() {
    if (key_) platform::registry().CloseKey(key_);
  }
  RunKey(const RunKey&) = delete;
  RunKey& operator=(const RunKey&) = delete;
  platform::RegKey get() const { return key_; }

 private:
  platform::RegKey key_ = 0;
};

std::string Unquoted(std::string s) {
  if (auto nul = s.find('\0'); nul != std::string::npos) s.resize(nul);
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
  return s;
}

bool SamePath(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
    return std::tolower(x) == std::tolower(y);
  });
}

}  // namespace

std::string Command() {
  // Built by appending: MinGW's GCC 12 warns (-Wrestrict, wrongly) at a literal + string.
  std::string command(1, '"');
  command += ExeDirectory();
  command += ExtractNamePart(platform::kernel().GetModuleFileName());
  command += '"';
  return command;
}

bool StartsAtLogOn() {
  const RunKey key;
  if (!key.get()) return false;
  auto& registry = platform::registry();
  platform::RegType type = platform::RegType::None;
  std::uint32_t size = 0;
  if (registry.QueryValue(key.get(), kValueName, type, nullptr, size) != platform::kErrorSuccess || size == 0)
    return false;
  std::string data(size, '\0');
  if (registry.QueryValue(key.get(), kValueName, type, reinterpret_cast<std::uint8_t*>(data.data()), size) !=
      platform::kErrorSuccess)
    return false;
  if (type != platform::RegType::Sz && type != platform::RegType::ExpandSz) return false;
  data.resize(std::min<std::size_t>(size, data.size()));
  return SamePath(Unquoted(data), Unquoted(Command()));
}

bool SetStartAtLogOn(bool on) {
  const RunKey key;
  if (!key.get()) return false;
  long r;
  if (on) {
    const std::string command = Command();
    r = platform::registry().SetValue(key.get(), kValueName, platform::RegType::Sz,
                                      reinterpret_cast<const std::uint8_t*>(command.c_str()),
                                      std::uint32_t(command.size() + 1));
  } else {
    r = platform::registry().DeleteValue(key.get(), kValueName);
    if (r == platform::kErrorFileNotFound) r = platform::kErrorSuccess;
  }
  if (r != platform::kErrorSuccess)
    platform::kernel().DebugLog(std::string("Ravilo: cannot ") + (on ? "write" : "remove") +
                                " the Run value, error " + std::to_string(r));
  return r == platform::kErrorSuccess;
}

}  // namespace logon
