// --help and the man page come from different hands; they must name the
// same options and the same settings with the same defaults.
#include <gtest/gtest.h>

#include <regex>
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

}  // namespace

TEST(Help, TheManPageListsEveryOptionAndEverySettingWithItsDefault) {
  const std::string page = readFileText(std::string(QUARVEL_SOURCE_DIR) + "/dist/quarvel.6");
  ASSERT_FALSE(page.empty());
  // Options: the tagged paragraphs of OPTIONS (".B \-\-name", ".BI \-\-name ...").
  std::set<std::string> inManPage;
  std::istringstream options(section(page, "OPTIONS"));
  std::regex tag(R"(^\.B[IR]? (\\-\\-[a-z\\-]+))");
  for (std::string line; std::getline(options, line);) {
    std::smatch match;
    if (!std::regex_search(line, match, tag)) continue;
    inManPage.insert(std::regex_replace(match[1].str(), std::regex(R"(\\-)"), "-"));
  }
  const std::vector<std::string> names = optionNames();
  EXPECT_EQ(inManPage, std::set<std::string>(names.begin(), names.end()));

  // Settings: ".B key = default" in SETTINGS, in --help's order; quarvel's defaults.
  std::vector<std::pair<std::string, std::string>> settings;
  std::istringstream lines(section(page, "SETTINGS"));
  std::regex assignment(R"(^\.B ([a-z_]+) = (.+)$)");
  for (std::string line; std::getline(lines, line);) {
    std::smatch match;
    if (std::regex_match(line, match, assignment)) settings.push_back({match[1].str(), match[2].str()});
  }
  EXPECT_EQ(settings, settingsDefaults(true));
  const std::string help = commandLineHelp(true);
  for (const auto& [key, value] : settings) EXPECT_NE(help.find(key + " = " + value), std::string::npos) << key;
}
