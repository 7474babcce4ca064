// --help and the man page come from different hands; they must name the
// same options and the same settings with the same defaults.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "app/command_line.h"
#include "app/settings.h"
#include "support/files.h"

namespace {

// The man page's section from ".SH NAME" to the next ".SH".
std::string section(const std::string& page, const std::string& name) {
  size_t from = page.find(".SH " + name + "\n");
  if (from == std::string::npos) return "";
  size_t to = page.find("\n.SH ", from + 1);
  return page.substr(from, to == std::string::npos ? std::string::npos : to - from);
}

// The option a tagged paragraph names (".B \-\-headless", ".BI \-\-seed " N"",
// ".BR \-\-no\-sound ", " NOSOUND"), as the program spells it; "" for none.
std::string taggedOption(const std::string& line) {
  for (const std::string tag : {".B ", ".BI ", ".BR "}) {
    if (line.rfind(tag, 0) != 0) continue;
    std::string name = line.substr(tag.size());
    name = name.substr(0, name.find_first_of(" \","));
    for (size_t at; (at = name.find("\\-")) != std::string::npos;) name.replace(at, 2, "-");
    return name.rfind("--", 0) == 0 ? name : "";
  }
  return "";
}

}  // namespace

TEST(Help, TheManPageListsEveryOptionAndEverySettingWithItsDefault) {
  const std::string page = readFileText(std::string(QUARVEL_SOURCE_DIR) + "/dist/quarvel.6");
  ASSERT_FALSE(page.empty());
  std::set<std::string> inManPage;
  std::istringstream options(section(page, "OPTIONS"));
  for (std::string line; std::getline(options, line);)
    if (std::string name = taggedOption(line); !name.empty()) inManPage.insert(name);
  const std::vector<std::string> names = optionNames();
  EXPECT_EQ(inManPage, std::set<std::string>(names.begin(), names.end()));

  // Settings: ".B key = default" in SETTINGS, in --help's order; quarvel's defaults.
  std::vector<std::pair<std::string, std::string>> settings;
  std::istringstream lines(section(page, "SETTINGS"));
  for (std::string line; std::getline(lines, line);) {
    size_t equals = line.find(" = ");
    if (line.rfind(".B ", 0) == 0 && equals != std::string::npos)
      settings.push_back({line.substr(3, equals - 3), line.substr(equals + 3)});
  }
  EXPECT_EQ(settings, settingsDefaults(true));
  const std::string help = commandLineHelp(true);
  for (const auto& [key, value] : settings) EXPECT_NE(help.find(key + " = " + value), std::string::npos) << key;
}

// The README's settings table names every setting with its default, and
// --help, the man page and the README all tell the menu's keys and buttons.
TEST(Help, TheReadmeListsEverySettingAndAllThreeTellTheMenu) {
  const std::string readme = readFileText(std::string(QUARVEL_SOURCE_DIR) + "/README.md");
  const size_t from = readme.find("\n## Settings\n");
  ASSERT_NE(from, std::string::npos);
  const std::string table = readme.substr(from, readme.find("\n## ", from + 1) - from);
  for (const auto& [key, value] : settingsDefaults(true)) {
    const size_t at = table.find("`" + key + "`");
    ASSERT_NE(at, std::string::npos) << key;
    const size_t start = table.rfind('\n', at) + 1;
    const std::string row = table.substr(start, table.find('\n', at) - start);
    if (key == "fullscreen") continue;  // the build's
    EXPECT_NE(row.find("`" + value + "`"), std::string::npos) << key << " in " << row;
  }
  const std::string page = readFileText(std::string(QUARVEL_SOURCE_DIR) + "/dist/quarvel.6");
  const std::string help = commandLineHelp(true);
  for (const std::string& text : {help, page, readme})
    for (const char* word : {"RESUME", "SOUND", "DISPLAY", "CONTROLS", "ACCESSIBILITY", "REPLAYS", "QUIT", "Start",
                             "Up", "Down", "Left", "Right", "Enter", "Esc", "click"})
      EXPECT_NE(text.find(word), std::string::npos) << word;
}
