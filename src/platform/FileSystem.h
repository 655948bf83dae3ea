#pragma once
// File access the program needs: whole-file reads, writes of new files and an atomic
// replace, existence checks and folder enumeration. Paths are ANSI (UTF-8 under the
// manifest's code page) and may be relative to the current directory.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct DirEntry {
  std::string name;
  bool directory = false;
  bool hidden = false;
  bool system = false;
  // A junction or symbolic link: the folder may lie anywhere, even above itself.
  bool reparsePoint = false;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // The whole file, or nothing when it can't be opened or read.
  virtual std::optional<std::string> ReadAll(const std::string& path) = 0;
  // Creates or truncates the file and writes data; false on any failure.
  virtual bool WriteAll(const std::string& path, const std::string& data) = 0;
  // Replaces `to` by `from` in one step (MoveFileEx with replace); false on failure.
  virtual bool Replace(const std::string& from, const std::string& to) = 0;
  virtual bool Remove(const std::string& path) = 0;
  // A file (not a folder) exists at path.
  virtual bool FileExists(const std::string& path) = 0;
  // FindFirstFileA/FindNextFileA over pattern (e.g. "C:\\Music\\*.*"): `visit` sees each entry
  // in the order listed until it returns false; nothing is seen when the folder can't be read.
  virtual void EachEntry(const std::string& pattern, const std::function<bool(const DirEntry&)>& visit) = 0;
  // Every entry of the pattern; nothing when it fails.
  std::vector<DirEntry> Enumerate(const std::string& pattern) {
    std::vector<DirEntry> out;
    EachEntry(pattern, [&](const DirEntry& e) {
      out.push_back(e);
      return true;
    });
    return out;
  }
  // What tells one folder from every other, however it is reached (through links too);
  // nothing when the folder can't be opened.
  virtual std::optional<std::string> FolderId(const std::string& folder) = 0;
};

}  // namespace platform
