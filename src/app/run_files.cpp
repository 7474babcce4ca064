#include "app/run_files.h"

#include <filesystem>

#include "os/files.h"

namespace {

constexpr size_t SCRIPT_FILE_CAP = 64u << 20;

Outcome readInputScript(RunOptions& options) {
  const std::string& path = options.inputFile;
  std::string text;
  os::FileRead read = os::readRegularFile(path, SCRIPT_FILE_CAP, text);
  if (read != os::FileRead::Ok)
    return Outcome::failure("cannot read the input script " + path + ": " + os::fileReadReason(read, SCRIPT_FILE_CAP));
  Outcome parsed = parseScript(text, options.script);
  if (!parsed.ok()) return Outcome::failure(path + ":" + parsed.why());
  if (options.script.seed && !options.seedGiven) {
    options.seedGiven = true;
    options.seed = *options.script.seed;
  }
  return {};
}

}  // namespace

Outcome prepareRunFiles(RunOptions& options) {
  // A file or folder the player names must be there: a typing slip is told,
  // not silently passed over for the defaults.
  std::error_code error;
  if (!options.configFile.empty() && !std::filesystem::exists(os::pathFromUtf8(options.configFile), error))
    return Outcome::failure("--config " + options.configFile + ": no such file");
  if (!options.dataOption.empty() && !std::filesystem::is_directory(os::pathFromUtf8(options.dataOption), error))
    return Outcome::failure("--data " + options.dataOption + ": no such folder");
  if (!options.inputFile.empty()) {
    Outcome read = readInputScript(options);
    if (!read.ok()) return read;
  }
  if (!options.shotsDir.empty()) {
    Outcome usable = os::checkWritableFolder(options.shotsDir);
    if (!usable.ok())
      return Outcome::failure("cannot write screenshots into " + options.shotsDir + ": " + usable.why());
  }
  if (!options.soundLog.empty()) {
    Outcome usable = os::checkWritableFile(options.soundLog);
    if (!usable.ok()) return Outcome::failure("cannot write the sound log " + options.soundLog + ": " + usable.why());
  }
  return {};
}
