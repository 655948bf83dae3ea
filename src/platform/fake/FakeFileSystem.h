#pragma once
// An in-memory file system with Windows path rules (backslashes, case-insensitive names,
// paths relative to the current directory), for tests. A host folder can be mounted under
// a Windows folder so that the real data files are read; files can be hidden ("deleted"),
// and writes or replaces can be told to fail.
#include <functional>
#include <map>
#include <set>
#include <string>

#include "platform/FileSystem.h"

namespace platform::fake {

class FakeFileSystem : public FileSystem {
 public:
  std::optional<std::string> ReadAll(const std::string& path) override;
  bool WriteAll(const std::string& path, const std::string& data) override;
  bool Replace(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  std::vector<DirEntry> Enumerate(const std::string& pattern) override;

  // Where relative paths start (the fake kernel's current directory).
  std::function<std::string()> currentDirectory = [] { return std::string("C:\\"); };
  // Files under windowsFolder are read from hostFolder when not overridden in memory.
  void Mount(const std::string& windowsFolder, const std::string& hostFolder);
  void Put(const std::string& path, const std::string& data) { files_[Key(path)] = data; hidden_.erase(Key(path)); }
  void Hide(const std::string& path) { files_.erase(Key(path)); hidden_.insert(Key(path)); }
  std::optional<std::string> Peek(const std::string& path) { return ReadAll(path); }

  // Failure injection: a write fails after writing this many bytes (the file keeps them),
  // or at once when it is 0; -1: writes succeed.
  long failWriteAfter = -1;
  bool failReplace = false;
  bool failReads = false;
  int writeCount = 0;

  // The normalised key: absolute, backslashes, lower case.
  std::string Key(const std::string& path) const;

 private:
  std::map<std::string, std::string> files_;
  std::set<std::string> hidden_;
  std::map<std::string, std::string> mounts_;  // normalised windows folder -> host folder
};

}  // namespace platform::fake
