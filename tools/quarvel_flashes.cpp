// quarvel_flashes SCRIPT [GAME OPTIONS]: plays the script headless (from
// the working directory's data, as the game would) and counts the flashes
// of every frame shown, plainly and through the reduced-flashing filter:
// the figures of docs/accessibility.md come from
//   cd build && ./quarvel_flashes ../bench/whole_game.txt
#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "app/flashes.h"
#include "app/flow.h"

namespace {

void printFigures(const char* name, const FlashCounter& counter) {
  std::printf("%s: %" PRId64 " flashes, at most %d in one second, %d seconds with more than %d\n", name,
              counter.flashes(), counter.worstSecond(), counter.secondsOverLimit(), FLASHES_ALLOWED_PER_SECOND);
  if (counter.flashes() == 0) return;
  std::printf("  at (s of game time):");
  for (int64_t ms : counter.flashTimes()) std::printf(" %.2f", static_cast<double>(ms) / 1000.0);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: quarvel_flashes SCRIPT [GAME OPTIONS]\n");
    return 2;
  }
  std::vector<std::string> args = {"--headless", "--no-sound", "--input", argv[1]};
  for (int i = 2; i < argc; ++i) args.emplace_back(argv[i]);
  FlashWatch watch;
  const int code = runGame(args, false, &watch);
  if (code != 0) return code;
  printFigures("reduce_flashing = no", watch.plain());
  printFigures("reduce_flashing = yes", watch.filtered());
  return 0;
}
