// The input-script reader: any text parses or fails with a line number, and
// what parses plays through the script player.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<ScriptEvent> events;
  bool seedGiven = false;
  uint32_t seed = 0;
  std::string error;
  if (!parseScript(text, events, seedGiven, seed, error)) {
    if (error.empty() || error.find(": ") == std::string::npos) __builtin_trap();
    return 0;
  }
  for (size_t i = 1; i < events.size(); ++i)
    if (events[i].ms < events[i - 1].ms) __builtin_trap();
  return 0;
}
