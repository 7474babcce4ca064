// Runs a program in a child process under limits: CPU seconds, address
// space, wall time, the bytes it may print. The child gets its own process
// group (everything it starts dies with it), an empty environment but for a
// few harmless variables, no open descriptors but /dev/null and the two
// output pipes, a working folder of our choosing, and a lower priority than
// the server's (verifying is batch work; answering is not).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace scores {

struct ChildLimits {
  int cpuSeconds = 10;
  int64_t memoryBytes = int64_t{1} << 30;
  int64_t wallMs = 20'000;
  size_t outputBytes = 64 * 1024;  // for stdout and for stderr, each
  int nice = 10;                   // below the server's own threads: table reads come first
};

enum class ChildEnd {
  Exited,         // status is the exit code
  Signalled,      // status is the signal
  TimedOut,       // killed at the wall-time limit
  TooMuchOutput,  // killed when it printed more than the limit
  NotStarted,     // why says why (no such program, no fork)
};

struct ChildResult {
  ChildEnd end = ChildEnd::NotStarted;
  int status = 0;
  std::string out, err;
  std::string why;
};

// args[0] is the program's path (not searched on PATH).
ChildResult runChild(const std::vector<std::string>& args, const std::string& workFolder, const ChildLimits& limits);

}  // namespace scores
