// quarvel (full screen) and quarvel-win (window): one source, one flag.
#include <string>
#include <vector>

#include "app/flow.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return runGame(args, QUARVEL_FULL_SCREEN != 0);
}
