// hiscore.txt: "hi-score" CR LF, then a blank or "-", the digits, CR LF.
// Reading only ever reads: a missing (or empty) file is created with 1000, a
// file that is there but cannot be read counts as 1000 for this run and is
// left alone, and one that cannot be replaced (read-only file or folder) is
// shown but never written. A save writes a temporary file beside the target
// (a symlink's target), flushes it to disk and renames it over the old one,
// so a crash, a power cut or a full disk keeps the previous high score.
#include "game/hiscore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "game/game_state.h"
#include "platform/files.h"

HighScoreStorage highScoreStorage;

namespace {

// The second item of the file as a number: blanks skipped, an optional sign,
// digits with an optional fraction, read as one double and rounded half to
// even; no number gives 0; values beyond 32 bits are clamped.
int32_t parseValue(const std::string& item) {
  size_t i = 0;
  while (i < item.size() && (item[i] == ' ' || item[i] == '\t')) ++i;
  std::string number;
  if (i < item.size() && (item[i] == '+' || item[i] == '-')) number.push_back(item[i++]);
  bool digits = false;
  auto takeDigits = [&] {
    for (; i < item.size() && std::isdigit(static_cast<unsigned char>(item[i])); ++i) {
      number.push_back(item[i]);
      digits = true;
    }
  };
  takeDigits();
  if (i < item.size() && item[i] == '.') {
    number.push_back(item[i++]);
    takeDigits();
  }
  if (!digits) return 0;
  double value = std::nearbyint(std::strtod(number.c_str(), nullptr));
  if (value > 2147483647.0) return INT32_MAX;
  if (value < -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// Reads up to `count` items, each ending at a comma or the end of a line.
std::string secondItem(std::istream& in) {
  std::string item;
  int index = 0;
  char c;
  while (in.get(c)) {
    if (c == ',' || c == '\n') {
      if (index == 1) return item;
      ++index;
      item.clear();
      continue;
    }
    if (c == '\r') continue;
    if (item.size() < 4096) item.push_back(c);
  }
  return index == 1 ? item : "";
}

void warnOnce(const std::string& message) {
  if (highScoreStorage.warned) return;
  highScoreStorage.warned = true;
  std::fprintf(stderr, "quarvel: %s\n", message.c_str());
}

// The file a save replaces: path with its symlinks followed.
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

// Why a save must not replace target, or "" when it may. A file or folder
// without any write permission is read-only on purpose, even for root.
std::string whyNotSavable(const std::string& target) {
  struct stat info {};
  if (lstat(target.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) return "it is not a regular file";
    if (static_cast<uint64_t>(info.st_size) > HIGH_SCORE_FILE_CAP) return "it is not a high-score file";
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

bool saveHighScoreTo(const std::string& path, int32_t value) {
  std::string text = "hi-score\r\n";
  text += value < 0 ? "-" : " ";
  text += std::to_string(value < 0 ? -static_cast<int64_t>(value) : static_cast<int64_t>(value));
  text += "\r\n";
  std::string target = followLinks(path);
  std::string why = whyNotSavable(target);
  if (!why.empty()) {
    warnOnce("the high score cannot be saved in " + path + ": " + why);
    return false;
  }
  struct stat old {};
  bool replacing = stat(target.c_str(), &old) == 0;
  std::string temp = target + ".new";
  int error = 0;
  // Each step in turn; the test hook may stop the program after one or make
  // it fail.
  auto step = [&](int number, bool done) {
    if (!done && error == 0) error = errno;
    if (done && highScoreStorage.afterSaveStep != nullptr && !highScoreStorage.afterSaveStep(number)) {
      done = false;
      error = EIO;
    }
    return done;
  };
  unlink(temp.c_str());  // left by a crash in an earlier save
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  bool ok = step(1, fd >= 0);
  if (ok && replacing) fchmod(fd, old.st_mode & 0777);  // keep the player's permissions
  ok = ok && step(2, writeAll(fd, text));
  ok = ok && step(3, fsync(fd) == 0);
  if (fd >= 0) ok = step(4, close(fd) == 0) && ok;
  ok = ok && step(5, rename(temp.c_str(), target.c_str()) == 0);
  if (!ok) {
    if (fd >= 0) unlink(temp.c_str());
    warnOnce("cannot save the high score in " + path + ": " + std::strerror(error != 0 ? error : EIO));
    return false;
  }
  // The rename itself is on disk once the folder is.
  int folder = open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
  step(6, true);
  return true;
}

}  // namespace

int32_t highScoreFromText(const std::string& text) {
  std::istringstream in(text);
  return parseValue(secondItem(in));
}

void saveHighScore(int32_t value) {
  if (highScoreStorage.savesAllowed) saveHighScoreTo(highScoreStorage.path, value);
}

void setHighScoreFile(const std::string& path) { highScoreStorage.path = path; }

void allowHighScoreSaves(bool allowed) { highScoreStorage.savesAllowed = allowed; }

void saveHighScoreIfReached() {
  if (gameState.score == gameState.highScore) saveHighScore(gameState.highScore);
}

int32_t loadHighScore() {
  const std::string& path = highScoreStorage.path;
  highScoreStorage.warned = false;
  std::string text;
  FileRead read = readRegularFile(path, HIGH_SCORE_FILE_CAP, text);
  if (read == FileRead::Missing || (read == FileRead::Ok && text.empty())) {
    saveHighScore(1000);
    return 1000;
  }
  if (read != FileRead::Ok) {
    warnOnce("cannot read the high score from " + path + " (" + fileReadReason(read, HIGH_SCORE_FILE_CAP) +
             "): 1000 for now, the file is left as it is");
    return 1000;
  }
  const int32_t highScore = highScoreFromText(text);
  std::string why = whyNotSavable(followLinks(path));
  if (!why.empty()) warnOnce("the high score in " + path + " cannot be saved: " + why);
  return highScore;
}
