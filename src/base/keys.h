// The keyboard in the game's terms: PC set-1 scan codes for keys held, and
// the values the key queue gives back.
#pragma once

#include <string>

// Scan codes of the keys the game and its players' extras name.
constexpr int SC_ESC = 0x01;
constexpr int SC_ENTER = 0x1C;
constexpr int SC_CTRL = 0x1D;
constexpr int SC_LSHIFT = 0x2A;
constexpr int SC_SPACE = 0x39;
constexpr int SC_LEFT = 0x4B;
constexpr int SC_RIGHT = 0x4D;
// Keys without a script name that the window and the browser still pass on
// as the PC keyboard has them (digits 1 to 9 follow SC_1).
constexpr int SC_1 = 0x02;
constexpr int SC_0 = 0x0B;
constexpr int SC_MINUS = 0x0C;
constexpr int SC_BACKSPACE = 0x0E;
constexpr int SC_TAB = 0x0F;
constexpr int SC_RSHIFT = 0x36;
constexpr int SC_ALT = 0x38;
constexpr int SC_UP = 0x48;
constexpr int SC_DOWN = 0x50;
constexpr int SCAN_CODE_COUNT = 256;

// What the queue gives for Esc, and for a key without a character (arrows,
// Ctrl ...) and the window's close button: equal to no one-character string.
constexpr char KEY_ESC_CHAR = 27;
inline const std::string& keyWithoutCharacter() {
  static const std::string value("\x01\x01", 2);
  return value;
}
