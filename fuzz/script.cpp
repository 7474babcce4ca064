// The input-script reader: any text parses or fails with a line number, and
// what parses plays through the script player.
#include "formats/script.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  Script script;
  Outcome parsed = parseScript(text, script);
  if (!parsed.ok()) {
    if (parsed.why().find(": ") == std::string::npos || !script.events.empty()) __builtin_trap();
    return 0;
  }
  for (size_t i = 1; i < script.events.size(); ++i)
    if (script.events[i].ms < script.events[i - 1].ms) __builtin_trap();
  return 0;
}
