// Player names on the table: what the game's own font can draw, so the game
// and the page show every name as it was typed.
#pragma once

#include <string>
#include <string_view>

namespace scores {

constexpr size_t NAME_MAX_LENGTH = 10;

// "" when name may stand on the table; otherwise why not, in one line
// (control characters shown as \xNN, never echoed raw).
std::string whyBadName(std::string_view name);

// A character of the game's font: the blank, its punctuation, the digits and
// the capitals (codes 32 to 95); lower-case letters are not in it.
constexpr bool inFont(char c) { return c >= ' ' && c <= '_'; }

}  // namespace scores
