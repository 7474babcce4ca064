// Folders on Windows, as the shell names them.
#include <windows.h>
// After windows.h:
#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>

#include "os/files.h"
#include "os/folders.h"
#include "os/wide_windows.h"

namespace os {

namespace {

// A known folder of the current user ("" when the shell has none); APPDATA
// stands in for the roaming application data where the shell cannot say.
std::string knownFolder(REFKNOWNFOLDERID id, const wchar_t* variable) {
  wchar_t* path = nullptr;
  std::string folder;
  if (SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path) == S_OK && path != nullptr)
    folder = windows::narrow(path, wcslen(path));
  CoTaskMemFree(path);
  if (folder.empty() && variable != nullptr) {
    const wchar_t* value = _wgetenv(variable);
    if (value != nullptr) folder = windows::narrow(value, wcslen(value));
  }
  return folder;
}

// %APPDATA%\Quarvel, where SDL's pref path would put it too.
std::string roamingFolder() {
  std::string base = knownFolder(FOLDERID_RoamingAppData, L"APPDATA");
  return base.empty() ? "" : base + "\\Quarvel";
}

}  // namespace

std::string userDataFolder() { return roamingFolder(); }

std::string userConfigFolder() { return roamingFolder(); }

std::string userPicturesFolder() {
  std::string folder = knownFolder(FOLDERID_Pictures, nullptr);
  std::error_code error;
  return !folder.empty() && std::filesystem::is_directory(pathFromUtf8(folder), error) ? folder : "";
}

std::string programFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return "";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? "" : windows::narrow(path.substr(0, slash + 1));
}

bool programFolderFirst() { return true; }

}  // namespace os
