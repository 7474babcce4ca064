// The browser back end. The page (web/quarvel_page.js) owns the canvas, the
// keyboard, touch and gamepad handlers and the Web Audio graph; these calls
// reach it through Module.quarvelPage. Input waits in the page's queue until
// the game sleeps, so it arrives between frames as it does in the window.
#include "platform/web_backend.h"

#include <emscripten.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

#include "platform/platform.h"
#include "platform/platform_state.h"
#include "platform/wav.h"

// clang-format off
EM_JS(void, web_show_page, (const uint8_t* rgba), {
  if (Module.quarvelPage) Module.quarvelPage.show(HEAPU8.subarray(rgba, rgba + 320 * 240 * 4));
});
EM_JS(void, web_black_screen, (), {
  if (Module.quarvelPage) Module.quarvelPage.black();
});
EM_JS(void, web_set_pointer_hidden, (), {
  if (Module.quarvelPage) Module.quarvelPage.hidePointer();
});
// One queued input event: kind 1 press, 2 release, 3 auto-repeat; info[1] Shift
// held; info[2] the character a letter key typed; info[3] the answer a gamepad
// button gives at a question ('y' / 'n'). The key name goes into name.
EM_JS(int, web_next_input, (int* info, char* name, int capacity), {
  var page = Module.quarvelPage;
  if (!page) return 0;
  var event = page.nextInput();
  if (!event) return 0;
  HEAP32[info >> 2] = event.kind;
  HEAP32[(info >> 2) + 1] = event.shift ? 1 : 0;
  HEAP32[(info >> 2) + 2] = event.letter ? event.letter.charCodeAt(0) : 0;
  HEAP32[(info >> 2) + 3] = event.answer ? event.answer.charCodeAt(0) : 0;
  stringToUTF8(event.name, name, capacity);
  return 1;
});
EM_JS(int, web_audio_available, (), {
  return Module.quarvelPage && Module.quarvelPage.audioAvailable() ? 1 : 0;
});
EM_JS(void, web_audio_sample, (int index, int channels, int rate, const int16_t* samples, int count), {
  if (Module.quarvelPage)
    Module.quarvelPage.addSample(index, channels, rate, HEAP16.slice(samples >> 1, (samples >> 1) + count));
});
EM_JS(void, web_audio_play, (int channel, int index, double gain), {
  if (Module.quarvelPage) Module.quarvelPage.play(channel, index, gain);
});
EM_JS(void, web_audio_stop_all, (), {
  if (Module.quarvelPage) Module.quarvelPage.stopAll();
});
// clang-format on

namespace {

constexpr int SAMPLES = 9;
constexpr int CHANNELS = 32;  // the game uses channels 0 .. 10
constexpr int FULL_VOLUME = 255;
constexpr int MIXER_STEPS = 128;  // volumes land on the same 129 steps as the window's mixer
constexpr double YIELD_MS = 50.0;
constexpr int YIELD_WAITS = 2000;

// The scan codes of the keys without a script name, as the window build has them.
int extraScanCode(const std::string& name) {
  static const struct {
    const char* name;
    int scanCode;
  } extras[] = {{"up", 0x48},  {"down", 0x50},  {"tab", 0x0F},   {"backspace", 0x0E},
                {"alt", 0x38}, {"minus", 0x0C}, {"rshift", 0x36}};
  for (const auto& extra : extras)
    if (name == extra.name) return extra.scanCode;
  return -1;
}

}  // namespace

WebBackend::WebBackend(std::vector<ScriptEvent> script, bool virtualClock) : virtualClock_(virtualClock) {
  script_.events = std::move(script);
  script_.applyUpTo(0);
  lastYield_ = emscripten_get_now();
}

WebBackend::~WebBackend() { closeAudio(); }

void WebBackend::openDisplay(bool) {
  displayOpen_ = true;
  left_ = false;
  rgba_.assign(SCREEN_WIDTH * SCREEN_HEIGHT, 0xFF000000u);
}

void WebBackend::leaveFullScreen() {
  if (!displayOpen_) return;
  left_ = true;
  pending_ = nullptr;
  web_black_screen();
}

void WebBackend::closeDisplay() {
  if (pending_ != nullptr) draw(pending_);
  pending_ = nullptr;
  displayOpen_ = false;
}

void WebBackend::hideMousePointer() { web_set_pointer_hidden(); }

// The canvas wants bytes R, G, B, A; the page holds 0x00RRGGBB words.
void WebBackend::draw(const uint32_t* pixels) {
  for (int i = 0; i < SCREEN_WIDTH * SCREEN_HEIGHT; ++i) {
    uint32_t p = pixels[i];
    rgba_[i] = 0xFF000000u | (p & 0xFFu) << 16 | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
  }
  web_show_page(reinterpret_cast<const uint8_t*>(rgba_.data()));
}

