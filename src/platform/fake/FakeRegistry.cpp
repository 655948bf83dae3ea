#include "platform/fake/FakeRegistry.h"

#include <cstring>
#include <iterator>

namespace platform::fake {

long FakeRegistry::CreateKeyCurrentUser(const std::string& subkey, std::uint32_t, RegKey& key) {
  key = 0;
  if (refuseKeys) return kErrorAccessDenied;
  keys_[subkey];
  key = next_++;
  open_[key] = subkey;
  return kErrorSuccess;
}

long FakeRegistry::QueryValue(RegKey key, const std::string& name, RegType& type, std::uint8_t* data,
                              std::uint32_t& size) {
  ++queries;
  auto k = open_.find(key);
  if (k == open_.end()) return 6;  // ERROR_INVALID_HANDLE
  auto& values = keys_[k->second];
  auto v = values.find(name);
  if (v == values.end()) return kErrorFileNotFound;
  type = v->second.type;
  const auto needed = std::uint32_t(v->second.data.size());
  if (data == nullptr) {
    size = needed;
    return kErrorSuccess;
  }
  if (size < needed) {
    size = needed;
    return kErrorMoreData;
  }
  if (needed) std::memcpy(data, v->second.data.data(), needed);
  size = needed;
  return kErrorSuccess;
}

long FakeRegistry::SetValue(RegKey key, const std::string& name, RegType type, const std::uint8_t* data,
                            std::uint32_t size) {
  auto k = open_.find(key);
  if (k == open_.end()) return 6;
  if (refuseWrites || failingWrites.count(name)) return kErrorAccessDenied;
  ++writes;
  keys_[k->second][name] = {type, std::vector<std::uint8_t>(data, data + size)};
  return kErrorSuccess;
}

long FakeRegistry::DeleteValue(RegKey key, const std::string& name) {
  auto k = open_.find(key);
  if (k == open_.end()) return 6;
  if (refuseWrites || failingWrites.count(name)) return kErrorAccessDenied;
  ++writes;
  return keys_[k->second].erase(name) ? kErrorSuccess : kErrorFileNotFound;
}

long FakeRegistry::EnumKey(RegKey key, std::uint32_t index, std::string& name) {
  auto k = open_.find(key);
  if (k == open_.end()) return 6;
  // Every stored path below the key names a subkey, the first step of it.
  const std::string prefix = k->second + "\\";
  std::set<std::string> names;
  for (const auto& [path, values] : keys_)
    if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0)
      names.insert(path.substr(prefix.size(), path.find('\\', prefix.size()) - prefix.size()));
  if (index >= names.size()) return kErrorNoMoreItems;
  name = *std::next(names.begin(), index);
  return kErrorSuccess;
}

long FakeRegistry::DeleteKey(RegKey key, const std::string& subkey) {
  auto k = open_.find(key);
  if (k == open_.end()) return 6;
  if (refuseWrites) return kErrorAccessDenied;
  ++writes;
  return keys_.erase(k->second + "\\" + subkey) ? kErrorSuccess : kErrorFileNotFound;
}

long FakeRegistry::CloseKey(RegKey key) { return open_.erase(key) ? kErrorSuccess : 6; }

void FakeRegistry::PutDword(const std::string& keyPath, const std::string& name, std::uint32_t v) {
  PutRaw(keyPath, name, RegType::Dword,
         {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)});
}

void FakeRegistry::PutString(const std::string& keyPath, const std::string& name, const std::string& s,
                             RegType type) {
  std::vector<std::uint8_t> bytes(s.begin(), s.end());
  bytes.push_back(0);
  PutRaw(keyPath, name, type, std::move(bytes));
}

void FakeRegistry::PutRaw(const std::string& keyPath, const std::string& name, RegType type,
                          std::vector<std::uint8_t> data) {
  keys_[keyPath][name] = {type, std::move(data)};
}

bool FakeRegistry::Has(const std::string& keyPath, const std::string& name) const {
  return Get(keyPath, name) != nullptr;
}

const FakeValue* FakeRegistry::Get(const std::string& keyPath, const std::string& name) const {
  auto k = keys_.find(keyPath);
  if (k == keys_.end()) return nullptr;
  auto v = k->second.find(name);
  return v == k->second.end() ? nullptr : &v->second;
}

std::uint32_t FakeRegistry::Dword(const std::string& keyPath, const std::string& name) const {
  const FakeValue* v = Get(keyPath, name);
  if (!v || v->data.size() != 4) return 0xDEADBEEF;
  return std::uint32_t(v->data[0]) | std::uint32_t(v->data[1]) << 8 | std::uint32_t(v->data[2]) << 16 |
         std::uint32_t(v->data[3]) << 24;
}

std::string FakeRegistry::String(const std::string& keyPath, const std::string& name) const {
  const FakeValue* v = Get(keyPath, name);
  if (!v) return {};
  std::string s(v->data.begin(), v->data.end());
  if (auto nul = s.find('\0'); nul != std::string::npos) s.resize(nul);
  return s;
}

}  // namespace platform::fake
