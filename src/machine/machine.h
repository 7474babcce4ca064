// The machine as the game sees it: the screen's two pages, images and
// drawing, the keyboard, the clock, random numbers, sound, the files it
// keeps, and what the game tells the machine it is doing. This header is the
// whole list: the scenes, the graphics toolkit and the game's flow call
// nothing else below them. (The app starts the machine on a back end with
// machine/control.h; back ends and the harness meet it through
// machine/backend.h and machine/observer.h.)
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/keys.h"
#include "base/outcome.h"
#include "base/task.h"
#include "machine/kinds.h"
#include "os/files.h"

constexpr uint32_t MASK_COLOUR = 0xFF00FF;
// A new image's pixels: the mask colour with its top byte set.
constexpr uint32_t NEW_IMAGE_FILL = 0xFFFF00FFu;

// Every image is one block: this 32-byte header followed by the pixel rows,
// top row first. Sprite drawing reads and writes the block directly.
struct Image {
  int32_t typeTag;        // always 7
  int32_t bytesPerPixel;  // always 4
  int32_t width;
  int32_t height;
  int32_t pitch;  // bytes from one row to the next: width * 4 rounded up to 16
  uint8_t reserved[12];
};
static_assert(sizeof(Image) == 32, "the image header is 32 bytes");

inline uint8_t* imagePixels(Image* image) { return reinterpret_cast<uint8_t*>(image) + sizeof(Image); }
inline const uint8_t* imagePixels(const Image* image) {
  return reinterpret_cast<const uint8_t*>(image) + sizeof(Image);
}
inline uint32_t* imageRow(Image* image, int y) {
  return reinterpret_cast<uint32_t*>(imagePixels(image) + static_cast<intptr_t>(y) * image->pitch);
}
inline const uint32_t* imageRow(const Image* image, int y) {
  return reinterpret_cast<const uint32_t*>(imagePixels(image) + static_cast<intptr_t>(y) * image->pitch);
}

// An image and its memory, released when the owner goes.
struct ImageRelease {
  void operator()(Image* image) const;
};
using OwnedImage = std::unique_ptr<Image, ImageRelease>;

namespace machine {
struct MachineState;  // machine/machine_state.h: the machine's own
}

// The machine a run plays on: the screen's two pages, the keyboard, the
// clock, random numbers and sound. The app makes one for the whole run (as
// part of the game's own record); every procedure below works on the one it
// is given.
class Machine {
 public:
  Machine();
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;
  // The machine's own files reach its state here; to everyone else the type is incomplete.
  machine::MachineState& state() { return *state_; }
  const machine::MachineState& state() const { return *state_; }

 private:
  std::unique_ptr<machine::MachineState> state_;
};

// --- display ---------------------------------------------------------------
// Both pages black, page 0 work and visible page (the app has opened the
// display the pages are shown on).
void openScreen(Machine& machine);
// The display has gone: nothing is drawn on the pages any more.
void closeScreen(Machine& machine);
void setPages(Machine& machine, int work, int visible);
void FramePresent(Machine& machine);  // copies the work page onto the visible page
void clearPage(Machine& machine);     // the work page becomes black

enum LineKind { LineSolid, LineBox, LineFilledBox };
// target nullptr: the work page. Fractional coordinates round halves away from zero.
void drawLine(Machine& machine, Image* target, double x1, double y1, double x2, double y2, uint32_t colour,
              LineKind kind);
void setPixel(Machine& machine, Image* target, double x, double y, uint32_t colour);
uint32_t readPixel(const Machine& machine, int x, int y);  // work page; 0xFFFFFFFF outside it

struct WorkPageInfo {
  uint8_t* pixels;  // nullptr while no screen is open
  int width;
  int height;
  int bitsPerPixel;
  int pitch;
};
void lockWorkPage(Machine& machine);
WorkPageInfo workPageInfo(Machine& machine);
void unlockWorkPage(Machine& machine);
// While an image is set here, drawing aimed at the work page (drawLine,
// setPixel and drawImage with target nullptr, and workPageInfo, so RotoBlit
// too) lands in that image instead: a picture painted with the same code as
// the screen. nullptr: the work page again.
void drawIntoImage(Machine& machine, Image* image);

