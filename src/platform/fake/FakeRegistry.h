#pragma once
// An in-memory registry with typed values, for tests. It can be told to refuse the key or
// to fail writes.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace platform::fake {

struct FakeValue {
  RegType type = RegType::None;
  std::vector<std::uint8_t> data;
};

class FakeRegistry : public Registry {
 public:
  long CreateKeyCurrentUser(const std::string& subkey, std::uint32_t access, RegKey& key) override;
  long QueryValue(RegKey key, const std::string& name, RegType& type, std::uint8_t* data,
                  std::uint32_t& size) override;
  long SetValue(RegKey key, const std::string& name, RegType type, const std::uint8_t* data,
                std::uint32_t size) override;
  long DeleteValue(RegKey key, const std::string& name) override;
  long EnumKey(RegKey key, std::uint32_t index, std::string& name) override;
  long DeleteKey(RegKey key, const std::string& subkey) override;
  long CloseKey(RegKey key) override;

  // Test controls and inspection. Key paths are as passed (e.g. "Software\\MirenWorks\\Ravilo").
  bool refuseKeys = false;
  bool HasKey(const std::string& keyPath) const { return keys_.count(keyPath) != 0; }
  std::set<std::string> failingWrites;  // value names whose writes fail
  bool refuseWrites = false;            // every write fails
  void PutDword(const std::string& keyPath, const std::string& name, std::uint32_t v);
  void PutString(const std::string& keyPath, const std::string& name, const std::string& s,
                 RegType type = RegType::Sz);
  void PutRaw(const std::string& keyPath, const std::string& name, RegType type, std::vector<std::uint8_t> data);
  bool Has(const std::string& keyPath, const std::string& name) const;
  const FakeValue* Get(const std::string& keyPath, const std::string& name) const;
  std::uint32_t Dword(const std::string& keyPath, const std::string& name) const;
  std::string String(const std::string& keyPath, const std::string& name) const;
  int OpenKeys() const { return int(open_.size()); }
  int writes = 0;
  int queries = 0;  // every QueryValue, found or not

 private:
  std::map<std::string, std::map<std::string, FakeValue>> keys_;
  std::map<RegKey, std::string> open_;
  RegKey next_ = 0x100;
};

}  // namespace platform::fake
