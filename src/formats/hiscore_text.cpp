#include "formats/hiscore_text.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

constexpr size_t LONGEST_ITEM = 4096;  // the rest of an absurdly long item is not read

int32_t parseValue(const std::string& item) {
  size_t i = 0;
  while (i < item.size() && (item[i] == ' ' || item[i] == '\t')) ++i;
  std::string number;
  if (i < item.size() && (item[i] == '+' || item[i] == '-')) number.push_back(item[i++]);
  bool digits = false;
  auto takeDigits = [&] {
    for (; i < item.size() && std::isdigit(static_cast<unsigned char>(item[i])); ++i) {
      number.push_back(item[i]);
      digits = true;
    }
  };
  takeDigits();
  if (i < item.size() && item[i] == '.') {
    number.push_back(item[i++]);
    takeDigits();
  }
  if (!digits) return 0;
  double value = std::nearbyint(std::strtod(number.c_str(), nullptr));
  if (value > 2147483647.0) return INT32_MAX;
  if (value < -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}

std::string secondItem(std::istream& in) {
  std::string item;
  int index = 0;
  char c;
  while (in.get(c)) {
    if (c == ',' || c == '\n') {
      if (index == 1) return item;
      ++index;
      item.clear();
      continue;
    }
    if (c == '\r') continue;
    if (item.size() < LONGEST_ITEM) item.push_back(c);
  }
  return index == 1 ? item : "";
}

}  // namespace

int32_t highScoreFromText(const std::string& text) {
  std::istringstream in(text);
  return parseValue(secondItem(in));
}

std::string highScoreText(int32_t value) {
  std::string text = "hi-score\r\n";
  text += value < 0 ? "-" : " ";
  text += std::to_string(value < 0 ? -static_cast<int64_t>(value) : static_cast<int64_t>(value));
  return text + "\r\n";
}
