// The browser back end. The page (web/quarvel_page.js) owns the canvas, the
// keyboard, touch and gamepad handlers, the Web Audio graph and the stored
// high score; these calls reach it through Module.quarvelPage. Input waits
// in the page's queue until the game sleeps, so it arrives between frames as
// it does in the window.
#include "backends/web.h"

#include <emscripten.h>
#include <wasm_simd128.h>

#include <algorithm>
#include <cmath>

#include "backends/error_box.h"
#include "backends/overlay.h"
#include "backends/pacing.h"
#include "base/keys.h"
#include "formats/key_names.h"

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
EM_JS(void, web_activity, (const char* kind), {
  if (Module.quarvelPage && Module.quarvelPage.activity) Module.quarvelPage.activity(UTF8ToString(kind));
});
EM_JS(void, web_high_score, (int value), {
  if (Module.quarvelPage && Module.quarvelPage.highScore) Module.quarvelPage.highScore(value);
});
EM_JS(int, web_paused, (), {
  return Module.quarvelPage && Module.quarvelPage.paused && Module.quarvelPage.paused() ? 1 : 0;
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

namespace backend {

namespace {

constexpr int MIXER_STEPS = 128;  // volumes land on the same 129 steps as the window's mixer
constexpr double YIELD_MS = 50.0;
constexpr int YIELD_WAITS = 2000;
constexpr int CLOCK_LOOK_WAITS = 16;     // a virtual wait reads the real clock only this often
constexpr unsigned PAUSED_WAKE_MS = 50;  // a paused game looks at the page this often

// The scan codes of the keys without a script name, as the window build has them.
int extraScanCode(const std::string& name) {
  static const struct {
    const char* name;
    int scanCode;
  } extras[] = {{"up", SC_UP},   {"down", SC_DOWN},   {"tab", SC_TAB},      {"backspace", SC_BACKSPACE},
                {"alt", SC_ALT}, {"minus", SC_MINUS}, {"rshift", SC_RSHIFT}};
  for (const auto& extra : extras)
    if (name == extra.name) return extra.scanCode;
  return -1;
}

const char* activityName(Activity activity) {
  switch (activity) {
    case Activity::Starting: return "starting";
    case Activity::Title: return "title";
    case Activity::Play: return "play";
    case Activity::Question: return "question";
    case Activity::Leaving: return "leaving";
  }
  return "play";
}

}  // namespace

Web::Web(WindowConfig config, bool virtualClock) : config_(std::move(config)), virtualClock_(virtualClock) {
  lastYield_ = emscripten_get_now();
  rgba_.assign(SCREEN_WIDTH * SCREEN_HEIGHT, 0xFF000000u);
}

Web::~Web() { closeAudio(); }

Outcome Web::openDisplay(ScreenMode) {
  displayOpen_ = true;
  left_ = false;
  return {};
}

void Web::leaveFullScreen() {
  if (!displayOpen_) return;
  left_ = true;
  pending_ = false;
  web_black_screen();
}

void Web::closeDisplay() {
  if (pending_) draw(shown_);
  pending_ = false;
  displayOpen_ = false;
}

void Web::hideMousePointer() { web_set_pointer_hidden(); }

// The canvas wants bytes R, G, B, A; the page holds 0x00RRGGBB words.
void Web::draw(const uint32_t* pixels) {
  for (int i = 0; i < SCREEN_WIDTH * SCREEN_HEIGHT; ++i) {
    uint32_t p = pixels[i];
    rgba_[i] = 0xFF000000u | (p & 0xFFu) << 16 | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
  }
  web_show_page(reinterpret_cast<const uint8_t*>(rgba_.data()));
}

// The machine shows the page only when it changed; with the virtual clock it
// is drawn only when the page gets a moment to paint. Until then the page is
// read where the machine keeps it: any drawing onto it since is shown again
// before the next wait, so at a wait it always holds the picture on show.
void Web::showPage(const uint32_t* pixels, bool) {
  if (!displayOpen_ || left_) return;
  shown_ = pixels;
  if (virtualClock_) {
    pending_ = true;
    return;
  }
  draw(shown_);
}

void Web::activityChanged(Activity activity) {
  activity_ = activity;
  if (!virtualClock_) web_activity(activityName(activity));
}

void Web::highScoreChanged(int32_t highScore) {
  if (!virtualClock_) web_high_score(highScore);
}

void Web::yieldNow() {
  if (pending_) draw(shown_);
  pending_ = false;
  emscripten_sleep(0);
  lastYield_ = emscripten_get_now();
  waitsSinceYield_ = 0;
}

void Web::pumpInput() {
  int info[4] = {};
  char name[32] = {};
  while (web_next_input(info, name, sizeof name) != 0) {
    std::string keyName = name;
    int scanCode = scanCodeForName(keyName);
    if (scanCode < 0) scanCode = extraScanCode(keyName);
    if (scanCode < 0) continue;
    if (info[0] == 2) {
      input_->release(scanCode);
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
      input_->type(value);
      continue;
    }
    input_->press(scanCode, value);
    // A gamepad's A and B answer yes and no, but only while a question is up.
    if (info[3] != 0 && activity_ == Activity::Question) input_->type(std::string(1, static_cast<char>(info[3])));
  }
}

// The page pauses the game (its button, P, a hidden tab): the clock stops
// here, inside one wait, with PAUSED over the last picture.
void Web::holdWhilePaused() {
  if (pausedText_.pixels.empty() && config_.paintText) pausedText_ = config_.paintText("PAUSED");
  const uint32_t* page = left_ ? nullptr : shown_;  // none: the screen is black
  std::vector<uint32_t> picture(SCREEN_WIDTH * SCREEN_HEIGHT, 0);
  drawPausedPicture(page != nullptr ? page : picture.data(), pausedText_, picture.data());
  draw(picture.data());
  while (web_paused() != 0) emscripten_sleep(PAUSED_WAKE_MS);
  if (page != nullptr)
    draw(page);
  else
    web_black_screen();
}

void Web::wait(int ms, bool stopOnKey) {
  if (virtualClock_) {
    // Like the headless back end; the page only needs a moment now and then.
    // A look at the clock costs a call out to JavaScript, so it is taken only
    // every few waits.
    if (++waitsSinceYield_ % CLOCK_LOOK_WAITS != 0) return;
    if (waitsSinceYield_ >= YIELD_WAITS || emscripten_get_now() - lastYield_ >= YIELD_MS) yieldNow();
    return;
  }
  double end = emscripten_get_now() + ms;
  bool slept = false;
  do {
    pumpInput();
    if (web_paused() != 0) {
      double pausedAt = emscripten_get_now();
      holdWhilePaused();
      end += emscripten_get_now() - pausedAt;
      slept = true;
    }
    if (stopOnKey && input_->keyQueued()) break;
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
double Web::secondsTimer(int64_t virtualMs) {
  return virtualClock_ ? static_cast<double>(virtualMs) / 1000.0 : secondsOfDay();
}

// Samples arrive checked and decoded; the page makes Web Audio buffers of
// them once the player has touched a key.
bool Web::openAudio() {
  audioOpen_ = virtualClock_ || web_audio_available() != 0;
  return audioOpen_;
}

bool Web::loadSample(int sample, const std::vector<uint8_t>&, const WavSound& sound) {
  if (!audioOpen_ || sample < 0 || sample >= SAMPLE_COUNT) return false;
  samplesLoaded_[sample] = true;
  if (!virtualClock_)
    web_audio_sample(sample, sound.channels, sound.sampleRate, sound.samples.data(),
                     static_cast<int>(sound.samples.size()));
  return true;
}

// A new sound replaces whatever still plays on its channel.
void Web::playSample(int channel, int sample, int volume) {
  if (!audioOpen_ || virtualClock_ || sample < 0 || sample >= SAMPLE_COUNT || !samplesLoaded_[sample]) return;
  if (channel < 0 || channel >= CHANNEL_COUNT) return;
  int steps = (volume * MIXER_STEPS + FULL_VOLUME / 2) / FULL_VOLUME;
  web_audio_play(channel, sample, static_cast<double>(steps) / MIXER_STEPS);
}

void Web::closeAudio() {
  if (!audioOpen_) return;
  if (!virtualClock_) web_audio_stop_all();
  audioOpen_ = false;
  std::fill(std::begin(samplesLoaded_), std::end(samplesLoaded_), false);
}

// The page shows the game's error line itself.
void showErrorBox(const std::string&, const std::string&) {}

}  // namespace backend

// The C library compares byte by byte; the sprite stamps, the lettering and
// the tower picture compare whole rows and images at every frame. Sixteen
// bytes at a time, then the rest as before: the same answers.
extern "C" __attribute__((no_builtin("memcmp"))) int memcmp(const void* left, const void* right, size_t count) {
  const auto* l = static_cast<const unsigned char*>(left);
  const auto* r = static_cast<const unsigned char*>(right);
  while (count >= 16 && wasm_i8x16_all_true(wasm_i8x16_eq(wasm_v128_load(l), wasm_v128_load(r)))) {
    l += 16;
    r += 16;
    count -= 16;
  }
  for (; count != 0; --count, ++l, ++r)
    if (*l != *r) return *l - *r;
  return 0;
}
