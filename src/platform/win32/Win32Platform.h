#pragma once
// The Windows implementations of the platform seam; each call forwards to the system.
#include "platform/Platform.h"

namespace platform::win32 {

class Win32Registry : public Registry {
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
};

class Win32Kernel : public Kernel {
 public:
  LocalTime GetLocalTime() override;
  std::int64_t GetSystemTimeMs() override;
  std::string GetModuleFileName() override;
  bool SetCurrentDirectory(const std::string& dir) override;
  std::string GetCurrentDirectory() override;
  bool GetVersionEx(std::uint32_t recordSize, std::uint32_t& major, std::uint32_t& minor) override;
  MutexResult CreateMutex(const std::string& name) override;
  void ReleaseMutex(Handle mutex) override;
  void CloseHandle(Handle h) override;
  void ShellExecute(const std::string& verb, const std::string& file, const std::string& params,
                    const std::string& dir) override;
  std::optional<std::string> LoadBitmapResource(const std::string& name) override;
  int GetDriveType(const std::string& root) override;
  void DebugLog(const std::string& text) override;
  [[noreturn]] void ExitProcess(int code) override;
};

class Win32FileSystem : public FileSystem {
 public:
  std::optional<std::string> ReadAll(const std::string& path) override;
  bool WriteAll(const std::string& path, const std::string& data) override;
  bool Replace(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  void EachEntry(const std::string& pattern, const std::function<bool(const DirEntry&)>& visit) override;
  std::optional<std::string> FolderId(const std::string& folder) override;
};

}  // namespace platform::win32
