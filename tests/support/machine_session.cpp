#include "support/machine_session.h"

#include <filesystem>

#include "machine/control.h"
#include "machine/machine.h"

namespace fs = std::filesystem;

MachineSession::MachineSession(uint32_t seed, std::unique_ptr<machine::Audio> audio)
    : MachineSession(std::make_unique<Machine>(), seed, std::move(audio)) {}

MachineSession::MachineSession(std::shared_ptr<Machine> made, uint32_t seed, std::unique_ptr<machine::Audio> audio)
    : made_(std::move(made)), machine(*made_), audio_(audio ? std::move(audio) : std::make_unique<QuietAudio>()) {
  previousFolder_ = fs::current_path().string();
  folder = makeScratchFolder("session");
  copyGameData(folder);
  fs::current_path(folder);
  machine::setAudio(machine, audio_.get());
  seedRandom(machine, seed);
  openScreen(machine);
}

MachineSession::~MachineSession() {
  setFrameHook(machine, nullptr);
  closeSound(machine);
  fs::current_path(previousFolder_);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}
