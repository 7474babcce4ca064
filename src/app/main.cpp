// quarvel (full screen) and quarvel-win (window): one source, one flag.
#include <string>
#include <vector>

#include "app/flow.h"
#include "base/messages.h"

int main(int argc, char** argv) {
  if (argc > 0) setProgramName(argv[0]);
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  return runGame(args, QUARVEL_FULL_SCREEN != 0);
}
