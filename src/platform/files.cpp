#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/quiet_stderr.h"

namespace {

// Reads at most cap + 1 bytes, so a file that grew past its size or lied
// about it is still caught at the cap.
template <typename Buffer>
FileRead readInto(const std::string& path, size_t cap, Buffer& bytes) {
  bytes.clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? FileRead::Missing : FileRead::Unreadable;
  struct stat info {};
  FileRead result = FileRead::Ok;
  if (::fstat(fd, &info) != 0) {
    result = FileRead::Unreadable;
  } else if (!S_ISREG(info.st_mode)) {
    result = FileRead::NotRegular;
  } else if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > cap) {
    result = FileRead::TooBig;
  } else {
    bytes.resize(static_cast<size_t>(info.st_size) + 1);
    size_t got = 0;
    while (got < bytes.size()) {
      ssize_t n = ::read(fd, &bytes[got], bytes.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        result = FileRead::Unreadable;
        break;
      }
      if (n == 0) break;
      got += static_cast<size_t>(n);
      if (got > cap) {
        result = FileRead::TooBig;
        break;
      }
      if (got == bytes.size()) bytes.resize(std::min(bytes.size() * 2, cap + 1));
    }
    bytes.resize(got);
  }
  ::close(fd);
  if (result != FileRead::Ok) bytes.clear();
  return result;
}

}  // namespace

FileRead readRegularFile(const std::string& path, size_t cap, std::vector<uint8_t>& bytes) {
  return readInto(path, cap, bytes);
}

FileRead readRegularFile(const std::string& path, size_t cap, std::string& text) { return readInto(path, cap, text); }

bool replaceFile(const std::string& path, const std::string& temp, const std::string& bytes) {
  std::FILE* out = std::fopen(temp.c_str(), "wb");
  if (out == nullptr) return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  written = std::fclose(out) == 0 && written;
  if (!written || std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

std::string fileReadReason(FileRead result, size_t cap) {
  switch (result) {
    case FileRead::Ok: return "read";
    case FileRead::Missing: return "no such file";
    case FileRead::NotRegular: return "not a regular file";
    case FileRead::TooBig:
      return cap >= (1u << 20) ? "larger than " + std::to_string(cap >> 20) + " MB"
                               : "larger than " + std::to_string(cap >> 10) + " KB";
    case FileRead::Unreadable: return "cannot be read";
  }
  return "cannot be read";
}

int quietStderrBegin() {
  std::fflush(stderr);
  int saved = ::dup(STDERR_FILENO);
  int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (saved >= 0 && devNull >= 0) ::dup2(devNull, STDERR_FILENO);
  if (devNull >= 0) ::close(devNull);
  return saved;
}

void quietStderrEnd(int saved) {
  if (saved < 0) return;
  std::fflush(stderr);
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
}
