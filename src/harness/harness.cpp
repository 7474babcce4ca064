#include "harness/harness.h"

#include <algorithm>
#include <cinttypes>

#include "base/messages.h"
#include "formats/bmp.h"
#include "formats/crc32.h"
#include "formats/key_names.h"
#include "machine/control.h"
#include "os/files.h"

namespace harness {

namespace {

constexpr int64_t FRAME_SLEEP_MS = 30;
constexpr int64_t FLAT_OUT_MS = 1;  // what a frame that asks for no sleep counts

Outcome writeBmp(const uint32_t* page, const std::string& path) {
  std::vector<uint8_t> bmp = encodeBmp(page, SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_WIDTH);
  std::FILE* out = os::openFile(path, "wb");
  if (out == nullptr) return Outcome::failure("cannot write " + path);
  bool ok = std::fwrite(bmp.data(), 1, bmp.size(), out) == bmp.size();
  if (std::fclose(out) != 0 || !ok) return Outcome::failure("cannot write " + path);
  return {};
}

void writeShot(const uint32_t* page, const std::string& path) {
  Outcome written = writeBmp(page, path);
  if (!written.ok()) warn(written.why());
}

std::FILE* openLog(const std::string& path) {
  if (path.empty()) return nullptr;
  // Binary: the same bytes on every system (no CR LF on Windows).
  std::FILE* file = os::openFile(path, "wb");
  if (file == nullptr) warn("cannot write " + path);
  return file;
}

bool printable(const std::string& value) { return value.size() == 1 && value[0] > ' '; }

}  // namespace

uint32_t pageCrc32(const uint32_t* page) {
  return crc32(reinterpret_cast<const uint8_t*>(page), sizeof(uint32_t) * SCREEN_WIDTH * SCREEN_HEIGHT);
}

Harness::Harness(Machine& machine, Options options) : machine_(machine), options_(std::move(options)) {
  start_ = Clock::now();
  lastPresent_ = start_;
  soundLog_ = openLog(options_.soundLog);
  frameHashes_ = openLog(options_.frameHashes);
  recording_ = openLog(options_.recordFile);
  machine::attach(machine_, *this);
  applyScriptUpTo(0);
}

Harness::~Harness() {
  machine::detach(machine_, *this);
  for (std::FILE* file : {soundLog_, frameHashes_, recording_})
    if (file != nullptr) std::fclose(file);
}

void Harness::addInput(const std::vector<ScriptEvent>& events) {
  std::vector<ScriptEvent>& all = options_.script.events;
  all.insert(all.end(), events.begin(), events.end());
  std::stable_sort(all.begin() + static_cast<std::ptrdiff_t>(nextEvent_), all.end(),
                   [](const ScriptEvent& a, const ScriptEvent& b) { return a.ms < b.ms; });
}

void Harness::applyScriptUpTo(int64_t ms) {
  const machine::InputSink& input = machine::scriptInput(machine_);
  const std::vector<ScriptEvent>& events = options_.script.events;
  while (nextEvent_ < events.size() && events[nextEvent_].ms <= ms) {
    const ScriptEvent& event = events[nextEvent_++];
    switch (event.kind) {
      case ScriptEvent::Down: input.press(event.scanCode, event.text); break;
      case ScriptEvent::Up: input.release(event.scanCode); break;
      case ScriptEvent::Type:
        for (char c : event.text) input.type(std::string(1, c));
        break;
      case ScriptEvent::Close: input.closeButton(); break;
      case ScriptEvent::Shot: {
        const std::string folder = options_.shotsDir.empty() ? std::string(".") : options_.shotsDir;
        writeShot(machine::visiblePage(machine_), folder + "/" + event.text + ".bmp");
        break;
      }
    }
  }
}

void Harness::waiting(int64_t virtualMs) {
  applyScriptUpTo(virtualMs);
  if (options_.quitAtMs && virtualMs >= *options_.quitAtMs && !endReached_) {
    endReached_ = true;  // where the recording stopped, the player left
    machine::requestQuit(machine_, machine::QuitReason::Signal);
  }
  if (options_.maxMs && virtualMs > *options_.maxMs && !limitPassed_) {
    limitPassed_ = true;
    machine::requestQuit(machine_, machine::QuitReason::ClockLimit);
  }
}

bool Harness::listed(int64_t frame) const {
  for (const auto& [first, last] : options_.shotFrames)
    if (frame >= first && frame <= last) return true;
  return false;
}

void Harness::framePresented(int64_t frame, const uint32_t* page) {
  const Clock::time_point now = Clock::now();
  const int64_t virtualMs = machine::virtualMs(machine_);
  if (frame > 1) {
    double ms = std::chrono::duration<double, std::milli>(now - lastPresent_).count();
    if (ms > slowestMs_) {
      slowestMs_ = ms;
      slowestFrame_ = frame;
    }
    int64_t slept = virtualMs - virtualMsAtPresent_;
    if (slept == FRAME_SLEEP_MS || slept == FLAT_OUT_MS) paced_[slept == FRAME_SLEEP_MS ? 0 : 1].push_back(ms);
  } else {
    firstPresent_ = now;
  }
  frames_ = frame;
  virtualMsAtPresent_ = virtualMs;
  lastPresent_ = now;
  const bool shoot = !options_.shotsDir.empty() && listed(frame);
  if (shoot) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06" PRId64 ".bmp", frame);
    writeShot(page, options_.shotsDir + name);
  }
  if (frameHashes_ != nullptr && (options_.shotFrames.empty() || listed(frame)))
    std::fprintf(frameHashes_, "%" PRId64 " %08x\n", frame, static_cast<unsigned>(pageCrc32(page)));
}

