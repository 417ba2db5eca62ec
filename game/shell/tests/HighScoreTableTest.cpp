#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/shell/HighScoreTable.h"
#include "game/shell/Profile.h"
#include "support/ShellTestSupport.h"

namespace {

using namespace shell_test;

// "name:score" per rank of one mode.
std::vector<std::string> Table(const HighScoreRows& rows, int mode) {
  std::vector<std::string> text;
  for (const HighScoreEntry& row : rows[mode])
    text.push_back(std::string(row.name.Chars()) + ":" + std::to_string(row.score));
  return text;
}

class HighScores : public ::testing::Test {
 protected:
  HighScores() { FillDefaultHighScores(rows_); }
  PlayerFolders folders_;
  HighScoreRows rows_;
  const std::string filePath_ = folders_.User("00000000.dat");
};

TEST_F(HighScores, WithoutAFileTheDefaultsStayAndTheySaveAsTheDefaultFile) {
  HighScoreTable::Load(rows_);
  EXPECT_EQ(Table(rows_, 0), std::vector<std::string>(10, "Doh:0"));
  EXPECT_EQ(Table(rows_, 1), std::vector<std::string>(10, "Dur:0"));
  EXPECT_TRUE(GemLines().empty());

  ASSERT_TRUE(HighScoreTable::Save(rows_));
  std::string golden;
  for (int rank = 0; rank < 10; ++rank) golden += std::string("Doh\0\0\0\0\0\0\0\0\0Dur\0\0\0\0\0\0\0\0\0", 24);
  EXPECT_EQ(ReadBytes(filePath_).size(), 240u);
  EXPECT_EQ(ReadBytes(filePath_), golden);
  EXPECT_FALSE(platform::PathExists(folders_.Work("00000000.dat")));
}

TEST_F(HighScores, SaveAndLoadKeepBothTablesRowForRow) {
  for (int mode = 0; mode < 2; ++mode) {
    for (int rank = 0; rank < 10; ++rank) {
      rows_[mode][rank].name = (std::string(mode == 0 ? "c" : "p") + std::to_string(rank)).c_str();
      rows_[mode][rank].score = 1000u * (10 - rank) + mode;
      rows_[mode][rank].stars = 3u * rank + mode;
    }
  }
  ASSERT_TRUE(HighScoreTable::Save(rows_));
  // Rank 0 of Challenge, then rank 0 of Panic.
  EXPECT_EQ(ReadBytes(filePath_).substr(0, 22),
            std::string("c0\0", 3) + Words({10000, 0}) + std::string("p0\0", 3) + Words({10001, 1}));
  HighScoreRows loaded;
  FillDefaultHighScores(loaded);
  HighScoreTable::Load(loaded);
  for (int mode = 0; mode < 2; ++mode) {
    EXPECT_EQ(Table(loaded, mode), Table(rows_, mode));
    for (int rank = 0; rank < 10; ++rank) EXPECT_EQ(loaded[mode][rank].stars, rows_[mode][rank].stars);
  }
}

TEST_F(HighScores, AResultEntersAtOrAboveTheLowestAndBelowEqualScores) {
  struct Case {
    uint32_t score;
    bool enters;
    int rank;  // where "bob" ends up
  } cases[] = {
      {10, true, 9},   // equal to the lowest: replaces it
      {9, false, -1},  // one less
      {50, true, 6},   // a tie stays below the row already there
      {1000, true, 0},
  };
  Profile bob;
  bob.SetName("bob");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.score);
    for (int rank = 0; rank < 10; ++rank) {
      rows_[1][rank].name = ("r" + std::to_string(rank)).c_str();
      rows_[1][rank].score = 100u - 10u * rank;
    }
    HighScoreRows before;
    for (int rank = 0; rank < 10; ++rank) before[1][rank] = rows_[1][rank];
    std::remove(filePath_.c_str());
    EXPECT_EQ(HighScoreTable::AddAndSave(rows_, 1, c.score, 4),
              c.enters ? HighScoreOutcome::Saved : HighScoreOutcome::NotEntered);
    if (!c.enters) {
      EXPECT_EQ(Table(rows_, 1), Table(before, 1));
      EXPECT_FALSE(platform::PathExists(filePath_));
      continue;
    }
    EXPECT_STREQ(rows_[1][c.rank].name.Chars(), "bob");
    EXPECT_EQ(rows_[1][c.rank].score, c.score);
    EXPECT_EQ(rows_[1][c.rank].stars, 4u);
    if (c.score == 50) {
      EXPECT_STREQ(rows_[1][5].name.Chars(), "r5");
    }
    // The lowest row of before is gone.
    EXPECT_NE(Table(rows_, 1).back(), "r9:10");
    HighScoreRows loaded;
    FillDefaultHighScores(loaded);
    HighScoreTable::Load(loaded);
    EXPECT_EQ(Table(loaded, 1), Table(rows_, 1));
    EXPECT_EQ(Table(loaded, 0), std::vector<std::string>(10, "Doh:0"));
  }
}

