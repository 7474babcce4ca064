#include "app/run_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/files.h"
#include "platform/harness.h"

namespace {

int fail(const std::string& message) {
  std::fprintf(stderr, "quarvel: %s\n", message.c_str());
  return 2;
}

int readInputScript(RunOptions& options) {
  const std::string& path = options.inputFile;
  std::string text;
  FileRead read = readRegularFile(path, SCRIPT_FILE_CAP, text);
  if (read != FileRead::Ok)
    return fail("cannot read the input script " + path + ": " + fileReadReason(read, SCRIPT_FILE_CAP));
  std::vector<ScriptEvent> events;
  std::string error;
  bool seedGiven = false;
  uint32_t seed = 0;
  if (!parseScript(text, events, seedGiven, seed, error)) {
    std::fprintf(stderr, "%s:%s\n", path.c_str(), error.c_str());
    return 2;
  }
  options.inputText = text;
  if (seedGiven && !options.seedGiven) {
    options.seedGiven = true;
    options.seed = seed;
  }
  return 0;
}

int checkShotsFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!std::filesystem::is_directory(folder))
    return fail("cannot write screenshots into " + folder + ": " +
                (error ? error.message() : std::string("not a folder")));
  if (access(folder.c_str(), W_OK | X_OK) != 0)
    return fail("cannot write screenshots into " + folder + ": " + std::strerror(errno));
  return 0;
}

// Opened without blocking, so a named pipe nobody reads is an error, not a hang.
int checkSoundLog(const std::string& path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) return fail("cannot write the sound log " + path + ": " + std::strerror(errno));
  close(fd);
  return 0;
}

}  // namespace

int prepareRunFiles(RunOptions& options) {
  if (!options.inputFile.empty())
    if (int bad = readInputScript(options)) return bad;
  if (!options.shotsDir.empty())
    if (int bad = checkShotsFolder(options.shotsDir)) return bad;
  if (!options.soundLog.empty())
    if (int bad = checkSoundLog(options.soundLog)) return bad;
  return 0;
}
