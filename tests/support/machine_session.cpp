#include "support/machine_session.h"

#include <filesystem>

#include "machine/control.h"
#include "machine/machine.h"

namespace fs = std::filesystem;

MachineSession::MachineSession(uint32_t seed, std::unique_ptr<machine::Backend> backend)
    : MachineSession(std::make_unique<Machine>(), seed, std::move(backend)) {}

MachineSession::MachineSession(std::unique_ptr<Machine> made, uint32_t seed, std::unique_ptr<machine::Backend> backend)
    : made_(std::move(made)), machine(*made_) {
  previousFolder_ = fs::current_path().string();
  folder = makeScratchFolder("session");
  copyGameData(folder);
  fs::current_path(folder);
  machine::start(machine, std::move(backend));
  seedRandom(machine, seed);
  if (!openScreen(machine, ScreenMode::Window).ok()) throw std::runtime_error("the test session's screen did not open");
}

MachineSession::~MachineSession() {
  setFrameHook(machine, nullptr);
  closeScreen(machine);
  closeSound(machine);
  machine::stop(machine);
  fs::current_path(previousFolder_);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}
