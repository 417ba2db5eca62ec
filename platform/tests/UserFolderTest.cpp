#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/RegistryStore.h"
#include "platform/TempFolder.h"
#include "platform/UserFolder.h"
#include "platform/UserFolderLock.h"

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

constexpr const char* kGameKey = "Software\\Velk Software Studio\\Novaliths";

TEST_F(UserFolderTest, WithoutHomeTheAccountsHomeIsUsed) {
  ScopedEnvironment userDir("VYRE_USER_DIR", std::nullopt);
  ScopedEnvironment dataHome("XDG_DATA_HOME", std::nullopt);
  ScopedEnvironment configHome("XDG_CONFIG_HOME", std::nullopt);
  ScopedEnvironment registry("VYRE_REGISTRY", std::nullopt);
  ScopedEnvironment home("HOME", std::nullopt);
  const passwd* account = getpwuid(getuid());
  ASSERT_NE(account, nullptr);
  const std::string accountHome = account->pw_dir;
  EXPECT_EQ(platform::HomeFolder(), accountHome);
  EXPECT_EQ(platform::UserFolder(), accountHome + "/.local/share/Novaliths");
  EXPECT_EQ(platform::RegistryFileFor(kGameKey), accountHome + "/.config/Velk Software Studio/Novaliths.reg");
}

// An account the password database does not know, with no home in the
// environment: nothing names a place for the player's files, and nothing
// is made in the working folder in its place.
TEST_F(UserFolderTest, WithNoHomeAnywhereThereIsNoUserFolder) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to take an unknown account";
  constexpr uid_t kUnknownAccount = 54321;
  ASSERT_EQ(getpwuid(kUnknownAccount), nullptr);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    for (const char* name : {"VYRE_USER_DIR", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "VYRE_REGISTRY", "HOME"})
      unsetenv(name);
    if (setuid(kUnknownAccount) != 0) _exit(10);
    int failures = 0;
    failures += !platform::HomeFolder().empty();
    failures += !platform::UserFolder().empty();
    failures += !platform::UserWritePath("Profiles/a.profile").empty();
    failures += platform::UserReadPath("Settings.ini") != "Settings.ini";
    failures += !platform::RegistryFileFor(kGameKey).empty();
    failures += platform::ReplaceFileAtomically(platform::UserWritePath("Settings.ini"), "x");
    failures += platform::RegistryWrite(kGameKey, "Profile", platform::RegistryValueType::Text, "a", 1);
    _exit(failures);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::vector<platform::DirectoryEntry> entries;
  ASSERT_TRUE(platform::SearchDirectory("*.*", entries));
  EXPECT_TRUE(entries.empty()) << entries.front().name;
}

TEST_F(UserFolderTest, ThePlayersOwnFileWinsEvenWhenItCannotBeOpened) {
  std::ofstream("Settings.ini") << "shipped";
  ASSERT_TRUE(platform::MakeFolder(user_));
  ASSERT_EQ(symlink("Settings.ini", (user_ + "/Settings.ini").c_str()), 0);  // a loop
  EXPECT_EQ(platform::UserReadPath("Settings.ini"), user_ + "/Settings.ini");
}

TEST_F(UserFolderTest, OneHolderOfTheLockAtATimeAndADeadHolderHoldsNothing) {
  std::string reason;
  {
    platform::UserFolderLock first;
    ASSERT_EQ(first.Acquire(user_, reason), platform::UserFolderLock::Outcome::Held) << reason;
    platform::UserFolderLock second;
    EXPECT_EQ(second.Acquire(user_, reason), platform::UserFolderLock::Outcome::Busy);
    first.Release();
    EXPECT_EQ(second.Acquire(user_, reason), platform::UserFolderLock::Outcome::Held);
  }
  // Another process holds the folder until it is killed outright.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    platform::UserFolderLock held;
    std::string childReason;
    const char answer = held.Acquire(user_, childReason) == platform::UserFolderLock::Outcome::Held ? 'y' : 'n';
    if (write(ready[1], &answer, 1) != 1) _exit(1);
    for (;;) pause();
  }
  char answer = 0;
  ASSERT_EQ(read(ready[0], &answer, 1), 1);
  EXPECT_EQ(answer, 'y');
  platform::UserFolderLock mine;
  EXPECT_EQ(mine.Acquire(user_, reason), platform::UserFolderLock::Outcome::Busy);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
  EXPECT_TRUE(platform::PathExists(user_ + "/" + platform::UserFolderLock::kFileName)) << "the stale file stays";
  EXPECT_EQ(mine.Acquire(user_, reason), platform::UserFolderLock::Outcome::Held) << reason;

  // A file where the folder should be: the lock cannot be taken, and says why.
  std::ofstream(scratch_ / "plain") << "x";
  EXPECT_EQ(mine.Acquire(scratch_ / "plain", reason), platform::UserFolderLock::Outcome::Failed);
  EXPECT_FALSE(reason.empty());
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
