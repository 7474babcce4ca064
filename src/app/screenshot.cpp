#include "app/screenshot.h"

#include <cstdio>
#include <filesystem>

#include "base/messages.h"
#include "formats/png.h"
#include "machine/kinds.h"
#include "os/files.h"
#include "os/local_time.h"

namespace {

std::string screenshotName(const std::string& folder, const std::string& stamp, int attempt) {
  std::string name = folder + "/quarvel-" + stamp;
  if (attempt > 1) {
    name += '-';
    name += std::to_string(attempt);
  }
  return name + ".png";
}

}  // namespace

std::string saveScreenshot(const uint32_t* page, int factor, const std::string& folder) {
  if (folder.empty() || !os::makeFolders(folder)) {
    warn("no folder for screenshots (set HOME)");
    return "";
  }
  const std::string stamp = os::localTimeStamp();
  std::string path;
  std::error_code error;
  for (int attempt = 1; path.empty() || std::filesystem::exists(os::pathFromUtf8(path), error); ++attempt)
    path = screenshotName(folder, stamp, attempt);
  std::string png = encodePng(page, SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_WIDTH, PngAlpha::Dropped, factor);
  Outcome written = png.empty() ? Outcome::failure("cannot encode the picture") : os::replaceFile(path, png);
  if (!written.ok()) {
    warn("cannot write the screenshot " + path + ": " + written.why());
    return "";
  }
  std::printf("%s: screenshot %s\n", programName().c_str(), path.c_str());
  std::fflush(stdout);
  return path;
}
