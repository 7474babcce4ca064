#include "support/run_game.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>

#include "support/files.h"

GameRun runBinary(const std::string& args, const std::string& script, const std::string& binary) {
  GameRun run;
  run.folder = makeScratchFolder("run");
  copyGameData(run.folder);
  if (!script.empty()) std::ofstream(run.folder + "/input.txt", std::ios::binary) << script;
  std::string command =
      "cd '" + run.folder + "' && '" + QUARVEL_BUILD_DIR + "/" + binary + "' " + args + " >stdout.txt 2>stderr.txt";
  int status = std::system(command.c_str());
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = readFileText(run.folder + "/stdout.txt");
  run.err = readFileText(run.folder + "/stderr.txt");
  return run;
}
