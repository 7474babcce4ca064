#include <ctime>

#include "os/local_time.h"

namespace os {

std::string localTimeStamp() {
  std::time_t now = std::time(nullptr);
  std::tm local = {};
  localtime_s(&local, &now);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  return stamp;
}

}  // namespace os
