// Files on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "os/files.h"

namespace os {

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

// The file a replace writes: path with its symlinks followed.
std::string followLinks(std::string path) {
  for (int hops = 0; hops < 16; ++hops) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char target[PATH_MAX];
    ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
    if (length <= 0) return path;
    std::string next(target, static_cast<size_t>(length));
    size_t slash = path.rfind('/');
    if (next[0] != '/' && slash != std::string::npos) next = path.substr(0, slash + 1) + next;
    path = next;
  }
  return path;
}

std::string folderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::FILE* openFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

FileRead readRegularFile(const std::string& path, size_t cap, std::vector<uint8_t>& bytes) {
  return readInto(path, cap, bytes);
}

FileRead readRegularFile(const std::string& path, size_t cap, std::string& text) { return readInto(path, cap, text); }

std::string whyNotReplaceable(const std::string& path, size_t cap) {
  std::string target = followLinks(path);
  struct stat info {};
  if (lstat(target.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) return "it is not a regular file";
    if (static_cast<uint64_t>(info.st_size) > cap) return "it is " + fileReadReason(FileRead::TooBig, cap);
    if (access(target.c_str(), R_OK) != 0) return "it cannot be read";
    if ((info.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0) return "the file is read-only";
  } else if (errno != ENOENT) {
    return std::strerror(errno);
  }
  std::string folder = folderOf(target);
  struct stat folderInfo {};
  if (stat(folder.c_str(), &folderInfo) != 0) return "its folder " + folder + ": " + std::strerror(errno);
  if ((folderInfo.st_mode & 0222) == 0 || access(folder.c_str(), W_OK) != 0) return "its folder is read-only";
  return "";
}

Outcome replaceFile(const std::string& path, const std::string& bytes, ReplaceStepHook stepHook) {
  const std::string target = followLinks(path);
  struct stat old {};
  const bool replacing = stat(target.c_str(), &old) == 0;
  const std::string temp = target + ".new";
  int error = 0;
  // Each step in turn; the test hook may stop the program after one or make
  // it fail.
  auto step = [&](int number, bool done) {
    if (!done && error == 0) error = errno;
    if (done && stepHook != nullptr && !stepHook(number)) {
      done = false;
      error = EIO;
    }
    return done;
  };
  unlink(temp.c_str());  // left by a crash in an earlier save
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  bool ok = step(1, fd >= 0);
  if (ok && replacing) fchmod(fd, old.st_mode & 0777);  // keep the player's permissions
  ok = ok && step(2, writeAll(fd, bytes));
  ok = ok && step(3, fsync(fd) == 0);
  if (fd >= 0) ok = step(4, close(fd) == 0) && ok;
  ok = ok && step(5, rename(temp.c_str(), target.c_str()) == 0);
  if (!ok) {
    if (fd >= 0) unlink(temp.c_str());
    return Outcome::failure(std::strerror(error != 0 ? error : EIO));
  }
  // The rename itself is on the disk once the folder is.
  int folder = open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
  step(6, true);
  return {};
}

Outcome checkWritableFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!std::filesystem::is_directory(folder, error))
    return Outcome::failure(error ? error.message() : std::string("not a folder"));
  if (access(folder.c_str(), W_OK | X_OK) != 0) return Outcome::failure(std::strerror(errno));
  return {};
}

Outcome checkWritableFile(const std::string& path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) return Outcome::failure(std::strerror(errno));
  close(fd);
  return {};
}

QuietStderr::QuietStderr() {
  std::fflush(stderr);
  saved_ = ::dup(STDERR_FILENO);
  int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (saved_ >= 0 && devNull >= 0) ::dup2(devNull, STDERR_FILENO);
  if (devNull >= 0) ::close(devNull);
}

QuietStderr::~QuietStderr() {
  if (saved_ < 0) return;
  std::fflush(stderr);
  ::dup2(saved_, STDERR_FILENO);
  ::close(saved_);
}

}  // namespace os
