// Reading the game's data files safely: only a regular file is read (a named
// pipe, a folder or a device is refused at once, never waited on), and never
// more than a cap that fits the kind of file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class FileRead {
  Ok,          // bytes holds the whole file
  Missing,     // there is nothing at the path
  NotRegular,  // a folder, pipe, device or socket
  TooBig,      // larger than the cap
  Unreadable,  // there, but open or read failed (permissions, I/O error)
};

// Caps for each kind of file.
constexpr size_t SHEET_FILE_CAP = 8u << 20;
constexpr size_t SAMPLE_FILE_CAP = 8u << 20;
constexpr size_t SCRIPT_FILE_CAP = 64u << 20;
constexpr size_t HIGH_SCORE_FILE_CAP = 64u << 10;
constexpr size_t SETTINGS_FILE_CAP = 64u << 10;

// Opens path without blocking, checks it is a regular file and reads it whole
// when it holds at most cap bytes. bytes is empty unless the result is Ok.
FileRead readRegularFile(const std::string& path, size_t cap, std::vector<uint8_t>& bytes);
// The same into text.
FileRead readRegularFile(const std::string& path, size_t cap, std::string& text);
// Writes bytes to temp, then renames it over path, so path holds the old or
// the new bytes, never a part; on failure temp is removed and path kept.
bool replaceFile(const std::string& path, const std::string& temp, const std::string& bytes);
// Why a read failed, for a message: "not a regular file", "larger than 64 KB" ...
std::string fileReadReason(FileRead result, size_t cap);
