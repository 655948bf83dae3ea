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
  void EachEntry(const std::string& pattern, const std::function<bool(const DirEntry&)>& visit) override;
  std::optional<std::string> FolderId(const std::string& folder) override;

  // Where relative paths start (the fake kernel's current directory).
  std::function<std::string()> currentDirectory = [] { return std::string("C:\\"); };
  // Files under windowsFolder are read from hostFolder when not overridden in memory.
  void Mount(const std::string& windowsFolder, const std::string& hostFolder);
  void Put(const std::string& path, const std::string& data);
  // A folder of its own (also an empty one), with its attributes.
  void AddFolder(const std::string& path, bool hidden = false, bool system = false);
  // A junction: the folder at path shows the folder target (which may lie above it).
  void Link(const std::string& path, const std::string& target);
  // Reading the folder fails (no access, no medium).
  void MakeUnreadable(const std::string& folder) { unreadable_.insert(Folder(folder)); }
  int enumerations = 0;
  // Entries handed to the callers of EachEntry, all enumerations together.
  long entriesSeen = 0;
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
  // The same, keeping the case: the names enumerations report.
  std::string Absolute(const std::string& path) const;

 private:
  std::map<std::string, std::string> files_;
  std::set<std::string> hidden_;
  std::map<std::string, std::string> mounts_;  // normalised windows folder -> host folder
  struct FolderAttributes {
    bool hidden = false, system = false;
  };
  std::vector<DirEntry> List(const std::string& pattern);
  // A folder's key, with its trailing backslash.
  std::string Folder(const std::string& path) const;
  // Follows the junctions on the way (a bounded number of times).
  std::string Resolve(std::string folderKey) const;
  std::map<std::string, std::string> display_;       // key -> the path as it was given
  std::map<std::string, FolderAttributes> folders_;  // folder key (with '\\') -> attributes
  std::map<std::string, std::string> links_;         // folder key -> target folder key
  std::set<std::string> unreadable_;
};

}  // namespace platform::fake
