// The browser back end. The page (web/quarvel_page.js) owns the canvas, the
// keyboard, touch and gamepad handlers, the Web Audio graph and the stored
// high score; these calls reach it through Module.quarvelPage. Input waits
// in the page's queue until the app takes it between frames, as it does in
// the window.
#include "backends/web.h"

#include <emscripten.h>
#include <wasm_simd128.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "backends/error_box.h"
#include "base/keys.h"
#include "base/viewer_keys.h"
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
EM_JS(void, web_finished, (int code), {
  if (Module.quarvelPage && Module.quarvelPage.finished) Module.quarvelPage.finished(code);
});
// One queued input event: kind 1 press, 2 release, 3 auto-repeat, 4 the menu
// asked for, 5 a tap or click on the picture, 6 the page's volume or mute
// changed, 7 and 8 a gamepad's button down and up; info[1] Shift held, or
// muted; info[2] the character a letter key typed; info[3] the key is the
// page's pause key; info[4], info[5] where the tap was, in the picture's
// pixels, or info[4] the volume or the button. The key name goes into name.
EM_JS(int, web_next_input, (int* info, char* name, int capacity), {
  var page = Module.quarvelPage;
  if (!page) return 0;
  var event = page.nextInput();
  if (!event) return 0;
  HEAP32[info >> 2] = event.kind;
  HEAP32[(info >> 2) + 1] = event.shift ? 1 : 0;
  HEAP32[(info >> 2) + 2] = event.letter ? event.letter.charCodeAt(0) : 0;
  HEAP32[(info >> 2) + 3] = event.pauseKey ? 1 : 0;
  HEAP32[(info >> 2) + 4] = event.x | 0;
  HEAP32[(info >> 2) + 5] = event.y | 0;
  stringToUTF8(event.name, name, capacity);
  return 1;
});
EM_JS(void, web_menu_changed, (int open), {
  if (Module.quarvelPage && Module.quarvelPage.menuChanged) Module.quarvelPage.menuChanged(open !== 0);
});
EM_JS(void, web_toggle_full_screen, (), {
  if (Module.quarvelPage && Module.quarvelPage.toggleFullScreen) Module.quarvelPage.toggleFullScreen();
});
EM_JS(int, web_full_screen, (), {
  return Module.quarvelPage && Module.quarvelPage.fullScreen && Module.quarvelPage.fullScreen() ? 1 : 0;
});
EM_JS(void, web_game_volume, (int percent, int muted), {
  if (Module.quarvelPage && Module.quarvelPage.gameVolume) Module.quarvelPage.gameVolume(percent, muted !== 0);
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

// The kinds of the page's queued input events, and what each carries.
enum PageInput {
  PagePress = 1,
  PageRelease = 2,
  PageRepeat = 3,
  PageMenu = 4,
  PageTap = 5,
  PageVolume = 6,
  PageButtonDown = 7,
  PageButtonUp = 8
};
enum InputInfo { InfoKind, InfoShift, InfoLetter, InfoPauseKey, InfoX, InfoY, INFO_COUNT };

// The scan codes of the keys without a script name, as the window build has them.
int extraScanCode(const std::string& name) {
  static const struct {
    const char* name;
    int scanCode;
  } extras[] = {{"up", SC_UP},   {"down", SC_DOWN},   {"tab", SC_TAB},       {"backspace", SC_BACKSPACE},
                {"alt", SC_ALT}, {"minus", SC_MINUS}, {"rshift", SC_RSHIFT}, {"period", SC_PERIOD}};
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

Web::Web(bool virtualClock) : virtualClock_(virtualClock) { rgba_.assign(SCREEN_WIDTH * SCREEN_HEIGHT, 0xFF000000u); }

Web::~Web() { closeAudio(); }

Outcome Web::openDisplay(ScreenMode) {
  displayOpen_ = true;
  left_ = false;
  return {};
}

void Web::leaveFullScreen() {
  if (!displayOpen_) return;
  left_ = true;
  web_black_screen();
}

void Web::closeDisplay() { displayOpen_ = false; }

void Web::hidePointer() { web_set_pointer_hidden(); }

// The menu's FULL SCREEN is the page's, as its button and Alt+Enter.
void Web::toggleFullScreen() {
  if (!virtualClock_) web_toggle_full_screen();
}

bool Web::fullScreen() const { return !virtualClock_ && web_full_screen() != 0; }

// The canvas wants bytes R, G, B, A; the page holds 0x00RRGGBB words.
void Web::show(const uint32_t* pixels) {
  if (!displayOpen_ || left_) return;
  for (int i = 0; i < SCREEN_WIDTH * SCREEN_HEIGHT; ++i) {
    uint32_t p = pixels[i];
    rgba_[i] = 0xFF000000u | (p & 0xFFu) << 16 | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
  }
  web_show_page(reinterpret_cast<const uint8_t*>(rgba_.data()));
}

void Web::activityChanged(Activity activity) {
  if (!virtualClock_) web_activity(activityName(activity));
}

void Web::highScoreChanged(int32_t highScore) {
  if (!virtualClock_) web_high_score(highScore);
}

void Web::finished(int exitCode) { web_finished(exitCode); }

void Web::menuChanged(bool open) {
  if (!virtualClock_) web_menu_changed(open ? 1 : 0);
}

// The page's master gain is the one volume: the menu's SOUND sets it.
void Web::setMasterVolume(int percent, bool muted) {
  if (!virtualClock_) web_game_volume(percent, muted ? 1 : 0);
}

void tellPageFinished(int exitCode) { web_finished(exitCode); }

void Web::takeEvents(std::vector<machine::DeviceEvent>& events) {
  if (!virtualClock_) {
    const bool paused = web_paused() != 0;
    if (paused != paused_) {
      paused_ = paused;
      machine::DeviceEvent pause{machine::DeviceEvent::PauseAsked};
      pause.on = paused;
      events.push_back(pause);
    }
  }
  int info[INFO_COUNT] = {};
  char name[32] = {};
  while (web_next_input(info, name, sizeof name) != 0) {
    if (info[InfoKind] == PageMenu) {
      events.push_back(machine::DeviceEvent{machine::DeviceEvent::MenuAsked});
      continue;
    }
    if (info[InfoKind] == PageVolume) {
      machine::DeviceEvent volume{machine::DeviceEvent::VolumeSet};
      volume.volume = info[InfoX];
      volume.on = info[InfoShift] != 0;
      events.push_back(volume);
      continue;
    }
    if (info[InfoKind] == PageButtonDown || info[InfoKind] == PageButtonUp) {
      if (info[InfoX] < 0 || info[InfoX] >= machine::PAD_BUTTON_COUNT) continue;
      machine::DeviceEvent button{info[InfoKind] == PageButtonDown ? machine::DeviceEvent::ButtonDown
                                                                   : machine::DeviceEvent::ButtonUp};
      button.button = info[InfoX];
      events.push_back(button);
      continue;
    }
    if (info[InfoKind] == PageTap) {
      machine::DeviceEvent tap{machine::DeviceEvent::MouseClick};
      tap.x = info[InfoX];
      tap.y = info[InfoY];
      events.push_back(tap);
      continue;
    }
    std::string keyName = name;
    int scanCode = scanCodeForName(keyName);
    if (scanCode < 0) scanCode = extraScanCode(keyName);
    if (scanCode < 0) continue;
    machine::DeviceEvent event;
    event.kind = info[InfoKind] == PageRelease  ? machine::DeviceEvent::KeyUp
                 : info[InfoKind] == PageRepeat ? machine::DeviceEvent::KeyRepeat
                                                : machine::DeviceEvent::KeyDown;
    event.scanCode = scanCode;
    event.shift = info[InfoShift] != 0;
    event.letter = static_cast<char>(info[InfoLetter]);
    if (info[InfoPauseKey] != 0) event.windowKey = machine::DeviceEvent::PauseKey;
    events.push_back(event);
  }
}

double Web::nowMs() { return emscripten_get_now(); }

// Seconds since midnight, as the seed of a normal run.
double Web::secondsOfDay() {
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  return std::fmod(std::chrono::duration<double>(sinceEpoch).count(), 86400.0);
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
