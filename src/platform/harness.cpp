// Starting the platform on a back end, and the harness services around it:
// input injection, screenshots, the sound log and the audio forwarders.
#include "platform/harness.h"

#include <array>
#include <cstdio>
#include <filesystem>

#include "platform/headless_backend.h"
#include "platform/platform.h"
#include "platform/platform_state.h"
#ifdef __EMSCRIPTEN__
#include "platform/web_backend.h"
#else
#include "platform/sdl_backend.h"
#endif
#include "platform/audio.h"
#include "platform/run_options.h"

void platformStart(const RunOptions& options) {
  PlatformState& p = platform();
  p.options = options;
  p.virtualMs = 0;
  p.frames = 0;
  p.maxMsPassed = false;
  p.keyQueue.clear();
  std::fill(std::begin(p.held), std::end(p.held), false);
  p.slowestFrameMs = 0.0;
  p.paused = false;
  p.virtualMsAtPresent = 0;
  p.pacing = FramePacing{};
  p.slowestFrame = 0;
  p.runStart = std::chrono::steady_clock::now();
  p.lastPresent = p.runStart;
  if (!options.shotsDir.empty()) {
    std::error_code ignored;
    std::filesystem::create_directories(options.shotsDir, ignored);
  }
  if (!options.soundLog.empty()) p.soundLog = std::fopen(options.soundLog.c_str(), "w");
  if (!options.frameHashes.empty()) p.frameHashLog = std::fopen(options.frameHashes.c_str(), "w");
  std::vector<ScriptEvent> events;
  bool seedGiven = false;
  uint32_t seed = 0;
  std::string error;
  parseScript(options.inputText, events, seedGiven, seed, error);  // already checked by the entry point
#ifdef __EMSCRIPTEN__
  // In the browser, --headless keeps the page but runs on the virtual clock.
  p.backend = std::make_unique<WebBackend>(std::move(events), options.headless);
#else
  if (options.headless)
    p.backend = std::make_unique<HeadlessBackend>(std::move(events));
  else
    p.backend = std::make_unique<SdlBackend>(options.recordFile, std::move(events));
#endif
}

void platformStop() {
  PlatformState& p = platform();
  p.backend.reset();
  if (p.soundLog != nullptr) std::fclose(p.soundLog);
  p.soundLog = nullptr;
  if (p.frameHashLog != nullptr) std::fclose(p.frameHashLog);
  p.frameHashLog = nullptr;
  p.frameHook = nullptr;
  p.inputRecorder = nullptr;
  if (p.quitHandler) setQuitHandler(nullptr);
  p.screenOpen = false;
}

const RunOptions& runOptions() { return platform().options; }
int64_t virtualMs() { return platform().virtualMs; }
int64_t framesPresented() { return platform().frames; }
bool maxMsPassed() { return platform().maxMsPassed; }
void setFrameHook(std::function<void(int64_t)> hook) { platform().frameHook = std::move(hook); }

namespace {
void recordInput(const std::string& event) {
  PlatformState& p = platform();
  if (p.inputRecorder) p.inputRecorder(event);
}
}  // namespace

bool scheduleInput(const std::string& scriptText) {
  std::vector<ScriptEvent> events;
  bool seedGiven = false;
  uint32_t seed = 0;
  std::string error;
  if (!parseScript(scriptText, events, seedGiven, seed, error)) return false;
  if (platform().backend) platform().backend->addInput(events);
  return true;
}

void setInputRecorder(std::function<void(const std::string&)> recorder) {
  platform().inputRecorder = std::move(recorder);
}

void pressKey(int scanCode, const std::string& queueValue) {
  PlatformState& p = platform();
  recordInput("down " + nameForScanCode(scanCode));
  if (scanCode >= 0 && scanCode < 256) p.held[scanCode] = true;
  if (!queueValue.empty()) p.keyQueue.push_back(queueValue);
}

void releaseKey(int scanCode) {
  recordInput("up " + nameForScanCode(scanCode));
  if (scanCode >= 0 && scanCode < 256) platform().held[scanCode] = false;
}

void queueKeyValue(const std::string& value) {
  recordInput("type " + value);
  platform().keyQueue.push_back(value);
}

void clickCloseButton() {
  recordInput("close");
  platform().keyQueue.push_back(keyWithoutCharacter());
}

void showVisiblePage(bool urgent) {
  PlatformState& p = platform();
  if (p.backend && p.screenOpen) p.backend->showPage(p.pages[p.visiblePage], urgent);
}

