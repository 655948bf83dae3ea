#include "platform/fake/FakeFileSystem.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace platform::fake {
namespace {
std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}
}  // namespace

std::string FakeFileSystem::Key(const std::string& path) const { return Lower(Absolute(path)); }

std::string FakeFileSystem::Absolute(const std::string& path) const {
  std::string p = path;
  for (char& c : p)
    if (c == '/') c = '\\';
  const bool absolute = p.size() >= 2 && p[1] == ':';
  if (!absolute) {
    std::string base = currentDirectory();
    if (!base.empty() && base.back() != '\\') base += '\\';
    p = base + p;
  }
  return p;
}

std::string FakeFileSystem::Folder(const std::string& path) const {
  std::string key = Key(path);
  if (key.empty() || key.back() != '\\') key += '\\';
  return key;
}

void FakeFileSystem::Put(const std::string& path, const std::string& data) {
  files_[Key(path)] = data;
  display_[Key(path)] = Absolute(path);
  hidden_.erase(Key(path));
}

void FakeFileSystem::AddFolder(const std::string& path, bool hidden, bool system) {
  folders_[Folder(path)] = {hidden, system};
  std::string shown = Absolute(path);
  if (shown.back() != '\\') shown += '\\';
  display_[Folder(path)] = shown;
}

void FakeFileSystem::Link(const std::string& path, const std::string& target) {
  AddFolder(path);
  links_[Folder(path)] = Folder(target);
}

std::string FakeFileSystem::Resolve(std::string folderKey) const {
  for (int hops = 0; hops < 64; ++hops) {
    bool moved = false;
    for (const auto& [link, target] : links_) {
      if (folderKey.rfind(link, 0) == 0) {
        folderKey = target + folderKey.substr(link.size());
        moved = true;
        break;
      }
    }
    if (!moved) break;
  }
  return folderKey;
}

void FakeFileSystem::Mount(const std::string& windowsFolder, const std::string& hostFolder) {
  std::string key = Key(windowsFolder);
  if (key.back() != '\\') key += '\\';
  mounts_[key] = hostFolder;
}

std::optional<std::string> FakeFileSystem::ReadAll(const std::string& path) {
  if (failReads) return std::nullopt;
  const std::string key = Key(path);
  if (auto it = files_.find(key); it != files_.end()) return it->second;
  if (hidden_.count(key)) return std::nullopt;
  for (const auto& [folder, host] : mounts_) {
    if (key.rfind(folder, 0) != 0) continue;
    std::string rest = path.substr(path.size() - (key.size() - folder.size()));
    for (char& c : rest)
      if (c == '\\') c = '/';
    std::ifstream in(host + "/" + rest, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  return std::nullopt;
}

bool FakeFileSystem::WriteAll(const std::string& path, const std::string& data) {
  ++writeCount;
  const std::string key = Key(path);
  hidden_.erase(key);
  if (failWriteAfter >= 0) {
    files_[key] = data.substr(0, std::size_t(failWriteAfter));
    return false;
  }
  files_[key] = data;
  return true;
}

bool FakeFileSystem::Replace(const std::string& from, const std::string& to) {
  if (failReplace) return false;
  auto it = files_.find(Key(from));
  if (it == files_.end()) return false;
  files_[Key(to)] = it->second;
  hidden_.erase(Key(to));
  files_.erase(it);
  return true;
}

bool FakeFileSystem::Remove(const std::string& path) {
  const bool had = files_.erase(Key(path)) > 0;
  hidden_.insert(Key(path));
  return had;
}

bool FakeFileSystem::FileExists(const std::string& path) { return ReadAll(path).has_value(); }

void FakeFileSystem::EachEntry(const std::string& pattern, const std::function<bool(const DirEntry&)>& visit) {
  ++enumerations;
  for (const DirEntry& e : List(pattern)) {
    ++entriesSeen;
    if (!visit(e)) return;
  }
}

std::vector<DirEntry> FakeFileSystem::List(const std::string& pattern) {
  // Only "folder\*.*" patterns, which is what the program asks.
  std::string asked = Key(pattern);
  if (auto slash = asked.rfind('\\'); slash != std::string::npos) asked.resize(slash + 1);
  const std::string folder = Resolve(asked);
  if (unreadable_.count(folder)) return {};
  std::map<std::string, DirEntry> found;  // by key name: the listing comes sorted
  auto add = [&](const std::string& key, bool directory) {
    const std::string rest = key.substr(folder.size());
    const auto slash = rest.find('\\');
    const bool below = slash != std::string::npos && slash + 1 < rest.size();
    const std::string nameKey = rest.substr(0, slash);
    if (nameKey.empty() || found.count(nameKey)) return;
    DirEntry e;
    const auto shown = display_.find(key);
    e.name = shown != display_.end() ? shown->second.substr(folder.size(), nameKey.size()) : nameKey;
    e.directory = directory || below || slash != std::string::npos;
    const std::string sub = folder + nameKey + "\\";
    if (auto f = folders_.find(sub); e.directory && f != folders_.end()) {
      e.hidden = f->second.hidden;
      e.system = f->second.system;
      if (auto d = display_.find(sub); d != display_.end()) e.name = d->second.substr(folder.size(), nameKey.size());
    }
    e.reparsePoint = e.directory && links_.count(sub);
    found[nameKey] = e;
  };
  for (auto it = files_.lower_bound(folder); it != files_.end() && it->first.rfind(folder, 0) == 0; ++it)
    add(it->first, false);
  for (auto it = folders_.lower_bound(folder); it != folders_.end() && it->first.rfind(folder, 0) == 0; ++it)
    if (it->first != folder) add(it->first, true);
  const bool exists = !found.empty() || folders_.count(folder) || folder.size() == 3;
  if (!exists) return {};
  std::vector<DirEntry> out;
  // A folder other than a drive's root lists itself and its parent first, as Windows does.
  if (folder.size() > 3) {
    out.push_back({".", true});
    out.push_back({"..", true});
  }
  for (auto& [name, e] : found) out.push_back(e);
  return out;
}

std::optional<std::string> FakeFileSystem::FolderId(const std::string& folder) {
  const std::string resolved = Resolve(Folder(folder));
  if (unreadable_.count(resolved)) return std::nullopt;
  return resolved;
}

}  // namespace platform::fake
