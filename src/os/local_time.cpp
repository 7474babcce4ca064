// The local time as screenshots name their files, on every system.
#include "os/local_time.h"

#include <ctime>

namespace os {

std::string localTimeStamp() {
  std::time_t now = std::time(nullptr);
  std::tm local = {};
#ifdef _WIN32
  localtime_s(&local, &now);  // Windows' thread-safe form: the arguments the other way round
#else
  localtime_r(&now, &local);
#endif
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  return stamp;
}

}  // namespace os
