// The harness: what the app attaches to the machine when it is asked to
// play a script, take shots, keep logs or time the run. It only watches,
// except for the script's input. Nothing of it runs in a plain game.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "formats/script.h"
#include "machine/observer.h"

namespace harness {

struct Options {
  Script script;                                        // input played at the virtual clock's times
  std::string shotsDir;                                 // "" = no shots
  std::vector<std::pair<int64_t, int64_t>> shotFrames;  // inclusive ranges of frames to shoot
  std::string soundLog;                                 // "FRAME MS SAMPLE CHANNEL VOLUME" a play
  std::string frameHashes;          // "FRAME CRC32" of each frame in shotFrames (every frame when none)
  std::optional<int64_t> maxMs;     // the virtual clock's limit
  std::string recordFile;           // the player's input as a script
  std::optional<int64_t> quitAtMs;  // a replay's end: the game is left when the clock reaches it
};

// The fingerprint of a page: the zip CRC-32 of its 320x240 pixels, each as
// four bytes 0x00RRGGBB lowest byte first.
uint32_t pageCrc32(const uint32_t* page);

class Harness : public machine::Observer {
 public:
  // Attaches itself to the machine and plays the script's events at 0 ms.
  Harness(Machine& machine, Options options);
  ~Harness() override;
  Harness(const Harness&) = delete;
  Harness& operator=(const Harness&) = delete;

  // More input while running, in time order with what is still to come.
  void addInput(const std::vector<ScriptEvent>& events);
  // final.bmp in the shots folder, when there is one.
  void writeFinalShot() const;
  bool clockLimitPassed() const { return limitPassed_; }
  // --timedemo: frames, real seconds since the start, frames a second, the
  // slowest frame and the mean frame.
  std::string timedemoReport() const;
  // --frame-stats: the mean and worst real frame period of the frames that
  // slept 30 ms and of those run flat out.
  std::string framePacingReport() const;

  void seeded(uint32_t seed) override;
  void waiting(int64_t virtualMs) override;
  void framePresented(int64_t frame, const uint32_t* page) override;
  void soundPlayed(int sample, int channel, int volume) override;
  void input(const machine::InputEvent& event, machine::InputOrigin origin) override;

 private:
  using Clock = std::chrono::steady_clock;
  void applyScriptUpTo(int64_t ms);
  bool listed(int64_t frame) const;
  void record(const std::string& line);

  Machine& machine_;
  Options options_;
  size_t nextEvent_ = 0;
  bool limitPassed_ = false;
  bool endReached_ = false;
  std::FILE* soundLog_ = nullptr;
  std::FILE* frameHashes_ = nullptr;
  std::FILE* recording_ = nullptr;
  // Real time between presented frames.
  Clock::time_point start_;
  Clock::time_point firstPresent_;
  Clock::time_point lastPresent_;
  double slowestMs_ = 0.0;
  int64_t slowestFrame_ = 0;
  int64_t frames_ = 0;
  int64_t virtualMsAtPresent_ = 0;
  // Real frame periods by the sleep before them: 30 ms (kind 0) or run flat
  // out (kind 1).
  std::vector<double> paced_[2];
};

}  // namespace harness
