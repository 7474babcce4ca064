#include "player_support.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/session.h"

GameRun runIn(const std::string& folder, const std::string& binary, const std::string& args, const std::string& env) {
  GameRun run;
  run.folder = folder;
  std::string home = folder + "/home";
  std::filesystem::create_directories(home);
  std::string command = "cd '" + folder + "' && env HOME='" + home + "' XDG_DATA_HOME='" + home +
                        "/data' XDG_CONFIG_HOME='" + home + "/config' SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " +
                        env + " '" + binary + "' " + args + " >stdout.txt 2>stderr.txt";
  int status = std::system(command.c_str());
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = readFileText(folder + "/stdout.txt");
  run.err = readFileText(folder + "/stderr.txt");
  return run;
}

std::string builtBinary(const std::string& name) { return std::string(QUARVEL_BUILD_DIR) + "/" + name; }

void writeFile(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}
