#include "setup/FolderScan.h"

#include <set>

#include "platform/Platform.h"

namespace {
char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

struct Scan {
  const std::string& extension;
  bool recurse;
  std::vector<std::string>& result;
  const std::function<void()>& onEntry;
  std::set<std::string> visited;

  void Folder(std::string folder, int depth) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    auto& files = platform::files();
    if (recurse) {
      if (depth > kMaxScanDepth) return;
      // A folder seen before is a way back up: reading it again would never end.
      if (auto id = files.FolderId(folder); id && !visited.insert(*id).second) return;
    }
    for (const platform::DirEntry& e : files.Enumerate(folder + "*.*")) {
      if (onEntry) onEntry();
      if (e.directory) {
        if (e.name != "." && e.name != ".." && recurse) Folder(folder + e.name + "\\", depth + 1);
      } else if (HasExtension(e.name, extension)) {
        result.push_back(folder + e.name);
      }
    }
  }
};
}  // namespace

bool HasExtension(const std::string& name, const std::string& extension) {
  if (name.size() < extension.size()) return false;
  const std::size_t n = std::min<std::size_t>(3, extension.size());
  for (std::size_t i = 1; i <= n; ++i)
    if (Lower(name[name.size() - i]) != Lower(extension[extension.size() - i])) return false;
  return true;
}

void ScanDirectory(std::string folder, const std::string& extension, bool recurse, std::vector<std::string>& result,
                   const std::function<void()>& onEntry) {
  Scan{extension, recurse, result, onEntry, {}}.Folder(std::move(folder), 0);
}
