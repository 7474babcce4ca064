// The words the game, the back ends and the harness share: the screen's
// size, what the game is doing, its samples and sound channels.
#pragma once

#include <cstdint>

constexpr int SCREEN_WIDTH = 320;
constexpr int SCREEN_HEIGHT = 240;

enum class ScreenMode { Window, FullScreen };

// What the game is doing, as it tells the machine. Back ends act on it (a
// controller's A and B answer only a question; only play pauses by itself)
// instead of guessing.
enum class Activity {
  Starting,  // start-up, before the title
  Title,     // the title waits for Space or Esc
  Play,      // frames run: the stages and the story scenes; pausable
  Question,  // a yes/no question waits for its answer
  Leaving,   // the program is shutting down
};

// The nine samples, WAV/0.WAV to WAV/8.WAV, by what they sound like.
enum class Sample : int32_t {
  Blip,       // loaded, never played
  Shot,       // a bright downward sweep
  Explosion,  // rumbling noise over a falling thump
  Hit,        // a crisp crack with a falling tone
  MarchA,     // the march notes of stage one's formation, a descending figure;
  MarchB,     // stage two's footsteps and landings use them too
  MarchC,
  MarchD,
  Siren,  // the two-tone alarm
  Count,
};
constexpr int SAMPLE_COUNT = static_cast<int>(Sample::Count);
// The march notes by their place in the figure, 0 to 3.
constexpr Sample marchNote(int32_t index) { return static_cast<Sample>(static_cast<int32_t>(Sample::MarchA) + index); }

// The sound channels the game plays on: a new sound on a channel cuts the
// one still playing there.
enum class Channel : int32_t {
  Footsteps = 0,
  Shot = 1,
  Explosion = 2,
  Hit = 3,
  March = 4,
  Siren = 8,
  Touch = 9,  // stage two's enemies touching the hero
  Beam = 10,  // stage three's UFO beam
};
constexpr int CHANNEL_COUNT = 32;  // the mixer's channels; the game uses 0 to 10

// Sample volumes: 0 (silent) to 255; KEEP_VOLUME plays at the sample's
// volume as last set.
constexpr int32_t FULL_VOLUME = 255;
constexpr int32_t HALF_VOLUME = 127;
constexpr int32_t SILENT = 0;
constexpr int32_t KEEP_VOLUME = -1;
