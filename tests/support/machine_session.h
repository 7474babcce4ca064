// The machine for in-process tests: started in a scratch folder holding the
// game's data, on the back end given (none: virtual time, nothing shown,
// no sound device), seeded, its screen open.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "machine/backend.h"
#include "support/files.h"
#include "support/input.h"

class MachineSession {
 public:
  explicit MachineSession(uint32_t seed = 1, std::unique_ptr<machine::Backend> backend = nullptr);
  virtual ~MachineSession();
  MachineSession(const MachineSession&) = delete;
  MachineSession& operator=(const MachineSession&) = delete;
  std::string folder;  // the scratch working directory

 private:
  std::string previousFolder_;
};
