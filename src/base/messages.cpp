#include "base/messages.h"

#include <cstdio>

namespace {
std::string& name() {
  static std::string value = "quarvel";
  return value;
}
}  // namespace

void setProgramName(const std::string& programName) {
  // The file name alone, without its folder or a Windows ".exe".
  std::string base = programName.substr(programName.find_last_of("/\\") + 1);
  if (base.size() > 4 && (base.ends_with(".exe") || base.ends_with(".EXE"))) base.resize(base.size() - 4);
  if (!base.empty()) name() = base;
}

const std::string& programName() { return name(); }

void warn(const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", name().c_str(), text.c_str());
  std::fflush(stderr);
}
