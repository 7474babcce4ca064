// Input and frame-by-frame watching for in-process tests, through the
// machine's script input and an observer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "machine/observer.h"

using machine::framesPresented;
using machine::virtualMs;

// A key goes down (held, and queueValue queued unless ""), goes up, or a
// value is queued alone: as a keyboard gives them.
void pressKey(Machine& machine, int scanCode, const std::string& queueValue);
void releaseKey(Machine& machine, int scanCode);
void queueKeyValue(Machine& machine, const std::string& value);

// Called after every presented frame with its number (1 for the first);
// nullptr takes it away. Tests use it to watch or steer a scene.
void setFrameHook(Machine& machine, std::function<void(int64_t frame)> hook);
