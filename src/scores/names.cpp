#include "scores/names.h"

#include <cstdio>

namespace scores {

namespace {

std::string shown(unsigned char c) {
  if (c >= ' ' && c < 0x7f) return std::string("'") + static_cast<char>(c) + "'";
  char hex[8];
  std::snprintf(hex, sizeof hex, "\\x%02X", c);
  return hex;
}

}  // namespace

std::string whyBadName(std::string_view name) {
  if (name.empty()) return "the name is empty";
  if (name.size() > NAME_MAX_LENGTH) {
    return "the name has more than " + std::to_string(NAME_MAX_LENGTH) + " characters";
  }
  for (char c : name) {
    if (c >= 'a' && c <= 'z') return "the name has a lower-case letter (" + shown(c) + "); the game shows capitals";
    if (!inFont(c))
      return "the name has a character the game cannot show (" + shown(static_cast<unsigned char>(c)) + ")";
  }
  if (name.front() == ' ' || name.back() == ' ') return "the name begins or ends with a blank";
  return "";
}

}  // namespace scores
