// The high-score file: twenty records of a name and two numbers.
#include "fuzz/FuzzTarget.h"
#include "game/shell/HighScoreTable.h"

FUZZ_TARGET(HighScoreFile) {
  // The user folder holds no table, so the working directory's is read.
  fuzz::ScratchFile(HighScoreTable::kFileName, data, size);
  HighScoreRows rows{};
  HighScoreTable::Load(rows);
  HighScoreTable::Insert(rows, 0);
  HighScoreTable::Insert(rows, 1);
}
