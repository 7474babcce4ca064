// The machine's own state, shared by its files and by nothing else: back
// ends and the harness see it only through backend.h and observer.h.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "base/keys.h"
#include "machine/backend.h"
#include "machine/control.h"
#include "machine/kinds.h"
#include "machine/machine.h"
#include "machine/observer.h"

namespace machine {

constexpr int PAGE_PITCH = SCREEN_WIDTH * 4;  // already a multiple of 16
constexpr int PAGE_PIXELS = SCREEN_WIDTH * SCREEN_HEIGHT;
// Some C libraries copy slowly between buffers 16 bytes (modulo 4096) apart;
// the two pages, one page apart, are a whole number of 4096-byte blocks apart.
static_assert(PAGE_PIXELS * 4 % 4096 == 0, "the pages lie a multiple of 4096 bytes apart");

struct SoundState {
  bool wanted = false;
  bool ready = false;
  bool missing[SAMPLE_COUNT] = {};  // sample files not there at start-up
  int volume[SAMPLE_COUNT] = {};    // each sample's volume as last set
};

struct MachineState {
  Audio* audio = nullptr;
  InputSink deviceInput{*this, InputOrigin::Device};
  InputSink scriptInput{*this, InputOrigin::Script};
  std::vector<Observer*> observers;

  bool screenOpen = false;
  alignas(64) uint32_t pages[2][PAGE_PIXELS] = {};
  int workPage = 0;
  int visiblePage = 0;
  int lockDepth = 0;
  // Pages known to be all black since their last clear: nothing was drawn
  // on them nor handed out to draw on, so a second clear is skipped (a
  // scene clears on entering and again at the start of its first frame).
  bool pageBlank[2] = {};
  // The visible page changed since the app last took it; a frame was
  // presented since.
  bool visibleChanged = false;
  bool presented = false;
  Image* drawInto = nullptr;  // drawIntoImage: where work-page drawing goes instead

  bool held[SCAN_CODE_COUNT] = {};
  std::deque<std::string> keyQueue;
  std::mt19937 random;
  int64_t virtualMs = 0;
  int64_t frames = 0;
  std::optional<SleepAsked> sleep;  // the wait the scene asked for

  std::string dataFolder;
  SoundState sound;
  Activity activity = Activity::Starting;
  std::optional<int32_t> highScore;  // as last told
  CloseButton closeButton = CloseButton::Ignore;
  std::optional<QuitReason> quitRequest;
};

// A page is about to be drawn on.
void markDrawn(MachineState& p, int page);

template <typename Call>
void tellObservers(const MachineState& p, Call call) {
  for (Observer* observer : p.observers) call(*observer);
}

}  // namespace machine
