#include "alarm/Reestr.h"

#include <charconv>
#include <cstring>
#include <stdexcept>

#include "app/Globals.h"
#include "platform/Platform.h"

using platform::RegType;

CReestr::CReestr() : CReestr(kKeyPath) {}

CReestr::CReestr(const std::string& keyPath) {
  Opened = false;
  platform::RegKey key = 0;
  // The leading backslash marks a path from the root; the platform takes it without.
  const std::string subkey = keyPath.substr(keyPath.empty() || keyPath[0] != '\\' ? 0 : 1);
  if (platform::registry().CreateKeyCurrentUser(subkey, platform::kKeyAllAccess, key) == platform::kErrorSuccess &&
      key != 0)
    SettingsKey = key;
  Opened = SettingsKey != 0;
}

CReestr::~CReestr() {
  if (SettingsKey) platform::registry().CloseKey(SettingsKey);
}

bool CReestr::GetInt(const std::string& name, int& value) {
  value = 0;
  if (!Opened) return false;
  RegType type = RegType::None;
  std::uint8_t buffer[4] = {};
  std::uint32_t size = sizeof buffer;
  if (platform::registry().QueryValue(SettingsKey, name, type, buffer, size) != platform::kErrorSuccess) return false;
  if (type != RegType::Dword || size != 4) return false;
  std::int32_t v;
  std::memcpy(&v, buffer, 4);
  value = v;
  return true;
}

bool CReestr::GetInt64(const std::string& name, std::int64_t& value) {
  value = 0;
  if (!Opened) return false;
  RegType type = RegType::None;
  std::uint8_t buffer[8] = {};
  std::uint32_t size = sizeof buffer;
  if (platform::registry().QueryValue(SettingsKey, name, type, buffer, size) != platform::kErrorSuccess) return false;
  if (type != RegType::Qword || size != 8) return false;
  std::memcpy(&value, buffer, 8);
  return true;
}

RegType CReestr::TypeOf(const std::string& name) {
  if (!Opened) return RegType::None;
  RegType type = RegType::None;
  std::uint32_t size = 0;
  if (platform::registry().QueryValue(SettingsKey, name, type, nullptr, size) != platform::kErrorSuccess)
    return RegType::None;
  return type;
}

bool CReestr::GetBool(const std::string& name, bool& value) {
  int v = 0;
  const bool found = GetInt(name, v);
  value = found && v != 0;
  return found;
}

bool CReestr::GetString(const std::string& name, std::string& value) {
  value.clear();
  if (!Opened) return false;
  RegType type = RegType::None;
  // Most values fit a small buffer: one query, not a size query and then the value (under
  // Wine each is a round trip to the wine server).
  std::string buffer(256, '\0');
  std::uint32_t size = std::uint32_t(buffer.size());
  long result = platform::registry().QueryValue(SettingsKey, name, type, reinterpret_cast<std::uint8_t*>(buffer.data()),
                                                size);
  if (result == platform::kErrorMoreData && size > 0) {
    buffer.assign(size, '\0');
    result = platform::registry().QueryValue(SettingsKey, name, type, reinterpret_cast<std::uint8_t*>(buffer.data()),
                                             size);
  }
  if (result != platform::kErrorSuccess || size == 0) return false;
  if (type != RegType::Sz && type != RegType::ExpandSz) return false;
  buffer.resize(std::min<std::size_t>(size, buffer.size()));
  if (auto nul = buffer.find('\0'); nul != std::string::npos) buffer.resize(nul);
  value = buffer;
  return !value.empty();
}

void CReestr::Set(const std::string& name, RegType type, const void* data, std::uint32_t size) {
  if (!Opened) return;
  if (platform::registry().SetValue(SettingsKey, name, type, static_cast<const std::uint8_t*>(data), size) ==
      platform::kErrorSuccess)
    return;
  const std::string failure = "Failed to set data for '" + name + "'";
  if (LogWriteFailures == 0) throw std::runtime_error(failure);
  platform::kernel().DebugLog("Ravilo: " + failure);
}

