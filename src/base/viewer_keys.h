// Keys that only the app's replay viewer reads, as PC set-1 scan codes
// beside those of base/keys.h; the game never sees them.
#pragma once

constexpr int SC_PERIOD = 0x34;  // one frame on, a replay paused
