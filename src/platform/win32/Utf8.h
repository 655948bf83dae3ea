#pragma once
// UTF-8, the program's text, to and from the system's wide strings (names, device ids).
#include <string>

#include "platform/win32/WinHeaders.h"

namespace platform::win32 {

inline std::wstring WideFromUtf8(const std::string& s) {
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
  std::wstring w(std::size_t(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), w.data(), n);
  return w;
}

inline std::string Utf8FromWide(const wchar_t* w, int chars = -1) {
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, w, chars, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string s(std::size_t(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w, chars, s.data(), n, nullptr, nullptr);
  if (chars < 0) s.resize(std::size_t(n - 1));  // the terminator counted
  return s;
}

}  // namespace platform::win32