// Shown at every frame and, between frames, at most every 15 ms; with the
// virtual clock only when the page gets a moment to paint.
void WebBackend::showPage(const uint32_t* pixels, bool urgent) {
  if (!displayOpen_ || left_) return;
  if (urgent) keyWaits_ = 0;
  if (virtualClock_) {
    pending_ = pixels;
    return;
  }
  double now = emscripten_get_now();
  if (!urgent && now - lastShown_ < 15.0) return;
  lastShown_ = now;
  draw(pixels);
}

void WebBackend::yieldNow() {
  if (pending_ != nullptr) draw(pending_);
  pending_ = nullptr;
  emscripten_sleep(0);
  lastYield_ = emscripten_get_now();
  waitsSinceYield_ = 0;
}

void WebBackend::pumpInput() {
  int info[4] = {};
  char name[32] = {};
  while (web_next_input(info, name, sizeof name) != 0) {
    std::string keyName = name;
    int scanCode = scanCodeForName(keyName);
    if (scanCode < 0) scanCode = extraScanCode(keyName);
    if (scanCode < 0) continue;
    if (info[0] == 2) {
      releaseKey(scanCode);
      continue;
    }
    // Letters type what the layout gives (capitals with Shift); other keys
    // their own character, or none with Shift, as in the window.
    std::string value;
    if (info[2] != 0)
      value = std::string(1, static_cast<char>(info[2]));
    else
      value = info[1] == 0 ? typedValueForScanCode(scanCode) : keyWithoutCharacter();
    if (info[0] == 3) {
      queueKeyValue(value);
      continue;
    }
    pressKey(scanCode, value);
    if (info[3] != 0 && keyWaits_ >= 2) queueKeyValue(std::string(1, static_cast<char>(info[3])));
  }
}

void WebBackend::wait(int ms, bool stopOnKey) {
  PlatformState& p = platform();
  keyWaits_ = ms == 1 ? keyWaits_ + 1 : 0;
  script_.applyUpTo(p.virtualMs);
  if (virtualClock_) {
    // Like the headless back end; the page only needs a moment now and then.
    if (++waitsSinceYield_ >= YIELD_WAITS || emscripten_get_now() - lastYield_ >= YIELD_MS) yieldNow();
    return;
  }
  double end = emscripten_get_now() + ms;
  bool slept = false;
  do {
    pumpInput();
    if (stopOnKey && !p.keyQueue.empty()) break;
    double now = emscripten_get_now();
    if (now >= end) break;
    emscripten_sleep(static_cast<unsigned>(std::ceil(std::min(end - now, 10.0))));
    slept = true;
  } while (true);
  if (slept) {
    lastYield_ = emscripten_get_now();
  } else if (emscripten_get_now() - lastYield_ >= 16.0) {
    yieldNow();  // a game running flat out (Ctrl in stage three) still lets the page paint
    pumpInput();
  }
}

// Seconds since midnight, as the seed of a normal run; the virtual clock's
// seconds in a scripted run, as headless.
double WebBackend::secondsTimer() {
  if (virtualClock_) return static_cast<double>(platform().virtualMs) / 1000.0;
  auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  return std::fmod(std::chrono::duration<double>(sinceEpoch).count(), 86400.0);
}

void WebBackend::addInput(const std::vector<ScriptEvent>& events) { script_.add(events); }

// Samples are checked and decoded here, then handed to the page, which
// makes Web Audio buffers of them once the player has touched a key.
bool WebBackend::openAudio() {
  audioOpen_ = virtualClock_ || web_audio_available() != 0;
  return audioOpen_;
}

bool WebBackend::loadSample(int index, const std::string& path) {
  if (!audioOpen_ || index < 0 || index >= SAMPLES) return false;
  WavSound sound;
  samplesLoaded_[index] = readWav(path, sound);
  if (samplesLoaded_[index] && !virtualClock_)
    web_audio_sample(index, sound.channels, sound.sampleRate, sound.samples.data(),
                     static_cast<int>(sound.samples.size()));
  return samplesLoaded_[index];
}

void WebBackend::setSampleVolume(int index, int volume) {
  if (index < 0 || index >= SAMPLES || volume < 0) return;
  defaultVolume_[index] = std::min(volume, FULL_VOLUME);
}

// A new sound replaces whatever still plays on its channel, at the volume
// its sample has when it starts.
void WebBackend::playSample(int channel, int index) {
  if (!audioOpen_ || virtualClock_ || index < 0 || index >= SAMPLES || !samplesLoaded_[index]) return;
  if (channel < 0 || channel >= CHANNELS) return;
  int steps = (defaultVolume_[index] * MIXER_STEPS + FULL_VOLUME / 2) / FULL_VOLUME;
  web_audio_play(channel, index, static_cast<double>(steps) / MIXER_STEPS);
}

void WebBackend::closeAudio() {
  if (!audioOpen_) return;
  if (!virtualClock_) web_audio_stop_all();
  audioOpen_ = false;
  std::fill(std::begin(samplesLoaded_), std::end(samplesLoaded_), false);
}
