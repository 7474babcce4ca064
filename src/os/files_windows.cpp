// Files on Windows: UTF-8 paths made wide at each call, handles opened with
// sharing so that another program reading the file never stops the game.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "os/files.h"
#include "os/wide_windows.h"

namespace os {

using windows::errorText;
using windows::widen;

namespace {

constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  bool close() {
    bool closed = !ok() || CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

bool missingError(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME;
}

// A file on a disk (not a console, a pipe, a printer port or NUL), and not a
// folder.
bool isDiskFile(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info{};
  return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) != 0 &&
         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Reads at most cap + 1 bytes, so a file that grew past its size is still
// caught at the cap. A folder, device or pipe is refused before any read, and
// opening a pipe's name never waits for its server.
template <typename Buffer>
FileRead readInto(const std::string& path, size_t cap, Buffer& bytes) {
  bytes.clear();
  const std::wstring wide = widen(path);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return FileRead::NotRegular;
  Handle file(
      CreateFileW(wide.c_str(), GENERIC_READ, SHARE_ALL, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) return missingError(GetLastError()) ? FileRead::Missing : FileRead::Unreadable;
  if (!isDiskFile(file.get())) return FileRead::NotRegular;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.get(), &size) == 0) return FileRead::Unreadable;
  if (size.QuadPart < 0 || static_cast<uint64_t>(size.QuadPart) > cap) return FileRead::TooBig;
  bytes.resize(static_cast<size_t>(size.QuadPart) + 1);
  size_t got = 0;
  FileRead result = FileRead::Ok;
  while (got < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - got, 1u << 30));
    DWORD n = 0;
    if (ReadFile(file.get(), &bytes[got], chunk, &n, nullptr) == 0) {
      result = FileRead::Unreadable;
      break;
    }
    if (n == 0) break;
    got += n;
    if (got > cap) {
      result = FileRead::TooBig;
      break;
    }
    if (got == bytes.size()) bytes.resize(std::min(bytes.size() * 2, cap + 1));
  }
  bytes.resize(got);
  if (result != FileRead::Ok) bytes.clear();
  return result;
}

// The file a replace writes: path with a symbolic link (a reparse point)
// followed to its final target, so that the link stays a link.
std::wstring followLinks(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return path;
  Handle file(CreateFileW(path.c_str(), 0, SHARE_ALL, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.ok()) return path;
  std::wstring target(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetFinalPathNameByHandleW(file.get(), target.data(), static_cast<DWORD>(target.size()),
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return path;
    if (length < target.size()) {
      target.resize(length);
      return target;
    }
    target.resize(length + 1);
  }
}

std::wstring folderOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"/\\");
  if (slash == std::wstring::npos) return path.size() >= 2 && path[1] == L':' ? path.substr(0, 2) : L".";
  if (slash == 0 || (slash == 2 && path[1] == L':')) return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

// Whether a file can be made in the folder: the one sure test on Windows,
// where a folder's permissions are an access list and its read-only
// attribute means something else. The trial file is gone when it closes.
DWORD folderRefuses(const std::wstring& folder) {
  std::wstring trial = folder + L"\\.quarvel-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  Handle file(CreateFileW(trial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return file.ok() ? 0 : GetLastError();
}

bool writeAll(HANDLE file, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 30));
    DWORD n = 0;
    if (WriteFile(file, text.data() + done, chunk, &n, nullptr) == 0 || n == 0) return false;
    done += n;
  }
  return true;
}

}  // namespace

std::FILE* openFile(const std::string& path, const char* mode) {
  return _wfopen(widen(path).c_str(), widen(mode).c_str());
}

FileRead readRegularFile(const std::string& path, size_t cap, std::vector<uint8_t>& bytes) {
  return readInto(path, cap, bytes);
}

FileRead readRegularFile(const std::string& path, size_t cap, std::string& text) { return readInto(path, cap, text); }

std::string whyNotReplaceable(const std::string& path, size_t cap) {
  const std::wstring target = followLinks(widen(path));
  DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return "it is not a regular file";
    Handle file(
        CreateFileW(target.c_str(), GENERIC_READ, SHARE_ALL, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) return "it cannot be read";
    if (!isDiskFile(file.get())) return "it is not a regular file";
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size) == 0) return "it cannot be read";
    if (static_cast<uint64_t>(size.QuadPart) > cap) return "it is " + fileReadReason(FileRead::TooBig, cap);
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return "the file is read-only";
  } else if (!missingError(GetLastError())) {
    return errorText(GetLastError());
  }
  const std::wstring folder = folderOf(target);
  DWORD refused = folderRefuses(folder);
  if (refused == ERROR_ACCESS_DENIED || refused == ERROR_WRITE_PROTECT) return "its folder is read-only";
  if (refused != 0) return "its folder " + windows::narrow(folder) + ": " + errorText(refused);
  return "";
}

Outcome replaceFile(const std::string& path, const std::string& bytes, ReplaceStepHook stepHook) {
  const std::wstring target = followLinks(widen(path));
  const std::wstring temp = target + L".new";
  DWORD error = 0;
  // Each step in turn; the test hook may stop the program after one or make
  // it fail.
  auto step = [&](int number, bool done) {
    if (!done && error == 0) error = GetLastError();
    if (done && stepHook != nullptr && !stepHook(number)) {
      done = false;
      error = ERROR_IO_DEVICE;
    }
    return done;
  };
  DeleteFileW(temp.c_str());  // left by a crash in an earlier save
  Handle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  bool ok = step(1, file.ok());
  ok = ok && step(2, writeAll(file.get(), bytes));
  ok = ok && step(3, FlushFileBuffers(file.get()) != 0);
  if (file.ok()) ok = step(4, file.close()) && ok;
  // Write-through: the rename is on the disk when the call returns, as the
  // folder's flush makes it elsewhere.
  ok =
      ok && step(5, MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0);
  if (!ok) {
    file.close();
    DeleteFileW(temp.c_str());
    return Outcome::failure(errorText(error != 0 ? error : ERROR_IO_DEVICE));
  }
  step(6, true);
  return {};
}

Outcome checkWritableFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(pathFromUtf8(folder), error);
  if (!std::filesystem::is_directory(pathFromUtf8(folder), error))
    return Outcome::failure(error ? error.message() : std::string("not a folder"));
  if (DWORD refused = folderRefuses(widen(folder)); refused != 0) return Outcome::failure(errorText(refused));
  return {};
}

Outcome checkWritableFile(const std::string& path) {
  Handle file(CreateFileW(widen(path).c_str(), FILE_APPEND_DATA, SHARE_ALL, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                          nullptr));
  if (!file.ok()) return Outcome::failure(errorText(GetLastError()));
  return {};
}

QuietStderr::QuietStderr() {
  std::fflush(stderr);
  saved_ = _dup(2);
  int devNull = _open("NUL", _O_WRONLY);
  if (saved_ >= 0 && devNull >= 0) _dup2(devNull, 2);
  if (devNull >= 0) _close(devNull);
}

QuietStderr::~QuietStderr() {
  if (saved_ < 0) return;
  std::fflush(stderr);
  _dup2(saved_, 2);
  _close(saved_);
}

}  // namespace os