bool writePageBmp(const uint32_t* page, const std::string& path) {
  const int rowBytes = SCREEN_WIDTH * 3;  // 960, already a multiple of 4
  const uint32_t imageBytes = rowBytes * SCREEN_HEIGHT;
  uint8_t header[54] = {'B', 'M'};
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) header[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  put32(2, 54 + imageBytes);
  put32(10, 54);
  put32(14, 40);
  put32(18, SCREEN_WIDTH);
  put32(22, SCREEN_HEIGHT);
  header[26] = 1;
  header[28] = 24;
  put32(34, imageBytes);
  std::vector<uint8_t> rows(imageBytes);
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    const uint32_t* from = page + (SCREEN_HEIGHT - 1 - y) * SCREEN_WIDTH;
    uint8_t* to = rows.data() + y * rowBytes;
    for (int x = 0; x < SCREEN_WIDTH; ++x) {
      to[3 * x] = static_cast<uint8_t>(from[x]);
      to[3 * x + 1] = static_cast<uint8_t>(from[x] >> 8);
      to[3 * x + 2] = static_cast<uint8_t>(from[x] >> 16);
    }
  }
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  bool ok = std::fwrite(header, 1, sizeof header, out) == sizeof header &&
            std::fwrite(rows.data(), 1, rows.size(), out) == rows.size();
  return std::fclose(out) == 0 && ok;
}

bool writeVisiblePageBmp(const std::string& path) {
  PlatformState& p = platform();
  return writePageBmp(p.pages[p.visiblePage], path);
}

void writeFinalShot() {
  PlatformState& p = platform();
  if (!p.options.shotsDir.empty()) writeVisiblePageBmp(p.options.shotsDir + "/final.bmp");
}

void logSoundEvent(int sample, int channel, int volume) {
  PlatformState& p = platform();
  if (p.soundLog == nullptr) return;
  std::fprintf(p.soundLog, "%lld %lld %d %d %d\n", static_cast<long long>(p.frames),
               static_cast<long long>(p.virtualMs), sample, channel, volume);
  std::fflush(p.soundLog);
}

uint32_t pageCrc32(const uint32_t* page) {
  // Four tables: one pixel (four bytes) a step.
  static const auto tables = [] {
    std::array<std::array<uint32_t, 256>, 4> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
      for (int k = 1; k < 4; ++k) t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (int i = 0; i < SCREEN_WIDTH * SCREEN_HEIGHT; ++i) {
    crc ^= page[i];
    crc = tables[3][crc & 0xFF] ^ tables[2][(crc >> 8) & 0xFF] ^ tables[1][(crc >> 16) & 0xFF] ^ tables[0][crc >> 24];
  }
  return ~crc;
}

void logFrameHash() {
  PlatformState& p = platform();
  bool listed = p.options.shotFrames.empty();
  for (const auto& [first, last] : p.options.shotFrames) listed = listed || (p.frames >= first && p.frames <= last);
  if (!listed) return;
  std::fprintf(p.frameHashLog, "%lld %08x\n", static_cast<long long>(p.frames),
               static_cast<unsigned>(pageCrc32(p.pages[p.visiblePage])));
}

bool audioOpen() { return platform().backend && platform().backend->openAudio(); }
bool audioLoadSample(int index, const std::string& path) {
  return platform().backend && platform().backend->loadSample(index, path);
}
void audioSetVolume(int index, int volume) {
  if (platform().backend) platform().backend->setSampleVolume(index, volume);
}
void audioPlay(int channel, int index) {
  if (platform().backend) platform().backend->playSample(channel, index);
}
void audioClose() {
  if (platform().backend) platform().backend->closeAudio();
}

double slowestFrameMs() { return platform().slowestFrameMs; }

std::string framePacingReport() {
  const FramePacing& pacing = platform().pacing;
  char text[200];
  auto mean = [&](int kind) { return pacing.count[kind] ? pacing.totalMs[kind] / pacing.count[kind] : 0.0; };
  std::snprintf(
      text, sizeof text,
      "frame pacing: %lld frames of 30 ms sleep: mean %.2f ms, worst %.2f ms; %lld frames flat out: mean %.2f ms, "
      "worst %.2f ms",
      static_cast<long long>(pacing.count[0]), mean(0), pacing.worstMs[0], static_cast<long long>(pacing.count[1]),
      mean(1), pacing.worstMs[1]);
  return text;
}

int64_t slowestFrameNumber() { return platform().slowestFrame; }

double meanFrameMs() {
  PlatformState& p = platform();
  if (p.frames < 2) return 0.0;
  return std::chrono::duration<double, std::milli>(p.lastPresent - p.firstPresent).count() /
         static_cast<double>(p.frames - 1);
}
