// quarvel (full screen) and quarvel-win (window): one source, one flag.
#include <string>
#include <vector>

#include "app/flow.h"
#include "base/messages.h"
#include "os/process.h"

int main(int argc, char** argv) {
  std::vector<std::string> args = os::startProcess(argc, argv);
  if (!args.empty()) {
    setProgramName(args.front());
    args.erase(args.begin());
  }
#ifdef __EMSCRIPTEN__
  return startGameInPage(args, QUARVEL_FULL_SCREEN != 0);
#else
  return runGame(args, QUARVEL_FULL_SCREEN != 0);
#endif
}
