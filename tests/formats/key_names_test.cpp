// Key names: every name the scripts and the settings know stands for its PC
// (set 1) scan code and back, and a press of it types what the key types.
#include "formats/key_names.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string>

#include "base/keys.h"

namespace {

// The PC keyboard's letter rows, each row's scan codes counting up from the
// first letter's.
struct LetterRow {
  const char* letters;
  int firstScanCode;
};
constexpr LetterRow LETTER_ROWS[] = {{"qwertyuiop", 0x10}, {"asdfghjkl", 0x1E}, {"zxcvbnm", 0x2C}};

struct NamedKey {
  const char* name;
  int scanCode;
};
constexpr NamedKey OTHER_KEYS[] = {{"esc", SC_ESC},   {"ctrl", SC_CTRL},   {"lshift", SC_LSHIFT}, {"space", SC_SPACE},
                                   {"left", SC_LEFT}, {"right", SC_RIGHT}, {"enter", SC_ENTER}};

}  // namespace

TEST(KeyNames, EveryNameIsItsScanCodeAndBack) {
  std::set<int> codes;
  auto expectKey = [&codes](const std::string& name, int scanCode) {
    EXPECT_EQ(scanCodeForName(name), scanCode) << name;
    EXPECT_EQ(nameForScanCode(scanCode), name) << name;
    codes.insert(scanCode);
  };
  for (const LetterRow& row : LETTER_ROWS)
    for (int i = 0; row.letters[i] != '\0'; ++i) expectKey(std::string(1, row.letters[i]), row.firstScanCode + i);
  for (int digit = 1; digit <= 9; ++digit) expectKey(std::to_string(digit), SC_1 + digit - 1);
  expectKey("0", SC_0);
  for (const NamedKey& key : OTHER_KEYS) expectKey(key.name, key.scanCode);
  EXPECT_EQ(codes.size(), 26u + 10u + std::size(OTHER_KEYS)) << "no two names share a key";

  for (const char* unknown : {"", "f1", "Space", "A", "shift", "rshift", "tab", "esc "})
    EXPECT_EQ(scanCodeForName(unknown), -1) << unknown;
  for (int unnamed : {-1, 0, SC_TAB, SC_RSHIFT, SC_UP, SC_DOWN, SCAN_CODE_COUNT})
    EXPECT_EQ(nameForScanCode(unnamed), "");
}

TEST(KeyNames, APressTypesTheKeysCharacterOrNone) {
  EXPECT_EQ(typedValueForScanCode(scanCodeForName("a")), "a");
  EXPECT_EQ(typedValueForScanCode(scanCodeForName("m")), "m");
  EXPECT_EQ(typedValueForScanCode(scanCodeForName("0")), "0");
  EXPECT_EQ(typedValueForScanCode(scanCodeForName("7")), "7");
  EXPECT_EQ(typedValueForScanCode(SC_SPACE), " ");
  EXPECT_EQ(typedValueForScanCode(SC_ESC), std::string(1, KEY_ESC_CHAR));
  EXPECT_EQ(typedValueForScanCode(SC_ENTER), "\r");
  for (int silent : {SC_CTRL, SC_LSHIFT, SC_LEFT, SC_RIGHT, SC_UP, 0})
    EXPECT_EQ(typedValueForScanCode(silent), keyWithoutCharacter()) << silent;
}
