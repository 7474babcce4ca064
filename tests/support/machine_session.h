// The machine for in-process tests: a fresh one in a scratch folder holding
// the game's data, with a sound device that plays nothing (or the one
// given), seeded, its screen open.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/task.h"
#include "machine/backend.h"
#include "machine/control.h"
#include "machine/machine.h"
#include "support/files.h"
#include "support/input.h"

// A sound device that does nothing: tests derive from it and override only
// the calls they watch.
struct QuietAudio : machine::Audio {
  bool openAudio() override { return false; }
  bool loadSample(int, const std::vector<uint8_t>&, const WavSound&) override { return false; }
  void playSample(int, int, int) override {}
  void closeAudio() override {}
};

class MachineSession {
  // First: machine refers to it. Shared, so that it is deleted as the type
  // it was made as (the toolkit and the game are larger records around it).
  std::shared_ptr<Machine> made_;

 public:
  explicit MachineSession(uint32_t seed = 1, std::unique_ptr<machine::Audio> audio = nullptr);
  virtual ~MachineSession();
  MachineSession(const MachineSession&) = delete;
  MachineSession& operator=(const MachineSession&) = delete;
  Machine& machine;
  std::string folder;  // the scratch working directory

 protected:
  // For sessions of a larger record around the machine (the toolkit, the game).
  MachineSession(std::shared_ptr<Machine> made, uint32_t seed, std::unique_ptr<machine::Audio> audio);

 private:
  std::unique_ptr<machine::Audio> audio_;
  std::string previousFolder_;
};

// A wait of ms counted on the virtual clock, as between two frames.
inline void passTime(Machine& machine, int ms) { machine::passTime(machine, ms); }
