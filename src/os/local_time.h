// The local date and time, as screenshots name their files.
#pragma once

#include <string>

namespace os {

// "YYYYMMDD-HHMMSS" in the local time zone.
std::string localTimeStamp();

}  // namespace os