// --- images ----------------------------------------------------------------
OwnedImage createImage(int width, int height, uint32_t fill = NEW_IMAGE_FILL);
// Reads a 24- or 32-bit BMP file of the image's own size into it. A file
// that is missing, cannot be read, is no such BMP or has another size fails
// and leaves the image untouched.
Outcome loadBitmap(const std::string& path, Image* image);
// The game's data files (graphics/..., WAV/...) in the folder the app found them in.
std::string dataPath(const Machine& machine, const std::string& relative);

using BlendFn = uint32_t (*)(uint32_t source, uint32_t destination, const void* param);
// The two blends the game draws with; drawImage and RotoBlit recognise them and
// do their work in plain row loops instead of a call per pixel.
// Mask pixels leave the destination; every other pixel becomes *(uint32_t*)param.
uint32_t RecolourBlend(uint32_t source, uint32_t destination, const void* param);
// Mask pixels leave the destination; every other pixel becomes the mask colour.
uint32_t EraseBlend(uint32_t source, uint32_t destination, const void* param);
enum DrawMode { DrawCopy, DrawTransparent, DrawCustom };
// Copies the source rectangle (corners included, cut to the source) so that
// its top-left pixel lands on (x, y) of the target (nullptr: the work page).
void drawImage(Machine& machine, Image* target, double x, double y, const Image* source, int sx1, int sy1, int sx2,
               int sy2, DrawMode mode, BlendFn blend = nullptr, const void* param = nullptr);
void drawImage(Machine& machine, Image* target, double x, double y, const Image* source, DrawMode mode,
               BlendFn blend = nullptr, const void* param = nullptr);

// --- keyboard --------------------------------------------------------------
bool keyHeld(const Machine& machine, int scanCode);
std::string readKey(Machine& machine);  // "" when the queue is empty
void emptyKeyQueue(Machine& machine);   // readKey until it returns ""

// --- timing and random numbers -----------------------------------------------
// A wait: co_await sleepMs(machine, 30) gives the frame back to the app,
// which counts the time on the clock, shows what changed, takes the
// player's input and resumes the scene once the time has passed.
class [[nodiscard]] Sleep {
 public:
  Sleep(Machine& machine, int ms, bool untilKey) : machine_(machine), ms_(ms), untilKey_(untilKey) {}
  bool await_ready() const noexcept { return false; }
  void await_suspend(coro::coroutine_handle<> scene) const noexcept;
  void await_resume() const noexcept {}

 private:
  Machine& machine_;
  int ms_;
  bool untilKey_;
};
Sleep sleepMs(Machine& machine, int ms);
Sleep sleepOrKey(Machine& machine, int ms);  // ends early on a key press, leaving it queued
void seedRandom(Machine& machine, uint32_t seed);
double randomUnit(Machine& machine);  // [0, 1)

// --- sound -------------------------------------------------------------------
// Opens the sound device and loads WAV/0.WAV .. WAV/8.WAV (not at all when
// not wanted). A missing sample is told and stays silent; a device that
// will not open or a damaged sample leaves the whole game silent.
void initSound(Machine& machine, bool wanted);
// Closes the device; true when sound had started.
bool closeSound(Machine& machine);
// volume 0..255, or KEEP_VOLUME for the sample's volume as last set (which a
// play with a volume sets). Silent unless the sound started with every
// sample it found.
void playEffect(Machine& machine, Sample sample, Channel channel, int32_t volume);

// --- what the game is doing ------------------------------------------------
void tellActivity(Machine& machine, Activity activity);
void tellHighScore(Machine& machine, int32_t highScore);  // the high score reached so far, whenever it changes

// --- files the game keeps (the high score) ------------------------------------
using os::FileRead;
using os::fileReadReason;
using os::readRegularFile;
using os::replaceFile;
using os::ReplaceStepHook;
using os::whyNotReplaceable;
