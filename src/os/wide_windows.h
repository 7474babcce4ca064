// The os layer's Windows files share these: the game's strings (paths among
// them) are UTF-8, the system's wide calls take UTF-16.
#pragma once

#include <windows.h>

#include <string>

namespace os::windows {

inline std::wstring widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

inline std::string narrow(const wchar_t* wide, size_t size) {
  if (size == 0) return {};
  int length = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(size), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length > 0 ? length : 0), '\0');
  if (length > 0) WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(size), utf8.data(), length, nullptr, nullptr);
  return utf8;
}

inline std::string narrow(const std::wstring& wide) { return narrow(wide.data(), wide.size()); }

// The system's words for an error code, in one line without its full stop.
inline std::string errorText(DWORD code) {
  wchar_t* text = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string result = length > 0 ? narrow(text, length) : "error " + std::to_string(code);
  if (text != nullptr) LocalFree(text);
  while (!result.empty() &&
         (result.back() == '\n' || result.back() == '\r' || result.back() == ' ' || result.back() == '.'))
    result.pop_back();
  return result;
}

}  // namespace os::windows
