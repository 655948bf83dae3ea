#pragma once
// The registry as the program uses it: one key under the current user, values read and
// written one by one. Mirrors RegCreateKeyExA / RegQueryValueExA / RegSetValueExA /
// RegDeleteValueA / RegEnumKeyExA / RegDeleteKeyA / RegCloseKey with portable types, so the found/not-found rules live in portable code.
#include <cstdint>
#include <string>

namespace platform {

using RegKey = std::uintptr_t;  // 0: no key

enum class RegType : std::uint32_t { None = 0, Sz = 1, ExpandSz = 2, Binary = 3, Dword = 4, Qword = 11 };

// Win32 error codes the callers look at.
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidParameter = 87;
constexpr long kErrorMoreData = 234;
constexpr long kErrorNoMoreItems = 259;

constexpr std::uint32_t kKeyAllAccess = 0xF003F;

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens or creates HKEY_CURRENT_USER\subkey.
  virtual long CreateKeyCurrentUser(const std::string& subkey, std::uint32_t access, RegKey& key) = 0;
  // With data == nullptr only the type and size are asked. On input size is the buffer's
  // size; on output the value's size. A buffer too small gives kErrorMoreData.
  virtual long QueryValue(RegKey key, const std::string& name, RegType& type, std::uint8_t* data,
                          std::uint32_t& size) = 0;
  virtual long SetValue(RegKey key, const std::string& name, RegType type, const std::uint8_t* data,
                        std::uint32_t size) = 0;
  // Removes a value; kErrorFileNotFound when there is none.
  virtual long DeleteValue(RegKey key, const std::string& name) = 0;
  // The name of the index-th subkey of key; kErrorNoMoreItems past the last.
  virtual long EnumKey(RegKey key, std::uint32_t index, std::string& name) = 0;
  // Removes a subkey of key that has no subkeys of its own, with its values.
  virtual long DeleteKey(RegKey key, const std::string& subkey) = 0;
  virtual long CloseKey(RegKey key) = 0;
};

}  // namespace platform
