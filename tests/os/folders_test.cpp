// The per-user folders: an XDG variable counts only when it holds an
// absolute path; relative, empty or unset, the folder is the one under
// HOME, and without a HOME there is none.
#include "os/folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/files.h"

namespace {

// Sets (or with nullopt unsets) one environment variable for a test's
// length, and puts back what was there.
class EnvironmentValue {
 public:
  EnvironmentValue(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* before = std::getenv(name)) before_ = before;
    set(value);
  }
  ~EnvironmentValue() { set(before_); }
  EnvironmentValue(const EnvironmentValue&) = delete;
  EnvironmentValue& operator=(const EnvironmentValue&) = delete;

 private:
  void set(const std::optional<std::string>& value) const {
    if (value)
      setenv(name_, value->c_str(), 1);
    else
      unsetenv(name_);
  }
  const char* name_;
  std::optional<std::string> before_;
};

const std::string HOME = "/home/player";

struct Folders {
  std::string data, config;
};

Folders foldersWith(const std::optional<std::string>& home, const std::optional<std::string>& dataHome,
                    const std::optional<std::string>& configHome) {
  EnvironmentValue homeValue("HOME", home);
  EnvironmentValue data("XDG_DATA_HOME", dataHome);
  EnvironmentValue config("XDG_CONFIG_HOME", configHome);
  return {os::userDataFolder(), os::userConfigFolder()};
}

}  // namespace

TEST(UserFolders, AnAbsoluteXdgFolderIsTakenAsItIs) {
  const Folders folders = foldersWith(HOME, "/srv/data", "/srv/config");
  EXPECT_EQ(folders.data, "/srv/data/quarvel");
  EXPECT_EQ(folders.config, "/srv/config/quarvel");
  const Folders homeless = foldersWith(std::nullopt, "/srv/data", "/srv/config");
  EXPECT_EQ(homeless.data, "/srv/data/quarvel") << "HOME is not needed then";
  EXPECT_EQ(homeless.config, "/srv/config/quarvel");
}

TEST(UserFolders, ARelativeEmptyOrMissingXdgFolderMeansTheOneUnderHome) {
  for (const std::optional<std::string>& ignored :
       {std::optional<std::string>("data"), std::optional<std::string>("./srv/x"), std::optional<std::string>(""),
        std::optional<std::string>()}) {
    const std::string shown = ignored ? "'" + *ignored + "'" : "unset";
    const Folders folders = foldersWith(HOME, ignored, ignored);
    EXPECT_EQ(folders.data, HOME + "/.local/share/quarvel") << shown;
    EXPECT_EQ(folders.config, HOME + "/.config/quarvel") << shown;
    const Folders homeless = foldersWith(std::string(""), ignored, ignored);
    EXPECT_EQ(homeless.data, "") << "no HOME, " << shown;
    EXPECT_EQ(homeless.config, "") << "no HOME, " << shown;
    EXPECT_EQ(foldersWith(std::nullopt, ignored, ignored).data, "") << "HOME unset, " << shown;
  }
}

// The pictures folder is named in user-dirs.dirs of the config folder,
// which follows the same rule.
TEST(UserFolders, ThePicturesFolderIsReadFromTheConfigFolderUnderTheSameRule) {
  const std::string home = makeScratchFolder("folders");
  std::filesystem::create_directories(home + "/Pics");
  writeFile(home + "/.config/user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Pics\"\n");
  EnvironmentValue homeValue("HOME", home);
  {
    EnvironmentValue config("XDG_CONFIG_HOME", "relative");
    EXPECT_EQ(os::userPicturesFolder(), home + "/Pics");
  }
  {
    EnvironmentValue config("XDG_CONFIG_HOME", home + "/elsewhere");
    EXPECT_EQ(os::userPicturesFolder(), "") << "that folder names no pictures folder";
  }
  std::filesystem::remove_all(home);
}
