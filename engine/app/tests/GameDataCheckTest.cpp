#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "engine/app/GameDataCheck.h"
#include "platform/FileSystem.h"
#include "platform/TempFolder.h"
#include "platform/tests/support/ChildProcess.h"

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
  const platform::ChildEnd end = platform::RunInChild([](std::string&) { return GameDataFound() ? 0 : 1; },
                                                      {.account = &kOtherAccount, .captureTerminal = true});
  EXPECT_EQ(end.ended, "exit 1") << end.report;
  const std::string& said = end.terminal;
  EXPECT_EQ(said, "The game data cannot be read: the folder " + platform::CurrentDirectory() +
                      "/Resources (Permission denied).\n");
}

}  // namespace
