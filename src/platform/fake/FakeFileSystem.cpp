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

std::string FakeFileSystem::Key(const std::string& path) const {
  std::string p = path;
  for (char& c : p)
    if (c == '/') c = '\\';
  const bool absolute = p.size() >= 2 && p[1] == ':';
  if (!absolute) {
    std::string base = currentDirectory();
    if (!base.empty() && base.back() != '\\') base += '\\';
    p = base + p;
  }
  return Lower(p);
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

std::vector<DirEntry> FakeFileSystem::Enumerate(const std::string& pattern) {
  // Only "folder\*.*" patterns over in-memory files, which is what the program asks.
  std::string folder = Key(pattern);
  if (auto slash = folder.rfind('\\'); slash != std::string::npos) folder.resize(slash + 1);
  std::vector<DirEntry> out;
  std::set<std::string> seenDirs;
  for (const auto& [key, data] : files_) {
    if (key.rfind(folder, 0) != 0) continue;
    const std::string rest = key.substr(folder.size());
    const auto slash = rest.find('\\');
    if (slash == std::string::npos) {
      out.push_back({rest, false});
    } else if (seenDirs.insert(rest.substr(0, slash)).second) {
      out.push_back({rest.substr(0, slash), true});
    }
  }
  return out;
}

}  // namespace platform::fake
