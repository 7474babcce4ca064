// Settings files: one "key = value" a line, '#' or ';' starting a comment,
// blanks around keys and values not counting. Keys are not case-sensitive:
// they come back lower-cased. What each key means is up to the reader.
#pragma once

#include <string>
#include <vector>

struct SettingLine {
  int line = 0;
  std::string key;  // lower case
  std::string value;
};

struct SettingsText {
  std::vector<SettingLine> entries;
  std::vector<SettingLine> malformed;  // lines that are not "key = value" (key holds the line's text)
};

SettingsText parseSettingsText(const std::string& text);

// The text with key set to value: the first line of that key rewritten, or
// a line added at the end; every other line kept as it was.
std::string withSetting(const std::string& text, const std::string& key, const std::string& value);
