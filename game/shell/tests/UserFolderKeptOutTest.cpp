// A copy of the program that could not take its user folder may share it
// with a copy that did: it plays on, but none of its results replaces what
// the other copy saves. Its start has said so once; the failed saves add no
// line to the terminal and tell their callers they failed, so the game-over
// page says the result was not saved.

#include <gtest/gtest.h>

#include <string>

#include "engine/app/tests/support/UntakeableRun.h"
#include "engine/foundation/Log.h"
#include "game/shell/HighScoreTable.h"
#include "game/shell/Profile.h"
#include "support/ShellTestSupport.h"

namespace {

using namespace shell_test;

TEST(UserFolderKeptOut, TheProfilesTheHighScoresAndTheLogsAreNotWritten) {
  PlayerFolders folders;
  PlayInEveryUntakeableFolder(folders.scratch.Path(), [] {
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
  });
}

}  // namespace
