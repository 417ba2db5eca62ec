#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "engine/app/GameDataCheck.h"
#include "platform/FileSystem.h"
#include "platform/TempFolder.h"

namespace {

// Runs the check with a scratch folder as the working directory.
class GameDataCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = platform::CurrentDirectory();
    ASSERT_EQ(chdir(folder_.Path().c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(chdir(previous_.c_str()), 0); }

  bool Check(std::string& terminal) {
    testing::internal::CaptureStderr();
    const bool found = GameDataFound();
    terminal = testing::internal::GetCapturedStderr();
    return found;
  }

  platform::ScopedTempFolder folder_;
  std::string previous_;
};

TEST_F(GameDataCheckTest, NoResourcesFolderIsSaidWithTheFolderSearched) {
  std::string terminal;
  EXPECT_FALSE(Check(terminal));
  EXPECT_NE(terminal.find("The game data is missing"), std::string::npos) << terminal;
  EXPECT_NE(terminal.find(platform::CurrentDirectory()), std::string::npos) << terminal;

  // A file of that name is no game data either.
  FILE* file = fopen((folder_ / "Resources").c_str(), "w");
  ASSERT_NE(file, nullptr);
  fclose(file);
  EXPECT_FALSE(Check(terminal));
}

TEST_F(GameDataCheckTest, AResourcesFolderInAnyCaseIsFoundQuietly) {
  ASSERT_TRUE(platform::MakeFolder(folder_ / "resources"));
  std::string terminal;
  EXPECT_TRUE(Check(terminal));
  EXPECT_EQ(terminal, "");
}

TEST_F(GameDataCheckTest, WhatStandsInTheFoldersPlaceIsSaidForWhatItIs) {
  struct Case {
    const char* target;  // where a link named Resources leads
    std::string said;
  } cases[] = {
      {"nowhere", "The game data is missing: no folder Resources"},
      {"Resources", "The game data cannot be read: the folder " + platform::CurrentDirectory() +
                        "/Resources (Too many levels of symbolic links).\n"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(symlink(c.target, "Resources"), 0);
    std::string terminal;
    EXPECT_FALSE(Check(terminal)) << c.target;
    EXPECT_EQ(terminal.rfind(c.said, 0), 0u) << terminal;
    ASSERT_EQ(unlink("Resources"), 0);
  }
}

// Root reads any folder whatever its permissions say: a player's account
// does not. The check runs in a child under another account, as the
// program's start would, and ends it with status 1 and one line.
TEST_F(GameDataCheckTest, AResourcesFolderTheAccountCannotReadEndsTheStartWithTheReason) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to run as another account";
  constexpr uid_t kOtherAccount = 54321;
  ASSERT_TRUE(platform::MakeFolder(folder_ / "Resources"));
  FILE* archive = fopen((folder_ / "Resources/Vyre.cab").c_str(), "w");
  ASSERT_NE(archive, nullptr);
  fclose(archive);
  // The scratch folder open to every account; the game data to none.
  ASSERT_EQ(chmod(folder_.Path().c_str(), 0755), 0);
  ASSERT_EQ(chmod((folder_ / "Resources").c_str(), 0), 0);
  int terminal[2];
  ASSERT_EQ(pipe(terminal), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(terminal[0]);
    if (dup2(terminal[1], STDERR_FILENO) < 0) _exit(10);
    if (setgid(kOtherAccount) != 0 || setgroups(0, nullptr) != 0 || setuid(kOtherAccount) != 0) _exit(11);
    _exit(GameDataFound() ? 0 : 1);
  }
  close(terminal[1]);
  std::string said;
  char bytes[512];
  for (ssize_t got; (got = read(terminal[0], bytes, sizeof bytes)) > 0;) said.append(bytes, size_t(got));
  close(terminal[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(said, "The game data cannot be read: the folder " + platform::CurrentDirectory() +
                      "/Resources (Permission denied).\n");
}

}  // namespace
