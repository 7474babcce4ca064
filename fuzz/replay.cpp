// The replay reader: any bytes read as a replay or fail with a reason; what
// reads writes back as text that reads again to the same text, and packs to
// the compact form that unpacks to it too. Any bytes unpack or are refused.
#include "formats/replay.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  Replay unpacked;
  (void)unpackReplay(std::vector<uint8_t>(data, data + size), unpacked);
  Replay replay;
  Outcome parsed = parseReplay(text, replay);
  if (!parsed.ok()) {
    if (parsed.why().empty()) __builtin_trap();
    return 0;
  }
  const std::string written = replayText(replay);
  Replay again;
  if (!parseReplay(written, again).ok() || replayText(again) != written) __builtin_trap();
  Replay fromLink;
  if (!replayFromLinkData(replayLinkData(replay), fromLink).ok() || replayText(fromLink) != written) __builtin_trap();
  return 0;
}