void CReestr::SetInt(const std::string& name, int value) {
  const std::int32_t v = value;
  Set(name, RegType::Dword, &v, 4);
}

void CReestr::SetBool(const std::string& name, bool value) { SetInt(name, value ? 1 : 0); }

void CReestr::SetString(const std::string& name, const std::string& value) {
  Set(name, RegType::Sz, value.c_str(), std::uint32_t(value.size() + 1));
}

void CReestr::SetInt64(const std::string& name, std::int64_t value) { Set(name, RegType::Qword, &value, 8); }

std::vector<std::string> CReestr::SubkeyNames() {
  std::vector<std::string> names;
  if (!Opened) return names;
  std::string name;
  for (std::uint32_t i = 0; platform::registry().EnumKey(SettingsKey, i, name) == platform::kErrorSuccess; ++i)
    names.push_back(name);
  return names;
}

bool CReestr::DeleteSubkey(const std::string& name) {
  return Opened && platform::registry().DeleteKey(SettingsKey, name) == platform::kErrorSuccess;
}

int ParseSubkeyId(const std::string& name) {
  if (name.empty() || name.size() > 9 || name[0] == '0') return 0;
  int id = 0;
  const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), id);
  return ec == std::errc() && end == name.data() + name.size() && id > 0 ? id : 0;
}

bool ParseListFile(const std::string& text, std::vector<std::string>& list) {
  list.clear();
  std::size_t at = 0;
  const std::size_t n = text.size();
  auto atOrBelowSpace = [&](std::size_t i) { return static_cast<unsigned char>(text[i]) <= ' '; };
  while (at < n && atOrBelowSpace(at)) ++at;
  if (at == n) return true;  // an empty file is an empty list
  std::string token;
  while (at < n && !atOrBelowSpace(at) && token.size() < 32) token += text[at++];
  std::int32_t count = 0;
  const char* first = token.data();
  if (!token.empty() && token[0] == '+') ++first;
  const auto [end, ec] = std::from_chars(first, token.data() + token.size(), count);
  if (ec != std::errc() || end != token.data() + token.size() || first == token.data() + token.size()) return false;
  // The rest of the count's line.
  auto skipLineEnd = [&] {
    if (at < n && text[at] == '\r') ++at;
    if (at < n && text[at] == '\n') ++at;
  };
  while (at < n && text[at] != '\r' && text[at] != '\n') ++at;
  skipLineEnd();
  for (std::int32_t i = 0; i < count; ++i) {
    if (at >= n && list.size() >= n) break;  // padding never outgrows the file itself
    const std::size_t start = at;
    while (at < n && text[at] != '\r' && text[at] != '\n') ++at;
    list.push_back(text.substr(start, at - start));
    skipLineEnd();
  }
  return true;
}

std::string FormatListFile(const std::vector<std::string>& list) {
  std::string out = std::to_string(list.size()) + "\r\n";
  for (const auto& entry : list) out += entry + "\r\n";
  return out;
}

std::string CReestr::ListPath(const std::string& name) { return ExeDirectory() + name + ".txt"; }

bool CReestr::LoadList(const std::string& name, std::vector<std::string>& list) {
  list.clear();
  const auto text = platform::files().ReadAll(ListPath(name));
  if (!text) return false;
  return ParseListFile(*text, list);
}

bool CReestr::SaveList(const std::string& name, const std::vector<std::string>& list) {
  // A store that did not open writes nothing: the alarm's defaults, saved after its values
  // could not be read, must not wipe the user's list.
  if (!Opened) return false;
  // Written beside the old file first and swapped in only when complete, so a failure
  // midway never loses the list that was there.
  const std::string path = ListPath(name);
  const std::string temp = path + ".new";
  auto& files = platform::files();
  if (files.WriteAll(temp, FormatListFile(list)) && files.Replace(temp, path)) return true;
  files.Remove(temp);
  return false;
}