TEST_F(HighScores, NothingEntersWithoutAProfileOrForAnUnknownMode) {
  EXPECT_EQ(HighScoreTable::AddAndSave(rows_, 1, 500, 1), HighScoreOutcome::NotEntered);
  Profile bob;
  bob.SetName("bob");
  EXPECT_EQ(HighScoreTable::AddAndSave(rows_, 2, 500, 1), HighScoreOutcome::NotEntered);
  EXPECT_EQ(HighScoreTable::AddAndSave(rows_, -1, 500, 1), HighScoreOutcome::NotEntered);
  EXPECT_EQ(Table(rows_, 1), std::vector<std::string>(10, "Dur:0"));
  EXPECT_FALSE(platform::PathExists(filePath_));
}

TEST_F(HighScores, InsertSortsDescendingAndNeverSwapsEqualScores) {
  const char* names[] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"};
  const uint32_t scores[] = {5, 7, 5, 9, 0, 7, 1, 5, 9, 2};
  for (int rank = 0; rank < 10; ++rank) {
    rows_[0][rank].name = names[rank];
    rows_[0][rank].score = scores[rank];
  }
  HighScoreTable::Insert(rows_, 0);
  EXPECT_EQ(Table(rows_, 0),
            (std::vector<std::string>{"d:9", "i:9", "b:7", "f:7", "a:5", "c:5", "h:5", "j:2", "g:1", "e:0"}));
}

TEST_F(HighScores, AShortOrEndlessFileFillsOnlyTheRowsItReaches) {
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<std::string> challenge;  // ranks 0 and 1
    std::vector<std::string> panic;      // rank 0
    const char* line;
  } cases[] = {
      {"cut inside a score",
       std::string("ann\0", 4) + Words({70, 1}) + std::string("bo\0\x05\x01", 5),
       {"ann:70", "Doh:0"},
       {"bo:0"},
       "High-score file %s is cut short in record 1"},
      {"cut inside a name",
       std::string("ann\0", 4) + Words({70, 1}) + "bo",
       {"ann:70", "Doh:0"},
       {"bo:0"},
       "High-score file %s is cut short in record 1"},
      {"a whole record, then nothing",
       std::string("ann\0", 4) + Words({70, 1}),
       {"ann:70", "Doh:0"},
       {"Dur:0"},
       "High-score file %s is cut short : it holds 1 of 20 records"},
      {"a line feed ends a name",
       std::string("ann\n", 4) + Words({70, 1}),
       {"ann:70", "Doh:0"},
       {"Dur:0"},
       "High-score file %s is cut short : it holds 1 of 20 records"},
      {"empty", "", {"Doh:0", "Doh:0"}, {"Dur:0"}, "High-score file %s is cut short : it holds 0 of 20 records"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(filePath_, c.bytes);
    FillDefaultHighScores(rows_);
    ClearGemLines();
    HighScoreTable::Load(rows_);
    EXPECT_EQ(Table(rows_, 0)[0], c.challenge[0]);
    EXPECT_EQ(Table(rows_, 0)[1], c.challenge[1]);
    EXPECT_EQ(Table(rows_, 1)[0], c.panic[0]);
    std::string line = c.line;
    line.replace(line.find("%s"), 2, filePath_);
    EXPECT_EQ(GemLines(), std::vector<std::string>{line});
  }
}

