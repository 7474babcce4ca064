// The settings file reader: any text gives settings within their ranges and a
// problem line for each line it skips, and the same text reads the same again.
#include "app/settings.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  Settings first, second;
  std::vector<std::string> problems, again;
  parseSettings(text, "quarvel.ini", first, problems);
  parseSettings(text, "quarvel.ini", second, again);
  if (first.scale < 1 || first.scale > 8 || first.volume < 0 || first.volume > 100) __builtin_trap();
  if (problems != again) __builtin_trap();
  for (const std::string& line : problems)
    if (line.rfind("quarvel.ini:", 0) != 0) __builtin_trap();
  return 0;
}
