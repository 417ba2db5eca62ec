// The player's files survive a crash at any moment of a save, and a save
// that fails partway leaves the previous file exactly as it was.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/foundation/DirList.h"
#include "game/shell/HighScoreTable.h"
#include "game/shell/Profile.h"
#include "platform/Random.h"
#include "platform/tests/support/ChildProcess.h"
#include "support/ShellTestSupport.h"

namespace {

using namespace shell_test;

// The names a folder listing shows for a pattern.
std::vector<std::string> Listing(const std::string& pattern) {
  DirList list;
  list.Scan(pattern.c_str());
  std::vector<std::string> names;
  for (uint32_t i = 0; i < list.FileCount(); ++i) names.push_back(list.GetFile(i).Chars());
  return names;
}

struct SavedFile {
  std::string path;
  // What the player's listing scans for, and what it must show.
  std::string pattern;
  std::vector<std::string> listed;
  std::function<bool()> saveFirst;
  std::function<bool()> saveSecond;
  // Reads the file back the way the game does; true when it loads.
  std::function<bool()> loads;
};

// A child saves the two versions in turn until it is killed at a seeded
// random moment; after every kill the file is whole and one of the two.
void KillDuringSaves(const SavedFile& file) {
  ASSERT_TRUE(file.saveFirst());
  const std::string first = ReadBytes(file.path);
  ASSERT_TRUE(file.saveSecond());
  const std::string second = ReadBytes(file.path);
  ASSERT_NE(first, second);

  platform::SeedRandom(4242);
  for (int round = 0; round < 30; ++round) {
    SCOPED_TRACE(round);
    const useconds_t delay = 200 + static_cast<useconds_t>(platform::NextRandom() % 15000);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) {
        file.saveFirst();
        file.saveSecond();
      }
    }
    usleep(delay);
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    const std::string now = ReadBytes(file.path);
    EXPECT_TRUE(now == first || now == second);
    EXPECT_TRUE(file.loads());
    // A temporary left by the kill never shows as a player file.
    EXPECT_EQ(Listing(file.pattern), file.listed);
  }
}

// A child whose writes stop at 100 bytes (EFBIG, SIGXFSZ ignored) saves the
// other version: the save says false and the file is byte-identical.
void FailPartway(const SavedFile& file) {
  ASSERT_TRUE(file.saveFirst());
  const std::string before = ReadBytes(file.path);
  const platform::ChildEnd end = platform::RunInChild([&file](std::string&) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{100, 100};
    setrlimit(RLIMIT_FSIZE, &limit);
    return file.saveSecond() ? 1 : 0;
  });
  EXPECT_EQ(end.ended, "exit 0") << "1: the failed save reported success";
  EXPECT_EQ(ReadBytes(file.path), before);
  EXPECT_EQ(Listing(file.pattern), file.listed);
}

class CrashSafety : public ::testing::Test {
 protected:
  CrashSafety() {
    FillEveryField(first_, "bob");
    FillEveryField(second_, "bob");
    second_.stars = 1000;
    second_.modes[kModePanic].score = 123456;
    FillDefaultHighScores(rowsFirst_);
    FillDefaultHighScores(rowsSecond_);
    rowsSecond_[1][0].name = "bob";
    rowsSecond_[1][0].score = 999;
  }

  SavedFile ProfileFile() {
    return {folders_.User("Profiles/bob.profile"),
            folders_.User("Profiles/*.*"),
            {"bob.profile"},
            [this] { return first_.Save(); },
            [this] { return second_.Save(); },
            [] {
              Profile loaded;
              return loaded.Load("bob") && (loaded.stars == 37 || loaded.stars == 1000);
            }};
  }
  SavedFile HighScoreFile() {
    return {folders_.User("00000000.dat"),
            folders_.User("*.dat"),
            {"00000000.dat"},
            [this] { return HighScoreTable::Save(rowsFirst_); },
            [this] { return HighScoreTable::Save(rowsSecond_); },
            [] {
              HighScoreRows loaded;
              FillDefaultHighScores(loaded);
              HighScoreTable::Load(loaded);
              return GemLines().empty() && (loaded[1][0].score == 0 || loaded[1][0].score == 999);
            }};
  }

  PlayerFolders folders_;
  Profile first_;
  Profile second_;
  HighScoreRows rowsFirst_;
  HighScoreRows rowsSecond_;
};

TEST_F(CrashSafety, AProfileKilledMidSaveIsOneWholeVersion) {
  SavedFile file = ProfileFile();
  // Temporaries may stay in the folder; the "*.profile" listing never shows them.
  file.pattern = folders_.User("Profiles/*.profile");
  KillDuringSaves(file);
}

TEST_F(CrashSafety, AProfileSaveThatFailsPartwayLeavesThePreviousFile) { FailPartway(ProfileFile()); }

TEST_F(CrashSafety, TheHighScoreFileKilledMidSaveIsOneWholeVersion) {
  SavedFile file = HighScoreFile();
  file.pattern = folders_.User("0*.dat");
  KillDuringSaves(file);
}

TEST_F(CrashSafety, AHighScoreSaveThatFailsPartwayLeavesThePreviousFile) { FailPartway(HighScoreFile()); }

}  // namespace
