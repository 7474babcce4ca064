// F12 in the window: the picture on show saved as a PNG.
#pragma once

#include <cstdint>
#include <string>

// Writes the 320x240 page, scaled by factor, as quarvel-YYYYMMDD-HHMMSS.png
// (-2, -3 ... for more in the same second) into folder, and says so on
// stdout; the file written, or "" after one line on stderr.
std::string saveScreenshot(const uint32_t* page, int factor, const std::string& folder);