void Harness::soundPlayed(int sample, int channel, int volume) {
  if (soundLog_ == nullptr) return;
  std::fprintf(soundLog_, "%" PRId64 " %" PRId64 " %d %d %d\n", machine::framesPresented(machine_),
               machine::virtualMs(machine_), sample, channel, volume);
  std::fflush(soundLog_);
}

void Harness::writeFinalShot() const {
  if (!options_.shotsDir.empty()) writeShot(machine::visiblePage(machine_), options_.shotsDir + "/final.bmp");
}

// --record: the player's own input (not the script's), stamped with the
// virtual clock, in the script's format: a replay with --headless --input
// plays the same game.
void Harness::seeded(uint32_t seed) {
  if (recording_ == nullptr) return;
  std::fprintf(recording_, "seed %u\n", seed);
  std::fflush(recording_);
}

void Harness::record(const std::string& line) {
  if (recording_ == nullptr) return;
  std::fprintf(recording_, "%" PRId64 " %s\n", machine::virtualMs(machine_), line.c_str());
  std::fflush(recording_);
}

void Harness::input(const machine::InputEvent& event, machine::InputOrigin origin) {
  if (recording_ == nullptr || origin != machine::InputOrigin::Device) return;
  const std::string name = nameForScanCode(event.scanCode);
  switch (event.kind) {
    case machine::InputEvent::Press:
      if (name.empty()) return;
      if (event.value == typedValueForScanCode(event.scanCode))
        record("down " + name);
      else if (printable(event.value))
        record("type " + event.value);  // a capital: only the queue matters to the game
      break;
    case machine::InputEvent::Release:
      if (!name.empty()) record("up " + name);
      break;
    case machine::InputEvent::Type:
      if (printable(event.value)) record("type " + event.value);
      break;
    case machine::InputEvent::Close: record("close"); break;
  }
}

std::string Harness::timedemoReport() const {
  double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
  double meanMs =
      frames_ < 2 ? 0.0
                  : std::chrono::duration<double, std::milli>(lastPresent_ - firstPresent_).count() / (frames_ - 1.0);
  char text[240];
  std::snprintf(text, sizeof text,
                "timedemo: %" PRId64 " frames in %.3f s, %.1f frames per second, slowest frame %.3f ms (frame %" PRId64
                "), mean frame %.4f ms",
                frames_, seconds, seconds > 0 ? static_cast<double>(frames_) / seconds : 0.0, slowestMs_, slowestFrame_,
                meanMs);
  return text;
}

namespace {

struct PeriodFigures {
  double mean = 0.0, p95 = 0.0, worst = 0.0;
};

PeriodFigures figuresOf(std::vector<double> periods) {
  PeriodFigures figures;
  if (periods.empty()) return figures;
  std::sort(periods.begin(), periods.end());
  double total = 0.0;
  for (double ms : periods) total += ms;
  figures.mean = total / static_cast<double>(periods.size());
  figures.p95 = periods[(periods.size() - 1) * 95 / 100];
  figures.worst = periods.back();
  return figures;
}

}  // namespace

std::string Harness::framePacingReport() const {
  const PeriodFigures slept = figuresOf(paced_[0]), flat = figuresOf(paced_[1]);
  char text[240];
  std::snprintf(text, sizeof text,
                "frame pacing: %zu frames of 30 ms sleep: mean %.2f ms, p95 %.2f ms, worst %.2f ms; %zu frames flat "
                "out: mean %.2f ms, p95 %.2f ms, worst %.2f ms",
                paced_[0].size(), slept.mean, slept.p95, slept.worst, paced_[1].size(), flat.mean, flat.p95,
                flat.worst);
  return text;
}

}  // namespace harness
