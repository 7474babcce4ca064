#include "formats/settings_text.h"

#include <cctype>
#include <sstream>

#include "formats/text.h"

namespace {

// The line without its comment.
std::string content(const std::string& line) { return trimmed(line.substr(0, line.find_first_of("#;"))); }

}  // namespace

SettingsText parseSettingsText(const std::string& text) {
  SettingsText parsed;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    std::string body = content(line);
    if (body.empty()) continue;
    size_t equals = body.find('=');
    if (equals == std::string::npos) {
      parsed.malformed.push_back({number, body, ""});
      continue;
    }
    parsed.entries.push_back({number, lowerCase(trimmed(body.substr(0, equals))), trimmed(body.substr(equals + 1))});
  }
  return parsed;
}

std::string withSetting(const std::string& text, const std::string& key, const std::string& value) {
  std::istringstream lines(text);
  std::string line, out;
  bool replaced = false;
  const std::string wanted = lowerCase(key);
  while (std::getline(lines, line)) {
    std::string body = content(line);
    size_t equals = body.find('=');
    if (!replaced && equals != std::string::npos && lowerCase(trimmed(body.substr(0, equals))) == wanted) {
      line = key + " = " + value;
      replaced = true;
    }
    out += line + "\n";
  }
  if (!replaced) out += key + " = " + value + "\n";
  return out;
}
