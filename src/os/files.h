// Files as the game needs them from the operating system: read whole and
// safely (only a regular file, never more than a cap, never waiting on a
// pipe or a device), and replaced atomically (the old bytes or the new ones,
// never a part, whatever happens).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/outcome.h"

namespace os {

enum class FileRead {
  Ok,          // bytes holds the whole file
  Missing,     // there is nothing at the path
  NotRegular,  // a folder, pipe, device or socket
  TooBig,      // larger than the cap
  Unreadable,  // there, but open or read failed (permissions, I/O error)
};

// Paths are UTF-8 strings everywhere in the game. These make a filesystem
// path of one and back: std::filesystem's own string constructor and string()
// use the ANSI code page on Windows, which cannot hold every name.
std::filesystem::path pathFromUtf8(const std::string& utf8);
std::string utf8FromPath(const std::filesystem::path& path);

// std::fopen for a UTF-8 path (mode as fopen's: "wb" writes the bytes as they
// are on every system).
std::FILE* openFile(const std::string& path, const char* mode);

// Opens path without blocking, checks it is a regular file and reads it whole
// when it holds at most cap bytes. bytes is empty unless the result is Ok.
FileRead readRegularFile(const std::string& path, size_t cap, std::vector<uint8_t>& bytes);
FileRead readRegularFile(const std::string& path, size_t cap, std::string& text);
// Why a read failed, for a message: "not a regular file", "larger than 64 KB" ...
std::string fileReadReason(FileRead result, size_t cap);

// Why the file at path (symlinks followed) must not be replaced, or "" when it
// may: it is not a regular file or is larger than cap, cannot be read, or it
// or its folder is read-only (no write permission at all counts as read-only
// on purpose, even for the administrator).
std::string whyNotReplaceable(const std::string& path, size_t cap);

// Replaces the file at path (symlinks followed, so a link stays a link; the
// old file's permissions kept) with bytes: written to a ".new" file beside
// it, flushed to the disk, renamed over it, and the folder flushed. On any
// failure the old file stays as it was and the ".new" file is removed; a
// stray ".new" file of an earlier, killed save is cleared first.
// stepHook (tests): called after each step (1 temporary file created,
// 2 written, 3 flushed, 4 closed, 5 renamed over the old file, 6 folder
// flushed); returning false after steps 1 to 4 makes the replace fail there.
using ReplaceStepHook = bool (*)(int step);
Outcome replaceFile(const std::string& path, const std::string& bytes, ReplaceStepHook stepHook = nullptr);

// Creates the folder and its parents; false when it cannot.
bool makeFolders(const std::string& folder);
// The folder exists (or is created) and files can be made in it.
Outcome checkWritableFolder(const std::string& folder);
// The file can be opened for writing without blocking (a named pipe nobody
// reads is refused, not waited on); created when missing.
Outcome checkWritableFile(const std::string& path);

// Keeps the chatter of system libraries off stderr while it lives (display
// and sound probes); the game says in one line what came of it.
class QuietStderr {
 public:
  QuietStderr();
  ~QuietStderr();
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace os
