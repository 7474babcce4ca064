// Screen, images, keyboard, timing and random numbers: the services every scene
// uses. The rest of the game never touches the window system; it calls these
// procedures, which run on either the SDL window back end or the headless one.
#pragma once

#include <cstdint>
#include <string>

constexpr uint32_t MASK_COLOUR = 0xFF00FF;

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
inline uint32_t* imageRow(Image* image, int y) {
  return reinterpret_cast<uint32_t*>(imagePixels(image) + static_cast<intptr_t>(y) * image->pitch);
}

// Scan codes (PC set 1) of the keys the game tests with keyHeld.
constexpr int SC_ESC = 0x01;
constexpr int SC_CTRL = 0x1D;
constexpr int SC_LSHIFT = 0x2A;
constexpr int SC_SPACE = 0x39;
constexpr int SC_LEFT = 0x4B;
constexpr int SC_RIGHT = 0x4D;
constexpr int SC_ENTER = 0x1C;

// readKey's value for a key without a character (arrows, Ctrl ...) and for
// the window's close button: equal to no one-character string.
inline const std::string& keyWithoutCharacter() {
  static const std::string value("\x01\x01", 2);
  return value;
}
constexpr char KEY_ESC_CHAR = 27;

// --- display ---------------------------------------------------------------
void openScreen(int width, int height, int bitsPerPixel, int pages, bool fullScreen);
void leaveFullScreen();  // the 640x480 8-bit window of the shutdown
void closeScreen();
void hideMousePointer();
void setPages(int work, int visible);
void FramePresent();  // copies the work page onto the visible page
void clearPage();     // the work page becomes black

enum LineKind { LineSolid, LineBox, LineFilledBox };
// target nullptr: the work page. Fractional coordinates round halves away from zero.
void drawLine(Image* target, double x1, double y1, double x2, double y2, uint32_t colour, LineKind kind);
void setPixel(Image* target, double x, double y, uint32_t colour);
uint32_t readPixel(int x, int y);  // work page; 0xFFFFFFFF outside it

struct WorkPageInfo {
  uint8_t* pixels;  // nullptr while no screen is open
  int width;
  int height;
  int bitsPerPixel;
  int pitch;
};
void lockWorkPage();
WorkPageInfo workPageInfo();
void unlockWorkPage();
// While an image is set here, drawing aimed at the work page (drawLine,
// setPixel and drawImage with target nullptr, and workPageInfo, so RotoBlit
// too) lands in that image instead: a picture painted with the same code as
// the screen. nullptr: the work page again.
void drawIntoImage(Image* image);

// --- images ----------------------------------------------------------------
// Every pixel 0xFFFF00FF unless a fill colour is given.
Image* createImage(int width, int height, uint32_t fill = 0xFFFF00FFu);
void destroyImage(Image* image);
// Reads a 24- or 32-bit BMP into the image; a file of another size fills only
// the overlap. Anything missing or malformed leaves the image untouched and
// returns false.
bool loadBitmap(const std::string& path, Image* image);

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
void drawImage(Image* target, double x, double y, Image* source, int sx1, int sy1, int sx2, int sy2, DrawMode mode,
               BlendFn blend = nullptr, const void* param = nullptr);
void drawImage(Image* target, double x, double y, Image* source, DrawMode mode, BlendFn blend = nullptr,
               const void* param = nullptr);

// --- keyboard --------------------------------------------------------------
bool keyHeld(int scanCode);
std::string readKey();  // "" when the queue is empty
void emptyKeyQueue();   // readKey until it returns ""

// --- timing and random numbers -----------------------------------------------
void sleepMs(int ms);
void sleepOrKey(int ms);  // returns early on a key press, leaving it queued
double secondsTimer();
void seedRandom(uint32_t seed);
double randomUnit();  // [0, 1)
