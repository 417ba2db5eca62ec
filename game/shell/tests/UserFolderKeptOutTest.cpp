// A copy of the program that could not take its user folder may share it
// with a copy that did: it plays on, but none of its results replaces what
// the other copy saves. Its start has said so once; the failed saves add no
// line to the terminal and tell their callers they failed, so the game-over
// page says the result was not saved.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "engine/app/UserFolderStart.h"
#include "engine/foundation/Log.h"
#include "game/shell/HighScoreTable.h"
#include "game/shell/Profile.h"
#include "platform/TempFolder.h"
#include "platform/UserFolderLock.h"
#include "platform/tests/support/UntakeableUserFolders.h"
#include "support/ShellTestSupport.h"

namespace {

using namespace shell_test;

TEST(UserFolderKeptOut, TheProfilesTheHighScoresAndTheLogsAreNotWritten) {
  PlayerFolders folders;
  platform::ScopedTempFolder outside{"vyre-kept-out-terminal"};
  const std::string terminal = outside / "terminal.txt";
  for (const platform::UntakeableUserFolder& shape : platform::MakeUntakeableUserFolders(folders.scratch.Path())) {
    SCOPED_TRACE(shape.what);
    const std::string before = platform::TreeSnapshot(folders.scratch.Path());
    const int terminalFd = open(terminal.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(terminalFd, 0);
    const std::string report = platform::ReportFromChild(
        [&] {
          if (dup2(terminalFd, STDERR_FILENO) < 0) return std::string("no terminal");
          setenv("VYRE_USER_DIR", shape.folder.c_str(), 1);
          setenv("VYRE_REGISTRY", platform::UntakeableStore(folders.scratch.Path()).c_str(), 1);
          setenv("VYRE_MESSAGEBOX", "ok", 1);
          platform::UserFolderLock lock;
          if (TakeUserFolder("Novaliths", lock) != 0) return std::string("the run ended");
          std::string failures;
          // Log files on: the run's log folder would be the first thing made.
          static const FixedLogSettings kFiles(true, true, "ALL");
          SetLogSettings(&kFiles);
          Log::Reset();
          LogGEM("a line of the run");
          Profile bob;
          FillEveryField(bob, "bob");
          if (bob.SaveReported()) failures += "a profile was saved\n";
          Profile amy;
          amy.SetName("amy");
          if (amy.Delete()) failures += "a profile was deleted\n";
          HighScoreRows rows;
          FillDefaultHighScores(rows);
          const HighScoreTable::FileState file = HighScoreTable::Load(rows);
          if (HighScoreTable::AddAndSave(rows, kModePanic, 9450, 3, file) != HighScoreOutcome::NotSaved)
            failures += "the high scores were saved\n";
          return failures;
        },
        shape.account);
    close(terminalFd);
    EXPECT_EQ(report, "");
    const std::string line =
        "The user folder " + shape.folder + " cannot be locked (" + shape.reason + "); nothing will be saved this run.";
    EXPECT_EQ(ReadBytes(terminal), line + "\n[MessageBox] Novaliths : " + line + " -> OK\n");
    EXPECT_EQ(platform::TreeSnapshot(folders.scratch.Path()), before);
  }
}

}  // namespace
