#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/puzzle/RunGame.h"
#include "platform/FileSystem.h"
#include "platform/UserFolderLock.h"
#include "support/GameTestSupport.h"

namespace {

using namespace puzzle_test;

// A second copy on the same user folder would save the table it read at its
// start over the first one's new result: it ends before it reads or writes
// a file, its log included.
TEST(RunGame, ASecondCopyOnTheSameUserFolderEndsBeforeItTouchesAFile) {
  GameFixture fixture;
  fixture.AddProfileFile("bob");
  const std::string folder = platform::CurrentDirectory();  // also the user folder
  platform::UserFolderLock firstCopy;
  std::string reason;
  ASSERT_EQ(firstCopy.Acquire(folder, reason), platform::UserFolderLock::Outcome::Held) << reason;
  FakeServices services;
  EXPECT_EQ(RunGame(services, EngineRunOptions{}), 1);
  EXPECT_TRUE(services.tried.empty()) << "a profile was read";
  std::vector<platform::DirectoryEntry> entries;
  ASSERT_TRUE(platform::SearchDirectory(folder + "/*", entries));
  std::vector<std::string> names;
  for (const auto& entry : entries) names.push_back(entry.name);
  EXPECT_EQ(names, std::vector<std::string>{"Profiles"});
}

}  // namespace