// Records no game writes would be shown, and saved back, for good: the
// whole file is refused, moved aside (never over an earlier copy), and the
// tables start from their defaults; the next save makes a fresh file.
TEST_F(HighScores, ADamagedFileIsMovedAsideAndTheTablesStartAfresh) {
  const std::string good = std::string("ann\0", 4) + Words({70, 1});
  struct Case {
    const char* what;
    std::string bytes;
    const char* fault;
  } cases[] = {
      {"a control byte in a name", good + std::string("b\x01o\0", 4) + Words({5, 1}),
       "record 1 : its name is not text"},
      {"an unreachable score", good + std::string("bo\0", 3) + Words({4052733499u, 1}),
       "record 1 : its score is more than a game can reach"},
      {"an unreachable star count", good + std::string("bo\0", 3) + Words({5, 1000}),
       "record 1 : its star count is more than a game can reach"},
      {"a name longer than a profile's", std::string(16, 'x') + std::string("\0", 1) + Words({5, 1}),
       "record 0 : its name is longer than a profile name"},
      {"no zero byte at all", std::string(100000, 'x'), "record 0 : its name is longer than a profile name"},
  };
  int moved = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(filePath_, c.bytes);
    FillDefaultHighScores(rows_);
    ClearTerminalLines();
    EXPECT_EQ(HighScoreTable::Load(rows_), HighScoreTable::FileState::Missing);
    EXPECT_EQ(Table(rows_, 0), std::vector<std::string>(10, "Doh:0"));
    EXPECT_EQ(Table(rows_, 1), std::vector<std::string>(10, "Dur:0"));
    const std::string aside = filePath_ + ".damaged" + (moved > 0 ? "." + std::to_string(moved) : "");
    ++moved;
    EXPECT_FALSE(platform::PathExists(filePath_));
    EXPECT_EQ(ReadBytes(aside), c.bytes);
    EXPECT_TRUE(TerminalSays({filePath_ + " is damaged (" + c.fault + ")", "moved aside to " + aside}));
  }
  EXPECT_EQ(ReadBytes(filePath_ + ".damaged"), cases[0].bytes) << "the first copy is kept";

  Profile bob;
  bob.SetName("bob");
  EXPECT_EQ(HighScoreTable::AddAndSave(rows_, 1, 900, 2), HighScoreOutcome::Saved);
  HighScoreRows loaded;
  FillDefaultHighScores(loaded);
  EXPECT_EQ(HighScoreTable::Load(loaded), HighScoreTable::FileState::Read);
  EXPECT_EQ(Table(loaded, 1)[0], "bob:900");
}

// A result past what a row holds enters as that most, so the file it is
// saved in loads again.
TEST_F(HighScores, AResultPastWhatARowHoldsEntersAsThatMost) {
  Profile bob;
  bob.SetName("bob");
  EXPECT_EQ(HighScoreTable::AddAndSave(rows_, 1, 4052733499u, 5000), HighScoreOutcome::Saved);
  HighScoreRows loaded;
  FillDefaultHighScores(loaded);
  EXPECT_EQ(HighScoreTable::Load(loaded), HighScoreTable::FileState::Read);
  EXPECT_EQ(loaded[1][0].score, HighScoreTable::kMaxScore);
  EXPECT_EQ(loaded[1][0].stars, HighScoreTable::kMaxStars);
}

TEST_F(HighScores, AFileThatCannotBeReadIsKeptAndNeverSavedOver) {
  for (const UnreadableShape& shape : UnreadableShapes()) {
    SCOPED_TRACE(shape.what);
    std::filesystem::remove(filePath_);
    MakeUnreadable(filePath_, shape);
    ClearTerminalLines();
    EXPECT_EQ(HighScoreTable::Load(rows_), HighScoreTable::FileState::Kept);
    EXPECT_TRUE(TerminalSays({"Cannot read high-score file " + filePath_, shape.reason}));
    Profile bob;
    bob.SetName("bob");
    const std::string kind = KindAt(filePath_);
    EXPECT_EQ(HighScoreTable::AddAndSave(rows_, 1, 500, 1, HighScoreTable::FileState::Kept),
              HighScoreOutcome::NotSaved);
    EXPECT_EQ(KindAt(filePath_), kind);
    EXPECT_FALSE(platform::PathExists(filePath_ + ".damaged"));
  }
}

TEST_F(HighScores, AFailedSaveTellsTheFileAndTheReason) {
  // A file where the user folder should be: nothing can be written in it.
  WriteBytes(folders_.userFolder, "not a folder");
  ClearTerminalLines();
  EXPECT_FALSE(HighScoreTable::Save(rows_));
  EXPECT_EQ(TerminalLines(),
            std::vector<std::string>{"Failed to save the high scores to " + filePath_ + " : Not a directory"});
  Profile bob;
  bob.SetName("bob");
  EXPECT_EQ(HighScoreTable::AddAndSave(rows_, 1, 500, 1), HighScoreOutcome::NotSaved);
}

TEST_F(HighScores, AFileOnlyInTheWorkingDirectoryStillLoads) {
  std::string bytes;
  for (int record = 0; record < 20; ++record) bytes += std::string("w\0", 2) + Words({20u - record, 0});
  WriteBytes(folders_.Work("00000000.dat"), bytes);
  HighScoreTable::Load(rows_);
  EXPECT_EQ(Table(rows_, 0)[0], "w:20");
  EXPECT_EQ(Table(rows_, 1)[9], "w:1");
}

}  // namespace
