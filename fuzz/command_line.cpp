// The command line: the input is the argument list, arguments separated by
// NUL bytes. Every list is accepted, refused with exit code 2 or answered
// with --help.
#include "app/command_line.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The program's own messages; sanitizer reports still reach the terminal.
  stdout = std::fopen("/dev/null", "w");
  stderr = std::fopen("/dev/null", "w");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      args.emplace_back();
    else
      args.back().push_back(static_cast<char>(data[i]));
  }
  if (size == 0) args.clear();
  RunOptions options;
  if (parseCommandLine(args, options) == CommandLine::Run) {
    for (const auto& range : options.shotFrames)
      if (range.first < 1 || range.second < range.first) __builtin_trap();
  }
  return 0;
}
