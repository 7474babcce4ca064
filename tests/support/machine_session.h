// The machine for in-process tests: started in a scratch folder holding the
// game's data, on the back end given (none: virtual time, nothing shown,
// no sound device), seeded, its screen open. Each session makes its own
// machine (or the toolkit or game around it), fresh.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "machine/backend.h"
#include "machine/machine.h"
#include "support/files.h"
#include "support/input.h"

// A back end that does nothing: tests derive from it and override only the
// calls they watch.
struct QuietBackend : machine::Backend {
  Outcome openDisplay(ScreenMode) override { return {}; }
  void leaveFullScreen() override {}
  void closeDisplay() override {}
  void hideMousePointer() override {}
  void showPage(const uint32_t*, bool) override {}
  void wait(int, bool) override {}
  double secondsTimer(int64_t) override { return 0.0; }
  bool openAudio() override { return false; }
  bool loadSample(int, const std::vector<uint8_t>&, const WavSound&) override { return false; }
  void playSample(int, int, int) override {}
  void closeAudio() override {}
};

class MachineSession {
  std::unique_ptr<Machine> made_;  // first: machine refers to it

 public:
  explicit MachineSession(uint32_t seed = 1, std::unique_ptr<machine::Backend> backend = nullptr);
  virtual ~MachineSession();
  MachineSession(const MachineSession&) = delete;
  MachineSession& operator=(const MachineSession&) = delete;
  Machine& machine;
  std::string folder;  // the scratch working directory

 protected:
  // For sessions of a larger record around the machine (the toolkit, the game).
  MachineSession(std::unique_ptr<Machine> made, uint32_t seed, std::unique_ptr<machine::Backend> backend);

 private:
  std::string previousFolder_;
};
