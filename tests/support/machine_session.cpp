#include "support/machine_session.h"

#include <filesystem>

#include "machine/control.h"
#include "machine/machine.h"

namespace fs = std::filesystem;

MachineSession::MachineSession(uint32_t seed, std::unique_ptr<machine::Backend> backend) {
  previousFolder_ = fs::current_path().string();
  folder = makeScratchFolder("session");
  copyGameData(folder);
  fs::current_path(folder);
  machine::start(std::move(backend));
  seedRandom(seed);
  if (!openScreen(ScreenMode::Window).ok()) throw std::runtime_error("the test session's screen did not open");
}

MachineSession::~MachineSession() {
  setFrameHook(nullptr);
  closeScreen();
  closeSound();
  machine::stop();
  fs::current_path(previousFolder_);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}
