#include "platform/win32/Win32Platform.h"

#include "platform/win32/WinHeaders.h"

#include <vector>

namespace platform::win32 {

// ---- registry

long Win32Registry::CreateKeyCurrentUser(const std::string& subkey, std::uint32_t access, RegKey& key) {
  HKEY h = nullptr;
  const LONG r = RegCreateKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                 nullptr, &h, nullptr);
  key = r == ERROR_SUCCESS ? reinterpret_cast<RegKey>(h) : 0;
  return r;
}

long Win32Registry::QueryValue(RegKey key, const std::string& name, RegType& type, std::uint8_t* data,
                               std::uint32_t& size) {
  DWORD t = REG_NONE;
  DWORD s = size;
  const LONG r = RegQueryValueExA(reinterpret_cast<HKEY>(key), name.c_str(), nullptr, &t, data, &s);
  type = static_cast<RegType>(t);
  size = s;
  return r;
}

long Win32Registry::SetValue(RegKey key, const std::string& name, RegType type, const std::uint8_t* data,
                             std::uint32_t size) {
  return RegSetValueExA(reinterpret_cast<HKEY>(key), name.c_str(), 0, static_cast<DWORD>(type), data, size);
}

long Win32Registry::DeleteValue(RegKey key, const std::string& name) {
  return RegDeleteValueA(reinterpret_cast<HKEY>(key), name.c_str());
}

long Win32Registry::EnumKey(RegKey key, std::uint32_t index, std::string& name) {
  char buffer[256];  // a key name's limit is 255 characters
  DWORD size = sizeof buffer;
  const LONG r = RegEnumKeyExA(reinterpret_cast<HKEY>(key), index, buffer, &size, nullptr, nullptr, nullptr, nullptr);
  if (r == ERROR_SUCCESS) name.assign(buffer, size);
  return r;
}

long Win32Registry::DeleteKey(RegKey key, const std::string& subkey) {
  return RegDeleteKeyA(reinterpret_cast<HKEY>(key), subkey.c_str());
}

long Win32Registry::CloseKey(RegKey key) { return RegCloseKey(reinterpret_cast<HKEY>(key)); }

// ---- kernel

LocalTime Win32Kernel::GetLocalTime() {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  LocalTime t;
  t.year = st.wYear;
  t.month = st.wMonth;
  t.dayOfWeek = st.wDayOfWeek;
  t.day = st.wDay;
  t.hour = st.wHour;
  t.minute = st.wMinute;
  t.second = st.wSecond;
  t.milliseconds = st.wMilliseconds;
  return t;
}

std::int64_t Win32Kernel::GetSystemTimeMs() {
  FILETIME ft;
  ::GetSystemTimeAsFileTime(&ft);
  ULARGE_INTEGER t;
  t.LowPart = ft.dwLowDateTime;
  t.HighPart = ft.dwHighDateTime;
  return std::int64_t(t.QuadPart / 10000);  // 100-ns steps since 1601
}

std::string Win32Kernel::GetModuleFileName() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), DWORD(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

bool Win32Kernel::SetCurrentDirectory(const std::string& dir) { return ::SetCurrentDirectoryA(dir.c_str()) != 0; }

std::string Win32Kernel::GetCurrentDirectory() {
  const DWORD n = ::GetCurrentDirectoryA(0, nullptr);
  std::string s(n, '\0');
  const DWORD got = ::GetCurrentDirectoryA(n, s.data());
  s.resize(got);
  return s;
}

bool Win32Kernel::GetVersionEx(std::uint32_t recordSize, std::uint32_t& major, std::uint32_t& minor) {
  // The record is at least OSVERSIONINFOA; larger records are zero-padded.
  std::vector<unsigned char> record(std::max<std::size_t>(recordSize, sizeof(OSVERSIONINFOEXA)));
  auto* info = reinterpret_cast<OSVERSIONINFOA*>(record.data());
  info->dwOSVersionInfoSize = recordSize;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExA(info)) return false;
#pragma GCC diagnostic pop
  major = info->dwMajorVersion;
  minor = info->dwMinorVersion;
  return true;
}

MutexResult Win32Kernel::CreateMutex(const std::string& name) {
  HANDLE h = ::CreateMutexA(nullptr, TRUE, name.c_str());
  const DWORD error = ::GetLastError();
  return {reinterpret_cast<Handle>(h), h ? long(error) : long(error ? error : 1)};
}

void Win32Kernel::ReleaseMutex(Handle mutex) {
  if (mutex) ::ReleaseMutex(reinterpret_cast<HANDLE>(mutex));
}

void Win32Kernel::CloseHandle(Handle h) {
  if (h) ::CloseHandle(reinterpret_cast<HANDLE>(h));
}

void Win32Kernel::ShellExecute(const std::string& verb, const std::string& file, const std::string& params,
                               const std::string& dir) {
  // No owner: the shell's own error boxes then stand alone.
  ::ShellExecuteA(nullptr, verb.empty() ? nullptr : verb.c_str(), file.c_str(), params.empty() ? nullptr : params.c_str(),
                  dir.empty() ? nullptr : dir.c_str(), SW_SHOWNORMAL);
}

