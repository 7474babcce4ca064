// Names and typed values of the keys that scripts and recordings know.
#include "formats/key_names.h"

#include "base/keys.h"

namespace {
struct KeyName {
  const char* name;
  int scanCode;
  char typed;  // 0: a key without a character
};

constexpr KeyName KEY_NAMES[] = {
    {"esc", SC_ESC, 27},  {"ctrl", SC_CTRL, 0},   {"lshift", SC_LSHIFT, 0}, {"space", SC_SPACE, ' '},
    {"left", SC_LEFT, 0}, {"right", SC_RIGHT, 0}, {"enter", SC_ENTER, 13},  {"1", 0x02, '1'},
    {"2", 0x03, '2'},     {"3", 0x04, '3'},       {"4", 0x05, '4'},         {"5", 0x06, '5'},
    {"6", 0x07, '6'},     {"7", 0x08, '7'},       {"8", 0x09, '8'},         {"9", 0x0A, '9'},
    {"0", 0x0B, '0'},     {"q", 0x10, 'q'},       {"w", 0x11, 'w'},         {"e", 0x12, 'e'},
    {"r", 0x13, 'r'},     {"t", 0x14, 't'},       {"y", 0x15, 'y'},         {"u", 0x16, 'u'},
    {"i", 0x17, 'i'},     {"o", 0x18, 'o'},       {"p", 0x19, 'p'},         {"a", 0x1E, 'a'},
    {"s", 0x1F, 's'},     {"d", 0x20, 'd'},       {"f", 0x21, 'f'},         {"g", 0x22, 'g'},
    {"h", 0x23, 'h'},     {"j", 0x24, 'j'},       {"k", 0x25, 'k'},         {"l", 0x26, 'l'},
    {"z", 0x2C, 'z'},     {"x", 0x2D, 'x'},       {"c", 0x2E, 'c'},         {"v", 0x2F, 'v'},
    {"b", 0x30, 'b'},     {"n", 0x31, 'n'},       {"m", 0x32, 'm'},
};
}  // namespace

int scanCodeForName(const std::string& name) {
  for (const KeyName& key : KEY_NAMES)
    if (name == key.name) return key.scanCode;
  return -1;
}

std::string nameForScanCode(int scanCode) {
  for (const KeyName& key : KEY_NAMES)
    if (key.scanCode == scanCode) return key.name;
  return "";
}

std::string typedValueForScanCode(int scanCode) {
  for (const KeyName& key : KEY_NAMES)
    if (key.scanCode == scanCode) return key.typed ? std::string(1, key.typed) : keyWithoutCharacter();
  return keyWithoutCharacter();
}

const char* keyNamesHelp() { return "esc ctrl lshift space left right enter a-z 0-9"; }
