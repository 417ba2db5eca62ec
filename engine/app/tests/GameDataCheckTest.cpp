#include <gtest/gtest.h>
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

}  // namespace
