// What files do alike on every system.
#include "os/files.h"

namespace os {

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