std::optional<std::string> Win32Kernel::LoadBitmapResource(const std::string& name) {
  HRSRC found = ::FindResourceA(nullptr, name.c_str(), MAKEINTRESOURCEA(2) /*RT_BITMAP*/);
  if (!found) return std::nullopt;
  HGLOBAL loaded = ::LoadResource(nullptr, found);
  const DWORD size = ::SizeofResource(nullptr, found);
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data || size == 0) return std::nullopt;
  return std::string(static_cast<const char*>(data), size);
}

int Win32Kernel::GetDriveType(const std::string& root) { return int(::GetDriveTypeA(root.c_str())); }

void Win32Kernel::DebugLog(const std::string& text) { ::OutputDebugStringA((text + "\n").c_str()); }

void Win32Kernel::ExitProcess(int code) { ::ExitProcess(UINT(code)); }

// ---- files

namespace {
// A handle closed when it goes out of scope.
struct FileHandle {
  HANDLE h;
  explicit FileHandle(HANDLE handle) : h(handle) {}
  ~FileHandle() {
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool Valid() const { return h != INVALID_HANDLE_VALUE; }
};

struct FindHandle {
  HANDLE h;
  explicit FindHandle(HANDLE handle) : h(handle) {}
  ~FindHandle() {
    if (h != INVALID_HANDLE_VALUE) ::FindClose(h);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
};
}  // namespace

std::optional<std::string> Win32FileSystem::ReadAll(const std::string& path) {
  FileHandle f(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f.Valid()) return std::nullopt;
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(f.h, &size) || size.QuadPart > (1ll << 30)) return std::nullopt;
  std::string data(std::size_t(size.QuadPart), '\0');
  std::size_t at = 0;
  while (at < data.size()) {
    DWORD got = 0;
    const DWORD want = DWORD(std::min<std::size_t>(data.size() - at, 1 << 20));
    if (!::ReadFile(f.h, data.data() + at, want, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    at += got;
  }
  data.resize(at);
  return data;
}

bool Win32FileSystem::WriteAll(const std::string& path, const std::string& data) {
  FileHandle f(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f.Valid()) return false;
  std::size_t at = 0;
  while (at < data.size()) {
    DWORD put = 0;
    const DWORD want = DWORD(std::min<std::size_t>(data.size() - at, 1 << 20));
    if (!::WriteFile(f.h, data.data() + at, want, &put, nullptr) || put == 0) return false;
    at += put;
  }
  return ::FlushFileBuffers(f.h) != 0;
}

bool Win32FileSystem::Replace(const std::string& from, const std::string& to) {
  return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32FileSystem::Remove(const std::string& path) { return ::DeleteFileA(path.c_str()) != 0; }

bool Win32FileSystem::FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {
// Paths travel in the ANSI code page (UTF-8 under the manifest); the folder calls take
// them through the wide forms so that a path past MAX_PATH still works: the ANSI forms
// stop at 260 characters, the wide ones take "\\?\" for longer absolute paths.
std::wstring Wide(const std::string& s) {
  if (s.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), nullptr, 0);
  std::wstring w(std::size_t(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), w.data(), n);
  return w;
}

// lossy, when given, tells whether some character had no ANSI form (never so in UTF-8).
std::string Narrow(const wchar_t* w, bool* lossy = nullptr) {
  BOOL used = FALSE;
  BOOL* check = lossy && ::GetACP() != CP_UTF8 ? &used : nullptr;
  const int n = ::WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, check);
  if (lossy) *lossy = used != FALSE;
  if (n <= 1) return {};
  std::string s(std::size_t(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, w, -1, s.data(), n, nullptr, nullptr);
  s.resize(std::size_t(n - 1));
  return s;
}

// A name as the program can use it: where the UTF-8 manifest is not honoured (Windows
// before 10 1903), a name outside the ANSI code page would come back with '?' in it and
// open nothing; its short (8.3) name, when the volume keeps one, opens the same file.
std::string UsableName(const WIN32_FIND_DATAW& data) {
  bool lossy = false;
  std::string name = Narrow(data.cFileName, &lossy);
  if (lossy && data.cAlternateFileName[0]) name = Narrow(data.cAlternateFileName);
  return name;
}

std::wstring LongPath(const std::string& path) {
  std::wstring w = Wide(path);
  const bool absolute = w.size() >= 3 && w[1] == L':' && w[2] == L'\\';
  if (absolute && w.size() >= MAX_PATH - 12) w = L"\\\\?\\" + w;
  return w;
}
}  // namespace

void Win32FileSystem::EachEntry(const std::string& pattern, const std::function<bool(const DirEntry&)>& visit) {
  WIN32_FIND_DATAW data;
  FindHandle find(::FindFirstFileW(LongPath(pattern).c_str(), &data));
  if (find.h == INVALID_HANDLE_VALUE) return;
  do {
    const DWORD a = data.dwFileAttributes;
    if (!visit({UsableName(data), (a & FILE_ATTRIBUTE_DIRECTORY) != 0, (a & FILE_ATTRIBUTE_HIDDEN) != 0,
                (a & FILE_ATTRIBUTE_SYSTEM) != 0, (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0}))
      return;
  } while (::FindNextFileW(find.h, &data));
}

std::optional<std::string> Win32FileSystem::FolderId(const std::string& folder) {
  // The volume's serial number and the folder's file index, through links and junctions.
  FileHandle f(::CreateFileW(LongPath(folder).c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!f.Valid()) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(f.h, &info)) return std::nullopt;
  return std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(info.nFileIndexHigh) + ":" +
         std::to_string(info.nFileIndexLow);
}

}  // namespace platform::win32
