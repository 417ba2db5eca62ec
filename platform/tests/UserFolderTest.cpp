#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/TempFolder.h"
#include "platform/UserFolder.h"

namespace {

// Sets or clears one environment variable for a test; the old value comes back after.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Apply(value);
  }
  ~ScopedEnvironment() { Apply(old_); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  void Apply(const std::optional<std::string>& value) {
    if (value) {
      setenv(name_, value->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  const char* name_;
  std::optional<std::string> old_;
};

// A working folder and a user folder of the test's own, neither made yet
// below the scratch folder's "run" and "user".
class UserFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(scratch_.Path().empty());
    ASSERT_TRUE(platform::MakeFolder(scratch_ / "run"));
    ASSERT_EQ(chdir((scratch_ / "run").c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(chdir(previous_.c_str()), 0); }

  platform::ScopedTempFolder scratch_{"vyre-user-folder"};
  std::string previous_ = platform::CurrentDirectory();
  std::string user_ = scratch_ / "user";
  ScopedEnvironment userDir_{"VYRE_USER_DIR", user_};
};

TEST_F(UserFolderTest, TheEnvironmentNamesTheFolder) {
  struct Case {
    const char* name;
    std::optional<std::string> userDir, dataHome, home;
    std::string expected;
  } cases[] = {
      {"VYRE_USER_DIR wins", "/srv/test-user", "/data", "/home/player", "/srv/test-user"},
      {"XDG_DATA_HOME only", std::nullopt, "/data", "/home/player", "/data/Novaliths"},
      {"HOME only", std::nullopt, std::nullopt, "/home/player", "/home/player/.local/share/Novaliths"},
      {"empty values count as unset", "", "", "/home/player", "/home/player/.local/share/Novaliths"},
      {"a relative XDG_DATA_HOME is ignored", std::nullopt, "data", "/home/player",
       "/home/player/.local/share/Novaliths"},
  };
  for (const Case& c : cases) {
    ScopedEnvironment userDir("VYRE_USER_DIR", c.userDir);
    ScopedEnvironment dataHome("XDG_DATA_HOME", c.dataHome);
    ScopedEnvironment home("HOME", c.home);
    EXPECT_EQ(platform::UserFolder(), c.expected) << c.name;
  }
}

TEST_F(UserFolderTest, AReadCreatesNothingAndFallsBackToTheWorkingFolder) {
  EXPECT_EQ(platform::UserReadPath("Settings.ini"), "Settings.ini");
  EXPECT_FALSE(platform::PathExists(user_)) << "a read made the user folder";

  // A default shipped in the run folder is read, matched ignoring case,
  // until the player has a copy of their own.
  std::ofstream("settings.INI") << "shipped";
  EXPECT_EQ(platform::UserReadPath("Settings.ini"), "settings.INI");
  ASSERT_TRUE(platform::MakeFolder(user_));
  std::ofstream(user_ + "/Settings.ini") << "own";
  EXPECT_EQ(platform::UserReadPath("Settings.ini"), user_ + "/Settings.ini");
}

TEST_F(UserFolderTest, AWriteCreatesTheUserFolderAndTheFileSubFolders) {
  // A fresh user folder lacks "Vyre"; the path made for the layout has it.
  const std::string layout = platform::UserWritePath("Vyre\\GUI.TXT");
  EXPECT_EQ(layout, user_ + "/Vyre/GUI.TXT");
  EXPECT_TRUE(platform::IsFolder(user_ + "/Vyre"));
  ASSERT_TRUE(platform::ReplaceFileAtomically(layout, "[GUI]"));
  EXPECT_EQ(platform::UserReadPath("Vyre//GUI.TXT"), user_ + "/Vyre//GUI.TXT");
  EXPECT_FALSE(platform::PathExists("Vyre")) << "nothing lands in the working folder";

  // A nested user folder is made whole.
  ScopedEnvironment nested("VYRE_USER_DIR", scratch_ / "a/b/c");
  EXPECT_EQ(platform::UserWritePath("Settings.ini"), scratch_ / "a/b/c/Settings.ini");
  EXPECT_TRUE(platform::IsFolder(scratch_ / "a/b/c"));
}

TEST_F(UserFolderTest, AnAbsolutePathNamesItsOwnPlace) {
  const std::string elsewhere = scratch_ / "elsewhere/Settings.ini";
  EXPECT_EQ(platform::UserWritePath(elsewhere), elsewhere);
  EXPECT_EQ(platform::UserReadPath(elsewhere), elsewhere);
  EXPECT_FALSE(platform::PathExists(scratch_ / "elsewhere"));
  EXPECT_FALSE(platform::PathExists(user_));
}

}  // namespace
