// What files do alike on every system.
#include "os/files.h"

namespace os {

// C++20 reads a std::u8string as UTF-8 on every system.
std::filesystem::path pathFromUtf8(const std::string& utf8) { return {std::u8string(utf8.begin(), utf8.end())}; }

std::string utf8FromPath(const std::filesystem::path& path) {
  std::u8string utf8 = path.u8string();
  return {utf8.begin(), utf8.end()};
}

bool makeFolders(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(pathFromUtf8(folder), error);
  return std::filesystem::is_directory(pathFromUtf8(folder), error);
}

std::string fileReadReason(FileRead result, size_t cap) {
  switch (result) {
    case FileRead::Ok: return "read";
    case FileRead::Missing: return "no such file";
    case FileRead::NotRegular: return "not a regular file";
    case FileRead::TooBig:
      if (cap >= (1u << 20)) return "larger than " + std::to_string(cap >> 20) + " MB";
      if (cap >= (1u << 10)) return "larger than " + std::to_string(cap >> 10) + " KB";
      return "larger than " + std::to_string(cap) + " bytes";
    case FileRead::Unreadable: return "cannot be read";
  }
  return "cannot be read";
}

}  // namespace os
